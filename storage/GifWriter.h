#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "storage/ColourMapping.h"
#include "storage/ImageWriter.h"
#include "storage/Octree.h"

namespace colour {
struct Palette;
struct ImageBitmap;
}
namespace engine {
class ComputeObserver;
}

namespace storage {

class ImageSink;
class LzwEncoder;

// The number of bits needed to index `colours` colours (at least 1, at most 8).
int gifColourBits(std::size_t colours);

// The reduced palette of a 24-bit bitmap: octree quantization to at most 256 colours with a
// colour depth of 8 bits.
std::vector<Rgb> quantizeBitmap(const colour::ImageBitmap& bitmap);

// A GIF file: "GIF87a", a logical screen descriptor with a global colour table (the image's one
// local table moved there), one image of the full size, LZW data and the trailer. No extension
// blocks. An 8-bit image keeps its 256-entry palette and its indexes unchanged, in one pass. A 24-bit
// image takes two passes: the first builds the reduced palette (octree quantization to at most 256
// colours, colour depth 8 bits, rows top-down) and writes nothing; the second writes the file,
// mapping each row to the nearest colour or with serpentine error diffusion (see RowMapper).
// begin() refuses an empty image or one larger than 65535 pixels a side.
class GifImageWriter : public ImageWriter {
public:
    explicit GifImageWriter(GifDither dither);
    ~GifImageWriter() override;

    bool begin(const ImageInfo& info, ImageSink& sink) override;
    int passCount() const override;
    bool beginPass(int pass) override;
    bool writeRows(int pass, int first, int count, const uint8_t* rows, size_t stride) override;
    bool finish() override;

private:
    bool startImage(const std::vector<Rgb>& colours);

    GifDither m_dither;
    ImageSink* m_sink = nullptr;
    int m_width = 0, m_height = 0;
    bool m_trueColour = false;
    std::optional<OctreeQuantizer> m_octree;
    std::optional<RowMapper> m_mapper;
    std::unique_ptr<LzwEncoder> m_lzw;
    std::vector<uint8_t> m_indexes;
};

// Writes the bitmap (BitmapRowSource) with a GifImageWriter. Progress: one step of 10 rows while the
// rows are encoded. False when the sink fails or the bitmap is empty, larger than 65535 pixels a
// side, or its pixels do not match its size.
bool WriteGif(const colour::ImageBitmap& bitmap, const colour::Palette& palette, GifDither dither, ImageSink& sink,
              engine::ComputeObserver* observer = nullptr);

}  // namespace storage
