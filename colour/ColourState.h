#pragma once

#include <cstdint>

#include "colour/ColorTable24.h"
#include "colour/Palette.h"
#include "engine/Fractal.h"

// Accessors of the colour state of the fractal object, for the editors, the document loader and the
// variables dialog. None of them recolours the picture; the setters that change the row procedure say so.
namespace colour {

// 8-bit boundary types (the rule turning a value into a palette index).
enum BoundaryKind : uint8_t { BoundaryLinear = 0, BoundaryLog = 1, BoundarySqrt = 2 };
// 24-bit table modes.
enum TableModeKind : uint8_t { TableFromBoundaries = 0, TableCalculated = 1 };

Palette GetPalette(const engine::TFractal& f);
void SetPalette(engine::TFractal& f, const Palette& palette);

struct Boundary {
    uint8_t type = BoundaryLinear;
    int32_t multiplier = 10;
    friend bool operator==(const Boundary&, const Boundary&) = default;
};
Boundary GetBoundary(const engine::TFractal& f);
// Stores the type, re-selects the row procedure (SelectColorLine), then stores the multiplier.
void SetBoundary(engine::TFractal& f, uint8_t type, int32_t multiplier);

int32_t GetBiomorphIndex(const engine::TFractal& f);
void SetBiomorphIndex(engine::TFractal& f, int32_t index);

ColorTable24 GetColorTable24(const engine::TFractal& f);
// Copies the record in; the tables are not rebuilt.
void SetColorTable24(engine::TFractal& f, const ColorTable24& table);

uint8_t GetTableMode(const engine::TFractal& f);
// Stores the mode and re-selects the row procedure; the tables are not rebuilt.
void SetTableMode(engine::TFractal& f, uint8_t mode);

// Parameters of the calculated 24-bit tables (see TransferFunctions.h).
struct CalcParams {
    int32_t hueOffset = 0;   // degrees, 0..359
    int32_t valueMult = 100; // 1..65535
    uint8_t hueFunction = 0, valueFunction = 0;
    int32_t hueMult = 100;   // 1..500
    friend bool operator==(const CalcParams&, const CalcParams&) = default;
};
CalcParams GetCalcParams(const engine::TFractal& f);
// Stores the five values; the tables are not rebuilt.
void SetCalcParams(engine::TFractal& f, const CalcParams& params);

struct RgbBytes {
    uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const RgbBytes&, const RgbBytes&) = default;
};
// Entry `value` of TableR/G/B. False (and black) when the tables have no such entry.
bool GetTableEntry(const engine::TFractal& f, int value, RgbBytes& out);
// False, writing nothing, when the tables have no such entry.
bool SetTableEntry(engine::TFractal& f, int value, RgbBytes colour);

}  // namespace colour
