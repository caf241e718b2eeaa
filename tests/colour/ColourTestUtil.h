#pragma once

#include <cstdint>
#include <vector>

#include "document/Fractal.h"

namespace colourtest {

// Sizes Data, Data3D (when asked) and the bitmap of a fractal for width x height pixels.
inline void sizeImage(document::TFractal& f, int width, int height, uint8_t pixelFormat, bool with3D = false)
{
    f.Params.Width = width;
    f.Params.Height = height;
    f.PixelFormat = pixelFormat;
    f.Data.resize(width, height);
    if (with3D)
        f.Data3D.resize(width, height);
    f.Bitmap.Width = width;
    f.Bitmap.Height = height;
    f.Bitmap.PixelFormat = pixelFormat;
    f.Bitmap.Pixels.assign(f.Bitmap.stride() * size_t(height), 0xEE);
}

// Sizes the 24-bit tables to MaxIter + 1 entries, filled with a marker byte.
inline void sizeTables(document::TFractal& f, uint16_t maxIter, uint8_t fill = 0xAB)
{
    f.Params.MaxIter = maxIter;
    f.ImageParams.MaxIter = maxIter;
    f.TableR.assign(size_t(maxIter) + 1, fill);
    f.TableG.assign(size_t(maxIter) + 1, fill);
    f.TableB.assign(size_t(maxIter) + 1, fill);
}

}  // namespace colourtest
