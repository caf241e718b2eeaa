#include "storage/DocumentData.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <zlib.h>

#include "storage/AtomicFile.h"
#include "storage/Workspace.h"

namespace storage {
namespace {

constexpr size_t StreamBufferBytes = 64 * 1024;

void reportProgress(engine::ComputeObserver* observer, int row, int height)
{
    if (observer && row % 10 == 0)
        observer->progressChanged(double(row + 1) / double(height));
}

// Row y of Data as little-endian bytes, `width` values; values outside Data are 0.
void packRow(const document::TFractal& f, int y, int width, uint8_t* out)
{
    const engine::TVxWork& data = f.Data;
    const int have = (y < data.height()) ? std::min(width, data.width()) : 0;
    const uint16_t* values = have > 0 ? data.row(y) : nullptr;
    for (int x = 0; x < width; ++x) {
        const uint16_t v = x < have ? values[x] : 0;
        out[2 * x] = uint8_t(v);
        out[2 * x + 1] = uint8_t(v >> 8);
    }
}

void unpackRow(const uint8_t* in, int width, uint16_t* values)
{
    for (int x = 0; x < width; ++x)
        values[x] = uint16_t(in[2 * x] | (in[2 * x + 1] << 8));
}

struct DeflateEnd {
    void operator()(z_stream* s) const { deflateEnd(s); }
};
struct InflateEnd {
    void operator()(z_stream* s) const { inflateEnd(s); }
};

}  // namespace

bool WriteData(AtomicFile& out, const document::TFractal& f, engine::ComputeObserver* observer)
{
    const int width = f.Params.Width;
    const int height = f.Params.Height;
    if (width < 0 || height < 0 || size_t(width) * 2 > RowBufferBytes)
        return false;

    z_stream zs{};
    if (deflateInit(&zs, DocumentCompressionLevel) != Z_OK)
        return false;
    std::unique_ptr<z_stream, DeflateEnd> guard(&zs);
    std::vector<uint8_t> row(RowBufferBytes);
    std::vector<uint8_t> chunk(StreamBufferBytes);

    // Feeds `size` bytes (or finishes the stream) and writes whatever the compressor hands out.
    auto pump = [&](const uint8_t* data, size_t size, int flush) {
        zs.next_in = const_cast<Bytef*>(data);
        zs.avail_in = uInt(size);
        for (;;) {
            zs.next_out = chunk.data();
            zs.avail_out = uInt(chunk.size());
            const int rc = deflate(&zs, flush);
            if (rc == Z_STREAM_ERROR)
                return false;
            const size_t produced = chunk.size() - zs.avail_out;
            if (produced > 0 && !out.write(chunk.data(), produced))
                return false;
            if (flush == Z_FINISH ? rc == Z_STREAM_END : (zs.avail_in == 0 && zs.avail_out != 0))
                return true;
            if (rc != Z_OK && rc != Z_BUF_ERROR)
                return false;
        }
    };

    for (int y = 0; y < height; ++y) {
        packRow(f, y, width, row.data());
        if (!pump(row.data(), size_t(width) * 2, Z_NO_FLUSH))
            return false;
        reportProgress(observer, y, height);
    }
    return pump(nullptr, 0, Z_FINISH);
}

DataResult ReadData(std::FILE* in, document::TFractal& f, engine::ComputeObserver* observer, ImageParts parts)
{
    DataResult result;
    const int width = f.Params.Width;
    const int height = f.Params.Height;
    const AllocResult alloc = AllocImage(f, width, height, f.PixelFormat, false, parts);
    if (!alloc.ok) {
        result.outcome = DataOutcome::NoMemory;
        result.message = alloc.message;
        return result;
    }

    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) {
        result.outcome = DataOutcome::NoMemory;
        result.message = NoMemoryForWorkspace;
        return result;
    }
    std::unique_ptr<z_stream, InflateEnd> guard(&zs);
    std::vector<uint8_t> row(RowBufferBytes, 0);
    std::vector<uint8_t> input(StreamBufferBytes);
    const size_t rowBytes = size_t(width) * 2;
    bool streamEnded = false;  // the end marker was met, or the file ran out

    for (int y = 0; y < height; ++y) {
        // Fill the row buffer from the stream; whatever the stream cannot give keeps its last content.
        size_t filled = 0;
        while (!streamEnded && filled < rowBytes) {
            if (zs.avail_in == 0) {
                const size_t n = std::fread(input.data(), 1, input.size(), in);
                if (n == 0) {
                    if (std::ferror(in)) {
                        result.outcome = DataOutcome::Corrupt;
                        return result;
                    }
                    streamEnded = true;  // truncated file: the stream ends early
                    break;
                }
                zs.next_in = input.data();
                zs.avail_in = uInt(n);
            }
            zs.next_out = row.data() + filled;
            zs.avail_out = uInt(rowBytes - filled);
            const int rc = inflate(&zs, Z_NO_FLUSH);
            filled = rowBytes - zs.avail_out;
            if (rc == Z_STREAM_END) {
                streamEnded = true;
            } else if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT || rc == Z_STREAM_ERROR) {
                result.outcome = DataOutcome::Corrupt;
                return result;
            } else if (rc == Z_MEM_ERROR) {
                result.outcome = DataOutcome::NoMemory;
                result.message = NoMemoryForWorkspace;
                return result;
            }
            // Z_OK or Z_BUF_ERROR: go on (more input, or more room, is needed).
        }
        unpackRow(row.data(), width, f.Data.row(y));
        if (parts == ImageParts::ValuesAndBitmap)
            f.ColorLine(y);
        reportProgress(observer, y, height);
    }
    if (observer && height > 0)
        observer->rowsReady(0, height - 1);
    return result;
}

}  // namespace storage
