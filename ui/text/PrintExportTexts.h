#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// Export dialog, rows 1 to 11.
enum class ExportText : uint8_t {
    ExportFractal = 1,  // 1: "Export fractal"
    Conversion24To8,  // 2: "Conversion 24bits -> 8 bits"
    ImageQuality,  // 3: "Image quality: "
    Dither,  // 4: "Dither"
    None,  // 5: "None"
    ErrorDiffusion,  // 6: "Error Diffusion"
    Resolution,  // 7: "Resolution: "
    Jpeg,  // 8: "JPEG"
    Gif,  // 9: "GIF (Compuserve)"
    Tiff,  // 10: "TIFF (Tagged Image File Format)"
    Bmp,  // 11: "BMP (Windows Bitmap)"
    End
};
std::string_view lookup(ExportText id, int language);
std::span<const Bilingual> exportTable();

// Print dialog and printed sheets, rows 1 to 23.
enum class PrintText : uint8_t {
    PrintFractal = 1,  // 1: "Print fractal"
    PrintParameters,  // 2: "Print parameters"
    PrinterResolution,  // 3: "Printer resolution:"
    PrintArea,  // 4: "Print area:"
    PaperSize,  // 5: "Paper size:"
    PrintingResolution,  // 6: "Printing resolution: "
    Custom,  // 7: "Custom:"
    Fractal,  // 8: "Fractal:"
    CenterImageOnPaper,  // 9: "Center Image on paper"
    Border,  // 10: "Border"
    Color,  // 11: "Color:"
    Width,  // 12: "Width:"
    PrintImageCaption,  // 13: "Print Image Caption"
    FontForCaption,  // 14: "Font for Caption "
    Font,  // 15: "Font:"
    Size,  // 16: "Size:"
    PrintMarkers,  // 17: "Print Markers"
    Step,  // 18: "Step: "
    Iteration,  // 19: "Iteration: "
    Detail,  // 20: "&Detail"
    Escape,  // 21: "Escape: "
    FractalInfos,  // 22: "Fractal infos"
    CalculatedWithVorex,  // 23: "Fractal calculated with Vorex "
    End
};
std::string_view lookup(PrintText id, int language);
std::span<const Bilingual> printTable();

}  // namespace text
