#include "ui/text/VariablesTexts.h"

#include <array>

namespace text {

namespace {

constexpr std::array<Bilingual, 47> VariablesTable = {{
    {"Fractal variables", "Variables de la fractale"},  // Caption
    {"&Fractal", "&Fractale"},  // FractalPage
    {"&Image", "&Image"},  // ImagePage
    {"&Variables", "&Variables"},  // VariablesPage
    {"&Dimensions", "&Dimensions"},  // DimensionsPage
    {"&More...", "&Variables suppl."},  // MorePage
    {"Fractal Specifications ", "Caractéristiques de la fractale "},  // FractalSpecifications
    {"Image Size ", "Dimensions de l'image "},  // ImageSizeGroup
    {"Fractal Variables ", "Variables de la fractale "},  // FractalVariablesGroup
    {"Fractal Size ", "Dimensions de la fractale "},  // FractalSizeGroup
    {"Extended variables ", "Variables supplémentaires "},  // ExtendedVariables
    {"Distance algorithm ", "Algorithme de Filaments "},  // DistanceAlgorithm
    {"Pertubation of Z ", "Pertubation de Z "},  // PertubationOfZ
    {"Default values when choosing Fractal", "Applique variables par défaut"},  // DefaultValuesWhenChoosing
    {"Fractal Type:", "Type de fractale:"},  // FractalType
    {"Fractal:", "Fractale:"},  // FractalLabel
    {"Algorithm:", "Algorithme:"},  // Algorithm
    {"Function", "Fonction"},  // Function
    {"Iterations max:", "Nombre d'itérations max:"},  // IterationsMax
    {"Iterations:", "Itérations:"},  // Iterations
    {"Iterations for Touching up:", "Itérations pour la retouche:"},  // IterationsForTouchingUp
    {"Escape level:", "Seuil de sortie:"},  // EscapeLevel
    {"Escape level:", "Seuil sortie:"},  // EscapeLevelShort
    {"Periodicity Checking", "Vérification des orbites"},  // PeriodicityChecking
    {"Image Size: ", "Taille:   "},  // ImageSizeLabel
    {"Width (pixels):", "Largeur (pixels):"},  // WidthPixels
    {"Heigh (pixels):", "Hauteur (pixels):"},  // HeighPixels
    {"Image Deep:", "Profondeur:"},  // ImageDeep
    {"Available RAM:", "RAM disponible:"},  // AvailableRAM
    {"RAM for calculation:", "RAM image + calcul:"},  // RAMForCalculation
    {"RAM for orbits:", "RAM orbites:"},  // RAMForOrbits
    {"RAM for color table:", "RAM table des couleurs:"},  // RAMForColorTable
    {"X Center:", "Centre X:"},  // XCenter
    {"Y Center:", "Centre Y:"},  // YCenter
    {"Calculation step:", "Pas de calcul:"},  // CalculationStep
    {"Absolute Scale:", "Echelle absolue:"},  // AbsoluteScale
    {"Scale:   ", "Echelle:"},  // Scale
    {"Relative Scale:", "Echelle relative:"},  // RelativeScale
    {"Default values", "Valeurs par défaut"},  // DefaultValues
    {"Default image", "Valeurs Image"},  // DefaultImage
    {"Co&py", "Co&pie"},  // Copy
    {"Top left corner:", "Coin haut à gauche:"},  // TopLeftCorner
    {"Bottom rigth corner:", "Coin bas à droite:"},  // BottomRigthCorner
    {"No", "Non"},  // No
    {"Yes", "Oui"},  // Yes
    {"Correct the color configuration ?", "Corriger le système de couleur ?"},  // CorrectColourQuestion
    {"The current color configuration is", "Le système de couleur en cours est"},  // CurrentColourConfiguration
}};
static_assert(VariablesTable.size() == size_t(VariablesText::End) - 1);

}  // namespace

std::string_view lookup(VariablesText id, int language) { return pick(VariablesTable, int(id) - 1, language); }
std::span<const Bilingual> variablesTable() { return VariablesTable; }

}  // namespace text
