#include "ui/dialogs/FractInfosForm.h"

#include "document/Fractal.h"
#include "ui/MainForm.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/Texts.h"

namespace ui {

TFractInfosForm::TFractInfosForm(const QString& comment, int language, int fontSize, QWidget* parent)
    : QDialog(parent), m_original(comment.left(MaxCommentLength))
{
    setObjectName(QStringLiteral("FractInfosForm"));
    QFont f = font();
    f.setPointSize(fontSize);
    setFont(f);
    setWindowTitle(tx(text::InfosText::FractalInfos, language));
    m_usedText = tx(text::InfosText::UsedText, language);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("InfosMemo"));
    m_memo->setPlainText(m_original);
    m_memo->setTabChangesFocus(true);  // Tab moves on to the buttons; the comment is one paragraph
    m_memo->setAccessibleName(windowTitle());
    m_used = new QLabel(this);
    m_used->setObjectName(QStringLiteral("UsedLabel"));
    connect(m_memo, &QPlainTextEdit::textChanged, this, &TFractInfosForm::textEdited);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_memo);
    layout->addWidget(m_used);
    layout->addWidget(buttons);
    textEdited();
}

QString TFractInfosForm::comment() const
{
    return m_memo->toPlainText();
}

void TFractInfosForm::textEdited()
{
    QString t = m_memo->toPlainText();
    if (t.size() > MaxCommentLength) {
        // Typing or pasting beyond the limit keeps the first 150 characters.
        const QSignalBlocker block(m_memo);
        t.truncate(MaxCommentLength);
        m_memo->setPlainText(t);
        QTextCursor end = m_memo->textCursor();
        end.movePosition(QTextCursor::End);
        m_memo->setTextCursor(end);
    }
    m_used->setText(m_usedText + QString::number(t.size()) + QLatin1Char('/') + QString::number(MaxCommentLength));
}

void runInformationCommand(TMainForm& window)
{
    document::TFractal& f = window.fractal();
    TFractInfosForm form(QString::fromUtf8(f.Comment), window.settings().language(), window.settings().prefs.fontSize,
                         &window);
    if (form.exec() == QDialog::Accepted && form.changed()) {
        f.Comment = form.comment().toStdString();
        f.Modified = true;
        window.DrawMainMenus();
    }
}

}  // namespace ui
