#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace document {

// Marker shapes, as stored in documents.
enum class MarkerShape : uint8_t { Simple = 0, Circle = 1, Square = 2, Diamond = 3, Triangle = 4 };

inline constexpr int MarkerSlots = 15;
struct Marker {
    bool InUse = false;
    MarkerShape Shape = MarkerShape::Simple;  // a damaged file may hold another code
    int32_t X = 0, Y = 0;
    std::string Label;  // UTF-8
    friend bool operator==(const Marker&, const Marker&) = default;
};

// The shape a marker is drawn with: a code above Triangle (kept as the document holds it) draws as Simple.
inline MarkerShape drawnShape(const Marker& m)
{
    return uint8_t(m.Shape) <= uint8_t(MarkerShape::Triangle) ? m.Shape : MarkerShape::Simple;
}

// The markers of a document: slots 1..15 at indices 0..14.
struct MarkerSet {
    std::array<Marker, MarkerSlots> Markers{};
    friend bool operator==(const MarkerSet&, const MarkerSet&) = default;
};

}  // namespace document
