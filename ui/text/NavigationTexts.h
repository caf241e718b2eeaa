#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// Texts of the view history, the keyboard's reach of the picture and the progress of a computation.
enum class NavigationText : uint8_t {
    Back = 1,                // "&Back"
    Forward,                 // "&Forward"
    PictureMenu,             // "Picture": the name of the picture's context menu
    Picture3DMenu,           // "3D view": the name of the 3D view's context menu
    ComputeAfterViewChange,  // "Compute after each view change"
    Progress,                // "Progress": the name of the progress bar
    TimeLeft,                // " - time left: "
    Credits,                 // "Vorex uses these libraries and licences:" (About window)
    Formula,                 // "Formula": the name of the formula list of the variables dialog
    NewtonDegree,            // "Newton degree p"
    ConstantReal,            // "Constant, real part": the type constant when the type has none
    ConstantImaginary,       // "Constant, imaginary part"
    End
};
std::string_view lookup(NavigationText id, int language);
std::span<const Bilingual> navigationTable();

}  // namespace text
