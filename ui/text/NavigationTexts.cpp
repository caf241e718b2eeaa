#include "ui/text/NavigationTexts.h"

#include <array>

namespace text {

namespace {

constexpr std::array<Bilingual, 12> NavigationTable = {{
    {"&Back", "Vue &précédente"},  // Back
    {"&Forward", "Vue &suivante"},  // Forward
    {"Picture", "Image"},  // PictureMenu
    {"3D view", "Vue 3D"},  // Picture3DMenu
    {"Compute after each view change", "Calculer après chaque changement de vue"},  // ComputeAfterViewChange
    {"Progress", "Progression"},  // Progress
    {" - time left: ", " - temps restant: "},  // TimeLeft
    {"Vorex uses these libraries and licences:", "Vorex utilise ces bibliothèques et licences :"},  // Credits
    {"Formula", "Formule"},  // Formula
    {"Newton degree p", "Degré p de Newton"},  // NewtonDegree
    {"Constant, real part", "Constante, partie réelle"},  // ConstantReal
    {"Constant, imaginary part", "Constante, partie imaginaire"},  // ConstantImaginary
}};
static_assert(NavigationTable.size() == size_t(NavigationText::End) - 1);

}  // namespace

std::string_view lookup(NavigationText id, int language) { return pick(NavigationTable, int(id) - 1, language); }
std::span<const Bilingual> navigationTable() { return NavigationTable; }

}  // namespace text
