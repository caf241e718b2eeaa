#include "storage/JpegWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "storage/ImageFeeder.h"
#include "storage/ImageSink.h"
#include "storage/RowSource.h"

namespace storage {
namespace {

constexpr size_t OutputBufferSize = 64 * 1024;

// libjpeg reports fatal errors through error_exit, which must not return: jump back to the
// step that called it. Only plain C data lives between setjmp and the jump.
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

}  // namespace

// Everything libjpeg touches, allocated once per image so that a jump skips no destructor.
struct JpegImageWriter::Job {
    jpeg_compress_struct cinfo{};
    ErrorManager error{};
    Destination dest{};
    JOCTET buffer[OutputBufferSize];
    bool created = false;  // jpeg_create_compress ran and jpeg_destroy_compress has not
};

namespace {

using Job = JpegImageWriter::Job;

void destroy(Job& job)
{
    if (job.created)
        jpeg_destroy_compress(&job.cinfo);
    job.created = false;
}

// Each step sets the jump target for the libjpeg calls it makes; a jump destroys the compressor.
bool start(Job& job, int width, int height, int quality)
{
    jpeg_compress_struct& cinfo = job.cinfo;
    cinfo.err = jpeg_std_error(&job.error.base);
    job.error.base.error_exit = errorExit;
    job.error.base.output_message = silentMessage;
    if (setjmp(job.error.jump)) {
        destroy(job);
        return false;
    }
    jpeg_create_compress(&cinfo);
    job.created = true;
    job.dest.base.init_destination = initDestination;
    job.dest.base.empty_output_buffer = emptyOutputBuffer;
    job.dest.base.term_destination = termDestination;
    cinfo.dest = &job.dest.base;

    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;  // the bitmap's byte order; libjpeg-turbo converts to YCbCr
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, JCS_YCbCr);
    jpeg_set_quality(&cinfo, quality, TRUE);  // baseline-compatible tables
    if (quality >= JpegFullChromaQuality) {
        // Full colour resolution: the luminance at 1 x 1 like the chrominance (4:4:4). Below, the
        // chrominance keeps half the resolution both ways (4:2:0, libjpeg's default).
        cinfo.comp_info[0].h_samp_factor = 1;
        cinfo.comp_info[0].v_samp_factor = 1;
    }
    cinfo.optimize_coding = FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    return true;
}

bool writeScanlines(Job& job, const uint8_t* rows, size_t stride, int count)
{
    if (setjmp(job.error.jump)) {
        destroy(job);
        return false;
    }
    for (int i = 0; i < count; ++i) {
        JSAMPROW row = const_cast<JSAMPROW>(rows + size_t(i) * stride);
        jpeg_write_scanlines(&job.cinfo, &row, 1);
    }
    return true;
}

bool finishCompress(Job& job)
{
    if (setjmp(job.error.jump)) {
        destroy(job);
        return false;
    }
    jpeg_finish_compress(&job.cinfo);
    destroy(job);
    return !job.dest.failed;
}

}  // namespace

JpegImageWriter::JpegImageWriter(int quality) : m_quality(std::clamp(quality, JpegQualityMin, JpegQualityMax)) {}

JpegImageWriter::~JpegImageWriter()
{
    if (m_job)
        destroy(*m_job);
}

bool JpegImageWriter::begin(const ImageInfo& info, ImageSink& sink)
{
    if (info.pixelFormat != engine::PixelFormat24 || info.width <= 0 || info.height <= 0
        || info.width > JPEG_MAX_DIMENSION || info.height > JPEG_MAX_DIMENSION || m_job)
        return false;
    m_job = std::make_unique<Job>();
    m_job->dest.sink = &sink;
    m_job->dest.buffer = m_job->buffer;
    m_job->dest.failed = false;
    return start(*m_job, info.width, info.height, m_quality);
}

bool JpegImageWriter::writeRows(int, int, int count, const uint8_t* rows, size_t stride)
{
    return m_job && m_job->created && writeScanlines(*m_job, rows, stride, count);
}

bool JpegImageWriter::finish()
{
    return m_job && m_job->created && finishCompress(*m_job);
}

bool WriteJpeg(const colour::ImageBitmap& bitmap, int quality, ImageSink& sink, engine::ComputeObserver* observer)
{
    const colour::Palette unused;  // a 24-bit image has no palette
    BitmapRowSource source(bitmap, unused);
    JpegImageWriter writer(quality);
    return feedImage(writer, source, sink, observer);
}

}  // namespace storage
