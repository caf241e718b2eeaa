#include "storage/GifWriter.h"

#include <cstring>

#include "colour/Palette.h"
#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "storage/ImageSink.h"
#include "storage/Lzw.h"

namespace storage {

int gifColourBits(size_t colours)
{
    int bits = 1;
    while (bits < 8 && (size_t(1) << bits) < colours)
        ++bits;
    return bits;
}

std::vector<Rgb> quantizeBitmap(const colour::ImageBitmap& bitmap)
{
    OctreeQuantizer octree(256, 8);
    for (int y = 0; y < bitmap.Height; ++y)
        octree.addBgrRow(bitmap.row(y), bitmap.Width);
    return octree.palette();
}

namespace {

bool writeHeaderAndTable(ImageSink& sink, int width, int height, const std::vector<Rgb>& colours, int bits)
{
    // The table is not sorted, so the version is 87a and the sort flag stays clear.
    bool ok = sink.write("GIF87a", 6) && sink.writeU16LE(uint16_t(width)) && sink.writeU16LE(uint16_t(height));
    const uint8_t flags = uint8_t(0x80 | ((bits - 1) << 4) | (bits - 1));
    const uint8_t rest[3] = {flags, 0, 0};  // flags, background colour index, pixel aspect ratio
    ok = ok && sink.write(rest, 3);
    std::vector<uint8_t> table(size_t(3) << bits, 0);  // black beyond the colours given
    for (size_t i = 0; i < colours.size(); ++i) {
        table[i * 3] = colours[i].r;
        table[i * 3 + 1] = colours[i].g;
        table[i * 3 + 2] = colours[i].b;
    }
    ok = ok && sink.write(table.data(), table.size());
    // Image descriptor: left 0, top 0, width, height, no local table, not interlaced.
    ok = ok && sink.writeU8(0x2C) && sink.writeU16LE(0) && sink.writeU16LE(0) && sink.writeU16LE(uint16_t(width))
         && sink.writeU16LE(uint16_t(height)) && sink.writeU8(0);
    return ok;
}

}  // namespace

bool WriteGif(const colour::ImageBitmap& bitmap, const colour::Palette& palette, GifDither dither, ImageSink& sink,
              engine::ComputeObserver* observer)
{
    const int width = bitmap.Width;
    const int height = bitmap.Height;
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF
        || bitmap.Pixels.size() != bitmap.stride() * size_t(height))
        return false;
    const bool trueColour = bitmap.PixelFormat == engine::PixelFormat24;

    std::vector<Rgb> colours;
    if (trueColour) {
        colours = quantizeBitmap(bitmap);
    } else {
        colours.reserve(256);
        for (const colour::PaletteEntry& e : palette.entries)
            colours.push_back(Rgb{e.red, e.green, e.blue});
    }
    const int bits = gifColourBits(colours.size());
    if (!writeHeaderAndTable(sink, width, height, colours, bits))
        return false;

    LzwEncoder lzw(sink, bits == 1 ? 2 : bits);
    RowProgress progress(observer, height);
    if (trueColour) {
        RowMapper mapper(colours, dither, width);
        std::vector<uint8_t> indexes(static_cast<size_t>(width));
        for (int y = 0; y < height; ++y) {
            mapper.mapRow(bitmap.row(y), indexes.data());
            if (!lzw.add(indexes.data(), indexes.size()))
                return false;
            progress.rowWritten(y);
        }
    } else {
        for (int y = 0; y < height; ++y) {
            if (!lzw.add(bitmap.row(y), size_t(width)))
                return false;
            progress.rowWritten(y);
        }
    }
    return lzw.finish() && sink.writeU8(0x3B);
}

}  // namespace storage
