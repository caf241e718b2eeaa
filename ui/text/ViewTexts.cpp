#include "ui/text/ViewTexts.h"

#include <array>

namespace text {

namespace {

constexpr std::array<Bilingual, 11> Params3DTable = {{
    {"3D Parameters ", "Paramètres 3D "},  // Caption
    {"Azimuth", "Azimut"},  // Azimuth
    {"Vertical angle", "Elévation"},  // VerticalAngle
    {"Z Scale:", "Echelle Z:"},  // ZScale
    {"Z Limit:", "Limite Z:"},  // ZLimit
    {"Focal Length:", "Dist. focale:"},  // FocalLength
    {"Inverted 3D", "Projection négative"},  // Inverted3D
    {"Draw in perspective", "Projection en perspective"},  // DrawInPerspective
    {"Vertical shift:", "Dépl. vertical:"},  // VerticalShift
    {"Available RAM:", "RAM disponible:"},  // AvailableRAM
    {"Necessary RAM for 3D:", "RAM nécessaire pour 3D:"},  // NecessaryRAMFor3D
}};
static_assert(Params3DTable.size() == size_t(Params3DText::End) - 1);

constexpr std::array<Bilingual, 13> FilterTable = {{
    {"Edges filter", "Filtre Contours"},  // EdgesFilter
    {"Colors ", "Couleurs "},  // Colors
    {"Background:", "Fond:"},  // Background
    {"Lines:", "Lignes:"},  // Lines
    {"Fractal", "Fractale"},  // Fractal
    {"Fixed color", "Couleur fixe"},  // FixedColor
    {"Biomorphe:", "Biomorphe:"},  // Biomorphe
    {"Emboss filter", "Filtre Relief"},  // EmbossFilter
    {"Parameters ", "Paramètres "},  // Parameters
    {"Deep:", "Profondeur:"},  // Deep
    {"Contrast:", "Contraste:"},  // Contrast
    {"Light angle:", "Angle d'éclairage:"},  // LightAngle
    {"Biomorphe color:", "Couleur Biomorphe:"},  // BiomorpheColor
}};
static_assert(FilterTable.size() == size_t(FilterText::End) - 1);

}  // namespace

std::string_view lookup(Params3DText id, int language) { return pick(Params3DTable, int(id) - 1, language); }
std::span<const Bilingual> params3DTable() { return Params3DTable; }

std::string_view lookup(FilterText id, int language) { return pick(FilterTable, int(id) - 1, language); }
std::span<const Bilingual> filterTable() { return FilterTable; }

}  // namespace text
