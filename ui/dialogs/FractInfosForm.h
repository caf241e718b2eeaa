#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace ui {

// `TFractInfosForm`: the document's comment (at most 150 characters) in `InfosMemo`, with the
// label `UsedLabel` "Used text: N/150" under it.
class TFractInfosForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxCommentLength = 150;

    TFractInfosForm(const QString& comment, int language, int fontSize, QWidget* parent = nullptr);

    QString comment() const;
    // True when the text differs from the one the dialog opened with.
    bool changed() const { return comment() != m_original; }

private:
    void textEdited();

    QPlainTextEdit* m_memo;
    QLabel* m_used;
    QString m_original;
    QString m_usedText;
};

class TMainForm;
// "Information": the document's comment; an edited comment modifies the document.
void runInformationCommand(TMainForm& window);

}  // namespace ui
