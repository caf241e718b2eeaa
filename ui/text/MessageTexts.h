#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// Texts of the message boxes: questions and their titles.
enum class MessageText : uint8_t {
    SaveQuestion,  // "Save current Fractal ?"
    NewFractalTitle,  // "New Fractal"
    OpenTitle,  // "Opening a fractal"
    EraseTitle,  // "Erasing fractal"
    MarkerTitle,  // "Marker"
    DeleteMarkersQuestion,  // "Delete all Markers ?"
    End
};
std::string_view lookup(MessageText id, int language);
std::span<const Bilingual> messageTable();

}  // namespace text
