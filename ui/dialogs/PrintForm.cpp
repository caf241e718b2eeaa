#include "ui/dialogs/PrintForm.h"

#include "ui/text/PrintDialogTexts.h"
#include "ui/text/PrintExportTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "document/Fractal.h"
#include "engine/NumberFormat.h"
#include "ui/Accessibility.h"
#include "ui/BatchPrint.h"
#include "ui/MainForm.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"
#include "ui/dialogs/PrintCfgForm.h"

namespace ui {

namespace {

using text::PrintText;

constexpr int MaxCustomDpi = 10000;

}  // namespace

QString millimetres(double mm)
{
    return QString::fromStdString(engine::formatGeneral(mm, 15));
}

TPrintForm::TPrintForm(const storage::Preferences& prefs, Context context, QWidget* parent)
    : QDialog(parent), m_prefs(prefs), m_context(std::move(context))
{
    setObjectName(QStringLiteral("PrintForm"));
    QFont f = font();
    f.setPointSize(m_context.fontSize);
    setFont(f);
    const int language = m_context.language;
    setWindowTitle(tx(PrintText::PrintFractal, language));
    const auto name = [language](QWidget* w, PrintText id) {
        w->setAccessibleName(shownCaption(tx(id, language)).remove(QLatin1Char(':')).trimmed());
    };

    m_printer = new QComboBox(this);
    m_printer->setObjectName(QStringLiteral("PrinterComboBox"));
    m_printer->addItems(m_context.printers);
    m_printer->setCurrentIndex(std::clamp(m_context.printer, 0, int(m_context.printers.size()) - 1));
    m_printer->setAccessibleName(tx(text::PrintDialogText::Printer, language));
    m_printerDpi = new QLabel(this);
    m_printerDpi->setObjectName(QStringLiteral("PrinterResLabel"));
    m_paper = new QLabel(this);
    m_paper->setObjectName(QStringLiteral("PaperSizeLabel"));
    m_area = new QLabel(this);
    m_area->setObjectName(QStringLiteral("PrintAreaLabel"));
    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("FractalSizeLabel"));
    m_image->setText(QStringLiteral("%1 x %2 x %3")
                         .arg(m_context.width)
                         .arg(m_context.height)
                         .arg(QString::fromStdString(storage::depthName(m_context.pixelFormat))));
    name(m_printerDpi, PrintText::PrinterResolution);
    name(m_paper, PrintText::PaperSize);
    name(m_area, PrintText::PrintArea);
    name(m_image, PrintText::Fractal);
    auto* facts = new QFormLayout;
    facts->addRow(m_printer);
    facts->addRow(tx(PrintText::PrinterResolution, language), m_printerDpi);
    facts->addRow(tx(PrintText::PaperSize, language), m_paper);
    facts->addRow(tx(PrintText::PrintArea, language), m_area);
    facts->addRow(tx(PrintText::Fractal, language), m_image);

    auto* resolutionBox = new QGroupBox(tx(PrintText::PrintingResolution, language), this);
    resolutionBox->setObjectName(QStringLiteral("ResolutionGroupBox"));
    m_resolution = new QComboBox(resolutionBox);
    m_resolution->setObjectName(QStringLiteral("DPIComboBox"));
    for (int dpi : storage::PrintResolutions)
        m_resolution->addItem(QString::number(dpi) + QStringLiteral(" DPI"), dpi);
    const int index = m_prefs.printDpiIndex < storage::PrintResolutionCount ? m_prefs.printDpiIndex : 2;
    m_resolution->setCurrentIndex(index);
    name(m_resolution, PrintText::PrintingResolution);
    m_custom = new QCheckBox(tx(PrintText::Custom, language), resolutionBox);
    m_custom->setObjectName(QStringLiteral("CustomCheckBox"));
    name(m_custom, PrintText::Custom);
    m_customDpi = new QSpinBox(resolutionBox);
    m_customDpi->setObjectName(QStringLiteral("CustomSpinEdit"));
    m_customDpi->setRange(1, MaxCustomDpi);
    m_customDpi->setValue(std::clamp(m_prefs.printDpi, 1, MaxCustomDpi));
    m_customDpi->setSuffix(QStringLiteral(" DPI"));
    m_customDpi->setAccessibleName(shownCaption(tx(PrintText::Custom, language)).remove(QLatin1Char(':')).trimmed()
                                   + QStringLiteral(" DPI"));
    m_printedSize = new QLabel(resolutionBox);
    m_printedSize->setObjectName(QStringLiteral("PrintedSizeLabel"));
    m_printedSize->setAccessibleName(tx(text::PrintDialogText::PrintedSize, language));
    auto* resolution = new QGridLayout(resolutionBox);
    resolution->addWidget(m_resolution, 0, 0, 1, 2);
    resolution->addWidget(m_custom, 1, 0);
    resolution->addWidget(m_customDpi, 1, 1);
    resolution->addWidget(m_printedSize, 2, 0, 1, 2);

    m_centre = new QCheckBox(tx(PrintText::CenterImageOnPaper, language), this);
    m_centre->setObjectName(QStringLiteral("CenterCheckBox"));
    m_centre->setChecked(true);  // whenever the dialog opens
    name(m_centre, PrintText::CenterImageOnPaper);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    m_detail = buttons->addButton(tx(PrintText::Detail, language), QDialogButtonBox::ActionRole);
    m_detail->setObjectName(QStringLiteral("DetailButton"));
    name(m_detail, PrintText::Detail);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_detail, &QPushButton::clicked, this, &TPrintForm::details);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(facts);
    layout->addWidget(resolutionBox);
    layout->addWidget(m_centre);
    layout->addWidget(buttons);

    connect(m_printer, &QComboBox::currentIndexChanged, this, &TPrintForm::printerChanged);
    connect(m_resolution, &QComboBox::currentIndexChanged, this, &TPrintForm::update);
    connect(m_custom, &QCheckBox::toggled, this, &TPrintForm::update);
    connect(m_customDpi, &QSpinBox::valueChanged, this, &TPrintForm::update);
    connect(m_centre, &QCheckBox::toggled, this, &TPrintForm::update);
    printerChanged();
}

int TPrintForm::chosenPrinter() const
{
    return m_printer->currentIndex();
}

void TPrintForm::printerChanged()
{
    if (m_context.metrics)
        m_metrics = m_context.metrics(chosenPrinter());
    m_printerDpi->setText(QStringLiteral("%1 x %2 DPI").arg(m_metrics.dpiX).arg(m_metrics.dpiY));
    m_paper->setText(millimetres(m_metrics.paperWidthMm) + QStringLiteral("mm x ") + millimetres(m_metrics.paperHeightMm)
                     + QStringLiteral("mm"));
    m_area->setText(millimetres(m_metrics.printableWidthMm) + QStringLiteral("mm x ")
                    + millimetres(m_metrics.printableHeightMm) + QStringLiteral("mm"));
    update();
}

void TPrintForm::update()
{
    m_customDpi->setEnabled(m_custom->isChecked());
    m_resolution->setEnabled(!m_custom->isChecked());
    m_dpi = storage::chosenPrintResolution(m_resolution->currentIndex(), m_custom->isChecked(), m_customDpi->value());
    m_place = storage::placeImage(m_context.width, m_context.height, m_dpi, m_metrics, m_centre->isChecked());
    m_printedSize->setText(QString::number(m_place.widthMm, 'f', 2) + QStringLiteral(" x ")
                           + QString::number(m_place.heightMm, 'f', 2) + QStringLiteral(" mm"));
    m_printedSize->setStyleSheet(m_place.fits ? QStringLiteral("color: blue;") : QStringLiteral("color: red;"));
    m_ok->setEnabled(m_place.fits);
}

bool TPrintForm::okEnabled() const
{
    return m_ok->isEnabled();
}

void TPrintForm::details()
{
    TPrintCfgForm form(m_prefs, m_context.language, m_context.fontSize, this);
    if (form.exec() == QDialog::Accepted)
        m_prefs = form.prefs();
}

ImagePrintSettings TPrintForm::settings() const
{
    ImagePrintSettings s = imagePrintSettings(m_prefs);
    s.dpi = m_dpi;
    s.centre = m_centre->isChecked();
    return s;
}

void TPrintForm::accept()
{
    update();
    if (!m_place.fits)
        return;
    m_prefs.printDpiIndex = uint8_t(m_resolution->currentIndex());
    if (m_custom->isChecked())
        m_prefs.printDpi = m_customDpi->value();
    QDialog::accept();
}

PrinterChoice printerChoice(const QPrinter& printer, int language)
{
    PrinterChoice c;
    c.names = QPrinterInfo::availablePrinterNames();
    c.pdfEntry = int(c.names.size());
    c.names << tx(text::PrintDialogText::PdfFile, language);
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat || printer.printerName().isEmpty();
    const int named = int(c.names.indexOf(printer.printerName()));
    c.current = toFile || named < 0 ? c.pdfEntry : named;
    return c;
}

storage::PrinterMetrics selectPrinter(QPrinter& printer, const PrinterChoice& choice, int index)
{
    if (index == choice.pdfEntry || index < 0 || index >= choice.names.size()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(choice.names.value(index));
    }
    return printerMetrics(printer);
}

bool runPrintCommand(TMainForm& window)
{
    document::TFractal& f = window.fractal();
    AppSettings& settings = window.settings();
    const int language = settings.language();
    QPrinter& printer = window.printer();

    // The printers of the system, then printing to a PDF file.
    TPrintForm::Context context;
    context.width = f.Bitmap.Width;
    context.height = f.Bitmap.Height;
    context.pixelFormat = f.Bitmap.PixelFormat;
    context.language = language;
    context.fontSize = settings.prefs.fontSize;
    const PrinterChoice choice = printerChoice(printer, language);
    const int pdfEntry = choice.pdfEntry;
    context.printers = choice.names;
    context.printer = choice.current;
    context.metrics = [&printer, choice](int index) { return selectPrinter(printer, choice, index); };
    TPrintForm form(settings.prefs, context, &window);
    if (form.exec() != QDialog::Accepted) {
        window.ShowStatus(QString());
        return false;
    }
    // The settings go back to the preferences.
    settings.prefs = form.prefs();
    const bool pdf = form.chosenPrinter() == pdfEntry;
    QString path;
    if (pdf) {
        path = window.services().saveExportPath(&window, settings.exportDirectory, QString::fromStdString(f.FileName),
                                                QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"));
        if (path.isEmpty())
            return false;
    }
    const ImagePrintSettings print = form.settings();
    return printFromWindow(window, printer, pdf ? path : QString(),
                           [&](QPrinter& p, QString* error) { return printImagePage(p, f, language, print, error); });
}

bool printFromWindow(TMainForm& window, QPrinter& printer, const QString& pdfPath,
                     const std::function<bool(QPrinter&, QString*)>& page)
{
    window.ShowStatus(tx(text::StatusText::Printing, window.settings().language()));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    printer.setDocName(QString::fromStdString(window.fractal().FileName));
    const bool printed = !pdfPath.isEmpty() ? printPdfFile(printer, pdfPath, page, &error) : page(printer, &error);
    QApplication::restoreOverrideCursor();
    window.ShowStatus(QString());
    if (!printed)
        window.services().showError(&window, qstr(text::ProductTitle), error);
    return printed;
}

}  // namespace ui
