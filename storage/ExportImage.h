#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "storage/ColourMapping.h"
#include "storage/JpegWriter.h"

namespace document {
class TFractal;
}
namespace engine {
class ComputeObserver;
}

namespace storage {

class ImageWriter;
class RowSource;

// Export formats; the first four values are the format indexes of the export dialog.
enum class ExportFormat : uint8_t { Jpeg = 0, Gif = 1, Tiff = 2, Bmp = 3, Png = 4 };

// The format named by a file's extension, case-insensitive: .jpg/.jpeg, .gif, .tif/.tiff, .bmp, .png.
std::optional<ExportFormat> exportFormatFromPath(std::string_view path);

// The depth rules of the export dialog: JPEG only for 24-bit images, BMP only for 8-bit images;
// GIF, TIFF and PNG for both.
bool exportFormatOffered(ExportFormat format, uint8_t pixelFormat);

// The resolutions (dots per inch) the export dialog offers for TIFF and PNG files.
inline constexpr int ExportResolutions[] = {72, 100, 200, 300, 400, 600, 1200};
inline constexpr int ExportResolutionDefault = 300;
bool isExportResolution(int dpi);

struct ExportOptions {
    int Quality = JpegQualityDefault;  // JPEG, 50..100
    GifDither Dither = GifDither::None;  // GIF of a 24-bit image
    uint32_t Resolution = ExportResolutionDefault;  // TIFF and PNG, dots per inch
};

enum class ExportStatus : uint8_t {
    Ok,
    NotOffered,   // the format is not offered for the image's pixel format; nothing was written
    WriteFailed,  // the writer or the file failed; the previous file at the path is untouched
};

// Where an export takes the picture from.
enum class ExportSource : uint8_t {
    DisplayBitmap = 0,  // the display bitmap as it is (what the window shows: filters and 3D view included)
    ColouredValues = 1, // the values, coloured row by row as they are written: needs no display bitmap
};

// The writer of `format` with `options` (quality, dither; the resolution is the image's, see ImageInfo).
std::unique_ptr<ImageWriter> makeImageWriter(ExportFormat format, const ExportOptions& options);

// Writes the picture of `source` to `path` in `format`, at options.Resolution, in bands of `bandRows`
// rows (0: the default, see storage::feedImage). The file is written beside the target under a
// temporary name and renamed over it only when complete, so a failed export never leaves a
// half-written file in place of a good one. Progress goes to `observer` (may be null).
ExportStatus ExportImageFile(RowSource& source, ExportFormat format, const std::string& path,
                             const ExportOptions& options, engine::ComputeObserver* observer = nullptr,
                             int bandRows = 0);

// Writes the picture of `f` taken from `from` (BitmapRowSource or ValueRowSource), as above.
ExportStatus ExportImageFile(const document::TFractal& f, ExportFormat format, const std::string& path,
                             const ExportOptions& options, engine::ComputeObserver* observer = nullptr,
                             ExportSource from = ExportSource::DisplayBitmap);

}  // namespace storage
