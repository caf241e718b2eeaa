#include "storage/ExportImage.h"

#include <algorithm>
#include <cctype>

#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "storage/BmpWriter.h"
#include "storage/GifWriter.h"
#include "storage/ImageFeeder.h"
#include "storage/ImageSink.h"
#include "storage/PngWriter.h"
#include "storage/RowSource.h"
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

std::unique_ptr<ImageWriter> makeImageWriter(ExportFormat format, const ExportOptions& options)
{
    switch (format) {
    case ExportFormat::Jpeg:
        return std::make_unique<JpegImageWriter>(options.Quality);
    case ExportFormat::Gif:
        return std::make_unique<GifImageWriter>(options.Dither);
    case ExportFormat::Tiff:
        return std::make_unique<TiffImageWriter>();
    case ExportFormat::Bmp:
        return std::make_unique<BmpImageWriter>();
    case ExportFormat::Png:
        return std::make_unique<PngImageWriter>();
    }
    return nullptr;
}

ExportStatus ExportImageFile(RowSource& source, ExportFormat format, const std::string& path,
                             const ExportOptions& options, engine::ComputeObserver* observer, int bandRows)
{
    ImageInfo info = source.info();
    info.resolution = options.Resolution;
    if (!exportFormatOffered(format, info.pixelFormat))
        return ExportStatus::NotOffered;
    const std::unique_ptr<ImageWriter> writer = makeImageWriter(format, options);
    if (!writer)
        return ExportStatus::NotOffered;
    FileSink sink(path);
    if (!sink.ok())
        return ExportStatus::WriteFailed;
    const bool ok = feedImage(*writer, info, source, sink, observer, bandRows);
    return ok && sink.commit() ? ExportStatus::Ok : ExportStatus::WriteFailed;
}

ExportStatus ExportImageFile(const document::TFractal& f, ExportFormat format, const std::string& path,
                             const ExportOptions& options, engine::ComputeObserver* observer, ExportSource from)
{
    if (from == ExportSource::ColouredValues) {
        ValueRowSource source(f);
        return ExportImageFile(source, format, path, options, observer);
    }
    BitmapRowSource source(f);
    return ExportImageFile(source, format, path, options, observer);
}

}  // namespace storage
