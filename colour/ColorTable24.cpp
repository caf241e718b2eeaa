#include "colour/ColorTable24.h"

namespace colour {

ColorTable24 defaultColorTable24()
{
    struct Row {
        uint32_t position, upper, lower;  // colours as 0xRRGGBB
    };
    static constexpr Row rows[] = {
        {1, 0xFFFF00, 0x000000},    {16, 0xFF0000, 0x000000},   {35, 0x00FF00, 0x000000},
        {60, 0x0000FF, 0x000000},   {100, 0x000000, 0xC0C0C0},  {160, 0x000000, 0xFF49FF},
        {290, 0x000000, 0xFFFF00},  {400, 0x004000, 0xFFFFFF},  {700, 0x7F007F, 0x00FF00},
        {1024, 0x00407F, 0xFF0000}, {1500, 0x000000, 0xC0C0C0}, {2200, 0xFF0000, 0xFFFF00},
        {2900, 0x000000, 0x00FFFF},
    };
    ColorTable24 t;
    int i = 0;
    for (const Row& r : rows)
        t.records[size_t(i++)] = {r.position, rgbToColour(r.upper), rgbToColour(r.lower)};
    t.records[ColorTable24::EndRecord] = {5000, rgbToColour(0x000000), rgbToColour(0xFFC0C0)};
    t.records[ColorTable24::LeadOutRecord] = {FreePosition, 0, 0};
    return t;
}

}  // namespace colour
