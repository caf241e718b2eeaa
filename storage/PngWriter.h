#pragma once

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

// Writes the bitmap as a PNG file: signature, IHDR (8 bits per sample; colour type 3 with a
// 256-entry PLTE for an 8-bit bitmap, colour type 2 for a 24-bit one; no interlace), the deflated
// rows in IDAT chunks of at most 64 KB (filter type 0 on every row), IEND. Every chunk carries its
// CRC-32. Progress: one step of 10 rows. False for an empty bitmap, a zlib failure or a failing sink.
bool WritePng(const colour::ImageBitmap& bitmap, const colour::Palette& palette, ImageSink& sink,
              engine::ComputeObserver* observer = nullptr);

}  // namespace storage
