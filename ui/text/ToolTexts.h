#pragma once

#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// The names screen readers give the orbit and cross-section windows and the fields of the marker
// dialog that have no caption, and the zoom entries of the two windows' menus, rows 1 to 7.
enum class ToolText : uint8_t {
    OrbitWindow = 1,  // 1: "Orbits"
    CrossSectionWindow,  // 2: "Cross section"
    MarkerTextField,  // 3: "Marker text"
    MarkerShapeField,  // 4: "Marker shape"
    OrbitZoomIn,  // 5: "Zoom x 2"
    ZoomHalf,  // 6: "Zoom / 2"
    ProfileZoomIn,  // 7: "Zoom X 2"
    End
};
std::string_view lookup(ToolText id, int language);
std::span<const Bilingual> toolTable();

}  // namespace text
