#pragma once

#include <memory>

#include "storage/ImageWriter.h"

namespace colour {
struct ImageBitmap;
}
namespace engine {
class ComputeObserver;
}

namespace storage {

class ImageSink;

inline constexpr int JpegQualityMin = 50;
inline constexpr int JpegQualityMax = 100;
inline constexpr int JpegQualityDefault = 90;
// From this quality up the colour keeps full resolution (4:4:4 sampling); below it, 4:2:0.
inline constexpr int JpegFullChromaQuality = 90;

// A 24-bit image as a baseline JFIF JPEG file (YCbCr; 4:4:4 sampling at quality JpegFullChromaQuality
// and above, 4:2:0 below; libjpeg-turbo's standard tables scaled to `quality`, which is clamped to
// 50..100), compressed as the rows come. begin() refuses an 8-bit or
// empty image and one over 65500 pixels a side. A failure of the sink ends the image (libjpeg's
// error path is caught; the process goes on).
class JpegImageWriter : public ImageWriter {
public:
    explicit JpegImageWriter(int quality);
    ~JpegImageWriter() override;  // abandons an unfinished image

    bool begin(const ImageInfo& info, ImageSink& sink) override;
    bool writeRows(int pass, int first, int count, const uint8_t* rows, size_t stride) override;
    bool finish() override;

    struct Job;  // libjpeg's state, kept at a fixed address

private:
    int m_quality;
    std::unique_ptr<Job> m_job;
};

// Writes the bitmap (BitmapRowSource) with a JpegImageWriter. Progress: one step of 10 rows.
// False for an 8-bit or empty bitmap, one whose pixels do not match its size, an image over 65500
// pixels a side, or a failing sink.
bool WriteJpeg(const colour::ImageBitmap& bitmap, int quality, ImageSink& sink,
               engine::ComputeObserver* observer = nullptr);

}  // namespace storage
