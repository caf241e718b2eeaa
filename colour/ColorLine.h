#pragma once

#include "engine/Fractal.h"

namespace colour {

// Chooses f.ColorLine from the pixel format and the boundary type (8-bit) or table mode (24-bit).
void SelectColorLine(engine::TFractal& f);

// The row procedures: colour row `row` of the bitmap from Data (or Data3D while View3D is set).
void ColorLineLinear(engine::TFractal& f, int row);
void ColorLineLog(engine::TFractal& f, int row);
void ColorLineSqrt(engine::TFractal& f, int row);
void ColorLine24(engine::TFractal& f, int row);

// Colours every row with the current procedure, row 0 first.
void ColourAllRows(engine::TFractal& f);

}  // namespace colour
