#include "ui/text/PrintExportTexts.h"

#include <array>

namespace text {

namespace {

constexpr std::array<Bilingual, 11> ExportTable = {{
    {"Export fractal", "Exportation de la fractale"},  // ExportFractal
    {"Conversion 24bits -> 8 bits", "Conversion 24bits -> 8 bits"},  // Conversion24To8
    {"Image quality: ", "Qualité image: "},  // ImageQuality
    {"Dither", "Simulation:"},  // Dither
    {"None", "Aucune"},  // None
    {"Error Diffusion", "Diffusion d'erreur"},  // ErrorDiffusion
    {"Resolution: ", "Résolution: "},  // Resolution
    {"JPEG", "JPEG"},  // Jpeg
    {"GIF (Compuserve)", "GIF (Compuserve)"},  // Gif
    {"TIFF (Tagged Image File Format)", "TIFF (Tagged Image File Format)"},  // Tiff
    {"BMP (Windows Bitmap)", "BMP (Bitmap Windows)"},  // Bmp
}};
static_assert(ExportTable.size() == size_t(ExportText::End) - 1);

constexpr std::array<Bilingual, 23> PrintTable = {{
    {"Print fractal", "Imprime la fractale"},  // PrintFractal
    {"Print parameters", "Imprime les paramètres"},  // PrintParameters
    {"Printer resolution:", "Résolution imprimante:"},  // PrinterResolution
    {"Print area:", "Zone imprimable:"},  // PrintArea
    {"Paper size:", "Dimensions papier:"},  // PaperSize
    {"Printing resolution: ", "Résolution d'impression: "},  // PrintingResolution
    {"Custom:", "Custom:"},  // Custom
    {"Fractal:", "Fractale:"},  // Fractal
    {"Center Image on paper", "Impression centrée sur le papier"},  // CenterImageOnPaper
    {"Border", "Cadre autour de l'image"},  // Border
    {"Color:", "Couleur:"},  // Color
    {"Width:", "Largeur:"},  // Width
    {"Print Image Caption", "Imprime légende"},  // PrintImageCaption
    {"Font for Caption ", "Police pour la légende "},  // FontForCaption
    {"Font:", "Police:"},  // Font
    {"Size:", "Taille:"},  // Size
    {"Print Markers", "Imprime les repères"},  // PrintMarkers
    {"Step: ", "Pas: "},  // Step
    {"Iteration: ", "Itérations: "},  // Iteration
    {"&Detail", "&Détails"},  // Detail
    {"Escape: ", "Seuil: "},  // Escape
    {"Fractal infos", "Infos fractale"},  // FractalInfos
    {"Fractal calculated with Vorex ", "Fractale calculée avec Vorex "},  // CalculatedWithVorex
}};
static_assert(PrintTable.size() == size_t(PrintText::End) - 1);

}  // namespace

std::string_view lookup(ExportText id, int language) { return pick(ExportTable, int(id) - 1, language); }
std::span<const Bilingual> exportTable() { return ExportTable; }

std::string_view lookup(PrintText id, int language) { return pick(PrintTable, int(id) - 1, language); }
std::span<const Bilingual> printTable() { return PrintTable; }

}  // namespace text
