#pragma once

#include <cstdint>

#include "colour/Palette.h"

// Palette rotation: the colours move one entry at a time while the values stay as they are.
namespace colour {

enum class RotateDirection : uint8_t { In = 0, Out = 1 };

// One step of palette rotation. Out: entries 1..254 take the colours of 2..255 and entry 255 the
// old entry 1. In: the reverse. Entry 0 never moves. Flags move with their colours.
void RotatePaletteStep(Palette& palette, RotateDirection direction);

}  // namespace colour
