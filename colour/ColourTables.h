#pragma once

#include <cstdint>

#include "colour/ColorTable24.h"
#include "colour/Colour24.h"

// The per-value colour bytes TableR, TableG, TableB of 24-bit images. Every builder writes only
// entries 0 .. min(maxIter, table size - 1): boundary positions come from files and may hold anything.
// `maxIter` and `algorithm` are the picture's iteration limit and colouring algorithm.
namespace colour {

// Record numbers of InterpolateSegment besides 0..101.
inline constexpr int LeadInRecord = -1;

// One linear RGB gradient from the upper colour of record a to the lower colour of record b over the
// values position(a) .. position(b), both clamped to maxIter; the step per value comes from the
// unclamped positions, so a clamped segment stops part way along its gradient. The end value is
// written too. Nothing happens when the clamped start is not below the clamped end.
void InterpolateSegment(Colour24State& c, const ColorTable24& record, int a, int b, uint16_t maxIter);

// Builds the tables from a boundary record (the document's own or an editor's working copy),
// then BiomorphRGB := the record's biomorph colour and entry 0 := its filaments colour (black for
// the Potential algorithm).
void BuildTableFromBoundaries(Colour24State& c, const ColorTable24& record, uint16_t maxIter, uint8_t algorithm);

// Builds entries 1..maxIter from the hue and value functions (HSV with saturation 1, channels
// rounded and wrapped to their low 8 bits), then entry 0 := the filaments colour of the state's
// ColorTable24 (black for Potential). BiomorphRGB is left alone.
void BuildTableCalculated(Colour24State& c, uint16_t maxIter, uint8_t algorithm);

// Rebuilds the tables by the state's TableMode (calculated, or anything else from the boundaries).
void RebuildTables(Colour24State& c, uint16_t maxIter, uint8_t algorithm);

// Before a touch-up with an iteration limit above maxIter on a 24-bit image: grows the three tables
// to newMaxIter + 1 entries, sets the positions of records 100 and 101 to newMaxIter, and rebuilds by
// the current mode for newMaxIter. Returns false, changing nothing, when memory runs out ("No Memory
// Color space" is the caller's). Nothing to do when newMaxIter <= maxIter. `beforeAllocation`, when
// given, runs before each table is allocated and may throw std::bad_alloc as the allocation would.
using BeforeAllocation = void (*)();
bool GrowTablesForTouchUp(Colour24State& c, uint16_t maxIter, uint16_t newMaxIter, uint8_t algorithm,
                          BeforeAllocation beforeAllocation = nullptr);

}  // namespace colour
