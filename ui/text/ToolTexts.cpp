#include "ui/text/ToolTexts.h"

#include <array>

namespace text {

namespace {

constexpr std::array<Bilingual, 7> ToolTable = {{
    {"Orbits", "Orbites"},  // OrbitWindow
    {"Cross section", "Profil"},  // CrossSectionWindow
    {"Marker text", "Texte du repère"},  // MarkerTextField
    {"Marker shape", "Forme du repère"},  // MarkerShapeField
    {"Zoom x 2", "Zoom x 2"},  // OrbitZoomIn
    {"Zoom / 2", "Zoom / 2"},  // ZoomHalf
    {"Zoom X 2", "Zoom X 2"},  // ProfileZoomIn
}};
static_assert(ToolTable.size() == size_t(ToolText::End) - 1);

}  // namespace

std::string_view lookup(ToolText id, int language) { return pick(ToolTable, int(id) - 1, language); }
std::span<const Bilingual> toolTable() { return ToolTable; }

}  // namespace text
