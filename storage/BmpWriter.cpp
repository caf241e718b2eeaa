#include "storage/BmpWriter.h"

#include <cstring>
#include <limits>
#include <vector>

#include "colour/Palette.h"
#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "storage/ImageSink.h"

namespace storage {
namespace {

constexpr uint32_t FileHeaderSize = 14;
constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t ColourTableSize = 256 * 4;

}  // namespace

bool WriteBmp(const colour::ImageBitmap& bitmap, const colour::Palette& palette, ImageSink& sink,
              engine::ComputeObserver* observer)
{
    const int width = bitmap.Width;
    const int height = bitmap.Height;
    if (bitmap.PixelFormat == engine::PixelFormat24 || width <= 0 || height <= 0
        || bitmap.Pixels.size() != size_t(width) * size_t(height))
        return false;
    const uint64_t rowSize = (uint64_t(width) + 3) / 4 * 4;
    const uint64_t imageSize = rowSize * uint64_t(height);
    const uint64_t pixelOffset = FileHeaderSize + InfoHeaderSize + ColourTableSize;
    if (pixelOffset + imageSize > std::numeric_limits<uint32_t>::max())
        return false;

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
        const colour::PaletteEntry& e = palette.entries[i];
        table[i * 4] = e.blue;
        table[i * 4 + 1] = e.green;
        table[i * 4 + 2] = e.red;
        table[i * 4 + 3] = 0;
    }
    ok = ok && sink.write(table, sizeof(table));
    if (!ok)
        return false;

    RowProgress progress(observer, height);
    std::vector<uint8_t> row(size_t(rowSize), 0);
    for (int i = 0; i < height; ++i) {
        std::memcpy(row.data(), bitmap.row(height - 1 - i), size_t(width));
        if (!sink.write(row.data(), row.size()))
            return false;
        progress.rowWritten(i);
    }
    return true;
}

}  // namespace storage
