#pragma once

#include <cstdint>
#include <vector>

#include "storage/ImageWriter.h"

namespace document {
class TFractal;
}
namespace engine {
class ComputeObserver;
}

namespace storage {

class ImageSink;

// The three layouts of an exported TIFF file, chosen in this order: two-tone when the image's
// algorithm is Distance or Binary (whatever the pixel format), palette for an 8-bit image, RGB for
// a 24-bit one.
enum class TiffLayout : uint8_t { TwoTone, Palette, Rgb };
TiffLayout tiffLayoutFor(const ImageInfo& info);
TiffLayout tiffLayoutFor(const document::TFractal& f);

// The 20-byte Software text of exported TIFF files: product name, version tag, one blank, zero padding.
inline constexpr char TiffSoftware[] = "Vorex--V1.8-- ";
inline constexpr int TiffSoftwareSize = 20;

// An uncompressed little-endian TIFF with one strip, at info.resolution dots per inch (written as
// the rationals resolution/1, unit inch). The two-tone layout takes the per-pixel values
// (RowContent::Values): 65535 and 0 are black, every other value white. The other layouts take the
// picture (and the palette for 8 bits).
//
// The layout is fixed, so the directory offset is known in advance and written into the header
// directly; the file is written in order, rows top-down, one row buffer at a time. begin() refuses
// an empty image, one wider or taller than 65535 pixels, and a file over 4 GB.
class TiffImageWriter : public ImageWriter {
public:
    bool begin(const ImageInfo& info, ImageSink& sink) override;
    RowContent rowContent() const override;
    bool writeRows(int pass, int first, int count, const uint8_t* rows, size_t stride) override;
    bool finish() override;

private:
    struct DirEntry {
        uint16_t tag;
        uint16_t type;
        uint32_t count;
        uint32_t value;  // SHORT values sit in the low half (the first two bytes of the field)
    };
    ImageSink* m_sink = nullptr;
    TiffLayout m_layout = TiffLayout::Rgb;
    int m_width = 0;
    std::vector<DirEntry> m_directory;
    std::vector<uint8_t> m_row;
};

// Writes the displayed image of `f` (BitmapRowSource) with a TiffImageWriter. The two-tone layout
// reads Data, or Data3D while the 3D view is shown. Progress: one step of 10 rows. False when the
// sink fails or the image cannot be written (see TiffImageWriter; also values not matching the
// bitmap's size for the two-tone layout, or a bitmap whose pixels do not match its size).
bool WriteTiff(const document::TFractal& f, uint32_t resolution, ImageSink& sink,
               engine::ComputeObserver* observer = nullptr);

}  // namespace storage
