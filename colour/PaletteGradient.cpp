#include "colour/PaletteGradient.h"

#include <algorithm>
#include <cmath>

#include "colour/Hsv.h"

namespace colour {
namespace {

uint8_t channelByte(long double x)
{
    return uint8_t(std::clamp<long long>(roundEven(x), 0, 255));
}

// A running value per channel, from the low entry's colour, one step added per entry.
void gradientRgb(Palette& p, int lo, int hi)
{
    const int n = hi - lo;
    const PaletteEntry& a = p.entries[size_t(lo)];
    const PaletteEntry& b = p.entries[size_t(hi)];
    const long double stepR = ((long double)b.red - a.red) / n;
    const long double stepG = ((long double)b.green - a.green) / n;
    const long double stepB = ((long double)b.blue - a.blue) / n;
    long double r = a.red, g = a.green, bl = a.blue;
    for (int k = 1; k <= n; ++k) {
        r += stepR;
        g += stepG;
        bl += stepB;
        PaletteEntry& e = p.entries[size_t(lo + k)];
        e.red = channelByte(r);
        e.green = channelByte(g);
        e.blue = channelByte(bl);
    }
}

// Hue, saturation and value run linearly; the hue goes the short way round the circle, and a grey
// end takes the hue of the other end.
void gradientHsv(Palette& p, int lo, int hi)
{
    const int n = hi - lo;
    const PaletteEntry& a = p.entries[size_t(lo)];
    const PaletteEntry& b = p.entries[size_t(hi)];
    Hsv start = RgbToHsv(a.red, a.green, a.blue);
    Hsv end = RgbToHsv(b.red, b.green, b.blue);
    if (start.h == UndefinedHue) {
        if (end.h == UndefinedHue)
            end.h = 0;
        start.h = end.h;
    }
    if (end.h == UndefinedHue)
        end.h = start.h;
    if (std::fabs(start.h - end.h) > 180) {
        if (start.h < end.h)
            start.h += 360;
        else
            end.h += 360;
    }
    const long double stepH = (end.h - start.h) / n;
    const long double stepS = (end.s - start.s) / n;
    const long double stepV = (end.v - start.v) / n;
    Hsv run = start;
    for (int k = 1; k <= n; ++k) {
        run.h += stepH;
        run.s += stepS;
        run.v += stepV;
        const RgbReal c = HsvToRgb(run);
        PaletteEntry& e = p.entries[size_t(lo + k)];
        e.red = channelByte(c.r);
        e.green = channelByte(c.g);
        e.blue = channelByte(c.b);
    }
}

}  // namespace

bool ApplyGradient(Palette& palette, int firstPoint, int secondPoint, GradientKind kind)
{
    if (firstPoint < 0 || firstPoint > 255 || secondPoint < 0 || secondPoint > 255)
        return false;
    firstPoint = std::max(firstPoint, 1);
    secondPoint = std::max(secondPoint, 1);
    if (firstPoint == secondPoint)
        return false;
    const int lo = std::min(firstPoint, secondPoint);
    const int hi = std::max(firstPoint, secondPoint);
    if (kind == GradientKind::Rgb)
        gradientRgb(palette, lo, hi);
    else
        gradientHsv(palette, lo, hi);
    return true;
}

}  // namespace colour
