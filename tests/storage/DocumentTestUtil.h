#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "colour/ColorLine.h"
#include "document/Fractal.h"
#include "storage/Document.h"
#include "storage/Workspace.h"

namespace storage_test {

// A document with a value in every field that differs from its default: 8-bit, width x height,
// Data(row, col) = row * 1000 + col, except 65535 on the diagonal.
inline void makeKnownDocument(document::TFractal& f, int width = 23, int height = 17,
                              uint8_t pixelFormat = engine::PixelFormat8)
{
    storage::ResetToDefaults(f);
    engine::FractalParams& p = f.Params;
    p.FractalType = engine::TypeId(1);
    p.Algorithm = 3;
    p.Formula = 2;
    p.FunctionIndex = 4;
    p.MaxIter = 777;
    p.EscapeLevelSq = 4096;
    p.Bailout = 5;
    p.NewtonP = 9;
    p.CentreX = -1.25;
    p.CentreY = 0.1;
    p.ParamCr = 0.09;
    p.ParamCi = 0.65;
    p.Step = 0.003;
    p.PertZr = -0.5;
    p.PertZi = 0.125;
    p.Delta = 321;
    f.BaseMaxIter = 600;
    f.UniformIter = false;
    f.BoundaryType = colour::BoundaryKind::Log;
    f.Multiplier = 44;
    f.BiomorphIndex = 99;
    f.TableMode = colour::TableModeKind::Calculated;
    f.ValueFunction = 2;
    f.HueOffset = 123;
    f.ValueMult = 4567;
    f.HueFunction = 5;
    f.HueMult = 250;
    f.Azimuth = 10;
    f.Elevation = 80;
    f.ZScale = 300;
    f.ZLimit = 700;
    f.FocalLength = 2000;
    f.VerticalShift = -500;
    f.Inverted3D = 0;
    f.Perspective = 0;
    storage::AllocImage(f, width, height, pixelFormat, true);
    f.Palette.entries[1] = {1, 2, 3, 0};
    f.UpdateCorners();
    f.ResumeLine = 5;
    f.Markers[0] = {true, document::MarkerShape(3), 11, 12, "first"};
    f.Markers[6] = {true, document::MarkerShape(1), -3, 40000, "seventh \xC3\xA9"};
    f.Comment = "A comment \xE2\x82\xAC";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            f.Data.at(y, x) = x == y ? 65535 : uint16_t(y * 1000 + x);
    f.ColourAllRows();
}

inline uint16_t le16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }
inline int32_t le32(const std::vector<uint8_t>& b, size_t at)
{
    return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24);
}
inline void put16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
inline void put32(std::vector<uint8_t>& b, size_t at, int32_t v)
{
    for (size_t i = 0; i < 4; ++i)
        b[at + i] = uint8_t(uint32_t(v) >> (8 * i));
}

}  // namespace storage_test
