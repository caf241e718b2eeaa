#pragma once

#include <cstdint>

namespace engine {
class ComputeObserver;
}
namespace document {
class TFractal;
}

namespace storage {

class ImageSink;

// The three layouts of an exported TIFF file, chosen in this order: two-tone when the image's
// algorithm is Distance or Binary (whatever the pixel format), palette for an 8-bit image, RGB for
// a 24-bit one.
enum class TiffLayout : uint8_t { TwoTone, Palette, Rgb };
TiffLayout tiffLayoutFor(const document::TFractal& f);

// The 20-byte Software text of exported TIFF files: product name, version tag, one blank, zero padding.
inline constexpr char TiffSoftware[] = "Vorex--V1.8-- ";
inline constexpr int TiffSoftwareSize = 20;

// Writes the displayed image as an uncompressed little-endian TIFF with one strip. `resolution` is
// in dots per inch (written as the rationals resolution/1, unit inch). The two-tone layout reads the
// per-pixel values (Data, or Data3D while the 3D view is shown): 65535 and 0 are black, every
// other value white. The other layouts read the display bitmap (and the palette for 8 bits).
//
// The layout is fixed, so the directory offset is known in advance and written into the header
// directly; the file is streamed in order, one row buffer at a time. Progress: one step of 10 rows.
// False when the sink fails or the image cannot be written (empty, wider or taller than 65535
// pixels, buffers not matching the bitmap size, file over 4 GB).
bool WriteTiff(const document::TFractal& f, uint32_t resolution, ImageSink& sink,
               engine::ComputeObserver* observer = nullptr);

}  // namespace storage
