#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>

#include "storage/ExportImage.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;

namespace ui {

// What the export dialog remembers for the rest of the run (never stored in the preferences): the
// last format, the JPEG quality and the TIFF resolution. The dither choice is not remembered.
struct ExportSettings {
    storage::ExportFormat lastFormat = storage::ExportFormat::Tiff;
    int quality = storage::JpegQualityDefault;
    int resolution = storage::ExportResolutionDefault;
};
// The settings of this run.
ExportSettings& exportSettings();

// The export dialog's answer.
struct ExportChoice {
    storage::ExportFormat format = storage::ExportFormat::Tiff;
    storage::ExportOptions options;
};

// `TExportForm`: the format list (GIF, TIFF and BMP for an 8-bit image; JPEG, GIF and TIFF for a 24-bit
// one) and the one option of the chosen format: the JPEG quality, the GIF dither (24-bit images only,
// always starting on "None") or the TIFF resolution. Only OK; Esc closes it without exporting.
class TExportForm : public QDialog {
    Q_OBJECT
public:
    TExportForm(uint8_t pixelFormat, int language, int fontSize, QWidget* parent = nullptr);

    // The formats listed, in list order.
    const std::vector<storage::ExportFormat>& formats() const { return m_formats; }
    // The answer as the controls stand now.
    ExportChoice choice() const;
    // OK: the choice becomes the remembered settings.
    void accept() override;

private:
    void formatChanged();
    void qualityMoved(int value);

    int m_language;
    bool m_trueColour;
    std::vector<storage::ExportFormat> m_formats;
    QComboBox* m_type;
    QGroupBox* m_jpegBox;
    QSlider* m_quality;
    QLabel* m_qualityLabel;
    QGroupBox* m_gifBox;
    QComboBox* m_dither;
    QGroupBox* m_tiffBox;
    QComboBox* m_dpi;
    QPushButton* m_ok;
};

// Shows the export dialog for an image of `pixelFormat`; nothing when it was closed without OK.
std::optional<ExportChoice> ExportDialogExecute(QWidget* parent, uint8_t pixelFormat, int language, int fontSize);

// The save dialog's filter and default suffix of a format: "Vorex TIFF image (*.tif)", "tif".
QString exportFilter(storage::ExportFormat format);
QString exportSuffix(storage::ExportFormat format);

class TMainForm;
// "Export Image": the export dialog, then the save dialog (in the export directory, proposing the
// document's name) and the writer, with "Exporting: " and the path in the status line and the progress
// window while the rows are written. The picture is the display bitmap as shown (colouring, filter or
// 3D view); a two-tone TIFF is made from the values. True unless the writing failed.
bool runExportCommand(TMainForm& window);

}  // namespace ui
