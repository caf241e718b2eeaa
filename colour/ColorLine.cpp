#include "colour/ColorLine.h"

#include <algorithm>
#include <cmath>

#include "colour/Palette.h"

namespace colour {
namespace {

// Rounds to nearest with ties to even and keeps the low 8 bits.
uint8_t roundedLowByte(long double x)
{
    return uint8_t(static_cast<long long>(std::nearbyint(x)) & 0xFF);
}

template <typename Rule>
void colourRow8(const ColourInputs& in, const uint16_t* __restrict values, int width, uint8_t* __restrict out,
                Rule rule)
{
    // `out` never overlaps the values: lets the loop vectorise.
    const uint8_t biomorph = uint8_t(in.c8->BiomorphIndex & 0xFF);
    for (int x = 0; x < width; ++x)
        out[x] = rule(values[x], biomorph);
}

}  // namespace

ColorLineFn SelectColorLine(uint8_t pixelFormat, const Colour8State& c8, const Colour24State& c24,
                            ColorLineFn current)
{
    if (pixelFormat == engine::PixelFormat8) {
        switch (c8.BoundaryType) {
        case BoundaryKind::Linear: return &ColorLineLinear;
        case BoundaryKind::Log: return &ColorLineLog;
        case BoundaryKind::Sqrt: return &ColorLineSqrt;
        }
    } else if (pixelFormat == engine::PixelFormat24) {
        if (c24.TableMode == TableModeKind::FromBoundaries || c24.TableMode == TableModeKind::Calculated)
            return &ColorLine24;
    }
    return current;
}

void ColorLineLinear(const ColourInputs& in, const uint16_t* values, int width, uint8_t* out)
{
    colourRow8(in, values, width, out, [](uint16_t v, uint8_t biomorph) {
        return v == engine::Inside ? biomorph : uint8_t(v & 0xFF);
    });
}

void ColorLineLog(const ColourInputs& in, const uint16_t* values, int width, uint8_t* out)
{
    const long double m = in.c8->Multiplier;
    colourRow8(in, values, width, out, [m](uint16_t v, uint8_t biomorph) {
        return v == engine::Inside || v == 0 ? biomorph : roundedLowByte(std::log((long double)v) * m);
    });
}

void ColorLineSqrt(const ColourInputs& in, const uint16_t* values, int width, uint8_t* out)
{
    const long double m = in.c8->Multiplier;
    colourRow8(in, values, width, out, [m](uint16_t v, uint8_t biomorph) {
        return v == engine::Inside || v == 0 ? biomorph : roundedLowByte(std::sqrt((long double)v) * m);
    });
}

void ColorLine24(const ColourInputs& in, const uint16_t* __restrict values, int width, uint8_t* __restrict out)
{
    const Colour24State& c = *in.c24;
    const size_t tableSize = std::min({c.TableR.size(), c.TableG.size(), c.TableB.size()});
    const uint16_t maxIter = in.MaxIter;
    for (int x = 0; x < width; ++x) {
        const uint16_t v = values[x];
        uint8_t r, g, b;
        if (v == engine::Inside) {
            r = c.BiomorphRGB[0]; g = c.BiomorphRGB[1]; b = c.BiomorphRGB[2];
        } else if (v < maxIter && v < tableSize) {
            r = c.TableR[v]; g = c.TableG[v]; b = c.TableB[v];
        } else {
            r = colourRed(c.OutOfRangeColour); g = colourGreen(c.OutOfRangeColour); b = colourBlue(c.OutOfRangeColour);
        }
        out[3 * x] = b;
        out[3 * x + 1] = g;
        out[3 * x + 2] = r;
    }
}

int bytesPerPixel(ColorLineFn fn)
{
    return fn == &ColorLine24 ? 3 : 1;
}

void ColourRows(const RowColouring& colouring, const engine::TVxWork& values, ImageBitmap& bitmap, int first,
                int last)
{
    if (!colouring || colouring.bytesPerPixel() != bitmap.bytesPerPixel())
        return;
    first = std::max(first, 0);
    last = std::min({last, bitmap.Height - 1, values.height() - 1});
    const int width = std::min(bitmap.Width, values.width());
    for (int r = first; r <= last; ++r)
        colouring(values.row(r), width, bitmap.row(r));
}

}  // namespace colour
