#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/Markers.h"

namespace document {
class TFractal;
}

// The measures and texts of the printed pages, without a printer: where the image goes on the page,
// the caption under it and the lines of the parameter sheet. The painting itself is the caller's.
namespace storage {

// The print dialog's resolution list, dots per inch; the preference DpiI indexes it.
inline constexpr int PrintResolutions[] = {72, 150, 200, 300, 400, 600, 1200};
inline constexpr int PrintResolutionCount = int(std::size(PrintResolutions));

// The web address at the end of the caption.
inline constexpr std::string_view ProductWebAddress = "https://vorex.org";

// What the printer tells about its page.
struct PrinterMetrics {
    int dpiX = 600, dpiY = 600;                       // device resolution
    double paperWidthMm = 210, paperHeightMm = 297;   // the whole sheet
    double printableWidthMm = 0, printableHeightMm = 0;
    int printableWidthPx = 0, printableHeightPx = 0;  // the printable area in device pixels
};

// The image on the page at resolution `dpi`.
struct ImagePlacement {
    double widthMm = 0, heightMm = 0;  // the printed size
    bool fits = false;                 // both within the printable area: the image may be printed
    // The rectangle in device pixels, relative to the printable area's top-left corner; all 0 when the
    // image does not fit.
    int left = 0, top = 0, width = 0, height = 0;
};

// Width / dpi x 25.4 mm by Height / dpi x 25.4 mm. When it fits the printable area, the rectangle is
// Width x (device dpi / dpi) by Height x (device dpi / dpi) device pixels, each rounded to the nearest
// integer, and centred (integer halves of what is left) or at the corner.
ImagePlacement placeImage(int width, int height, int dpi, const PrinterMetrics& printer, bool centre);

// The resolution the print dialog starts with: the list entry `index` (the preference DpiI), or the
// custom value when `custom` is set. An index outside the list gives the list's default (200 dpi).
int chosenPrintResolution(int index, bool custom, int customDpi);

// Reals as printed: the general float format with 16 significant digits.
std::string printedNumber(double value);

// "8 bits" or "24 bits".
std::string depthName(uint8_t pixelFormat);

// The caption printed under the image, line by line, in `language` (0 English, 1 French): the name,
// size, depth, type and algorithm; the centre; the step and iterations; the perturbation (Mandelbrot,
// Mandelbrot fn(Z)C and Mandelbrot Z(1/C) with the Level algorithm, when not zero); the Julia constant
// (Julia types); p and the perturbation (Newton); azimuth and elevation while the 3D view is shown;
// and the program's line. The numbers are those the image was computed with.
std::vector<std::string> captionLines(const document::TFractal& f, int language);

// One line of the parameter sheet. A marker line also names the marker drawn beside it.
struct SheetLine {
    std::string text;       // may hold a tab between two columns
    int marker = 0;         // 1..15: the marker of this line; 0 none
    document::MarkerShape shape = document::MarkerShape::Simple;
};

// The parameter sheet: "Fractal infos", the "Fractal:" line, the plane coordinates of the image's
// corners, the parameters with their labels and, with `withMarkers`, one line per marker (its number,
// plane position and label).
std::vector<SheetLine> parameterSheetLines(const document::TFractal& f, int language, bool withMarkers);

}  // namespace storage
