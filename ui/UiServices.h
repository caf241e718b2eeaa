#pragma once

#include <QString>

class QWidget;

namespace ui {

// What the main window asks of the desktop: file dialogs, questions and the beep. The window
// reaches them through this interface so that tests can answer instead of a modal dialog.
class UiServices {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~UiServices() = default;
    // Full path of a document to open, or empty when the user cancelled.
    virtual QString openDocumentPath(QWidget* parent, const QString& startDirectory, const QString& proposedName) = 0;
    // Full path to save the document under, or empty when cancelled. The dialog confirms replacing a file.
    virtual QString saveDocumentPath(QWidget* parent, const QString& startDirectory, const QString& proposedName) = 0;
    // Full path to write a picture or a printed page to, or empty when cancelled: a save dialog with
    // one `filter` ("Vorex TIFF image (*.tif)") and `suffix` added to a name typed without one. The
    // dialog confirms replacing a file. The default answers as a cancelled dialog.
    virtual QString saveExportPath(QWidget* parent, const QString& startDirectory, const QString& proposedName,
                                   const QString& filter, const QString& suffix);
    // A question with Yes, No and Cancel and the warning icon.
    virtual Answer askYesNoCancel(QWidget* parent, const QString& title, const QString& question) = 0;
    // An error message with an OK button.
    virtual void showError(QWidget* parent, const QString& title, const QString& message) = 0;
    // The system's default beep.
    virtual void beep() = 0;
};

// The real dialogs of the platform.
class QtUiServices : public UiServices {
public:
    QString openDocumentPath(QWidget* parent, const QString& startDirectory, const QString& proposedName) override;
    QString saveDocumentPath(QWidget* parent, const QString& startDirectory, const QString& proposedName) override;
    QString saveExportPath(QWidget* parent, const QString& startDirectory, const QString& proposedName,
                           const QString& filter, const QString& suffix) override;
    Answer askYesNoCancel(QWidget* parent, const QString& title, const QString& question) override;
    void showError(QWidget* parent, const QString& title, const QString& message) override;
    void beep() override;
};

}  // namespace ui
