#include "storage/GifWriter.h"

#include <cstring>

#include "colour/Palette.h"
#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "storage/ImageFeeder.h"
#include "storage/ImageSink.h"
#include "storage/Lzw.h"
#include "storage/RowSource.h"

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

GifImageWriter::GifImageWriter(GifDither dither) : m_dither(dither) {}

GifImageWriter::~GifImageWriter() = default;

bool GifImageWriter::begin(const ImageInfo& info, ImageSink& sink)
{
    if (info.width <= 0 || info.height <= 0 || info.width > 0xFFFF || info.height > 0xFFFF)
        return false;
    m_sink = &sink;
    m_width = info.width;
    m_height = info.height;
    m_trueColour = info.pixelFormat == engine::PixelFormat24;
    if (m_trueColour) {
        m_octree.emplace(256, 8);
        return true;
    }
    std::vector<Rgb> colours;
    colours.reserve(256);
    for (const colour::PaletteEntry& e : info.palette.entries)
        colours.push_back(Rgb{e.red, e.green, e.blue});
    return startImage(colours);
}

int GifImageWriter::passCount() const
{
    return m_trueColour ? 2 : 1;
}

bool GifImageWriter::startImage(const std::vector<Rgb>& colours)
{
    const int bits = gifColourBits(colours.size());
    if (!writeHeaderAndTable(*m_sink, m_width, m_height, colours, bits))
        return false;
    m_lzw = std::make_unique<LzwEncoder>(*m_sink, bits == 1 ? 2 : bits);
    if (m_trueColour) {
        m_mapper.emplace(colours, m_dither, m_width);
        m_indexes.assign(size_t(m_width), 0);
    }
    return true;
}

bool GifImageWriter::beginPass(int pass)
{
    if (!m_trueColour || pass != 1)
        return true;
    const std::vector<Rgb> colours = m_octree->palette();
    m_octree.reset();  // the tree is not needed any more
    return startImage(colours);
}

bool GifImageWriter::writeRows(int pass, int, int count, const uint8_t* rows, size_t stride)
{
    for (int i = 0; i < count; ++i) {
        const uint8_t* row = rows + size_t(i) * stride;
        if (m_trueColour && pass == 0) {
            m_octree->addBgrRow(row, m_width);
        } else if (m_trueColour) {
            m_mapper->mapRow(row, m_indexes.data());
            if (!m_lzw->add(m_indexes.data(), m_indexes.size()))
                return false;
        } else if (!m_lzw->add(row, size_t(m_width))) {
            return false;
        }
    }
    return true;
}

bool GifImageWriter::finish()
{
    return m_lzw && m_lzw->finish() && m_sink->writeU8(0x3B);
}

bool WriteGif(const colour::ImageBitmap& bitmap, const colour::Palette& palette, GifDither dither, ImageSink& sink,
              engine::ComputeObserver* observer)
{
    BitmapRowSource source(bitmap, palette);
    GifImageWriter writer(dither);
    return feedImage(writer, source, sink, observer);
}

}  // namespace storage
