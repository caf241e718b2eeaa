#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "colour/ColorTable24.h"

namespace colour {

// How the per-value tables of 24-bit images are made, as stored in documents.
enum class TableModeKind : uint8_t { FromBoundaries = 0, Calculated = 1 };

// Parameters of the calculated 24-bit tables (see TransferFunctions.h).
struct CalcParams {
    int32_t hueOffset = 0;   // degrees, 0..359
    int32_t valueMult = 100; // 1..65535
    uint8_t hueFunction = 0, valueFunction = 0;
    int32_t hueMult = 100;   // 1..500
    friend bool operator==(const CalcParams&, const CalcParams&) = default;
};

struct RgbBytes {
    uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const RgbBytes&, const RgbBytes&) = default;
};

// The 24-bit colour state of a document: the boundary table, the calculated tables' parameters and the
// per-value colour bytes TableR, TableG, TableB (MaxIter + 1 entries each for 24-bit images).
struct Colour24State {
    TableModeKind TableMode = TableModeKind::FromBoundaries;  // a damaged file may hold another code
    colour::ColorTable24 ColorTable24 = defaultColorTable24();
    std::vector<uint8_t> TableR, TableG, TableB;
    std::array<uint8_t, 3> BiomorphRGB{0, 0, 0};
    uint8_t HueFunction = 0, ValueFunction = 0;
    int32_t HueOffset = 0, HueMult = 100, ValueMult = 100;
    uint32_t OutOfRangeColour = 0x666666;  // preference "OutR", 0x00BBGGRR
    friend bool operator==(const Colour24State&, const Colour24State&) = default;

    CalcParams calcParams() const { return {HueOffset, ValueMult, HueFunction, ValueFunction, HueMult}; }
    void setCalcParams(const CalcParams& p)
    {
        HueOffset = p.hueOffset;
        ValueMult = p.valueMult;
        HueFunction = p.hueFunction;
        ValueFunction = p.valueFunction;
        HueMult = p.hueMult;
    }
    // Entry `value` of the tables. False (and black) when the tables have no such entry.
    bool tableEntry(int value, RgbBytes& out) const;
    // False, writing nothing, when the tables have no such entry.
    bool setTableEntry(int value, RgbBytes colour);
};

}  // namespace colour
