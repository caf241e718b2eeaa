#pragma once

#include <cstdint>

#include "colour/Palette.h"

namespace colour {

// The rule turning a value into a palette index, as stored in documents.
enum class BoundaryKind : uint8_t { Linear = 0, Log = 1, Sqrt = 2 };

// The 8-bit colour state of a document: the palette and how values become palette indices.
struct Colour8State {
    colour::Palette Palette = systemPalette();
    BoundaryKind BoundaryType = BoundaryKind::Linear;  // a damaged file may hold another code
    int32_t Multiplier = 10;
    int32_t BiomorphIndex = 0;  // palette index of inside pixels
    friend bool operator==(const Colour8State&, const Colour8State&) = default;
};

}  // namespace colour
