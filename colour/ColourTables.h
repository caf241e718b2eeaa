#pragma once

#include "colour/ColorTable24.h"
#include "engine/Fractal.h"

namespace colour {

// Builds TableR, TableG, TableB (already sized MaxIter + 1) from a boundary record,
// which need not be the document's own.
void BuildTableFromBoundaries(engine::TFractal& f, const ColorTable24& record);
// Builds the three tables from the hue and value functions.
void BuildTableCalculated(engine::TFractal& f);
// Rebuilds the tables by the document's TableMode.
void RebuildTables(engine::TFractal& f);

}  // namespace colour
