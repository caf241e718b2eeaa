#include "ui/dialogs/PrintParForm.h"

#include "ui/text/PrintDialogTexts.h"
#include "ui/text/PrintExportTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/Fractal.h"
#include "ui/Accessibility.h"
#include "ui/BatchPrint.h"
#include "ui/MainForm.h"
#include "ui/PrintPages.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"
#include "ui/dialogs/PrintForm.h"

namespace ui {

using text::PrintText;

TPrintParForm::TPrintParForm(const storage::Preferences& prefs, const QStringList& printers, int printer,
                             int language, int fontSize, QWidget* parent)
    : QDialog(parent), m_prefs(prefs), m_language(language)
{
    setObjectName(QStringLiteral("PrintParForm"));
    QFont f = font();
    f.setPointSize(fontSize);
    setFont(f);
    setWindowTitle(tx(PrintText::PrintParameters, language));
    const auto name = [language](QWidget* w, PrintText id) {
        w->setAccessibleName(shownCaption(tx(id, language)).remove(QLatin1Char(':')).trimmed());
    };

    m_printer = new QComboBox(this);
    m_printer->setObjectName(QStringLiteral("PrinterComboBox"));
    m_printer->addItems(printers);
    m_printer->setCurrentIndex(std::clamp(printer, 0, int(printers.size()) - 1));
    m_printer->setAccessibleName(tx(text::PrintDialogText::Printer, language));

    auto* fontBox = new QGroupBox(tx(PrintText::Font, language), this);
    m_fontName = new QLabel(fontBox);
    m_fontName->setObjectName(QStringLiteral("FontNameLabel"));
    m_fontSize = new QLabel(fontBox);
    m_fontSize->setObjectName(QStringLiteral("FontSizeLabel"));
    m_fontColour = new QLabel(fontBox);
    m_fontColour->setObjectName(QStringLiteral("FontColorLabel"));
    name(m_fontName, PrintText::Font);
    name(m_fontSize, PrintText::Size);
    name(m_fontColour, PrintText::Color);
    m_more = new QPushButton(tx(text::PrintDialogText::More, language), fontBox);
    m_more->setObjectName(QStringLiteral("MoreButton"));
    m_more->setAccessibleName(tx(text::PrintDialogText::ChooseFont, language));
    auto* fontForm = new QFormLayout(fontBox);
    fontForm->addRow(tx(PrintText::Font, language), m_fontName);
    fontForm->addRow(tx(PrintText::Size, language), m_fontSize);
    fontForm->addRow(tx(PrintText::Color, language), m_fontColour);
    fontForm->addRow(m_more);
    connect(m_more, &QPushButton::clicked, this, &TPrintParForm::moreFont);

    m_markers = new QCheckBox(tx(PrintText::PrintMarkers, language), this);
    m_markers->setObjectName(QStringLiteral("MarkerCheckBox"));
    m_markers->setChecked(m_prefs.markersShown);
    name(m_markers, PrintText::PrintMarkers);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_printer);
    layout->addWidget(fontBox);
    layout->addWidget(m_markers);
    layout->addWidget(buttons);
    showFont();
}

bool TPrintParForm::printMarkers() const
{
    return m_markers->isChecked();
}

int TPrintParForm::chosenPrinter() const
{
    return m_printer->currentIndex();
}

void TPrintParForm::showFont()
{
    m_fontName->setText(QString::fromStdString(m_prefs.parameterFont));
    m_fontSize->setText(QString::number(m_prefs.parameterFontSize) + QStringLiteral(" pts"));
    const QColor c = colourFromBgr(m_prefs.parameterFontColour);
    m_fontColour->setText(c.name(QColor::HexRgb).toUpper());
    m_fontColour->setStyleSheet(QStringLiteral("QLabel { color: %1; }").arg(c.name()));
}

void TPrintParForm::setSheetFont(const QFont& font, const QColor& colour)
{
    m_prefs.parameterFont = font.family().toStdString();
    if (font.pointSize() > 0)
        m_prefs.parameterFontSize = font.pointSize();
    if (colour.isValid())
        m_prefs.parameterFontColour = bgrFromColour(colour);
    showFont();
}

void TPrintParForm::moreFont()
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, printFont(m_prefs.parameterFont, m_prefs.parameterFontSize), this);
    if (!ok)
        return;
    const QColor colour = QColorDialog::getColor(colourFromBgr(m_prefs.parameterFontColour), this);
    setSheetFont(chosen, colour);
}

bool runPrintParametersCommand(TMainForm& window)
{
    document::TFractal& f = window.fractal();
    AppSettings& settings = window.settings();
    const int language = settings.language();
    QPrinter& printer = window.printer();
    const PrinterChoice choice = printerChoice(printer, language);
    TPrintParForm form(settings.prefs, choice.names, choice.current, language, settings.prefs.fontSize, &window);
    if (form.exec() != QDialog::Accepted) {
        window.ShowStatus(QString());
        return false;
    }
    settings.prefs.parameterFont = form.prefs().parameterFont;
    settings.prefs.parameterFontSize = form.prefs().parameterFontSize;
    settings.prefs.parameterFontColour = form.prefs().parameterFontColour;
    selectPrinter(printer, choice, form.chosenPrinter());
    const bool pdf = form.chosenPrinter() == choice.pdfEntry;
    QString path;
    if (pdf) {
        path = window.services().saveExportPath(&window, settings.exportDirectory, QString::fromStdString(f.FileName),
                                                QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"));
        if (path.isEmpty())
            return false;
    }
    SheetPrintSettings sheet = sheetPrintSettings(settings.prefs);
    sheet.markers = form.printMarkers();
    return printFromWindow(window, printer, pdf ? path : QString(),
                           [&](QPrinter& p, QString* error) { return printParameterSheet(p, f, language, sheet, error); });
}

}  // namespace ui
