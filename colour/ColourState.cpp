#include "colour/ColourState.h"

#include "colour/ColorLine.h"

namespace colour {

Palette GetPalette(const engine::TFractal& f)
{
    return f.Palette;
}

void SetPalette(engine::TFractal& f, const Palette& palette)
{
    f.Palette = palette;
}

Boundary GetBoundary(const engine::TFractal& f)
{
    return {f.BoundaryType, f.Multiplier};
}

void SetBoundary(engine::TFractal& f, uint8_t type, int32_t multiplier)
{
    f.BoundaryType = type;
    SelectColorLine(f);
    f.Multiplier = multiplier;
}

int32_t GetBiomorphIndex(const engine::TFractal& f)
{
    return f.BiomorphIndex;
}

void SetBiomorphIndex(engine::TFractal& f, int32_t index)
{
    f.BiomorphIndex = index;
}

ColorTable24 GetColorTable24(const engine::TFractal& f)
{
    return f.ColorTable24;
}

void SetColorTable24(engine::TFractal& f, const ColorTable24& table)
{
    f.ColorTable24 = table;
}

uint8_t GetTableMode(const engine::TFractal& f)
{
    return f.TableMode;
}

void SetTableMode(engine::TFractal& f, uint8_t mode)
{
    f.TableMode = mode;
    SelectColorLine(f);
}

CalcParams GetCalcParams(const engine::TFractal& f)
{
    return {f.HueOffset, f.ValueMult, f.HueFunction, f.ValueFunction, f.HueMult};
}

void SetCalcParams(engine::TFractal& f, const CalcParams& params)
{
    f.HueOffset = params.hueOffset;
    f.ValueMult = params.valueMult;
    f.HueFunction = params.hueFunction;
    f.ValueFunction = params.valueFunction;
    f.HueMult = params.hueMult;
}

namespace {
bool hasEntry(const engine::TFractal& f, int value)
{
    return value >= 0 && size_t(value) < f.TableR.size() && size_t(value) < f.TableG.size()
        && size_t(value) < f.TableB.size();
}
}  // namespace

bool GetTableEntry(const engine::TFractal& f, int value, RgbBytes& out)
{
    if (!hasEntry(f, value)) {
        out = {};
        return false;
    }
    out = {f.TableR[size_t(value)], f.TableG[size_t(value)], f.TableB[size_t(value)]};
    return true;
}

bool SetTableEntry(engine::TFractal& f, int value, RgbBytes colour)
{
    if (!hasEntry(f, value))
        return false;
    f.TableR[size_t(value)] = colour.red;
    f.TableG[size_t(value)] = colour.green;
    f.TableB[size_t(value)] = colour.blue;
    return true;
}

}  // namespace colour
