#include "storage/PngWriter.h"

#include <cstring>

#include <zlib.h>

#include "colour/Palette.h"
#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "storage/ImageFeeder.h"
#include "storage/ImageSink.h"
#include "storage/RowSource.h"

namespace storage {
namespace {

constexpr size_t ChunkLimit = 64 * 1024;

bool writeChunk(ImageSink& sink, const char type[4], const uint8_t* data, size_t size)
{
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(type), 4);
    if (size > 0)
        crc = crc32(crc, data, uInt(size));
    return sink.writeU32BE(uint32_t(size)) && sink.write(type, 4) && (size == 0 || sink.write(data, size))
           && sink.writeU32BE(uint32_t(crc));
}

}  // namespace

// Deflates rows into IDAT chunks as they come.
class PngImageWriter::IdatStream {
public:
    explicit IdatStream(ImageSink& sink) : m_sink(sink), m_out(ChunkLimit)
    {
        m_ok = deflateInit(&m_z, Z_DEFAULT_COMPRESSION) == Z_OK;
        m_initialised = m_ok;
        m_z.next_out = m_out.data();
        m_z.avail_out = uInt(m_out.size());
    }
    ~IdatStream()
    {
        if (m_initialised)
            deflateEnd(&m_z);
    }
    IdatStream(const IdatStream&) = delete;
    IdatStream& operator=(const IdatStream&) = delete;

    bool add(const uint8_t* data, size_t size) { return run(data, size, Z_NO_FLUSH); }
    bool finish() { return run(nullptr, 0, Z_FINISH); }

private:
    bool flushChunk()
    {
        const size_t used = m_out.size() - m_z.avail_out;
        if (used > 0 && !writeChunk(m_sink, "IDAT", m_out.data(), used))
            return false;
        m_z.next_out = m_out.data();
        m_z.avail_out = uInt(m_out.size());
        return true;
    }

    bool run(const uint8_t* data, size_t size, int flush)
    {
        if (!m_ok)
            return false;
        m_z.next_in = const_cast<Bytef*>(data);
        m_z.avail_in = uInt(size);
        for (;;) {
            const int rc = deflate(&m_z, flush);
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
                return m_ok = false;
            if (m_z.avail_out == 0 && !flushChunk())
                return m_ok = false;
            if (flush == Z_FINISH) {
                if (rc == Z_STREAM_END)
                    return m_ok = flushChunk();
            } else if (m_z.avail_in == 0) {
                return true;
            }
        }
    }

    ImageSink& m_sink;
    z_stream m_z{};
    std::vector<uint8_t> m_out;
    bool m_ok = false;
    bool m_initialised = false;
};

PngImageWriter::PngImageWriter() = default;
PngImageWriter::~PngImageWriter() = default;

bool PngImageWriter::begin(const ImageInfo& info, ImageSink& sink)
{
    const int width = info.width;
    const int height = info.height;
    if (width <= 0 || height <= 0)
        return false;
    m_sink = &sink;
    m_width = width;
    m_trueColour = info.pixelFormat == engine::PixelFormat24;

    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    uint8_t ihdr[13] = {};
    const uint32_t w = uint32_t(width), h = uint32_t(height);
    const uint8_t size[8] = {uint8_t(w >> 24), uint8_t(w >> 16), uint8_t(w >> 8), uint8_t(w),
                             uint8_t(h >> 24), uint8_t(h >> 16), uint8_t(h >> 8), uint8_t(h)};
    std::memcpy(ihdr, size, 8);
    ihdr[8] = 8;                       // bit depth
    ihdr[9] = m_trueColour ? 2 : 3;    // colour type: RGB or palette
    // compression 0, filter method 0, no interlace
    if (!sink.write(signature, 8) || !writeChunk(sink, "IHDR", ihdr, sizeof(ihdr)))
        return false;
    if (!m_trueColour) {
        uint8_t plte[256 * 3];
        for (size_t i = 0; i < 256; ++i) {
            plte[i * 3] = info.palette.entries[i].red;
            plte[i * 3 + 1] = info.palette.entries[i].green;
            plte[i * 3 + 2] = info.palette.entries[i].blue;
        }
        if (!writeChunk(sink, "PLTE", plte, sizeof(plte)))
            return false;
    }
    m_idat = std::make_unique<IdatStream>(sink);
    m_row.assign(1 + rowBytes(info, RowContent::Colours), 0);  // m_row[0] = 0: filter type None
    return true;
}

bool PngImageWriter::writeRows(int, int, int count, const uint8_t* rows, size_t stride)
{
    const size_t width = size_t(m_width);
    for (int i = 0; i < count; ++i) {
        const uint8_t* src = rows + size_t(i) * stride;
        if (m_trueColour) {
            for (size_t x = 0; x < width; ++x) {
                m_row[1 + x * 3] = src[x * 3 + 2];
                m_row[1 + x * 3 + 1] = src[x * 3 + 1];
                m_row[1 + x * 3 + 2] = src[x * 3];
            }
        } else {
            std::memcpy(m_row.data() + 1, src, width);
        }
        if (!m_idat->add(m_row.data(), m_row.size()))
            return false;
    }
    return true;
}

bool PngImageWriter::finish()
{
    return m_idat && m_idat->finish() && writeChunk(*m_sink, "IEND", nullptr, 0);
}

bool WritePng(const colour::ImageBitmap& bitmap, const colour::Palette& palette, ImageSink& sink,
              engine::ComputeObserver* observer)
{
    BitmapRowSource source(bitmap, palette);
    PngImageWriter writer;
    return feedImage(writer, source, sink, observer);
}

}  // namespace storage
