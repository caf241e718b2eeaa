#pragma once

#include <cstddef>
#include <vector>

#include "storage/ColourMapping.h"
#include "storage/Octree.h"

namespace colour {
struct Palette;
}
namespace colour {
struct ImageBitmap;
}
namespace engine {
class ComputeObserver;
}

namespace storage {

class ImageSink;

// The number of bits needed to index `colours` colours (at least 1, at most 8).
int gifColourBits(std::size_t colours);

// The reduced palette of a 24-bit bitmap: octree quantization to at most 256 colours with a
// colour depth of 8 bits.
std::vector<Rgb> quantizeBitmap(const colour::ImageBitmap& bitmap);

// Writes the bitmap as a GIF file: "GIF87a", a logical screen descriptor with a global colour
// table (the image's one local table moved there), one image of the bitmap's size, LZW data and
// the trailer. No extension blocks. An 8-bit bitmap keeps its 256-entry palette and its indexes
// unchanged; a 24-bit one is reduced with quantizeBitmap() and mapped to the nearest colour or
// with serpentine error diffusion (see RowMapper). Progress: one step of 10 rows while the rows are
// encoded. False when the sink fails or the bitmap is empty or larger than 65535 pixels a side.
bool WriteGif(const colour::ImageBitmap& bitmap, const colour::Palette& palette, GifDither dither, ImageSink& sink,
              engine::ComputeObserver* observer = nullptr);

}  // namespace storage
