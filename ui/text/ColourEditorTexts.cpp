#include "ui/text/ColourEditorTexts.h"

#include <array>

namespace text {

namespace {

constexpr std::array<Bilingual, 24> PaletteEditorTable = {{
    {"8 bits color", "Couleurs 8 bits"},  // Caption
    {"Palette", "Palette"},  // Palette
    {"Color Boundaries", "Frontières"},  // ColorBoundaries
    {"Color Boundaries type:", "Type de frontières:"},  // ColorBoundariesType
    {"Multiplier:", "Multiplicateur:"},  // Multiplier
    {"Select new color", "Choisir nouvelle couleur."},  // SelectNewColor
    {"Open color Palette", "Ouverture d'une palette"},  // OpenPaletteStatus
    {"Save color Palette", "Enregistrer la palette"},  // SavePaletteStatus
    {"Gradient RGB: select 1st point.", "Dégradé RGB: choisir le 1er point."},  // GradientRgbFirst
    {"Gradient RGB: select 2nd point.", "Dégradé RGB: choisir le 2em point."},  // GradientRgbSecond
    {"Gradient HSV: select 1st point.", "Dégradé HSV: choisir le 1er point."},  // GradientHsvFirst
    {"Gradient HSV: select 2nd point.", "Dégradé HSV: choisir le 2em point."},  // GradientHsvSecond
    {"Select Biomorphe color.", "Choisir la couleur du biomorphe."},  // SelectBiomorpheColor
    {"Click on palette to see boundary.", "Voir une frontière: cliquer sur la palette."},  // ClickToSeeBoundary
    {"Redrawing ...", "Redessine ..."},  // Redrawing
    {"Open palette", "Ouvrir une palette"},  // OpenPalette
    {"Save palette", "Enregistrer la palette"},  // SavePalette
    {"Rotate left", "Rotation vers la gauche"},  // RotateLeft
    {"Rotate right", "Rotation vers la droite"},  // RotateRight
    {"RGB gradient", "Dégradé RGB"},  // RGBGradient
    {"HSV gradient", "Dégradé HSV"},  // HSVGradient
    {"Biomorph color", "Couleur du Biomorphe"},  // BiomorphColor
    {"See color on fractal", "Voir une couleur sur la fractale"},  // SeeColorOnFractal
    {"View modifications", "Prévue des modifications"},  // ViewModifications
}};
static_assert(PaletteEditorTable.size() == size_t(PaletteEditorText::End) - 1);

constexpr std::array<Bilingual, 29> ColourTableEditorTable = {{
    {"24 bits color", "Couleurs 24 bits"},  // Caption
    {"Color Boundaries", "Frontières"},  // ColorBoundaries
    {"Color Table", "Table des couleurs"},  // ColorTable
    {"Color Boundaries type:", "Type de projection:"},  // ColorBoundariesType
    {"Parameters ", "Paramètres de calcul "},  // Parameters
    {"Lower boundaries", "Limites inférieures"},  // LowerBoundaries
    {"Upper boundaries", "Limites supérieures"},  // UpperBoundaries
    {"Open 24b color table.", "Ouverture d'une table des couleurs."},  // OpenTableStatus
    {"Save 24b color table.", "Enregistrer la table des couleurs."},  // SaveTableStatus
    {"Zoom: click on gradient to zoom.", "Zoom du spectre: cliquer sur le spectre."},  // ZoomHint
    {"Move gradient.", "Déplacement du spectre."},  // MoveGradient
    {"Select Biomorphe color.", "Choisir la couleur du biomorphe."},  // SelectBiomorpheColor
    {"Select Filaments color.", "Choisir la couleur des filaments."},  // SelectFilamentsColor
    {"Select new color.", "Choisir nouvelle couleur."},  // SelectNewColor
    {"Redrawing ...", "Redessine ..."},  // Redrawing
    {"Hue Offset:", "Déc. couleur:"},  // HueOffset
    {"Multiplier:", "Multiplic.:"},  // Multiplier
    {"Hue:", "Couleur (Hue):"},  // Hue
    {"Value:", "Luminosité (Value):"},  // Value
    {"Boundaries type:", "Type de frontières:"},  // BoundariesType
    {"Open color table", "Ouvrir une table des couleurs"},  // OpenColorTable
    {"Save color table", "Enregistrer la table des couleurs"},  // SaveColorTable
    {"View modifications", "Prévue des modifications"},  // ViewModifications
    {"Biomorph color", "Couleur du Biomorphe"},  // BiomorphColor
    {"Zoom Color Table", "Zoom table des couleurs"},  // ZoomColorTable
    {"Move Color Table", "Déplacement table des couleurs"},  // MoveColorTable
    {"Delete selected boundary", "Effacer la frontière sélectionnée"},  // DeleteSelectedBoundary
    {"Filaments color", "Couleur des filaments"},  // FilamentsColor
    {"Reset Zoom to 1X", "Reset Zoom table des couleurs"},  // ResetZoom
}};
static_assert(ColourTableEditorTable.size() == size_t(ColourTableEditorText::End) - 1);

constexpr std::array<Bilingual, 16> ColourEditorA11yTable = {{
    {"Color %1: red %2, green %3, blue %4", "Couleur %1 : rouge %2, vert %3, bleu %4"},  // CellName
    {"Cell %1: no color", "Case %1 : sans couleur"},  // EmptyCell
    {"Palette grid", "Grille de la palette"},  // PaletteGrid
    {"Gradient of the color table", "Spectre de la table des couleurs"},  // Strip
    {"Start color", "Couleur de début"},  // ScaleStartColor
    {"End color", "Couleur de fin"},  // ScaleEndColor
    {"Lower color of the boundary", "Couleur inférieure de la frontière"},  // BoundaryLowerColor
    {"Upper color of the boundary", "Couleur supérieure de la frontière"},  // BoundaryUpperColor
    {"Boundary position", "Position de la frontière"},  // Position
    {"Boundaries", "Frontières"},  // Boundaries
    {"Move boundary left", "Déplacer la frontière à gauche"},  // MoveLeft
    {"Move boundary right", "Déplacer la frontière à droite"},  // MoveRight
    {"Start of the strip", "Début du spectre"},  // StripStart
    {"End of the strip", "Fin du spectre"},  // StripEnd
    {"Start of the scale", "Début de l'échelle"},  // ScaleStart
    {"End of the scale", "Fin de l'échelle"},  // ScaleEnd
}};
static_assert(ColourEditorA11yTable.size() == size_t(ColourEditorA11yText::End) - 1);

}  // namespace

std::string_view lookup(PaletteEditorText id, int language) { return pick(PaletteEditorTable, int(id) - 1, language); }
std::span<const Bilingual> paletteEditorTable() { return PaletteEditorTable; }

std::string_view lookup(ColourTableEditorText id, int language) { return pick(ColourTableEditorTable, int(id) - 1, language); }
std::span<const Bilingual> colourTableEditorTable() { return ColourTableEditorTable; }

std::string_view lookup(ColourEditorA11yText id, int language) { return pick(ColourEditorA11yTable, int(id) - 1, language); }
std::span<const Bilingual> colourEditorA11yTable() { return ColourEditorA11yTable; }

}  // namespace text
