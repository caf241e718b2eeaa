#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// Status-line messages and the prompts of the mouse modes. Prompts are copied
// into a buffer of 40 characters before they are shown; none is longer.
enum class StatusText : uint8_t {
    AllocatingBitmap,  // "Allocating Memory for BitMap..."
    PleaseWait,  // "Please wait ..."
    ErrorReadingFile,  // "Error reading file"
    NotEnoughMemory,  // "Not enough memory to open file"
    OpeningFractal,  // "Opening Fractal: "
    SavingFractal,  // "Saving Fractal: "
    Exporting,  // "Exporting: "
    ApplyingFilter,  // "Applying Filter... Press [Esc] to stop"
    Working,  // "Working... Press [Esc] to stop"
    MustRecalculate,  // "Fractal must be re-calculated"
    Rotating,  // "Rotate... Press [Esc] to stop"
    NewCenter,  // "New Center: "
    ZoomCorner1,  // "1st corner of Zoom: "
    ZoomCorner2,  // "2st corner of Zoom: "
    MovingZoom,  // "Moving Zoom: Press [Return]/[Esc]"
    ZoomAtLimits,  // "Zoom at limits..."
    TouchUpCorner1,  // "1st corner of Touching up area: "
    TouchUpCorner2,  // "2st corner of Touching up area: "
    SelectIterationValue,  // "Select iteration value"
    Position,  // "Position: "
    Iterations,  // "Iterations: "
    PertZPrompt,  // "Select center for PertZ & PertZi: "
    JuliaPrompt,  // "Select center Julia center: "
    Working3D,  // "Working... Press [Esc] to stop"
    Azimuth,  // "Azimuth: "
    YShift,  // "Y Shift: "
    Origin,  // "origin"
    SelectNextImage,  // "Select next image"
    Printing,  // "Printing ..."
    CrossSectionPrompt,  // "Select line for Cross section"
    EnterMoveCoordinates,  // "Enter move coordinates..."
    NoMarkerAvailable,  // "No Marker available."
    End
};
std::string_view lookup(StatusText id, int language);
std::span<const Bilingual> statusTable();

}  // namespace text
