#pragma once

#include <cstddef>
#include <cstdint>

#include "colour/Palette.h"
#include "engine/Catalogue.h"

namespace storage {

class ImageSink;

// What an image file is made of, given to a writer before any row.
struct ImageInfo {
    int width = 0, height = 0;  // pixels
    // engine::PixelFormat8: one palette index per pixel; engine::PixelFormat24: blue, green, red.
    uint8_t pixelFormat = engine::PixelFormat8;
    colour::Palette palette;       // the colours of the indexes of an 8-bit image
    uint32_t resolution = 300;     // dots per inch, for the formats that store one (TIFF, PNG)
    // The algorithm the values were computed with: Distance and Binary images become two-tone TIFFs.
    uint8_t algorithm = engine::AlgLevel;
};

// What a row holds when a writer receives it.
enum class RowContent : uint8_t {
    Colours = 0,  // the picture: 1 byte (palette index) or 3 bytes (blue, green, red) per pixel
    Values = 1,   // the per-pixel 16-bit values the picture was coloured from (native byte order)
};

// The order in which a writer takes the bands of a pass.
enum class RowOrder : uint8_t {
    TopDown = 0,   // row 0 first
    BottomUp = 1,  // the last row first (BMP)
};

// Bytes of one row of `content` for an image of `info`.
inline size_t rowBytes(const ImageInfo& info, RowContent content)
{
    const size_t perPixel = content == RowContent::Values ? 2 : info.pixelFormat == engine::PixelFormat24 ? 3 : 1;
    return size_t(info.width > 0 ? info.width : 0) * perPixel;
}

// A writer of one image file format, fed band by band (see storage::feedImage):
//
//   begin(info, sink)                       checks the image and writes what precedes the rows
//   for pass in 0 .. passCount() - 1:
//       beginPass(pass)
//       writeRows(pass, first, count, ...)  bands covering every row once, in rowOrder()
//   finish()                                writes what follows the rows
//
// rowContent(), rowOrder() and passCount() are valid once begin() has succeeded. A writer that needs
// two looks at the pixels (a GIF of a 24-bit image builds its reduced palette first) asks for two
// passes; the bytes go to the sink only in the last one. Any false ends the image: nothing more may be
// called, and the sink holds an incomplete file that the caller must not keep. One image per object.
class ImageWriter {
public:
    virtual ~ImageWriter() = default;

    // False when the format cannot hold such an image, or the sink failed.
    virtual bool begin(const ImageInfo& info, ImageSink& sink) = 0;

    virtual RowContent rowContent() const { return RowContent::Colours; }
    virtual RowOrder rowOrder() const { return RowOrder::TopDown; }
    virtual int passCount() const { return 1; }

    virtual bool beginPass(int /*pass*/) { return true; }
    // `count` rows from image row `first`, held top row first, `stride` bytes apart, each
    // rowBytes(info, rowContent()) long.
    virtual bool writeRows(int pass, int first, int count, const uint8_t* rows, size_t stride) = 0;
    virtual bool finish() = 0;
};

}  // namespace storage
