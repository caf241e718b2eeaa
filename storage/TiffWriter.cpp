#include "storage/TiffWriter.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "storage/ImageFeeder.h"
#include "storage/ImageSink.h"
#include "storage/RowSource.h"

namespace storage {
namespace {

enum TiffType : uint16_t { Ascii = 2, Short = 3, Long = 4, Rational = 5 };

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

uint32_t directorySize(size_t entries)
{
    return uint32_t(2 + entries * 12 + 4);
}

}  // namespace

TiffLayout tiffLayoutFor(const ImageInfo& info)
{
    if (info.algorithm == engine::AlgDistance || info.algorithm == engine::AlgBinary)
        return TiffLayout::TwoTone;
    return info.pixelFormat == engine::PixelFormat24 ? TiffLayout::Rgb : TiffLayout::Palette;
}

TiffLayout tiffLayoutFor(const document::TFractal& f)
{
    return tiffLayoutFor(BitmapRowSource(f).info());
}

RowContent TiffImageWriter::rowContent() const
{
    return m_layout == TiffLayout::TwoTone ? RowContent::Values : RowContent::Colours;
}

bool TiffImageWriter::begin(const ImageInfo& info, ImageSink& sink)
{
    const int width = info.width;
    const int height = info.height;
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF)
        return false;
    m_sink = &sink;
    m_width = width;
    m_layout = tiffLayoutFor(info);

    const uint32_t w = uint32_t(width);
    const uint32_t h = uint32_t(height);
    uint64_t rowBytes = 0;
    uint32_t xResOffset = HeaderSize, yResOffset = HeaderSize + RationalSize;
    uint32_t bitsOffset = 0, softwareOffset = 0;
    switch (m_layout) {
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
    const size_t entryCount = m_layout == TiffLayout::TwoTone ? 14 : 15;
    if (pixelOffset + stripBytes + directorySize(entryCount) > std::numeric_limits<uint32_t>::max())
        return false;
    const uint32_t directoryOffset = uint32_t(pixelOffset + stripBytes);

    std::vector<DirEntry>& dir = m_directory;
    dir.clear();
    dir.push_back({254, Long, 1, 0});  // NewSubfileType
    dir.push_back({256, Short, 1, w});  // ImageWidth
    dir.push_back({257, Short, 1, h});  // ImageLength
    if (m_layout == TiffLayout::Rgb)
        dir.push_back({258, Short, 3, bitsOffset});  // BitsPerSample 8, 8, 8
    else
        dir.push_back({258, Short, 1, m_layout == TiffLayout::TwoTone ? 1u : 8u});
    dir.push_back({259, Short, 1, 1});  // Compression: none
    // PhotometricInterpretation: 0 white is zero, 2 RGB, 3 palette.
    dir.push_back({262, Short, 1, m_layout == TiffLayout::TwoTone ? 0u : m_layout == TiffLayout::Rgb ? 2u : 3u});
    dir.push_back({273, Long, 1, pixelOffset});  // StripOffsets
    dir.push_back({277, Short, 1, m_layout == TiffLayout::Rgb ? 3u : 1u});  // SamplesPerPixel
    dir.push_back({278, Long, 1, h});  // RowsPerStrip
    dir.push_back({279, Long, 1, uint32_t(stripBytes)});  // StripByteCounts
    dir.push_back({282, Rational, 1, xResOffset});
    dir.push_back({283, Rational, 1, yResOffset});
    if (m_layout == TiffLayout::Rgb)
        dir.push_back({284, Short, 1, 1});  // PlanarConfiguration: chunky
    dir.push_back({296, Short, 1, 2});  // ResolutionUnit: inch
    dir.push_back({305, Ascii, TiffSoftwareSize, softwareOffset});
    if (m_layout == TiffLayout::Palette)
        dir.push_back({320, Short, 768, HeaderSize});  // ColorMap

    if (!writeHeader(sink, directoryOffset))
        return false;
    if (m_layout == TiffLayout::Palette) {
        // 256 reds, 256 greens, 256 blues; the byte goes into the high half of each 16-bit value.
        uint8_t map[ColorMapSize];
        for (int i = 0; i < 256; ++i) {
            const colour::PaletteEntry& e = info.palette.entries[size_t(i)];
            const uint8_t channel[3] = {e.red, e.green, e.blue};
            for (int c = 0; c < 3; ++c) {
                map[(c * 256 + i) * 2] = 0;
                map[(c * 256 + i) * 2 + 1] = channel[c];
            }
        }
        if (!sink.write(map, sizeof(map)))
            return false;
    }
    if (!writeRational(sink, info.resolution) || !writeRational(sink, info.resolution))
        return false;
    if (m_layout == TiffLayout::Rgb && !(sink.writeU16LE(8) && sink.writeU16LE(8) && sink.writeU16LE(8)))
        return false;
    if (!writeSoftware(sink))
        return false;
    m_row.assign(size_t(rowBytes), 0);
    return true;
}

bool TiffImageWriter::writeRows(int, int, int count, const uint8_t* rows, size_t stride)
{
    const size_t width = size_t(m_width);
    for (int i = 0; i < count; ++i) {
        const uint8_t* src = rows + size_t(i) * stride;
        switch (m_layout) {
        case TiffLayout::TwoTone: {
            std::fill(m_row.begin(), m_row.end(), uint8_t(0));
            const auto* v = reinterpret_cast<const uint16_t*>(src);
            for (size_t x = 0; x < width; ++x)
                if (v[x] == 65535 || v[x] == 0)
                    m_row[x / 8] |= uint8_t(0x80 >> (x % 8));
            break;
        }
        case TiffLayout::Palette:
            std::memcpy(m_row.data(), src, m_row.size());
            break;
        case TiffLayout::Rgb:
            for (size_t x = 0; x < width; ++x) {
                m_row[x * 3] = src[x * 3 + 2];
                m_row[x * 3 + 1] = src[x * 3 + 1];
                m_row[x * 3 + 2] = src[x * 3];
            }
            break;
        }
        if (!m_sink->write(m_row.data(), m_row.size()))
            return false;
    }
    return true;
}

bool TiffImageWriter::finish()
{
    ImageSink& sink = *m_sink;
    bool ok = sink.writeU16LE(uint16_t(m_directory.size()));
    for (const DirEntry& e : m_directory)
        ok = ok && sink.writeU16LE(e.tag) && sink.writeU16LE(e.type) && sink.writeU32LE(e.count)
             && sink.writeU32LE(e.value);
    return ok && sink.writeU32LE(0);
}

bool WriteTiff(const document::TFractal& f, uint32_t resolution, ImageSink& sink, engine::ComputeObserver* observer)
{
    BitmapRowSource source(f);
    ImageInfo info = source.info();
    info.resolution = resolution;
    TiffImageWriter writer;
    return feedImage(writer, info, source, sink, observer);
}

}  // namespace storage
