#pragma once

#include <QString>
#include <string>

#include "storage/Document.h"
#include "ui/text/MessageTexts.h"

class QWidget;

namespace document {
class TFractal;
}

namespace ui {

struct AppSettings;
class UiServices;

// What the document commands need from the window around them.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    virtual QWidget* dialogParent() = 0;
    // ShowStatus(message, restore-previous = false).
    virtual void showStatusMessage(const QString& message) = 0;
    virtual void setBusyCursor(bool busy) = 0;
};

// Saving and opening documents through the file dialogs, the recent files and the ask-to-save
// question. GUI thread only, while no computation runs.
class DocumentCommands {
public:
    DocumentCommands(document::TFractal& f, AppSettings& settings, UiServices& services, DocumentHost& host);

    // Asks "Save current Fractal ?" with `title` when the document is modified. True when the
    // command may go on: not modified, No, or Yes and the save succeeded.
    bool querySave(text::MessageText title);

    // Saves through the save dialog, which proposes the document's name (none for Save As).
    // False when the dialog was cancelled or the file could not be written; the document then
    // stays modified. A successful save enters the path into the recent files.
    bool saveFractal(bool saveAs);

    enum class Opened { Loaded, Cancelled, Failed };
    struct OpenResult {
        Opened outcome = Opened::Cancelled;
        storage::LoadResult load = storage::LoadResult::Ok;
        QString path;
    };
    // Through the open dialog. A cancelled dialog leaves the document as the caller made it.
    OpenResult openFractal();
    // Recent file 0..3, without a dialog; the recent files stay as they are.
    OpenResult openRecent(int index);
    // A named file (command line, dropped file); the recent files stay as they are.
    OpenResult openFile(const QString& path);

private:
    OpenResult load(const QString& path, bool enterRecent);

    document::TFractal& m_fractal;
    AppSettings& m_settings;
    UiServices& m_services;
    DocumentHost& m_host;
};

// Where the file dialogs start when the program starts: the directory of the most recent document while it
// exists, else the program's own directory when it is writable, else the user's home directory.
QString startDirectory(const QString& programDirectory, const std::string& mostRecentFile, const QString& home);

}  // namespace ui
