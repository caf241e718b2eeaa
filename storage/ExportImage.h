#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "storage/ColourMapping.h"
#include "storage/JpegWriter.h"

namespace engine {
class ComputeObserver;
}
namespace document {
class TFractal;
}

namespace storage {

// Export formats; the first four values are the format indexes of the export dialog.
enum class ExportFormat : uint8_t { Jpeg = 0, Gif = 1, Tiff = 2, Bmp = 3, Png = 4 };

// The format named by a file's extension, case-insensitive: .jpg/.jpeg, .gif, .tif/.tiff, .bmp, .png.
std::optional<ExportFormat> exportFormatFromPath(std::string_view path);

// The depth rules of the export dialog: JPEG only for 24-bit images, BMP only for 8-bit images;
// GIF, TIFF and PNG for both.
bool exportFormatOffered(ExportFormat format, uint8_t pixelFormat);

// The resolutions (dots per inch) the export dialog offers for TIFF files.
inline constexpr int ExportResolutions[] = {72, 100, 200, 300, 400, 600, 1200};
inline constexpr int ExportResolutionDefault = 300;
bool isExportResolution(int dpi);

struct ExportOptions {
    int Quality = JpegQualityDefault;  // JPEG, 50..100
    GifDither Dither = GifDither::None;  // GIF of a 24-bit image
    uint32_t Resolution = ExportResolutionDefault;  // TIFF, dots per inch
};

enum class ExportStatus : uint8_t {
    Ok,
    NotOffered,   // the format is not offered for the image's pixel format; nothing was written
    WriteFailed,  // the writer or the file failed; the previous file at the path is untouched
};

// Writes the displayed image of `f` to `path` in `format`. The file is written beside the target
// under a temporary name and renamed over it only when complete, so a failed export never leaves
// a half-written file in place of a good one. Progress goes to `observer` (may be null).
ExportStatus ExportImageFile(const document::TFractal& f, ExportFormat format, const std::string& path,
                             const ExportOptions& options, engine::ComputeObserver* observer = nullptr);

}  // namespace storage
