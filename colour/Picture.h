#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/Values.h"

namespace colour {

// The display bitmap: 1 byte per pixel (palette index) or 3 bytes per pixel (blue, green, red), rows unpadded.
struct ImageBitmap {
    int Width = 0, Height = 0;
    uint8_t PixelFormat = engine::PixelFormat8;
    std::vector<uint8_t> Pixels;
    int bytesPerPixel() const { return PixelFormat == engine::PixelFormat24 ? 3 : 1; }
    size_t stride() const { return size_t(Width) * size_t(bytesPerPixel()); }
    uint8_t* row(int r) { return Pixels.data() + size_t(r) * stride(); }
    const uint8_t* row(int r) const { return Pixels.data() + size_t(r) * stride(); }
};

struct ColourInputs;
// A row procedure: colours `width` values into `out` (1 byte per pixel, or 3 bytes blue, green, red).
using ColorLineFn = void (*)(const ColourInputs&, const uint16_t* values, int width, uint8_t* out);

// What the window shows: the bitmap, the 3D relief's values while the 3D view is on, and the row
// procedure chosen for the picture.
struct PictureState {
    ImageBitmap Bitmap;
    bool View3D = false;
    engine::TVxWork Data3D;
    ColorLineFn RowProcedure = nullptr;  // chosen by SelectColorLine
};

}  // namespace colour
