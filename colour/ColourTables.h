#pragma once

#include <cstdint>

#include "colour/ColorTable24.h"
#include "engine/Fractal.h"

// The per-value colour bytes TableR, TableG, TableB of 24-bit images. Every builder writes only
// entries 0 .. min(MaxIter, table size - 1): boundary positions come from files and may hold anything.
namespace colour {

// Record numbers of InterpolateSegment besides 0..101.
inline constexpr int LeadInRecord = -1;

// One linear RGB gradient from the upper colour of record a to the lower colour of record b over the
// values position(a) .. position(b), both clamped to MaxIter; the step per value comes from the
// unclamped positions, so a clamped segment stops part way along its gradient. The end value is
// written too. Nothing happens when the clamped start is not below the clamped end.
void InterpolateSegment(engine::TFractal& f, const ColorTable24& record, int a, int b);

// Builds the tables from a boundary record (the document's own or an editor's working copy),
// then BiomorphRGB := the record's biomorph colour and entry 0 := its filaments colour (black for
// the Potential algorithm).
void BuildTableFromBoundaries(engine::TFractal& f, const ColorTable24& record);

// Builds entries 1..MaxIter from the hue and value functions (HSV with saturation 1, channels
// rounded and wrapped to their low 8 bits), then entry 0 := the filaments colour of the document's
// ColorTable24 (black for Potential). BiomorphRGB is left alone.
void BuildTableCalculated(engine::TFractal& f);

// Rebuilds the tables by the document's TableMode (1 calculated, anything else from the boundaries).
void RebuildTables(engine::TFractal& f);

// Before a touch-up with an iteration limit above MaxIter on a 24-bit image: grows the three tables
// to newMaxIter + 1 entries, sets MaxIter (edited and image copy) and the positions of records 100
// and 101 to newMaxIter, and rebuilds by the current mode. Returns false, changing nothing, when
// memory runs out ("No Memory Color space" is the caller's). Nothing to do when newMaxIter <= MaxIter.
bool GrowTablesForTouchUp(engine::TFractal& f, uint16_t newMaxIter);

}  // namespace colour
