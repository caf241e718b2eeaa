#include "ui/dialogs/ExportForm.h"

#include "ui/text/PrintExportTexts.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "document/Fractal.h"
#include "engine/Values.h"
#include "ui/Accessibility.h"
#include "ui/MainForm.h"
#include "ui/Texts.h"
#include "ui/UiServices.h"
#include "ui/tools/ProgForm.h"

namespace ui {

namespace {

using storage::ExportFormat;
using text::ExportText;

ExportText formatText(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Jpeg: return ExportText::Jpeg;
    case ExportFormat::Gif: return ExportText::Gif;
    case ExportFormat::Bmp: return ExportText::Bmp;
    case ExportFormat::Tiff:
    case ExportFormat::Png: break;
    }
    return ExportText::Tiff;
}

}  // namespace

ExportSettings& exportSettings()
{
    static ExportSettings settings;
    return settings;
}

QString exportFilter(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Jpeg: return QStringLiteral("Vorex JPEG image (*.jpg)");
    case ExportFormat::Gif: return QStringLiteral("Vorex CompuServe GIF (*.gif)");
    case ExportFormat::Bmp: return QStringLiteral("Vorex Windows Bitmap (*.bmp)");
    case ExportFormat::Png: return QStringLiteral("Vorex PNG image (*.png)");
    case ExportFormat::Tiff: break;
    }
    return QStringLiteral("Vorex TIFF image (*.tif)");
}

QString exportSuffix(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Jpeg: return QStringLiteral("jpg");
    case ExportFormat::Gif: return QStringLiteral("gif");
    case ExportFormat::Bmp: return QStringLiteral("bmp");
    case ExportFormat::Png: return QStringLiteral("png");
    case ExportFormat::Tiff: break;
    }
    return QStringLiteral("tif");
}

TExportForm::TExportForm(uint8_t pixelFormat, int language, int fontSize, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_language(language),
      m_trueColour(pixelFormat == engine::PixelFormat24)
{
    setObjectName(QStringLiteral("ExportForm"));
    QFont f = font();
    f.setPointSize(fontSize);
    setFont(f);
    setWindowTitle(tx(ExportText::ExportFractal, language));
    const ExportSettings& remembered = exportSettings();

    // 8-bit images: GIF, TIFF, BMP; 24-bit images: JPEG, GIF, TIFF.
    if (m_trueColour)
        m_formats = {ExportFormat::Jpeg, ExportFormat::Gif, ExportFormat::Tiff};
    else
        m_formats = {ExportFormat::Gif, ExportFormat::Tiff, ExportFormat::Bmp};
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("ExTypeComboBox"));
    for (ExportFormat format : m_formats)
        m_type->addItem(tx(formatText(format), language));
    // A remembered format this depth does not offer (JPEG for 8 bits, BMP for 24) falls back on TIFF.
    auto selected = std::find(m_formats.begin(), m_formats.end(), remembered.lastFormat);
    if (selected == m_formats.end())
        selected = std::find(m_formats.begin(), m_formats.end(), ExportFormat::Tiff);
    m_type->setCurrentIndex(int(selected - m_formats.begin()));
    m_type->setAccessibleName(tx(ExportText::ExportFractal, language));

    // JPEG: the quality, "Max" at the left end and "Min" at the right end.
    m_jpegBox = new QGroupBox(QStringLiteral("Compression: "), this);
    m_jpegBox->setObjectName(QStringLiteral("GroupBoxJPEG"));
    m_quality = new QSlider(Qt::Horizontal, m_jpegBox);
    m_quality->setObjectName(QStringLiteral("JpegTrackBar"));
    m_quality->setRange(storage::JpegQualityMin, storage::JpegQualityMax);
    m_quality->setInvertedAppearance(true);
    m_quality->setInvertedControls(true);
    m_quality->setPageStep(5);
    m_quality->setValue(remembered.quality);
    m_quality->setAccessibleName(tx(ExportText::ImageQuality, language).trimmed());
    m_qualityLabel = new QLabel(m_jpegBox);
    m_qualityLabel->setObjectName(QStringLiteral("JpegCompLabel"));
    auto* maxLabel = new QLabel(QStringLiteral("Max"), m_jpegBox);
    auto* minLabel = new QLabel(QStringLiteral("Min"), m_jpegBox);
    auto* slider = new QHBoxLayout;
    slider->addWidget(maxLabel);
    slider->addWidget(m_quality, 1);
    slider->addWidget(minLabel);
    auto* jpeg = new QVBoxLayout(m_jpegBox);
    jpeg->addLayout(slider);
    jpeg->addWidget(m_qualityLabel);
    qualityMoved(m_quality->value());
    connect(m_quality, &QSlider::valueChanged, this, &TExportForm::qualityMoved);

    // GIF: the dither of the colour reduction, for 24-bit images only.
    m_gifBox = new QGroupBox(tx(ExportText::Conversion24To8, language), this);
    m_gifBox->setObjectName(QStringLiteral("GroupBoxGIF"));
    auto* ditherLabel = new QLabel(tx(ExportText::Dither, language), m_gifBox);
    ditherLabel->setObjectName(QStringLiteral("DitherLabel"));
    m_dither = new QComboBox(m_gifBox);
    m_dither->setObjectName(QStringLiteral("GifComboBox"));
    m_dither->addItem(tx(ExportText::None, language));
    m_dither->addItem(tx(ExportText::ErrorDiffusion, language));
    m_dither->setCurrentIndex(0);
    m_dither->setAccessibleName(tx(ExportText::Dither, language).remove(QLatin1Char(':')).trimmed());
    ditherLabel->setBuddy(m_dither);
    m_gifBox->setEnabled(m_trueColour);
    m_dither->setStyleSheet(m_trueColour ? QStringLiteral("QComboBox { background-color: white; }")
                                         : QStringLiteral("QComboBox { background-color: silver; }"));
    auto* gif = new QHBoxLayout(m_gifBox);
    gif->addWidget(ditherLabel);
    gif->addWidget(m_dither, 1);

    // TIFF: the resolution written into the file.
    m_tiffBox = new QGroupBox(tx(ExportText::Resolution, language), this);
    m_tiffBox->setObjectName(QStringLiteral("GroupBoxTiff"));
    auto* dpiLabel = new QLabel(QStringLiteral("DPI:"), m_tiffBox);
    dpiLabel->setObjectName(QStringLiteral("DpiLabel"));
    m_dpi = new QComboBox(m_tiffBox);
    m_dpi->setObjectName(QStringLiteral("DPIComboBox"));
    for (int dpi : storage::ExportResolutions)
        m_dpi->addItem(QString::number(dpi), dpi);
    const int dpiIndex = m_dpi->findData(remembered.resolution);
    m_dpi->setCurrentIndex(dpiIndex >= 0 ? dpiIndex : m_dpi->findData(storage::ExportResolutionDefault));
    m_dpi->setAccessibleName(tx(ExportText::Resolution, language).remove(QLatin1Char(':')).trimmed());
    dpiLabel->setBuddy(m_dpi);
    auto* tiff = new QHBoxLayout(m_tiffBox);
    tiff->addWidget(dpiLabel);
    tiff->addWidget(m_dpi, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_type);
    layout->addWidget(m_jpegBox);
    layout->addWidget(m_gifBox);
    layout->addWidget(m_tiffBox);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_type, &QComboBox::currentIndexChanged, this, &TExportForm::formatChanged);
    formatChanged();
    m_type->setFocus();
}

void TExportForm::formatChanged()
{
    const int index = m_type->currentIndex();
    const ExportFormat format = index >= 0 && index < int(m_formats.size()) ? m_formats[size_t(index)] : ExportFormat::Bmp;
    // One option box at a time; none for BMP.
    m_jpegBox->setVisible(format == ExportFormat::Jpeg);
    m_gifBox->setVisible(format == ExportFormat::Gif);
    m_tiffBox->setVisible(format == ExportFormat::Tiff);
}

void TExportForm::qualityMoved(int value)
{
    m_qualityLabel->setText(tx(ExportText::ImageQuality, m_language) + QString::number(value));
}

ExportChoice TExportForm::choice() const
{
    ExportChoice c;
    const int index = std::clamp(m_type->currentIndex(), 0, int(m_formats.size()) - 1);
    c.format = m_formats[size_t(index)];
    c.options.Quality = m_quality->value();
    c.options.Dither = m_dither->currentIndex() == 1 ? storage::GifDither::ErrorDiffusion : storage::GifDither::None;
    c.options.Resolution = uint32_t(m_dpi->currentData().toInt());
    return c;
}

void TExportForm::accept()
{
    const ExportChoice c = choice();
    ExportSettings& remembered = exportSettings();
    remembered.lastFormat = c.format;
    remembered.quality = c.options.Quality;
    remembered.resolution = int(c.options.Resolution);
    QDialog::accept();
}

std::optional<ExportChoice> ExportDialogExecute(QWidget* parent, uint8_t pixelFormat, int language, int fontSize)
{
    TExportForm form(pixelFormat, language, fontSize, parent);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.choice();
}

bool runExportCommand(TMainForm& window)
{
    document::TFractal& f = window.fractal();
    AppSettings& settings = window.settings();
    const int language = settings.language();
    const std::optional<ExportChoice> choice =
        ExportDialogExecute(&window, f.Bitmap.PixelFormat, language, settings.prefs.fontSize);
    if (!choice)
        return true;
    QString directory = settings.exportDirectory;
    if (directory.isEmpty() || !QDir(directory).exists())
        directory = settings.programDirectory;
    const QString path = window.services().saveExportPath(&window, directory, QString::fromStdString(f.FileName),
                                                          exportFilter(choice->format), exportSuffix(choice->format));
    if (path.isEmpty())
        return true;  // cancelled: nothing written, nothing wrong
    window.ShowStatus(tx(text::StatusText::Exporting, language) + QDir::toNativeSeparators(path));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    storage::ExportStatus status;
    {
        ProgressWindowObserver progress(&window, std::max(1, f.Bitmap.Height));
        status = storage::ExportImageFile(f, choice->format, QFile::encodeName(path).toStdString(), choice->options,
                                          &progress, storage::ExportSource::DisplayBitmap);
    }
    QApplication::restoreOverrideCursor();
    settings.exportDirectory = QFileInfo(path).absolutePath();
    window.ShowStatus(QString());
    return status == storage::ExportStatus::Ok;
}

}  // namespace ui
