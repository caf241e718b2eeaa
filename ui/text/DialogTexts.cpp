#include "ui/text/DialogTexts.h"

#include <array>

namespace text {

namespace {

constexpr std::array<Bilingual, 19> MarkerTable = {{
    {"Move image to:", "Déplacement à:"},  // MoveImageTo
    {"Marker Properties", "Propriétés du Repère"},  // MarkerProperties
    {"X Move ", "Déplacement X: "},  // XMove
    {"Y Move ", "Déplacement Y: "},  // YMove
    {"X Position ", "Position X: "},  // XPosition
    {"Y Position ", "Position Y: "},  // YPosition
    {"Pos. en pixels: ", "Pos. en pixels: "},  // PosEnPixels
    {"Get X and Y from a file", "X et Y depuis un fichier"},  // GetXAndYFromAFile
    {"Center of fractal", "Centre de la fractale"},  // CenterOfFractal
    {"Delete Marker", "Efface le repère"},  // DeleteMarker
    {"Delete", "Effacer"},  // Delete
    {"Place Marker", "Placer un repère"},  // PlaceMarker
    {"Marker No: ", "Repère No: "},  // MarkerNo
    {"Simple", "Simple"},  // Simple
    {"Circle", "Cercle"},  // Circle
    {"Square", "Carré"},  // Square
    {"Diamond", "Losange"},  // Diamond
    {"Triangle", "Triangle"},  // Triangle
    {"Used text: ", "Texte utilisé: "},  // UsedText
}};
static_assert(MarkerTable.size() == size_t(MarkerText::End) - 1);

constexpr std::array<Bilingual, 20> PreferencesTable = {{
    {"Vorex Preferences", "Options de Vorex"},  // Caption
    {"General", "General"},  // General
    {"Preview Button: ", "Bouton de prévue: "},  // PreviewButton
    {"Yes by default", "Oui par défaut"},  // YesByDefault
    {"No by default", "Non par défaut"},  // NoByDefault
    {"Manual", "Poussoir"},  // Manual
    {"Language: ", "Langue: "},  // Language
    {"Various: ", "Divers: "},  // Various
    {"Colors: ", "Couleurs: "},  // Colors
    {"OS Load: ", "Charge sur le système: "},  // OSLoad
    {"Low", "Faible"},  // Low
    {"Default", "Normale"},  // Default
    {"High", "Elevée"},  // High
    {"Size Fonts", "Taille Police"},  // SizeFonts
    {"Size Marker", "Taille Repères"},  // SizeMarker
    {"Activate Hints", "Activer les \"Hints\""},  // ActivateHints
    {"Beep at end of fractal", "Beep à la fin du calcul"},  // BeepAtEndOfFractal
    {"Color of lines.", "Couleur des lignes."},  // ColorOfLines
    {"Out of Range Color.", "Couleur dépassement."},  // OutOfRangeColor
    {"Marker Color", "Couleur des Repères."},  // MarkerColor
}};
static_assert(PreferencesTable.size() == size_t(PreferencesText::End) - 1);

constexpr std::array<Bilingual, 5> OrbitTable = {{
    {"Cumulative Orbits", "Orbites cumulatives"},  // CumulativeOrbits
    {"Single Orbit", "Orbite instantanée"},  // SingleOrbit
    {"Color Orbits", "Couleur"},  // ColorOrbits
    {"Delete Orbits", "Effacer orbites"},  // DeleteOrbits
    {"Scale: ", "Echelle: "},  // Scale
}};
static_assert(OrbitTable.size() == size_t(OrbitText::End) - 1);

constexpr std::array<Bilingual, 2> ProfileTable = {{
    {"Line: ", "Ligne: "},  // Line
    {"PosY: ", "PosY: "},  // PosY
}};
static_assert(ProfileTable.size() == size_t(ProfileText::End) - 1);

constexpr std::array<Bilingual, 2> InfosTable = {{
    {"Fractal Infos", "Infos de la fractale"},  // FractalInfos
    {"Used text: ", "Texte utilisé: "},  // UsedText
}};
static_assert(InfosTable.size() == size_t(InfosText::End) - 1);

}  // namespace

std::string_view lookup(MarkerText id, int language) { return pick(MarkerTable, int(id) - 1, language); }
std::span<const Bilingual> markerTable() { return MarkerTable; }

std::string_view lookup(PreferencesText id, int language) { return pick(PreferencesTable, int(id) - 1, language); }
std::span<const Bilingual> preferencesTable() { return PreferencesTable; }

std::string_view lookup(OrbitText id, int language) { return pick(OrbitTable, int(id) - 1, language); }
std::span<const Bilingual> orbitTable() { return OrbitTable; }

std::string_view lookup(ProfileText id, int language) { return pick(ProfileTable, int(id) - 1, language); }
std::span<const Bilingual> profileTable() { return ProfileTable; }

std::string_view lookup(InfosText id, int language) { return pick(InfosTable, int(id) - 1, language); }
std::span<const Bilingual> infosTable() { return InfosTable; }

}  // namespace text
