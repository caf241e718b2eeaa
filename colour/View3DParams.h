#pragma once

#include <cstdint>

namespace colour {

// The parameters of the 3D relief view, as stored in documents.
struct View3DParams {
    int32_t Azimuth = 135, Elevation = 30, ZScale = 30, ZLimit = 250, FocalLength = 1000, VerticalShift = 0;
    uint8_t Inverted3D = 1, Perspective = 1;
    friend bool operator==(const View3DParams&, const View3DParams&) = default;
};

}  // namespace colour
