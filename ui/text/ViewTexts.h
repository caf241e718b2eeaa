#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// 3D parameters dialog, rows 1 to 11.
enum class Params3DText : uint8_t {
    Caption = 1,  // 1: "3D Parameters "
    Azimuth,  // 2: "Azimuth"
    VerticalAngle,  // 3: "Vertical angle"
    ZScale,  // 4: "Z Scale:"
    ZLimit,  // 5: "Z Limit:"
    FocalLength,  // 6: "Focal Length:"
    Inverted3D,  // 7: "Inverted 3D"
    DrawInPerspective,  // 8: "Draw in perspective"
    VerticalShift,  // 9: "Vertical shift:"
    AvailableRAM,  // 10: "Available RAM:"
    NecessaryRAMFor3D,  // 11: "Necessary RAM for 3D:"
    End
};
std::string_view lookup(Params3DText id, int language);
std::span<const Bilingual> params3DTable();

// Edges and relief (emboss) filter dialogs, rows 1 to 13.
enum class FilterText : uint8_t {
    EdgesFilter = 1,  // 1: "Edges filter"
    Colors,  // 2: "Colors "
    Background,  // 3: "Background:"
    Lines,  // 4: "Lines:"
    Fractal,  // 5: "Fractal"
    FixedColor,  // 6: "Fixed color"
    Biomorphe,  // 7: "Biomorphe:"
    EmbossFilter,  // 8: "Emboss filter"
    Parameters,  // 9: "Parameters "
    Deep,  // 10: "Deep:"
    Contrast,  // 11: "Contrast:"
    LightAngle,  // 12: "Light angle:"
    BiomorpheColor,  // 13: "Biomorphe color:"
    End
};
std::string_view lookup(FilterText id, int language);
std::span<const Bilingual> filterTable();

}  // namespace text
