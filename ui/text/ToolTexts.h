#pragma once

#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// The names screen readers give the orbit and cross-section windows and the fields of the marker
// dialog that have no caption, rows 1 to 4.
enum class ToolText : uint8_t {
    OrbitWindow = 1,  // 1: "Orbits"
    CrossSectionWindow,  // 2: "Cross section"
    MarkerTextField,  // 3: "Marker text"
    MarkerShapeField,  // 4: "Marker shape"
    End
};
std::string_view lookup(ToolText id, int language);
std::span<const Bilingual> toolTable();

}  // namespace text
