#pragma once

#include <memory>
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

// A PNG file: signature, IHDR (8 bits per sample; colour type 3 with a 256-entry PLTE for an 8-bit
// image, colour type 2 for a 24-bit one; no interlace), the deflated rows in IDAT chunks of at most
// 64 KB (filter type 0 on every row), IEND. Every chunk carries its CRC-32. begin() refuses an empty
// image; a zlib failure or a failing sink ends it.
class PngImageWriter : public ImageWriter {
public:
    PngImageWriter();
    ~PngImageWriter() override;

    bool begin(const ImageInfo& info, ImageSink& sink) override;
    bool writeRows(int pass, int first, int count, const uint8_t* rows, size_t stride) override;
    bool finish() override;

    class IdatStream;

private:
    ImageSink* m_sink = nullptr;
    int m_width = 0;
    bool m_trueColour = false;
    std::unique_ptr<IdatStream> m_idat;
    std::vector<uint8_t> m_row;  // the filter byte, then the row
};

// Writes the bitmap (BitmapRowSource) with a PngImageWriter. Progress: one step of 10 rows. False for
// an empty bitmap, one whose pixels do not match its size, a zlib failure or a failing sink.
bool WritePng(const colour::ImageBitmap& bitmap, const colour::Palette& palette, ImageSink& sink,
              engine::ComputeObserver* observer = nullptr);

}  // namespace storage
