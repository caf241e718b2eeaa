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

// Writes an 8-bit bitmap as an uncompressed Windows BMP: the 14-byte file header, a 40-byte
// information header (BITMAPINFOHEADER), the 256-entry colour table of the palette (blue, green,
// red, 0 each) and the pixel rows bottom-up, each padded with zero bytes to a multiple of 4.
//
// Header fields: positive height (bottom-up rows), 1 plane, 8 bits per pixel, compression 0
// (BI_RGB), image size = padded row size x height, colours used 256, colours important 0.
// The resolution fields (pixels per metre) are 0: a BMP is a screen picture with no physical size
// of its own; the export resolution belongs to TIFF files.
//
// Progress: one step of 10 rows. False for a 24-bit or empty bitmap, a file over 4 GB, or a
// failing sink.
bool WriteBmp(const colour::ImageBitmap& bitmap, const colour::Palette& palette, ImageSink& sink,
              engine::ComputeObserver* observer = nullptr);

}  // namespace storage
