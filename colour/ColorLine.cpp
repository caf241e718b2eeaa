#include "colour/ColorLine.h"

#include <algorithm>
#include <cmath>

namespace colour {
namespace {

const engine::TVxWork& source(const engine::TFractal& f)
{
    return f.View3D ? f.Data3D : f.Data;
}

// Rounds to nearest with ties to even and keeps the low 8 bits.
uint8_t roundedLowByte(long double x)
{
    return uint8_t(static_cast<long long>(std::nearbyint(x)) & 0xFF);
}

template <typename Rule>
void colourRow8(engine::TFractal& f, int row, Rule rule)
{
    const engine::TVxWork& src = source(f);
    if (row < 0 || row >= f.Bitmap.Height || row >= src.height() || f.Bitmap.bytesPerPixel() != 1)
        return;
    const uint16_t* __restrict values = src.row(row);
    uint8_t* __restrict out = f.Bitmap.row(row);  // never overlaps the values: lets the loop vectorise
    const int width = std::min(f.Bitmap.Width, src.width());
    const uint8_t biomorph = uint8_t(f.BiomorphIndex & 0xFF);
    for (int x = 0; x < width; ++x)
        out[x] = rule(values[x], biomorph);
}

}  // namespace

void SelectColorLine(engine::TFractal& f)
{
    if (f.PixelFormat == engine::PixelFormat8) {
        switch (f.BoundaryType) {
        case 0: f.ColorLine = &ColorLineLinear; break;
        case 1: f.ColorLine = &ColorLineLog; break;
        case 2: f.ColorLine = &ColorLineSqrt; break;
        default: break;
        }
    } else if (f.PixelFormat == engine::PixelFormat24) {
        if (f.TableMode == 0 || f.TableMode == 1)
            f.ColorLine = &ColorLine24;
    }
}

void ColorLineLinear(engine::TFractal& f, int row)
{
    colourRow8(f, row, [](uint16_t v, uint8_t biomorph) {
        return v == engine::Inside ? biomorph : uint8_t(v & 0xFF);
    });
}

void ColorLineLog(engine::TFractal& f, int row)
{
    const long double m = f.Multiplier;
    colourRow8(f, row, [m](uint16_t v, uint8_t biomorph) {
        return v == engine::Inside || v == 0 ? biomorph : roundedLowByte(std::log((long double)v) * m);
    });
}

void ColorLineSqrt(engine::TFractal& f, int row)
{
    const long double m = f.Multiplier;
    colourRow8(f, row, [m](uint16_t v, uint8_t biomorph) {
        return v == engine::Inside || v == 0 ? biomorph : roundedLowByte(std::sqrt((long double)v) * m);
    });
}

void ColorLine24(engine::TFractal& f, int row)
{
    const engine::TVxWork& src = source(f);
    if (row < 0 || row >= f.Bitmap.Height || row >= src.height() || f.Bitmap.bytesPerPixel() != 3)
        return;
    const uint16_t* __restrict values = src.row(row);
    uint8_t* __restrict out = f.Bitmap.row(row);  // never overlaps the values: lets the loop vectorise
    const int width = std::min(f.Bitmap.Width, src.width());
    const size_t tableSize = std::min({f.TableR.size(), f.TableG.size(), f.TableB.size()});
    const uint16_t maxIter = f.Params.MaxIter;
    for (int x = 0; x < width; ++x) {
        const uint16_t v = values[x];
        uint8_t r, g, b;
        if (v == engine::Inside) {
            r = f.BiomorphRGB[0]; g = f.BiomorphRGB[1]; b = f.BiomorphRGB[2];
        } else if (v < maxIter && v < tableSize) {
            r = f.TableR[v]; g = f.TableG[v]; b = f.TableB[v];
        } else {
            r = colourRed(f.OutOfRangeColour); g = colourGreen(f.OutOfRangeColour); b = colourBlue(f.OutOfRangeColour);
        }
        out[3 * x] = b;
        out[3 * x + 1] = g;
        out[3 * x + 2] = r;
    }
}

void ColourAllRows(engine::TFractal& f)
{
    if (!f.ColorLine)
        return;
    for (int r = 0; r < f.Bitmap.Height; ++r)
        f.ColorLine(f, r);
}

}  // namespace colour
