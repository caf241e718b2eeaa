#include "colour/Recolour.h"

namespace colour {

void RotatePaletteStep(Palette& palette, RotateDirection direction)
{
    auto& e = palette.entries;
    if (direction == RotateDirection::Out) {
        const PaletteEntry kept = e[1];
        for (size_t i = 1; i < 255; ++i)
            e[i] = e[i + 1];
        e[255] = kept;
    } else {
        const PaletteEntry kept = e[255];
        for (size_t i = 255; i > 1; --i)
            e[i] = e[i - 1];
        e[1] = kept;
    }
}

}  // namespace colour
