#include "ui/text/MessageTexts.h"

#include <array>

namespace text {

namespace {

constexpr std::array<Bilingual, 6> MessageTable = {{
    {"Save current Fractal ?", "Enregistrer la Fractale en cours ?"},  // SaveQuestion
    {"New Fractal", "Nouvelle Fractale"},  // NewFractalTitle
    {"Opening a fractal", "Ouvrir une Fractale"},  // OpenTitle
    {"Erasing fractal", "Effacer la Fractale"},  // EraseTitle
    {"Marker", "Repères"},  // MarkerTitle
    {"Delete all Markers ?", "Effacer tous les repères ?"},  // DeleteMarkersQuestion
}};
static_assert(MessageTable.size() == size_t(MessageText::End));

}  // namespace

std::string_view lookup(MessageText id, int language) { return pick(MessageTable, int(id), language); }
std::span<const Bilingual> messageTable() { return MessageTable; }

}  // namespace text
