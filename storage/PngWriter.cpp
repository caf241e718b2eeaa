#include "storage/PngWriter.h"

#include <csetjmp>

#include <png.h>

#include "colour/Palette.h"
#include "document/Fractal.h"
#include "engine/Catalogue.h"
#include "storage/ImageFeeder.h"
#include "storage/ImageSink.h"
#include "storage/RowSource.h"

namespace storage {

uint32_t pixelsPerMetre(uint32_t dotsPerInch)
{
    // One inch is 0.0254 m: dpi * 10000 / 254, rounded.
    return uint32_t((uint64_t(dotsPerInch) * 10000 + 127) / 254);
}

// Everything libpng touches, allocated once per image so that a jump skips no destructor.
struct PngImageWriter::Job {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ImageSink* sink = nullptr;
    bool sinkFailed = false;
};

namespace {

using Job = PngImageWriter::Job;

// libpng reports fatal errors through the error callback, which must not return: jump back to the
// step that called it (the jump buffer is libpng's own, set by each step). Only plain C data lives
// between setjmp and the jump.
void errorExit(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void silentWarning(png_structp, png_const_charp) {}

void writeData(png_structp png, png_bytep data, size_t size)
{
    auto* job = static_cast<Job*>(png_get_io_ptr(png));
    if (!job->sink->write(data, size)) {
        job->sinkFailed = true;
        png_error(png, "write failed");
    }
}

void flushData(png_structp) {}  // the sink keeps its own buffer; the file is committed by its owner

void destroy(Job& job)
{
    if (job.png)
        png_destroy_write_struct(&job.png, job.info ? &job.info : nullptr);
    job.png = nullptr;
    job.info = nullptr;
}

// Each step sets the jump target for the libpng calls it makes; a jump destroys the writer.
bool start(Job& job, const ImageInfo& image)
{
    job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, errorExit, silentWarning);
    if (!job.png)
        return false;
    if (setjmp(png_jmpbuf(job.png))) {
        destroy(job);
        return false;
    }
    job.info = png_create_info_struct(job.png);
    if (!job.info) {
        destroy(job);
        return false;
    }
    png_set_write_fn(job.png, &job, writeData, flushData);

    const bool trueColour = image.pixelFormat == engine::PixelFormat24;
    png_set_IHDR(job.png, job.info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 trueColour ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!trueColour) {
        png_color plte[256];
        for (size_t i = 0; i < 256; ++i)
            plte[i] = {image.palette.entries[i].red, image.palette.entries[i].green, image.palette.entries[i].blue};
        png_set_PLTE(job.png, job.info, plte, 256);
    }
    const png_uint_32 ppm = pixelsPerMetre(image.resolution);
    png_set_pHYs(job.png, job.info, ppm, ppm, PNG_RESOLUTION_METER);
    png_write_info(job.png, job.info);
    if (trueColour)
        png_set_bgr(job.png);  // the rows hold blue, green, red
    return true;
}

bool writeRowsOf(Job& job, const uint8_t* rows, size_t stride, int count)
{
    if (setjmp(png_jmpbuf(job.png))) {
        destroy(job);
        return false;
    }
    for (int i = 0; i < count; ++i)
        png_write_row(job.png, rows + size_t(i) * stride);
    return true;
}

bool finishImage(Job& job)
{
    if (setjmp(png_jmpbuf(job.png))) {
        destroy(job);
        return false;
    }
    png_write_end(job.png, nullptr);
    destroy(job);
    return !job.sinkFailed;
}

}  // namespace

PngImageWriter::PngImageWriter() = default;

PngImageWriter::~PngImageWriter()
{
    if (m_job)
        destroy(*m_job);
}

bool PngImageWriter::begin(const ImageInfo& info, ImageSink& sink)
{
    if (info.width <= 0 || info.height <= 0 || m_job)
        return false;
    if (info.pixelFormat != engine::PixelFormat8 && info.pixelFormat != engine::PixelFormat24)
        return false;
    m_job = std::make_unique<Job>();
    m_job->sink = &sink;
    return start(*m_job, info);
}

bool PngImageWriter::writeRows(int, int, int count, const uint8_t* rows, size_t stride)
{
    return m_job && m_job->png && writeRowsOf(*m_job, rows, stride, count);
}

bool PngImageWriter::finish()
{
    return m_job && m_job->png && finishImage(*m_job);
}

bool WritePng(const colour::ImageBitmap& bitmap, const colour::Palette& palette, uint32_t resolution,
              ImageSink& sink, engine::ComputeObserver* observer)
{
    BitmapRowSource source(bitmap, palette);
    ImageInfo info = source.info();
    info.resolution = resolution;
    PngImageWriter writer;
    return feedImage(writer, info, source, sink, observer);
}

}  // namespace storage
