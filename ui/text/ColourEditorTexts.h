#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// 8-bit palette editor, rows 1 to 24.
enum class PaletteEditorText : uint8_t {
    Caption = 1,  // 1: "8 bits color"
    Palette,  // 2: "Palette"
    ColorBoundaries,  // 3: "Color Boundaries"
    ColorBoundariesType,  // 4: "Color Boundaries type:"
    Multiplier,  // 5: "Multiplier:"
    SelectNewColor,  // 6: "Select new color"
    OpenPaletteStatus,  // 7: "Open color Palette"
    SavePaletteStatus,  // 8: "Save color Palette"
    GradientRgbFirst,  // 9: "Gradient RGB: select 1st point."
    GradientRgbSecond,  // 10: "Gradient RGB: select 2nd point."
    GradientHsvFirst,  // 11: "Gradient HSV: select 1st point."
    GradientHsvSecond,  // 12: "Gradient HSV: select 2nd point."
    SelectBiomorpheColor,  // 13: "Select Biomorphe color."
    ClickToSeeBoundary,  // 14: "Click on palette to see boundary."
    Redrawing,  // 15: "Redrawing ..."
    OpenPalette,  // 16: "Open palette"
    SavePalette,  // 17: "Save palette"
    RotateLeft,  // 18: "Rotate left"
    RotateRight,  // 19: "Rotate right"
    RGBGradient,  // 20: "RGB gradient"
    HSVGradient,  // 21: "HSV gradient"
    BiomorphColor,  // 22: "Biomorph color"
    SeeColorOnFractal,  // 23: "See color on fractal"
    ViewModifications,  // 24: "View modifications"
    End
};
std::string_view lookup(PaletteEditorText id, int language);
std::span<const Bilingual> paletteEditorTable();

// 24-bit colour table editor, rows 1 to 29.
enum class ColourTableEditorText : uint8_t {
    Caption = 1,  // 1: "24 bits color"
    ColorBoundaries,  // 2: "Color Boundaries"
    ColorTable,  // 3: "Color Table"
    ColorBoundariesType,  // 4: "Color Boundaries type:"
    Parameters,  // 5: "Parameters "
    LowerBoundaries,  // 6: "Lower boundaries"
    UpperBoundaries,  // 7: "Upper boundaries"
    OpenTableStatus,  // 8: "Open 24b color table."
    SaveTableStatus,  // 9: "Save 24b color table."
    ZoomHint,  // 10: "Zoom: click on gradient to zoom."
    MoveGradient,  // 11: "Move gradient."
    SelectBiomorpheColor,  // 12: "Select Biomorphe color."
    SelectFilamentsColor,  // 13: "Select Filaments color."
    SelectNewColor,  // 14: "Select new color."
    Redrawing,  // 15: "Redrawing ..."
    HueOffset,  // 16: "Hue Offset:"
    Multiplier,  // 17: "Multiplier:"
    Hue,  // 18: "Hue:"
    Value,  // 19: "Value:"
    BoundariesType,  // 20: "Boundaries type:"
    OpenColorTable,  // 21: "Open color table"
    SaveColorTable,  // 22: "Save color table"
    ViewModifications,  // 23: "View modifications"
    BiomorphColor,  // 24: "Biomorph color"
    ZoomColorTable,  // 25: "Zoom Color Table"
    MoveColorTable,  // 26: "Move Color Table"
    DeleteSelectedBoundary,  // 27: "Delete selected boundary"
    FilamentsColor,  // 28: "Filaments color"
    ResetZoom,  // 29: "Reset Zoom to 1X"
    End
};
std::string_view lookup(ColourTableEditorText id, int language);
std::span<const Bilingual> colourTableEditorTable();

// What screen readers read for the colour editors' own controls, rows 1 to 16.
enum class ColourEditorA11yText : uint8_t {
    CellName = 1,  // 1: "Color %1: red %2, green %3, blue %4"
    EmptyCell,  // 2: "Cell %1: no color"
    PaletteGrid,  // 3: "Palette grid"
    Strip,  // 4: "Gradient of the color table"
    ScaleStartColor,  // 5: "Start color"
    ScaleEndColor,  // 6: "End color"
    BoundaryLowerColor,  // 7: "Lower color of the boundary"
    BoundaryUpperColor,  // 8: "Upper color of the boundary"
    Position,  // 9: "Boundary position"
    Boundaries,  // 10: "Boundaries"
    MoveLeft,  // 11: "Move boundary left"
    MoveRight,  // 12: "Move boundary right"
    StripStart,  // 13: "Start of the strip"
    StripEnd,  // 14: "End of the strip"
    ScaleStart,  // 15: "Start of the scale"
    ScaleEnd,  // 16: "End of the scale"
    End
};
std::string_view lookup(ColourEditorA11yText id, int language);
std::span<const Bilingual> colourEditorA11yTable();

}  // namespace text
