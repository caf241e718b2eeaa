#include "colour/Hsv.h"

#include <algorithm>
#include <cmath>

namespace colour {

long long roundEven(long double x)
{
    // The default floating-point environment rounds to nearest, ties to even.
    return static_cast<long long>(std::nearbyint(x));
}

Hsv RgbToHsv(long double red, long double green, long double blue)
{
    const long double r = red / 255, g = green / 255, b = blue / 255;
    const long double max = std::max({r, g, b});
    const long double min = std::min({r, g, b});
    const long double delta = max - min;
    Hsv out;
    out.v = max;
    out.s = max == 0 ? 0 : delta / max;
    if (out.s == 0) {
        out.h = UndefinedHue;
        return out;
    }
    long double h;
    if (r == max)
        h = 60 * ((g - b) / delta);
    else if (g == max)
        h = 60 * (2 + (b - r) / delta);
    else
        h = 60 * (4 + (r - g) / delta);
    if (h < 0)
        h += 360;
    out.h = (long double)roundEven(h);
    return out;
}

RgbReal HsvToRgb(const Hsv& hsv)
{
    const long double v = hsv.v, s = hsv.s;
    if (s == 0)
        return {v * 255, v * 255, v * 255};
    long double h = std::isfinite(hsv.h) ? hsv.h : 0;
    if (std::fabs(h) > 1e6L)  // far-off hues: skip the long walk of 360 steps
        h = std::fmod(h, 360.0L);
    while (h < 0)
        h += 360;
    while (h >= 360)
        h -= 360;
    const long double hp = h / 60;
    int i = int(hp);  // truncated; hp is in [0, 6)
    if (i > 5)
        i = 5;
    const long double f = hp - i;
    const long double p = v * (1 - s);
    const long double q = v * (1 - s * f);
    const long double t = v * (1 - s * (1 - f));
    long double r, g, b;
    switch (i) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
    }
    return {r * 255, g * 255, b * 255};
}

}  // namespace colour
