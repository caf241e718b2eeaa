#pragma once

#include <vector>

#include "storage/ImageWriter.h"

namespace colour {
struct Palette;
struct ImageBitmap;
}
namespace engine {
class ComputeObserver;
}

namespace storage {

class ImageSink;

// An 8-bit image as an uncompressed Windows BMP: the 14-byte file header, a 40-byte information
// header (BITMAPINFOHEADER), the 256-entry colour table of the palette (blue, green, red, 0 each)
// and the pixel rows bottom-up, each padded with zero bytes to a multiple of 4: the writer takes
// its bands bottom-up (RowOrder::BottomUp).
//
// Header fields: positive height (bottom-up rows), 1 plane, 8 bits per pixel, compression 0
// (BI_RGB), image size = padded row size x height, colours used 256, colours important 0.
// The resolution fields (pixels per metre) are 0: a BMP is a screen picture with no physical size
// of its own; the export resolution belongs to TIFF files.
//
// begin() refuses a 24-bit or empty image and a file over 4 GB.
class BmpImageWriter : public ImageWriter {
public:
    bool begin(const ImageInfo& info, ImageSink& sink) override;
    RowOrder rowOrder() const override { return RowOrder::BottomUp; }
    bool writeRows(int pass, int first, int count, const uint8_t* rows, size_t stride) override;
    bool finish() override { return true; }

private:
    ImageSink* m_sink = nullptr;
    int m_width = 0;
    std::vector<uint8_t> m_row;
};

// Writes the bitmap (BitmapRowSource) with a BmpImageWriter. Progress: one step of 10 rows. False
// for a 24-bit or empty bitmap, one whose pixels do not match its size, a file over 4 GB, or a
// failing sink.
bool WriteBmp(const colour::ImageBitmap& bitmap, const colour::Palette& palette, ImageSink& sink,
              engine::ComputeObserver* observer = nullptr);

}  // namespace storage
