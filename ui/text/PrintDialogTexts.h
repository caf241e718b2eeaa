#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// The print, parameter-sheet and poster dialogs' own texts beyond the print table: the printer choice,
// the printed size, the font button and the poster grid (captions and screen-reader names).
enum class PrintDialogText : uint8_t {
    Printer = 1,     // "Printer"
    PdfFile,         // "PDF file"
    PrintedSize,     // "Printed size"
    More,            // "More ..."
    ChooseFont,      // "Choose the font"
    PosterCaption,   // "Poster: next image"
    UpperLeft,       // the poster grid's cells, row by row
    UpperCentre,
    UpperRight,
    CentreLeft,
    CurrentImage,
    CentreRight,
    LowerLeft,
    LowerCentre,
    LowerRight,
    FrameColour,     // "Frame colour"
    CaptionColour,   // "Caption colour"
    End
};
std::string_view lookup(PrintDialogText id, int language);
std::span<const Bilingual> printDialogTable();

}  // namespace text
