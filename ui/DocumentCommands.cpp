#include "ui/DocumentCommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "document/Fractal.h"
#include "storage/Preferences.h"
#include "ui/AppSettings.h"
#include "ui/tools/ProgForm.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"

namespace ui {

namespace {

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

constexpr int ProgressSteps = 100;

}  // namespace

DocumentCommands::DocumentCommands(document::TFractal& f, AppSettings& settings, UiServices& services,
                                   DocumentHost& host)
    : m_fractal(f), m_settings(settings), m_services(services), m_host(host)
{
}

bool DocumentCommands::querySave(text::MessageText title)
{
    if (!m_fractal.Modified)
        return true;
    const int language = m_settings.language();
    switch (m_services.askYesNoCancel(m_host.dialogParent(), tx(title, language),
                                      tx(text::MessageText::SaveQuestion, language))) {
    case UiServices::Answer::Yes: {
        const bool saved = saveFractal(false);
        m_host.showStatusMessage(QString());
        return saved;
    }
    case UiServices::Answer::No: return true;
    case UiServices::Answer::Cancel: break;
    }
    return false;
}

bool DocumentCommands::saveFractal(bool saveAs)
{
    const QString proposed = saveAs ? QString() : QString::fromUtf8(m_fractal.FileName);
    const QString path = m_services.saveDocumentPath(m_host.dialogParent(), m_settings.fractalDirectory, proposed);
    if (path.isEmpty()) {
        m_fractal.Modified = true;
        return false;
    }
    m_host.showStatusMessage(tx(text::StatusText::SavingFractal, m_settings.language()) + path);
    m_host.setBusyCursor(true);
    m_settings.fractalDirectory = QFileInfo(path).absolutePath();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    storage::SaveContext context;
    context.userName = m_settings.userName.toStdString();
    bool ok = false;
    {
        ProgressWindowObserver progress(m_host.dialogParent(), ProgressSteps);
        context.observer = &progress;
        ok = storage::SaveDocument(m_fractal, localPath(path), context);
    }
    if (ok)
        storage::addRecentFile(m_settings.prefs.recentFiles, path.toStdString());
    m_host.setBusyCursor(false);
    m_host.showStatusMessage(QString());
    return ok;
}

DocumentCommands::OpenResult DocumentCommands::openFractal()
{
    const QString path = m_services.openDocumentPath(m_host.dialogParent(), m_settings.fractalDirectory,
                                                     QString::fromUtf8(m_fractal.FileName));
    if (path.isEmpty())
        return {};
    m_settings.fractalDirectory = QFileInfo(path).absolutePath();
    return load(path, true);
}

DocumentCommands::OpenResult DocumentCommands::openRecent(int index)
{
    if (index < 0 || index >= storage::RecentFileCount)
        return {};
    const QString path = QString::fromStdString(m_settings.prefs.recentFiles[size_t(index)]);
    if (path.isEmpty())
        return {};
    m_settings.fractalDirectory = QFileInfo(path).absolutePath();
    return load(path, false);
}

DocumentCommands::OpenResult DocumentCommands::openFile(const QString& path)
{
    OpenResult result = load(path, false);
    if (result.outcome == Opened::Loaded)
        m_settings.fractalDirectory = QFileInfo(path).absolutePath();
    return result;
}

DocumentCommands::OpenResult DocumentCommands::load(const QString& path, bool enterRecent)
{
    m_host.setBusyCursor(true);
    m_host.showStatusMessage(tx(text::StatusText::OpeningFractal, m_settings.language()) + path);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    OpenResult result;
    result.path = path;
    storage::LoadDetails details;
    {
        ProgressWindowObserver progress(m_host.dialogParent(), ProgressSteps);
        result.load = storage::LoadDocument(m_fractal, localPath(path), &progress, {}, &details);
    }
    if (enterRecent && details.headerRead)
        storage::addRecentFile(m_settings.prefs.recentFiles, path.toStdString());
    result.outcome = result.load == storage::LoadResult::Ok ? Opened::Loaded : Opened::Failed;
    if (result.outcome == Opened::Loaded)
        m_settings.prefs.markersShown = true;  // a loaded document shows its markers
    m_host.setBusyCursor(false);
    m_host.showStatusMessage(QString());
    return result;
}

QString startDirectory(const QString& programDirectory, const std::string& mostRecentFile, const QString& home)
{
    if (!mostRecentFile.empty()) {
        const QFileInfo recent(QString::fromStdString(mostRecentFile));
        if (recent.absoluteDir().exists())
            return recent.absolutePath();
    }
    if (storage::isDirectoryWritable(QFile::encodeName(programDirectory).toStdString()))
        return programDirectory;
    return home;
}

}  // namespace ui
