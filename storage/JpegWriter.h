#pragma once

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

// Writes a 24-bit bitmap as a baseline JFIF JPEG file (YCbCr, 4:2:0, libjpeg-turbo's standard
// tables scaled to `quality`, which is clamped to 50..100). Progress: one step of 10 rows.
// False for an 8-bit or empty bitmap, an image over 65500 pixels a side, or a failing sink.
bool WriteJpeg(const colour::ImageBitmap& bitmap, int quality, ImageSink& sink,
               engine::ComputeObserver* observer = nullptr);

}  // namespace storage
