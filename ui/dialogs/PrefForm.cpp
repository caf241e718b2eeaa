#include "ui/dialogs/PrefForm.h"

#include "document/Fractal.h"
#include "ui/MainForm.h"
#include "ui/QtLanguage.h"

#include <QCheckBox>
#include <algorithm>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/Accessibility.h"
#include "ui/Texts.h"

namespace ui {

namespace {

using text::PreferencesText;

constexpr int MinFontSize = 6, MaxFontSize = 10;
constexpr int MinMarkerSize = 21, MaxMarkerSize = 41;

QColor toQColor(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

uint32_t fromQColor(const QColor& c)
{
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

}  // namespace

int oddMarkerSize(int size)
{
    return size % 2 == 0 ? size - 1 : size;
}

ColourSwatch::ColourSwatch(const QString& objectName, uint32_t colourBgr, QWidget* parent) : QPushButton(parent)
{
    setObjectName(objectName);
    setFixedSize(40, 20);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &ColourSwatch::chooseColour);
    setColourBgr(colourBgr);
}

void ColourSwatch::setColourBgr(uint32_t colour)
{
    m_colour = colour & 0xFFFFFF;
    setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;").arg(toQColor(m_colour).name()));
}

void ColourSwatch::chooseColour()
{
    const QColor chosen = QColorDialog::getColor(toQColor(m_colour), this);
    if (chosen.isValid())
        setColourBgr(fromQColor(chosen));
}

TPrefForm::TPrefForm(const storage::Preferences& prefs, OsLoad load, QWidget* parent)
    : QDialog(parent), m_prefs(prefs), m_load(load), m_pendingLanguage(prefs.language)
{
    setObjectName(QStringLiteral("PrefForm"));
    QFont f = font();
    f.setPointSize(prefs.fontSize);
    setFont(f);

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PrefPages"));
    auto* page = new QWidget(tabs);
    page->setObjectName(QStringLiteral("GeneralSheet"));
    tabs->addTab(page, QString());

    auto* languageBox = new QGroupBox(page);
    languageBox->setObjectName(QStringLiteral("LanguageGroup"));
    m_french = new QRadioButton(qstr(text::FrenchButton), languageBox);
    m_french->setObjectName(QStringLiteral("FrRadioB"));
    m_english = new QRadioButton(qstr(text::EnglishButton), languageBox);
    m_english->setObjectName(QStringLiteral("EnRadioB"));
    auto* languageLayout = new QVBoxLayout(languageBox);
    languageLayout->addWidget(m_french);
    languageLayout->addWidget(m_english);
    (prefs.language == text::French ? m_french : m_english)->setChecked(true);
    connect(m_french, &QRadioButton::toggled, this, [this](bool on) { if (on) m_pendingLanguage = text::French; });
    connect(m_english, &QRadioButton::toggled, this, [this](bool on) { if (on) m_pendingLanguage = text::English; });

    auto* previewBox = new QGroupBox(page);
    previewBox->setObjectName(QStringLiteral("PreviewGroup"));
    m_preview = new QComboBox(previewBox);
    m_preview->setObjectName(QStringLiteral("PreviewCombo"));
    (new QVBoxLayout(previewBox))->addWidget(m_preview);

    auto* loadBox = new QGroupBox(page);
    loadBox->setObjectName(QStringLiteral("LoadGroup"));
    m_loadCombo = new QComboBox(loadBox);
    m_loadCombo->setObjectName(QStringLiteral("LoadCombo"));
    (new QVBoxLayout(loadBox))->addWidget(m_loadCombo);

    auto* coloursBox = new QGroupBox(page);
    coloursBox->setObjectName(QStringLiteral("ColorsGroup"));
    m_lineColour = new ColourSwatch(QStringLiteral("LineColorShape"), prefs.lineColour, coloursBox);
    m_rangeColour = new ColourSwatch(QStringLiteral("RangeColorShape"), prefs.outOfRangeColour, coloursBox);
    m_markerColour = new ColourSwatch(QStringLiteral("MarkerColorShape"), prefs.markerColour, coloursBox);
    const int language = prefs.language;
    // A label names its field for screen readers too.
    auto label = [language](PreferencesText id, QWidget* parent) { return new QLabel(tx(id, language), parent); };
    auto name = [language](QWidget* field, PreferencesText id) { field->setAccessibleName(shownCaption(tx(id, language))); };
    name(m_lineColour, PreferencesText::ColorOfLines);
    name(m_rangeColour, PreferencesText::OutOfRangeColor);
    name(m_markerColour, PreferencesText::MarkerColor);
    auto* coloursLayout = new QFormLayout(coloursBox);
    coloursLayout->addRow(label(PreferencesText::ColorOfLines, coloursBox), m_lineColour);
    coloursLayout->addRow(label(PreferencesText::OutOfRangeColor, coloursBox), m_rangeColour);
    coloursLayout->addRow(label(PreferencesText::MarkerColor, coloursBox), m_markerColour);

    auto* variousBox = new QGroupBox(page);
    variousBox->setObjectName(QStringLiteral("VariousGroup"));
    m_hints = new QCheckBox(variousBox);
    m_hints->setObjectName(QStringLiteral("HintCheckBox"));
    m_hints->setChecked(prefs.hints);
    m_beep = new QCheckBox(variousBox);
    m_beep->setObjectName(QStringLiteral("BeepCheckBox"));
    m_beep->setChecked(prefs.beep);
    m_computeAfterViewChange = new QCheckBox(variousBox);
    m_computeAfterViewChange->setObjectName(QStringLiteral("ComputeAfterViewChangeCheckBox"));
    m_computeAfterViewChange->setChecked(prefs.computeAfterViewChange);
    m_fontSize = new QSpinBox(variousBox);
    m_fontSize->setObjectName(QStringLiteral("FontSpinEdit"));
    m_fontSize->setRange(MinFontSize, MaxFontSize);
    m_fontSize->setValue(std::clamp(prefs.fontSize, MinFontSize, MaxFontSize));
    m_markerSize = new QSpinBox(variousBox);
    m_markerSize->setObjectName(QStringLiteral("MarkerSpinEdit"));
    m_markerSize->setRange(MinMarkerSize, MaxMarkerSize);
    m_markerSize->setValue(std::clamp(prefs.markerSize, MinMarkerSize, MaxMarkerSize));
    name(m_fontSize, PreferencesText::SizeFonts);
    name(m_markerSize, PreferencesText::SizeMarker);
    auto* variousLayout = new QFormLayout(variousBox);
    variousLayout->addRow(m_hints);
    variousLayout->addRow(m_beep);
    variousLayout->addRow(m_computeAfterViewChange);
    variousLayout->addRow(label(PreferencesText::SizeFonts, variousBox), m_fontSize);
    variousLayout->addRow(label(PreferencesText::SizeMarker, variousBox), m_markerSize);
    // A new font size applies to the dialog at once.
    connect(m_fontSize, &QSpinBox::valueChanged, this, [this](int size) {
        QFont font = this->font();
        font.setPointSize(size);
        setFont(font);
    });

    auto* grid = new QGridLayout(page);
    grid->addWidget(languageBox, 0, 0);
    grid->addWidget(previewBox, 0, 1);
    grid->addWidget(coloursBox, 1, 0);
    grid->addWidget(loadBox, 1, 1);
    grid->addWidget(variousBox, 2, 0, 1, 2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("PrefButtons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);

    applyTexts();
    m_preview->setCurrentIndex(std::clamp(prefs.previewMode, 0, 2));
    m_loadCombo->setCurrentIndex(std::clamp(int(load), 0, 2));

    tabs->setTabText(0, tx(PreferencesText::General, language));
    languageBox->setTitle(tx(PreferencesText::Language, language));
    previewBox->setTitle(tx(PreferencesText::PreviewButton, language));
    coloursBox->setTitle(tx(PreferencesText::Colors, language));
    loadBox->setTitle(tx(PreferencesText::OSLoad, language));
    variousBox->setTitle(tx(PreferencesText::Various, language));
}

void TPrefForm::applyTexts()
{
    const int language = m_prefs.language;
    setWindowTitle(tx(PreferencesText::Caption, language));
    m_preview->clear();
    m_preview->addItems({tx(PreferencesText::YesByDefault, language), tx(PreferencesText::NoByDefault, language),
                         tx(PreferencesText::Manual, language)});
    m_loadCombo->clear();
    m_loadCombo->addItems({tx(PreferencesText::Low, language), tx(PreferencesText::Default, language),
                           tx(PreferencesText::High, language)});
    m_hints->setText(tx(PreferencesText::ActivateHints, language));
    m_beep->setText(tx(PreferencesText::BeepAtEndOfFractal, language));
    m_computeAfterViewChange->setText(tx(text::NavigationText::ComputeAfterViewChange, language));
}

void TPrefForm::accept()
{
    m_prefs.language = m_pendingLanguage;
    m_prefs.previewMode = m_preview->currentIndex();
    m_load = OsLoad(m_loadCombo->currentIndex());
    m_prefs.hints = m_hints->isChecked();
    m_prefs.beep = m_beep->isChecked();
    m_prefs.computeAfterViewChange = m_computeAfterViewChange->isChecked();
    m_prefs.lineColour = m_lineColour->colourBgr();
    m_prefs.outOfRangeColour = m_rangeColour->colourBgr();
    m_prefs.markerColour = m_markerColour->colourBgr();
    m_prefs.fontSize = m_fontSize->value();
    m_prefs.markerSize = oddMarkerSize(m_markerSize->value());
    QDialog::accept();
}

void runPreferencesCommand(TMainForm& window)
{
    AppSettings& settings = window.settings();
    TPrefForm form(settings.prefs, settings.osLoad, &window);
    if (form.exec() == QDialog::Accepted) {
        // Only what the dialog edits: the recent files and the rest stay as they are now.
        const storage::Preferences& edited = form.preferences();
        storage::Preferences& prefs = settings.prefs;
        prefs.language = edited.language;
        prefs.previewMode = edited.previewMode;
        prefs.hints = edited.hints;
        prefs.beep = edited.beep;
        prefs.computeAfterViewChange = edited.computeAfterViewChange;
        prefs.lineColour = edited.lineColour;
        prefs.outOfRangeColour = edited.outOfRangeColour;
        prefs.markerColour = edited.markerColour;
        prefs.fontSize = edited.fontSize;
        prefs.markerSize = edited.markerSize;
        settings.osLoad = form.osLoad();
        window.fractal().OutOfRangeColour = prefs.outOfRangeColour;
        applyQtLanguage(prefs.language);
    }
    window.ShowStatus(QString());
    window.DrawMainMenus();
    window.applyFontSize();
    window.applyOsLoad();
    window.ShowStatus(QString());
}

}  // namespace ui
