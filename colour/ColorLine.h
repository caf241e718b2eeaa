#pragma once

#include <cstdint>

#include "colour/Colour24.h"
#include "colour/Colour8.h"
#include "colour/Picture.h"
#include "engine/Values.h"

// Row colouring: one row of values into one row of the picture, through the palette (8-bit images) or
// the per-value tables (24-bit images). The procedures read the colour state each time they run, so a
// colouring made once for a picture follows later edits of that state.
namespace colour {

// What the row procedures read besides the values.
struct ColourInputs {
    const Colour8State* c8 = nullptr;
    const Colour24State* c24 = nullptr;
    uint16_t MaxIter = 0;  // values at or above it (but inside) take the out-of-range colour of 24-bit images
};

// The row procedure for a pixel format and the boundary type (8-bit) or table mode (24-bit); `current`
// when they name none (codes only a damaged file can hold).
ColorLineFn SelectColorLine(uint8_t pixelFormat, const Colour8State& c8, const Colour24State& c24,
                            ColorLineFn current);

// The row procedures.
void ColorLineLinear(const ColourInputs& in, const uint16_t* values, int width, uint8_t* out);
void ColorLineLog(const ColourInputs& in, const uint16_t* values, int width, uint8_t* out);
void ColorLineSqrt(const ColourInputs& in, const uint16_t* values, int width, uint8_t* out);
void ColorLine24(const ColourInputs& in, const uint16_t* values, int width, uint8_t* out);

// Bytes per pixel a procedure writes: 3 for ColorLine24, 1 for the others.
int bytesPerPixel(ColorLineFn fn);

// A row procedure with its inputs: the colouring of one picture. Colouring distinct rows from several
// threads at once is safe while the colour state is not changed.
class RowColouring {
public:
    RowColouring() = default;
    RowColouring(ColorLineFn fn, const ColourInputs& in) : m_fn(fn), m_in(in) {}

    explicit operator bool() const { return m_fn != nullptr; }
    int bytesPerPixel() const { return colour::bytesPerPixel(m_fn); }
    // Colours `width` values into `out`.
    void operator()(const uint16_t* values, int width, uint8_t* out) const
    {
        if (m_fn)
            m_fn(m_in, values, width, out);
    }

private:
    ColorLineFn m_fn = nullptr;
    ColourInputs m_in;
};

// Colours rows first..last of `bitmap` from the rows of `values` (each over the narrower width). Rows
// outside either, and a bitmap whose depth is not the procedure's, are left alone.
void ColourRows(const RowColouring& colouring, const engine::TVxWork& values, ImageBitmap& bitmap, int first,
                int last);

}  // namespace colour
