#include "ui/text/StatusTexts.h"

#include <array>

namespace text {

namespace {

constexpr std::array<Bilingual, 32> StatusTable = {{
    {"Allocating Memory for BitMap...", "Alloue mémoire pour l'image..."},  // AllocatingBitmap
    {"Please wait ...", "Un instant ..."},  // PleaseWait
    {"Error reading file", "Erreur de lecture du fichier"},  // ErrorReadingFile
    {"Not enough memory to open file", "Memoire insuffisante"},  // NotEnoughMemory
    {"Opening Fractal: ", "Lecture de la fractale: "},  // OpeningFractal
    {"Saving Fractal: ", "Enregistre la fractale: "},  // SavingFractal
    {"Exporting: ", "Exporte: "},  // Exporting
    {"Applying Filter... Press [Esc] to stop", "Applique filtre... [Esc] pour arrêter"},  // ApplyingFilter
    {"Working... Press [Esc] to stop", "Calcule... [Esc] pour arrêter"},  // Working
    {"Fractal must be re-calculated", "Fractale doit être recalculée"},  // MustRecalculate
    {"Rotate... Press [Esc] to stop", "Rotation... [Esc] pour arrêter"},  // Rotating
    {"New Center: ", "Nouveau centre: "},  // NewCenter
    {"1st corner of Zoom: ", "1er point du Zoom: "},  // ZoomCorner1
    {"2st corner of Zoom: ", "2em point du Zoom: "},  // ZoomCorner2
    {"Moving Zoom: Press [Return]/[Esc]", "Déplacement: [Entrée]/[Esc]"},  // MovingZoom
    {"Zoom at limits...", "Limites du Zoom atteintes..."},  // ZoomAtLimits
    {"1st corner of Touching up area: ", "1er point de la zone de retouches: "},  // TouchUpCorner1
    {"2st corner of Touching up area: ", "2em point de la zone de retouches: "},  // TouchUpCorner2
    {"Select iteration value", "Choisir la valeur d'itération"},  // SelectIterationValue
    {"Position: ", "Position: "},  // Position
    {"Iterations: ", "Nbr Itérations: "},  // Iterations
    {"Select center for PertZ & PertZi: ", "Choisir le centre pour PertZ & PertZi: "},  // PertZPrompt
    {"Select center Julia center: ", "Choisir le centre Julia: "},  // JuliaPrompt
    {"Working... Press [Esc] to stop", "Calcule 3D... [Esc] pour arrêter"},  // Working3D
    {"Azimuth: ", "Azimuth: "},  // Azimuth
    {"Y Shift: ", "Déplacement Y: "},  // YShift
    {"origin", "origine"},  // Origin
    {"Select next image", "Choisir la prochaine image"},  // SelectNextImage
    {"Printing ...", "Prépare l'impression ..."},  // Printing
    {"Select line for Cross section", "Sélectionner une ligne pour le profil"},  // CrossSectionPrompt
    {"Enter move coordinates...", "Entrer les coordonnées de déplacement..."},  // EnterMoveCoordinates
    {"No Marker available.", "Pas de repères à disposition."},  // NoMarkerAvailable
}};
static_assert(StatusTable.size() == size_t(StatusText::End));

}  // namespace

std::string_view lookup(StatusText id, int language) { return pick(StatusTable, int(id), language); }
std::span<const Bilingual> statusTable() { return StatusTable; }

}  // namespace text
