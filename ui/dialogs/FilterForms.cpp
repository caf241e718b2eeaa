#include "ui/dialogs/FilterForms.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/text/ViewTexts.h"
#include "ui/Accessibility.h"
#include "ui/MainForm.h"
#include "ui/Texts.h"
#include "ui/dialogs/PrefForm.h"

namespace ui {

namespace {

using text::FilterText;
using colour::filters::FilterKind;

void applyFontSize(QWidget* w, int size)
{
    QFont f = w->font();
    f.setPointSize(size);
    w->setFont(f);
}

QDialogButtonBox* okCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

TEdgesForm::TEdgesForm(const colour::filters::EdgesSettings& settings, int language, int fontSize, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("EdgesForm"));
    applyFontSize(this, fontSize);
    setWindowTitle(tx(FilterText::EdgesFilter, language));
    auto* group = new QGroupBox(tx(FilterText::Colors, language), this);
    const QStringList choices{tx(FilterText::FixedColor, language), tx(FilterText::Fractal, language)};
    m_lines = new QComboBox(group);
    m_lines->setObjectName(QStringLiteral("EdgesLineBox"));
    m_lines->addItems(choices);
    m_lines->setCurrentIndex(settings.LinesFromFractal ? 1 : 0);
    m_background = new QComboBox(group);
    m_background->setObjectName(QStringLiteral("EdgesBkgdBox"));
    m_background->addItems(choices);
    m_background->setCurrentIndex(settings.BackgroundFromFractal ? 1 : 0);
    m_lineColour = new ColourSwatch(QStringLiteral("LinesColorShape"), settings.Line, group);
    m_backgroundColour = new ColourSwatch(QStringLiteral("BkgdColorShape"), settings.Background, group);
    m_biomorph = new ColourSwatch(QStringLiteral("BioColorShape"), settings.Biomorph, group);
    m_brightness = new QSpinBox(group);
    m_brightness->setObjectName(QStringLiteral("BkgdSpinEdit"));
    m_brightness->setRange(0, 200);
    m_brightness->setSuffix(QStringLiteral(" %"));
    m_brightness->setValue(std::min<int>(settings.Brightness, 200));

    auto name = [language](QWidget* w, FilterText id) { w->setAccessibleName(shownCaption(tx(id, language)).trimmed()); };
    name(m_lines, FilterText::Lines);
    name(m_background, FilterText::Background);
    name(m_biomorph, FilterText::Biomorphe);
    m_lineColour->setAccessibleName(shownCaption(tx(FilterText::Lines, language)) + QLatin1Char(' ')
                                    + tx(FilterText::FixedColor, language));
    m_backgroundColour->setAccessibleName(shownCaption(tx(FilterText::Background, language)) + QLatin1Char(' ')
                                          + tx(FilterText::FixedColor, language));
    m_brightness->setAccessibleName(shownCaption(tx(FilterText::Background, language)) + QLatin1Char(' ')
                                    + tx(FilterText::Fractal, language));

    auto* grid = new QGridLayout(group);
    auto label = [group](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, group);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(tx(FilterText::Lines, language), m_lines), 0, 0);
    grid->addWidget(m_lines, 0, 1);
    grid->addWidget(m_lineColour, 0, 2);
    grid->addWidget(label(tx(FilterText::Background, language), m_background), 1, 0);
    grid->addWidget(m_background, 1, 1);
    grid->addWidget(m_backgroundColour, 1, 2);
    grid->addWidget(m_brightness, 1, 3);
    grid->addWidget(label(tx(FilterText::Biomorphe, language), m_biomorph), 2, 0);
    grid->addWidget(m_biomorph, 2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(okCancel(this));
    connect(m_lines, &QComboBox::currentIndexChanged, this, &TEdgesForm::showChoices);
    connect(m_background, &QComboBox::currentIndexChanged, this, &TEdgesForm::showChoices);
    showChoices();
}

void TEdgesForm::showChoices()
{
    // A fixed colour shows its swatch; the fractal's background shows its brightness.
    m_lineColour->setVisible(m_lines->currentIndex() == 0);
    m_backgroundColour->setVisible(m_background->currentIndex() == 0);
    m_brightness->setVisible(m_background->currentIndex() == 1);
}

void TEdgesForm::accept()
{
    m_brightness->interpretText();
    m_settings.LinesFromFractal = m_lines->currentIndex() == 1;
    m_settings.BackgroundFromFractal = m_background->currentIndex() == 1;
    m_settings.Line = m_lineColour->colourBgr();
    m_settings.Background = m_backgroundColour->colourBgr();
    m_settings.Biomorph = m_biomorph->colourBgr();
    m_settings.Brightness = uint8_t(m_brightness->value());
    QDialog::accept();
}

TReliefForm::TReliefForm(const colour::filters::EmbossSettings& settings, int language, int fontSize, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("ReliefForm"));
    applyFontSize(this, fontSize);
    setWindowTitle(tx(FilterText::EmbossFilter, language));
    auto* group = new QGroupBox(tx(FilterText::Parameters, language), this);
    m_deep = new QSpinBox(group);
    m_deep->setObjectName(QStringLiteral("ReliefDeepEdit"));
    m_deep->setRange(0, 50);
    m_deep->setValue(std::min<int>(settings.Deep, 50));
    m_contrast = new QSpinBox(group);
    m_contrast->setObjectName(QStringLiteral("ReliefColorEdit"));
    m_contrast->setRange(0, 255);
    m_contrast->setValue(settings.Contrast);
    m_biomorph = new ColourSwatch(QStringLiteral("BioColorShape"), settings.Biomorph, group);

    auto* lightBox = new QGroupBox(tx(FilterText::LightAngle, language), group);
    lightBox->setObjectName(QStringLiteral("LightGroup"));
    const char* names[4] = {"HG", "HD", "BG", "BD"};
    const char* corners[4] = {"NW", "NE", "SW", "SE"};
    auto* lightGrid = new QGridLayout(lightBox);
    for (int i = 0; i < 4; ++i) {
        m_light[i] = new QRadioButton(QLatin1String(corners[i]), lightBox);
        m_light[i]->setObjectName(QLatin1String(names[i]));
        lightGrid->addWidget(m_light[i], i / 2, i % 2);
    }
    m_light[std::min<int>(int(settings.LightAngle), 3)]->setChecked(true);

    auto name = [language](QWidget* w, FilterText id) { w->setAccessibleName(shownCaption(tx(id, language)).trimmed()); };
    name(m_deep, FilterText::Deep);
    name(m_contrast, FilterText::Contrast);
    name(m_biomorph, FilterText::BiomorpheColor);
    name(lightBox, FilterText::LightAngle);

    auto* form = new QFormLayout;
    auto label = [group](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, group);
        l->setBuddy(buddy);
        return l;
    };
    form->addRow(label(tx(FilterText::Deep, language), m_deep), m_deep);
    form->addRow(label(tx(FilterText::Contrast, language), m_contrast), m_contrast);
    form->addRow(label(tx(FilterText::BiomorpheColor, language), m_biomorph), m_biomorph);
    auto* inGroup = new QVBoxLayout(group);
    inGroup->addLayout(form);
    inGroup->addWidget(lightBox);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(okCancel(this));
}

void TReliefForm::accept()
{
    m_deep->interpretText();
    m_contrast->interpretText();
    m_settings.Deep = uint8_t(m_deep->value());
    m_settings.Contrast = uint8_t(m_contrast->value());
    for (int i = 0; i < 4; ++i)
        if (m_light[i]->isChecked())
            m_settings.LightAngle = colour::filters::Light(i);
    m_settings.Biomorph = m_biomorph->colourBgr();
    QDialog::accept();
}

void runEdgesCommand(TMainForm& window)
{
    const AppSettings& settings = window.settings();
    TEdgesForm form(window.filterSettings().Edges, settings.language(), settings.prefs.fontSize, &window);
    if (form.exec() != QDialog::Accepted) {
        // The entry's check mark goes back to the filter shown.
        window.DrawMainMenus();
        window.ShowStatus(QString());
        return;
    }
    window.filterSettings().Edges = form.settings();
    // Colours taken from the fractal must be the plain picture's, not a previous filter's.
    if (form.settings().LinesFromFractal || form.settings().BackgroundFromFractal)
        window.redraw2D(true);
    window.applyFilter(FilterKind::Edges);
}

void runReliefCommand(TMainForm& window)
{
    const AppSettings& settings = window.settings();
    TReliefForm form(window.filterSettings().Emboss, settings.language(), settings.prefs.fontSize, &window);
    if (form.exec() != QDialog::Accepted) {
        // The entry's check mark goes back to the filter shown.
        window.DrawMainMenus();
        window.ShowStatus(QString());
        return;
    }
    window.filterSettings().Emboss = form.settings();
    window.applyFilter(FilterKind::Emboss);
}

void runNoFilterCommand(TMainForm& window)
{
    window.filterSettings().Kind = FilterKind::None;
    window.redraw2D(true);
    window.DrawMainMenus();
    window.ShowStatus(QString());
}

}  // namespace ui
