#pragma once

#include <cstdint>

#include "colour/Palette.h"

namespace colour {

enum class GradientKind : uint8_t { Hsv = 0, Rgb = 1 };

// The palette editor's gradient between two grid cells. A cell 0 counts as 1 (entry 0 is fixed);
// the entries strictly between the two points and the higher point itself are rewritten, running
// from the colour of the lower point to the colour of the higher one. Returns false, writing nothing,
// when the points are equal or one is outside 0..255 (the grid's grey cells 256..259).
bool ApplyGradient(Palette& palette, int firstPoint, int secondPoint, GradientKind kind);

}  // namespace colour
