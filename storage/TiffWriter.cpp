#include "storage/TiffWriter.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "storage/ImageSink.h"

namespace storage {
namespace {

enum TiffType : uint16_t { Ascii = 2, Short = 3, Long = 4, Rational = 5 };

struct DirEntry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    uint32_t value;  // SHORT values sit in the low half (the first two bytes of the field)
};

constexpr uint32_t HeaderSize = 8;
constexpr uint32_t RationalSize = 8;
constexpr uint32_t ColorMapSize = 3 * 256 * 2;

bool writeHeader(ImageSink& sink, uint32_t directoryOffset)
{
    return sink.write("II", 2) && sink.writeU16LE(42) && sink.writeU32LE(directoryOffset);
}

bool writeRational(ImageSink& sink, uint32_t numerator)
{
    return sink.writeU32LE(numerator) && sink.writeU32LE(1);
}

bool writeSoftware(ImageSink& sink)
{
    uint8_t text[TiffSoftwareSize] = {};
    std::memcpy(text, TiffSoftware, sizeof(TiffSoftware) - 1);
    return sink.write(text, sizeof(text));
}

bool writeDirectory(ImageSink& sink, const std::vector<DirEntry>& entries)
{
    bool ok = sink.writeU16LE(uint16_t(entries.size()));
    for (const DirEntry& e : entries)
        ok = ok && sink.writeU16LE(e.tag) && sink.writeU16LE(e.type) && sink.writeU32LE(e.count)
             && sink.writeU32LE(e.value);
    return ok && sink.writeU32LE(0);
}

uint32_t directorySize(size_t entries)
{
    return uint32_t(2 + entries * 12 + 4);
}

}  // namespace

TiffLayout tiffLayoutFor(const document::TFractal& f)
{
    const uint8_t algorithm = f.ImageParams.Algorithm;
    if (algorithm == engine::AlgDistance || algorithm == engine::AlgBinary)
        return TiffLayout::TwoTone;
    return f.Bitmap.PixelFormat == engine::PixelFormat24 ? TiffLayout::Rgb : TiffLayout::Palette;
}

bool WriteTiff(const document::TFractal& f, uint32_t resolution, ImageSink& sink, engine::ComputeObserver* observer)
{
    const colour::ImageBitmap& bitmap = f.Bitmap;
    const int width = bitmap.Width;
    const int height = bitmap.Height;
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF)
        return false;
    const TiffLayout layout = tiffLayoutFor(f);
    const engine::TVxWork& values = f.View3D ? f.Data3D : f.Data;
    if (layout == TiffLayout::TwoTone) {
        if (values.width() != width || values.height() != height)
            return false;
    } else if (bitmap.Pixels.size() != bitmap.stride() * size_t(height)) {
        return false;
    }

    const uint32_t w = uint32_t(width);
    const uint32_t h = uint32_t(height);
    uint64_t rowBytes = 0;
    uint32_t xResOffset = HeaderSize, yResOffset = HeaderSize + RationalSize;
    uint32_t bitsOffset = 0, softwareOffset = 0;
    switch (layout) {
    case TiffLayout::TwoTone:
        rowBytes = (w + 7) / 8;
        softwareOffset = yResOffset + RationalSize;  // 24
        break;
    case TiffLayout::Palette:
        rowBytes = w;
        xResOffset = HeaderSize + ColorMapSize;  // 1544
        yResOffset = xResOffset + RationalSize;
        softwareOffset = yResOffset + RationalSize;  // 1560
        break;
    case TiffLayout::Rgb:
        rowBytes = uint64_t(w) * 3;
        bitsOffset = yResOffset + RationalSize;  // 24
        softwareOffset = bitsOffset + 6;         // 30
        break;
    }
    const uint32_t pixelOffset = softwareOffset + TiffSoftwareSize;
    const uint64_t stripBytes = rowBytes * h;
    const size_t entryCount = layout == TiffLayout::TwoTone ? 14 : 15;
    if (pixelOffset + stripBytes + directorySize(entryCount) > std::numeric_limits<uint32_t>::max())
        return false;
    const uint32_t directoryOffset = uint32_t(pixelOffset + stripBytes);

    std::vector<DirEntry> dir;
    dir.push_back({254, Long, 1, 0});  // NewSubfileType
    dir.push_back({256, Short, 1, w});  // ImageWidth
    dir.push_back({257, Short, 1, h});  // ImageLength
    if (layout == TiffLayout::Rgb)
        dir.push_back({258, Short, 3, bitsOffset});  // BitsPerSample 8, 8, 8
    else
        dir.push_back({258, Short, 1, layout == TiffLayout::TwoTone ? 1u : 8u});
    dir.push_back({259, Short, 1, 1});  // Compression: none
    // PhotometricInterpretation: 0 white is zero, 2 RGB, 3 palette.
    dir.push_back({262, Short, 1, layout == TiffLayout::TwoTone ? 0u : layout == TiffLayout::Rgb ? 2u : 3u});
    dir.push_back({273, Long, 1, pixelOffset});  // StripOffsets
    dir.push_back({277, Short, 1, layout == TiffLayout::Rgb ? 3u : 1u});  // SamplesPerPixel
    dir.push_back({278, Long, 1, h});  // RowsPerStrip
    dir.push_back({279, Long, 1, uint32_t(stripBytes)});  // StripByteCounts
    dir.push_back({282, Rational, 1, xResOffset});
    dir.push_back({283, Rational, 1, yResOffset});
    if (layout == TiffLayout::Rgb)
        dir.push_back({284, Short, 1, 1});  // PlanarConfiguration: chunky
    dir.push_back({296, Short, 1, 2});  // ResolutionUnit: inch
    dir.push_back({305, Ascii, TiffSoftwareSize, softwareOffset});
    if (layout == TiffLayout::Palette)
        dir.push_back({320, Short, 768, HeaderSize});  // ColorMap

    if (!writeHeader(sink, directoryOffset))
        return false;
    if (layout == TiffLayout::Palette) {
        // 256 reds, 256 greens, 256 blues; the byte goes into the high half of each 16-bit value.
        uint8_t map[ColorMapSize];
        for (int i = 0; i < 256; ++i) {
            const colour::PaletteEntry& e = f.Palette.entries[size_t(i)];
            const uint8_t channel[3] = {e.red, e.green, e.blue};
            for (int c = 0; c < 3; ++c) {
                map[(c * 256 + i) * 2] = 0;
                map[(c * 256 + i) * 2 + 1] = channel[c];
            }
        }
        if (!sink.write(map, sizeof(map)))
            return false;
    }
    if (!writeRational(sink, resolution) || !writeRational(sink, resolution))
        return false;
    if (layout == TiffLayout::Rgb && !(sink.writeU16LE(8) && sink.writeU16LE(8) && sink.writeU16LE(8)))
        return false;
    if (!writeSoftware(sink))
        return false;

    RowProgress progress(observer, height);
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
    for (int y = 0; y < height; ++y) {
        switch (layout) {
        case TiffLayout::TwoTone: {
            std::fill(row.begin(), row.end(), uint8_t(0));
            const uint16_t* v = values.row(y);
            for (int x = 0; x < width; ++x)
                if (v[x] == 65535 || v[x] == 0)
                    row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
            break;
        }
        case TiffLayout::Palette:
            std::memcpy(row.data(), bitmap.row(y), row.size());
            break;
        case TiffLayout::Rgb: {
            const uint8_t* bgr = bitmap.row(y);
            for (size_t x = 0; x < size_t(width); ++x) {
                row[x * 3] = bgr[x * 3 + 2];
                row[x * 3 + 1] = bgr[x * 3 + 1];
                row[x * 3 + 2] = bgr[x * 3];
            }
            break;
        }
        }
        if (!sink.write(row.data(), row.size()))
            return false;
        progress.rowWritten(y);
    }
    return writeDirectory(sink, dir);
}

}  // namespace storage
