#include "ui/text/PrintDialogTexts.h"

#include <array>

namespace text {

namespace {

constexpr std::array<Bilingual, 17> PrintDialogTable = {{
    {"Printer", "Imprimante"},  // Printer
    {"PDF file", "Fichier PDF"},  // PdfFile
    {"Printed size", "Taille imprimée"},  // PrintedSize
    {"More ...", "Plus ..."},  // More
    {"Choose the font", "Choisir la police"},  // ChooseFont
    {"Poster: next image", "Poster : image suivante"},  // PosterCaption
    {"Upper left", "En haut à gauche"},  // UpperLeft
    {"Upper centre", "En haut au centre"},  // UpperCentre
    {"Upper right", "En haut à droite"},  // UpperRight
    {"Centre left", "Au centre à gauche"},  // CentreLeft
    {"Current image", "Image actuelle"},  // CurrentImage
    {"Centre right", "Au centre à droite"},  // CentreRight
    {"Lower left", "En bas à gauche"},  // LowerLeft
    {"Lower centre", "En bas au centre"},  // LowerCentre
    {"Lower right", "En bas à droite"},  // LowerRight
    {"Frame colour", "Couleur du cadre"},  // FrameColour
    {"Caption colour", "Couleur de la légende"},  // CaptionColour
}};
static_assert(PrintDialogTable.size() == size_t(PrintDialogText::End) - 1);

}  // namespace

std::string_view lookup(PrintDialogText id, int language) { return pick(PrintDialogTable, int(id) - 1, language); }
std::span<const Bilingual> printDialogTable() { return PrintDialogTable; }

}  // namespace text
