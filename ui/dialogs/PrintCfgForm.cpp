#include "ui/dialogs/PrintCfgForm.h"

#include "ui/text/PrintDialogTexts.h"
#include "ui/text/PrintExportTexts.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/Accessibility.h"
#include "ui/PrintPages.h"
#include "ui/Texts.h"

namespace ui {

using text::PrintText;

TPrintCfgForm::TPrintCfgForm(const storage::Preferences& prefs, int language, int fontSize, QWidget* parent)
    : QDialog(parent), m_prefs(prefs)
{
    setObjectName(QStringLiteral("PrintCfgForm"));
    QFont f = font();
    f.setPointSize(fontSize);
    setFont(f);
    setWindowTitle(shownCaption(tx(PrintText::Detail, language)));
    const auto name = [language](QWidget* w, PrintText id) {
        w->setAccessibleName(shownCaption(tx(id, language)).remove(QLatin1Char(':')).trimmed());
    };

    m_border = new QCheckBox(tx(PrintText::Border, language), this);
    m_border->setObjectName(QStringLiteral("BorderCheckBox"));
    m_border->setChecked(m_prefs.printFrame);
    name(m_border, PrintText::Border);
    m_frameColour = new QPushButton(this);
    m_frameColour->setObjectName(QStringLiteral("BorderColorButton"));
    showColour(m_frameColour, m_prefs.printFrameColour);
    m_frameWidth = new QSpinBox(this);
    m_frameWidth->setObjectName(QStringLiteral("BorderWidthSpinEdit"));
    m_frameWidth->setRange(1, 50);
    m_frameWidth->setValue(std::clamp(m_prefs.printFrameWidth, 1, 50));
    auto* frameBox = new QGroupBox(this);
    auto* frame = new QFormLayout(frameBox);
    frame->addRow(m_border);
    frame->addRow(tx(PrintText::Color, language), m_frameColour);
    frame->addRow(tx(PrintText::Width, language), m_frameWidth);
    m_frameColour->setAccessibleName(tx(text::PrintDialogText::FrameColour, language));
    name(m_frameWidth, PrintText::Width);

    m_caption = new QCheckBox(tx(PrintText::PrintImageCaption, language), this);
    m_caption->setObjectName(QStringLiteral("CaptionCheckBox"));
    m_caption->setChecked(m_prefs.printCaption);
    name(m_caption, PrintText::PrintImageCaption);
    auto* captionBox = new QGroupBox(tx(PrintText::FontForCaption, language), this);
    m_font = new QFontComboBox(captionBox);
    m_font->setObjectName(QStringLiteral("CaptionFontComboBox"));
    m_font->setCurrentFont(printFont(m_prefs.captionFont, m_prefs.captionFontSize));
    m_font->setEditText(QString::fromStdString(m_prefs.captionFont));
    m_fontSize = new QSpinBox(captionBox);
    m_fontSize->setObjectName(QStringLiteral("CaptionSizeSpinEdit"));
    m_fontSize->setRange(4, 72);
    m_fontSize->setValue(std::clamp(m_prefs.captionFontSize, 4, 72));
    m_fontColour = new QPushButton(captionBox);
    m_fontColour->setObjectName(QStringLiteral("CaptionColorButton"));
    showColour(m_fontColour, m_prefs.captionFontColour);
    auto* caption = new QFormLayout(captionBox);
    caption->addRow(tx(PrintText::Font, language), m_font);
    caption->addRow(tx(PrintText::Size, language), m_fontSize);
    caption->addRow(tx(PrintText::Color, language), m_fontColour);
    name(m_font, PrintText::Font);
    name(m_fontSize, PrintText::Size);
    m_fontColour->setAccessibleName(tx(text::PrintDialogText::CaptionColour, language));

    connect(m_frameColour, &QPushButton::clicked, this, [this] { chooseColour(m_prefs.printFrameColour, m_frameColour); });
    connect(m_fontColour, &QPushButton::clicked, this, [this] { chooseColour(m_prefs.captionFontColour, m_fontColour); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frameBox);
    layout->addWidget(m_caption);
    layout->addWidget(captionBox);
    layout->addWidget(buttons);
}

void TPrintCfgForm::showColour(QPushButton* button, uint32_t colour)
{
    const QColor c = colourFromBgr(colour);
    button->setText(c.name(QColor::HexRgb).toUpper());
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2; }")
                              .arg(c.name(), c.lightness() < 128 ? QStringLiteral("white") : QStringLiteral("black")));
}

void TPrintCfgForm::chooseColour(uint32_t& colour, QPushButton* button)
{
    const QColor chosen = QColorDialog::getColor(colourFromBgr(colour), this);
    if (!chosen.isValid())
        return;
    colour = bgrFromColour(chosen);
    showColour(button, colour);
}

void TPrintCfgForm::accept()
{
    m_prefs.printFrame = m_border->isChecked();
    m_prefs.printFrameWidth = m_frameWidth->value();
    m_prefs.printCaption = m_caption->isChecked();
    const QString family = m_font->currentText().trimmed();
    if (!family.isEmpty())
        m_prefs.captionFont = family.toStdString();
    m_prefs.captionFontSize = m_fontSize->value();
    QDialog::accept();
}

}  // namespace ui
