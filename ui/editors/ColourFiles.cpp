#include "ui/editors/ColourFiles.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "storage/PaletteFiles.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"

namespace ui {

namespace {

class PlatformColourFileDialogs : public ColourFileDialogs {
public:
    QString openPath(QWidget* parent, const QString& directory, const QString& proposedName,
                     const QStringList& filters, int& filter) override
    {
        return run(parent, QFileDialog::AcceptOpen, directory, proposedName, filters, filter);
    }
    QString savePath(QWidget* parent, const QString& directory, const QString& proposedName,
                     const QStringList& filters, int& filter) override
    {
        return run(parent, QFileDialog::AcceptSave, directory, proposedName, filters, filter);
    }

private:
    static QString run(QWidget* parent, QFileDialog::AcceptMode mode, const QString& directory,
                       const QString& proposedName, const QStringList& filters, int& filter)
    {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog.setNameFilters(filters);
        dialog.setDirectory(QFileInfo::exists(directory) ? directory : QCoreApplication::applicationDirPath());
        if (!proposedName.isEmpty())
            dialog.selectFile(proposedName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        filter = std::max(0, int(filters.indexOf(dialog.selectedNameFilter())));
        return dialog.selectedFiles().constFirst();
    }
};

ColourFileDialogs* g_dialogs = nullptr;
QString g_directory;
bool g_directorySet = false;

std::string local(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

void takeDirectory(const storage::ColourFileResult& result)
{
    if (!result.paletteDirectory.empty())
        setPaletteDirectory(QFile::decodeName(result.paletteDirectory.c_str()));
}

// The file's name with the extension its filter gives when it has none.
QString withSuffix(const QString& path, const QString& suffix)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

void busy(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void failed(QWidget* parent, UiServices& services, bool load, bool extraBeep)
{
    if (extraBeep)
        services.beep();
    if (load)
        services.beep();
    services.showError(parent, qstr(text::ProductTitle), qstr(text::DiskAccessError));
}

}  // namespace

ColourFileDialogs& colourFileDialogs()
{
    static PlatformColourFileDialogs platform;
    return g_dialogs ? *g_dialogs : platform;
}

void setColourFileDialogs(ColourFileDialogs* dialogs)
{
    g_dialogs = dialogs;
}

QString paletteDirectory()
{
    return g_directorySet ? g_directory : QCoreApplication::applicationDirPath();
}

void setPaletteDirectory(const QString& directory)
{
    g_directory = directory;
    g_directorySet = true;
}

bool loadPalette8(QWidget* parent, UiServices& services, colour::Palette& palette, QString& caption,
                  const QString& droppedFile)
{
    QString path = droppedFile;
    storage::PaletteFormat format = storage::PaletteFormat::P8;
    storage::LoadOrigin origin = storage::LoadOrigin::Dropped;
    if (path.isEmpty()) {
        static const storage::PaletteFormat formats[] = {storage::PaletteFormat::P8, storage::PaletteFormat::Document,
                                                         storage::PaletteFormat::Act};
        const QStringList filters = {QStringLiteral("Vorex Palette (*.p8)"), QStringLiteral("Vorex Fractale (*.mbt)"),
                                     QStringLiteral("Photoshop Color Table (*.act)")};
        int filter = 0;
        path = colourFileDialogs().openPath(parent, paletteDirectory(), caption, filters, filter);
        if (path.isEmpty())
            return true;
        format = formats[std::clamp(filter, 0, 2)];
        origin = storage::LoadOrigin::Dialog;
    }
    std::string name = caption.toStdString();
    busy(true);
    const storage::ColourFileResult result = storage::LoadPalette8(palette, name, local(path), format, origin);
    busy(false);
    if (!result.ok) {
        failed(parent, services, true, result.extraBeep);
        return false;
    }
    takeDirectory(result);
    caption = QString::fromStdString(name);
    return true;
}

bool savePalette8(QWidget* parent, UiServices& services, const colour::Palette& palette, QString& caption)
{
    const QStringList filters = {QStringLiteral("Vorex Palette (*.p8)"),
                                 QStringLiteral("PhotoShop Color Table (*.act)")};
    int filter = 0;
    QString path = colourFileDialogs().savePath(parent, paletteDirectory(), caption, filters, filter);
    if (path.isEmpty())
        return true;
    const bool act = filter == 1;
    path = withSuffix(path, act ? QStringLiteral("act") : QStringLiteral("p8"));
    std::string name = caption.toStdString();
    busy(true);
    const storage::ColourFileResult result = storage::SavePalette8(
        palette, local(path), act ? storage::PaletteFormat::Act : storage::PaletteFormat::P8, name);
    busy(false);
    if (!result.ok) {
        failed(parent, services, false, false);
        return false;
    }
    setPaletteDirectory(QFileInfo(path).absolutePath());
    caption = QString::fromStdString(name);
    return true;
}

bool loadTable24(QWidget* parent, UiServices& services, colour::ColorTable24& table, QString& caption,
                 const QString& droppedFile)
{
    QString path = droppedFile;
    storage::TableFormat format = storage::TableFormat::P24;
    storage::LoadOrigin origin = storage::LoadOrigin::Dropped;
    if (path.isEmpty()) {
        const QStringList filters = {QStringLiteral("Vorex  24 bits  Table (*.p24)"),
                                     QStringLiteral("Vorex Fractal (*.mbt)")};
        int filter = 0;
        path = colourFileDialogs().openPath(parent, paletteDirectory(), caption, filters, filter);
        if (path.isEmpty())
            return true;
        format = filter == 1 ? storage::TableFormat::Document : storage::TableFormat::P24;
        origin = storage::LoadOrigin::Dialog;
    }
    std::string name = caption.toStdString();
    busy(true);
    const storage::ColourFileResult result = storage::LoadTable24(table, name, local(path), format, origin);
    busy(false);
    if (!result.ok) {
        failed(parent, services, true, result.extraBeep);
        return false;
    }
    takeDirectory(result);
    caption = QString::fromStdString(name);
    return true;
}

bool saveTable24(QWidget* parent, UiServices& services, const colour::ColorTable24& table, QString& caption)
{
    const QStringList filters = {QStringLiteral("Vorex 24 bits Table (*.p24)")};
    int filter = 0;
    QString path = colourFileDialogs().savePath(parent, paletteDirectory(), caption, filters, filter);
    if (path.isEmpty())
        return true;
    path = withSuffix(path, QStringLiteral("p24"));
    std::string name = caption.toStdString();
    busy(true);
    const storage::ColourFileResult result = storage::SaveTable24(table, local(path), name);
    busy(false);
    if (!result.ok) {
        failed(parent, services, false, false);
        return false;
    }
    setPaletteDirectory(QFileInfo(path).absolutePath());
    caption = QString::fromStdString(name);
    return true;
}

namespace {
ColourPicker& picker()
{
    static ColourPicker p;
    return p;
}
}  // namespace

void setColourPicker(ColourPicker p)
{
    picker() = std::move(p);
}

std::optional<QColor> pickColour(QWidget* parent, const QColor& initial)
{
    if (picker())
        return picker()(parent, initial);
    QColorDialog dialog(initial, parent);
    dialog.setObjectName(QStringLiteral("PalColorDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

QString droppedLocalFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

}  // namespace ui
