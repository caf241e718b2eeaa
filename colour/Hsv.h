#pragma once

namespace colour {

// Hexcone HSV, shared by the palette editor's gradients and the calculated 24-bit tables.
// Hue in degrees (-1 = undefined, for greys), saturation and value 0..1.
struct Hsv {
    long double h = -1, s = 0, v = 0;
};

// Red, green and blue as reals on the 0..255 scale; callers round.
struct RgbReal {
    long double r = 0, g = 0, b = 0;
};

inline constexpr long double UndefinedHue = -1;

// Channels 0..255. The hue comes back rounded to whole degrees (ties to even), so it may be 360;
// it is -1 when the saturation is 0. Saturation is 0 for black.
Hsv RgbToHsv(long double red, long double green, long double blue);

// Any hue is brought into [0, 360) first (a hue that is not finite counts as 0). The value is not
// clamped: a value outside 0..1 gives channels outside 0..255, which callers wrap or clamp.
RgbReal HsvToRgb(const Hsv& hsv);

// Rounds to nearest with ties to even.
long long roundEven(long double x);

}  // namespace colour
