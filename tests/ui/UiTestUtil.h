#pragma once

// Shared pieces of the main-window tests: answers in place of the modal dialogs, a window on a
// private preferences file, and reading widgets by their objectNames.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <memory>

#include "document/Fractal.h"
#include "document/Computation.h"
#include "storage/Workspace.h"
#include "ui/ComputeRunner.h"
#include "ui/MainForm.h"
#include "ui/UiServices.h"

namespace vxtest {

// Answers the window's questions from queues and counts beeps. An empty queue answers like a
// cancelled dialog, so a test never blocks on a modal window.
class FakeServices : public ui::UiServices {
public:
    std::deque<QString> openPaths, savePaths, exportPaths;
    QString lastExportFilter, lastExportSuffix, lastExportDirectory, lastExportProposal;
    std::deque<Answer> answers;
    int beeps = 0;
    int questions = 0;
    QStringList questionTitles, errors;
    QString lastSaveProposal;

    QString openDocumentPath(QWidget*, const QString&, const QString&) override { return take(openPaths); }
    QString saveDocumentPath(QWidget*, const QString&, const QString& proposed) override
    {
        lastSaveProposal = proposed;
        return take(savePaths);
    }
    QString saveExportPath(QWidget*, const QString& directory, const QString& proposed, const QString& filter,
                           const QString& suffix) override
    {
        lastExportDirectory = directory;
        lastExportProposal = proposed;
        lastExportFilter = filter;
        lastExportSuffix = suffix;
        return take(exportPaths);
    }
    Answer askYesNoCancel(QWidget*, const QString& title, const QString&) override
    {
        ++questions;
        questionTitles << title;
        if (answers.empty())
            return Answer::Cancel;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void showError(QWidget*, const QString&, const QString& message) override { errors << message; }
    void beep() override { ++beeps; }

private:
    static QString take(std::deque<QString>& queue)
    {
        if (queue.empty())
            return {};
        QString s = queue.front();
        queue.pop_front();
        return s;
    }
};

// A main window on a private directory: its preferences file holds `preferences` (empty by default).
struct WindowFixture {
    QTemporaryDir dir;
    FakeServices services;
    std::unique_ptr<ui::TMainForm> window;

    explicit WindowFixture(const QStringList& arguments = {}, const QByteArray& preferences = {})
    {
        QFile cfg(dir.filePath(QStringLiteral("Vorex.cfg")));
        if (cfg.open(QIODevice::WriteOnly))
            cfg.write(preferences);
        cfg.close();
        ui::StartupOptions options;
        options.programDirectory = dir.path();
        options.preferencesFile = QFile::encodeName(cfg.fileName()).toStdString();
        options.arguments = arguments;
        options.services = &services;
        window = std::make_unique<ui::TMainForm>(options);
        // The variables dialog is modal: tests that need it drive it themselves or set their own hook.
        window->setVariablesDialogHook([](int, bool) {});
    }
    ~WindowFixture()
    {
        if (window) {
            // Leave without questions: nothing to save.
            window->fractal().Modified = false;
            window->runner().requestStop();
            window->runner().waitUntilIdle(10000);
        }
    }

    ui::TMainForm& w() { return *window; }
    document::TFractal& f() { return window->fractal(); }
    QString path(const QString& name) const { return dir.filePath(name); }

    QAction* action(const char* name) const { return window->findChild<QAction*>(QLatin1String(name)); }
    QMenu* menu(const char* name) const { return window->findChild<QMenu*>(QLatin1String(name)); }
    QString panel(int index) const
    {
        auto* label = window->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(index));
        return label ? label->text() : QStringLiteral("<no panel>");
    }
    // Chooses an entry as the user does: it must be enabled.
    bool trigger(const char* name)
    {
        QAction* a = action(name);
        if (!a || !a->isEnabled())
            return false;
        a->trigger();
        return true;
    }
    // Gives the document an image of that size (the start-up document is 1 x 1).
    bool allocate(int width, int height, uint8_t format = engine::PixelFormat8)
    {
        const bool ok = storage::AllocImage(f(), width, height, format, true).ok;
        window->pictureChanged();
        window->DrawMainMenus();
        return ok;
    }
    // Runs a compute command and waits until the computation has ended.
    bool computeAndWait(const char* command = "MenuCal")
    {
        QSignalSpy finished(window.get(), &ui::TMainForm::computationFinished);
        if (!trigger(command))
            return false;
        return finished.wait(120000);
    }
};

// The same image computed without the window: the reference the window's results must equal.
inline std::unique_ptr<document::TFractal> referenceImage(const engine::FractalParams& params, uint8_t format)
{
    auto g = std::make_unique<document::TFractal>();
    storage::ResetToDefaults(*g);
    storage::AllocImage(*g, params.Width, params.Height, format, true);
    const int w = params.Width, h = params.Height;
    g->Params = params;
    g->Params.Width = w;
    g->Params.Height = h;
    g->UpdateCorners();
    document::ComputeCommand(*g, true, nullptr);
    return g;
}

inline bool sameData(const engine::TVxWork& a, const engine::TVxWork& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    for (int r = 0; r < a.height(); ++r)
        for (int c = 0; c < a.width(); ++c)
            if (a.at(r, c) != b.at(r, c))
                return false;
    return true;
}

}  // namespace vxtest
