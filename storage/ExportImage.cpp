#include "storage/ExportImage.h"

#include <algorithm>
#include <cctype>

#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "storage/BmpWriter.h"
#include "storage/GifWriter.h"
#include "storage/ImageSink.h"
#include "storage/PngWriter.h"
#include "storage/TiffWriter.h"

namespace storage {

std::optional<ExportFormat> exportFormatFromPath(std::string_view path)
{
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    std::string ext(path.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == "jpg" || ext == "jpeg")
        return ExportFormat::Jpeg;
    if (ext == "gif")
        return ExportFormat::Gif;
    if (ext == "tif" || ext == "tiff")
        return ExportFormat::Tiff;
    if (ext == "bmp")
        return ExportFormat::Bmp;
    if (ext == "png")
        return ExportFormat::Png;
    return std::nullopt;
}

bool exportFormatOffered(ExportFormat format, uint8_t pixelFormat)
{
    switch (format) {
    case ExportFormat::Jpeg:
        return pixelFormat == engine::PixelFormat24;
    case ExportFormat::Bmp:
        return pixelFormat == engine::PixelFormat8;
    case ExportFormat::Gif:
    case ExportFormat::Tiff:
    case ExportFormat::Png:
        return pixelFormat == engine::PixelFormat8 || pixelFormat == engine::PixelFormat24;
    }
    return false;
}

bool isExportResolution(int dpi)
{
    return std::find(std::begin(ExportResolutions), std::end(ExportResolutions), dpi) != std::end(ExportResolutions);
}

ExportStatus ExportImageFile(const document::TFractal& f, ExportFormat format, const std::string& path,
                             const ExportOptions& options, engine::ComputeObserver* observer)
{
    if (!exportFormatOffered(format, f.Bitmap.PixelFormat))
        return ExportStatus::NotOffered;
    FileSink sink(path);
    if (!sink.ok())
        return ExportStatus::WriteFailed;
    bool ok = false;
    switch (format) {
    case ExportFormat::Jpeg:
        ok = WriteJpeg(f.Bitmap, options.Quality, sink, observer);
        break;
    case ExportFormat::Gif:
        ok = WriteGif(f.Bitmap, f.Palette, options.Dither, sink, observer);
        break;
    case ExportFormat::Tiff:
        ok = WriteTiff(f, options.Resolution, sink, observer);
        break;
    case ExportFormat::Bmp:
        ok = WriteBmp(f.Bitmap, f.Palette, sink, observer);
        break;
    case ExportFormat::Png:
        ok = WritePng(f.Bitmap, f.Palette, sink, observer);
        break;
    }
    return ok && sink.commit() ? ExportStatus::Ok : ExportStatus::WriteFailed;
}

}  // namespace storage
