#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// Markers and go-to dialogs, rows 1 to 19.
enum class MarkerText : uint8_t {
    MoveImageTo = 1,  // 1: "Move image to:"
    MarkerProperties,  // 2: "Marker Properties"
    XMove,  // 3: "X Move "
    YMove,  // 4: "Y Move "
    XPosition,  // 5: "X Position "
    YPosition,  // 6: "Y Position "
    PosEnPixels,  // 7: "Pos. en pixels: "
    GetXAndYFromAFile,  // 8: "Get X and Y from a file"
    CenterOfFractal,  // 9: "Center of fractal"
    DeleteMarker,  // 10: "Delete Marker"
    Delete,  // 11: "Delete"
    PlaceMarker,  // 12: "Place Marker"
    MarkerNo,  // 13: "Marker No: "
    Simple,  // 14: "Simple"
    Circle,  // 15: "Circle"
    Square,  // 16: "Square"
    Diamond,  // 17: "Diamond"
    Triangle,  // 18: "Triangle"
    UsedText,  // 19: "Used text: "
    End
};
std::string_view lookup(MarkerText id, int language);
std::span<const Bilingual> markerTable();

// Preferences dialog, rows 1 to 20. The language buttons read "Français" and
// "English" in both languages (FixedTexts.h).
enum class PreferencesText : uint8_t {
    Caption = 1,  // 1: "Vorex Preferences"
    General,  // 2: "General"
    PreviewButton,  // 3: "Preview Button: "
    YesByDefault,  // 4: "Yes by default"
    NoByDefault,  // 5: "No by default"
    Manual,  // 6: "Manual"
    Language,  // 7: "Language: "
    Various,  // 8: "Various: "
    Colors,  // 9: "Colors: "
    OSLoad,  // 10: "OS Load: "
    Low,  // 11: "Low"
    Default,  // 12: "Default"
    High,  // 13: "High"
    SizeFonts,  // 14: "Size Fonts"
    SizeMarker,  // 15: "Size Marker"
    ActivateHints,  // 16: "Activate Hints"
    BeepAtEndOfFractal,  // 17: "Beep at end of fractal"
    ColorOfLines,  // 18: "Color of lines."
    OutOfRangeColor,  // 19: "Out of Range Color."
    MarkerColor,  // 20: "Marker Color"
    End
};
std::string_view lookup(PreferencesText id, int language);
std::span<const Bilingual> preferencesTable();

// Orbit window, rows 1 to 5.
enum class OrbitText : uint8_t {
    CumulativeOrbits = 1,  // 1: "Cumulative Orbits"
    SingleOrbit,  // 2: "Single Orbit"
    ColorOrbits,  // 3: "Color Orbits"
    DeleteOrbits,  // 4: "Delete Orbits"
    Scale,  // 5: "Scale: "
    End
};
std::string_view lookup(OrbitText id, int language);
std::span<const Bilingual> orbitTable();

// Profile window, rows 1 and 2.
enum class ProfileText : uint8_t {
    Line = 1,  // 1: "Line: "
    PosY,  // 2: "PosY: "
    End
};
std::string_view lookup(ProfileText id, int language);
std::span<const Bilingual> profileTable();

// Fractal information window, rows 1 and 2.
enum class InfosText : uint8_t {
    FractalInfos = 1,  // 1: "Fractal Infos"
    UsedText,  // 2: "Used text: "
    End
};
std::string_view lookup(InfosText id, int language);
std::span<const Bilingual> infosTable();

}  // namespace text
