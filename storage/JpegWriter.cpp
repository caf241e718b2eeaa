#include "storage/JpegWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "storage/ImageSink.h"

namespace storage {
namespace {

constexpr size_t OutputBufferSize = 64 * 1024;

// libjpeg reports fatal errors through error_exit, which must not return: jump back to the
// writer. Only plain C data lives between setjmp and the jump.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void errorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void silentMessage(j_common_ptr) {}

// Hands the compressed bytes to the sink in 64 KB pieces.
struct Destination {
    jpeg_destination_mgr base;
    ImageSink* sink;
    JOCTET* buffer;
    bool failed;
};

void initDestination(j_compress_ptr cinfo)
{
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    d->base.next_output_byte = d->buffer;
    d->base.free_in_buffer = OutputBufferSize;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    // libjpeg ignores free_in_buffer here: the whole buffer is due.
    if (!d->sink->write(d->buffer, OutputBufferSize)) {
        d->failed = true;
        ERREXIT(cinfo, JERR_FILE_WRITE);
    }
    d->base.next_output_byte = d->buffer;
    d->base.free_in_buffer = OutputBufferSize;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    const size_t used = OutputBufferSize - d->base.free_in_buffer;
    if (used > 0 && !d->sink->write(d->buffer, used)) {
        d->failed = true;
        ERREXIT(cinfo, JERR_FILE_WRITE);
    }
}

// Everything libjpeg touches, allocated by the caller so that a jump skips no destructor.
struct Job {
    jpeg_compress_struct cinfo;
    ErrorManager error;
    Destination dest;
    const colour::ImageBitmap* bitmap;
    int quality;
    RowProgress* progress;
};

bool compress(Job& job)
{
    jpeg_compress_struct& cinfo = job.cinfo;
    cinfo.err = jpeg_std_error(&job.error.base);
    job.error.base.error_exit = errorExit;
    job.error.base.output_message = silentMessage;
    if (setjmp(job.error.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    job.dest.base.init_destination = initDestination;
    job.dest.base.empty_output_buffer = emptyOutputBuffer;
    job.dest.base.term_destination = termDestination;
    cinfo.dest = &job.dest.base;

    const colour::ImageBitmap& bitmap = *job.bitmap;
    cinfo.image_width = JDIMENSION(bitmap.Width);
    cinfo.image_height = JDIMENSION(bitmap.Height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;  // the bitmap's byte order; libjpeg-turbo converts to YCbCr
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, JCS_YCbCr);
    jpeg_set_quality(&cinfo, job.quality, TRUE);  // baseline-compatible tables
    cinfo.optimize_coding = FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        JSAMPROW row = const_cast<JSAMPROW>(bitmap.row(y));
        jpeg_write_scanlines(&cinfo, &row, 1);
        job.progress->rowWritten(y);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return !job.dest.failed;
}

}  // namespace

bool WriteJpeg(const colour::ImageBitmap& bitmap, int quality, ImageSink& sink, engine::ComputeObserver* observer)
{
    if (bitmap.PixelFormat != engine::PixelFormat24 || bitmap.Width <= 0 || bitmap.Height <= 0
        || bitmap.Width > JPEG_MAX_DIMENSION || bitmap.Height > JPEG_MAX_DIMENSION
        || bitmap.Pixels.size() != bitmap.stride() * size_t(bitmap.Height))
        return false;
    std::vector<JOCTET> buffer(OutputBufferSize);
    RowProgress progress(observer, bitmap.Height);
    Job job{};
    job.dest.sink = &sink;
    job.dest.buffer = buffer.data();
    job.dest.failed = false;
    job.bitmap = &bitmap;
    job.quality = std::clamp(quality, JpegQualityMin, JpegQualityMax);
    job.progress = &progress;
    return compress(job);
}

}  // namespace storage
