#pragma once

#include <cstdint>
#include <memory>

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

// Pixels per metre of a resolution in dots per inch, rounded to the nearest (72 dpi: 2835).
uint32_t pixelsPerMetre(uint32_t dotsPerInch);

// A PNG file written by libpng, row by row as the bands come: 8 bits per sample, a palette image
// (colour type 3, a 256-entry PLTE from the palette) for an 8-bit image, RGB (colour type 2) for a
// 24-bit one, no interlace, and info.resolution as a pHYs chunk in pixels per metre. The bytes go
// to the sink through libpng's write callback. begin() refuses an empty image and one libpng cannot
// hold; an error of libpng or a failing sink ends the image (libpng's error path is caught; the
// process goes on).
class PngImageWriter : public ImageWriter {
public:
    PngImageWriter();
    ~PngImageWriter() override;  // abandons an unfinished image

    bool begin(const ImageInfo& info, ImageSink& sink) override;
    bool writeRows(int pass, int first, int count, const uint8_t* rows, size_t stride) override;
    bool finish() override;

    struct Job;  // libpng's state, kept at a fixed address

private:
    std::unique_ptr<Job> m_job;
};

// Writes the bitmap (BitmapRowSource) with a PngImageWriter at `resolution` dots per inch.
// Progress: one step of 10 rows. False for an empty bitmap, one whose pixels do not match its size,
// an error of libpng or a failing sink.
bool WritePng(const colour::ImageBitmap& bitmap, const colour::Palette& palette, uint32_t resolution,
              ImageSink& sink, engine::ComputeObserver* observer = nullptr);

}  // namespace storage
