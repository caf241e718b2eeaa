#include "storage/BmpWriter.h"

#include <cstring>
#include <limits>

#include "colour/Palette.h"
#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "storage/ImageFeeder.h"
#include "storage/ImageSink.h"
#include "storage/RowSource.h"

namespace storage {
namespace {

constexpr uint32_t FileHeaderSize = 14;
constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t ColourTableSize = 256 * 4;

}  // namespace

bool BmpImageWriter::begin(const ImageInfo& info, ImageSink& sink)
{
    const int width = info.width;
    const int height = info.height;
    if (info.pixelFormat == engine::PixelFormat24 || width <= 0 || height <= 0)
        return false;
    const uint64_t rowSize = (uint64_t(width) + 3) / 4 * 4;
    const uint64_t imageSize = rowSize * uint64_t(height);
    const uint64_t pixelOffset = FileHeaderSize + InfoHeaderSize + ColourTableSize;
    if (pixelOffset + imageSize > std::numeric_limits<uint32_t>::max())
        return false;
    m_sink = &sink;
    m_width = width;
    m_row.assign(size_t(rowSize), 0);

    bool ok = sink.write("BM", 2) && sink.writeU32LE(uint32_t(pixelOffset + imageSize)) && sink.writeU16LE(0)
              && sink.writeU16LE(0) && sink.writeU32LE(uint32_t(pixelOffset));
    ok = ok && sink.writeU32LE(InfoHeaderSize) && sink.writeU32LE(uint32_t(width))
         && sink.writeU32LE(uint32_t(height)) && sink.writeU16LE(1) && sink.writeU16LE(8)
         && sink.writeU32LE(0)                      // BI_RGB
         && sink.writeU32LE(uint32_t(imageSize))    //
         && sink.writeU32LE(0) && sink.writeU32LE(0)  // pixels per metre, X and Y: not given
         && sink.writeU32LE(256) && sink.writeU32LE(0);
    uint8_t table[ColourTableSize];
    for (size_t i = 0; i < 256; ++i) {
        const colour::PaletteEntry& e = info.palette.entries[i];
        table[i * 4] = e.blue;
        table[i * 4 + 1] = e.green;
        table[i * 4 + 2] = e.red;
        table[i * 4 + 3] = 0;
    }
    return ok && sink.write(table, sizeof(table));
}

bool BmpImageWriter::writeRows(int, int, int count, const uint8_t* rows, size_t stride)
{
    // The band's rows are held top-down; the file wants the lowest first.
    for (int i = count - 1; i >= 0; --i) {
        std::memcpy(m_row.data(), rows + size_t(i) * stride, size_t(m_width));
        if (!m_sink->write(m_row.data(), m_row.size()))
            return false;
    }
    return true;
}

bool WriteBmp(const colour::ImageBitmap& bitmap, const colour::Palette& palette, ImageSink& sink,
              engine::ComputeObserver* observer)
{
    BitmapRowSource source(bitmap, palette);
    BmpImageWriter writer;
    return feedImage(writer, source, sink, observer);
}

}  // namespace storage
