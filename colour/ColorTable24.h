#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace colour {

// Colours in records are 0x00BBGGRR: red in the low byte.
inline constexpr uint32_t rgbToColour(uint32_t rrggbb)
{
    return ((rrggbb >> 16) & 0xFF) | (rrggbb & 0xFF00) | ((rrggbb & 0xFF) << 16);
}
inline constexpr uint8_t colourRed(uint32_t c) { return uint8_t(c); }
inline constexpr uint8_t colourGreen(uint32_t c) { return uint8_t(c >> 8); }
inline constexpr uint8_t colourBlue(uint32_t c) { return uint8_t(c >> 16); }

inline constexpr uint32_t FreePosition = 0xFFFFFFFF;
inline constexpr uint32_t FreeColour = 0xC0C0C0;

struct BoundaryRec {
    uint32_t position = FreePosition;  // an iteration value, or FreePosition
    uint32_t upper = FreeColour;       // colour the gradient above this boundary starts with
    uint32_t lower = FreeColour;       // colour the gradient below this boundary ends with
    friend bool operator==(const BoundaryRec&, const BoundaryRec&) = default;
};

// The boundary table of 24-bit colouring (1248 bytes when stored, little-endian, in field order).
struct ColorTable24 {
    static constexpr int StoredSize = 1248;
    static constexpr int EndRecord = 100;      // end of the scale
    static constexpr int LeadOutRecord = 101;  // used beyond the end
    uint32_t reserved = 0;
    uint32_t biomorph = 0;   // colour of inside pixels
    uint32_t filaments = 0;  // colour of table entry 0
    BoundaryRec leadIn{0, 0, 0};
    std::array<BoundaryRec, 102> records{};
    friend bool operator==(const ColorTable24&, const ColorTable24&) = default;
};

ColorTable24 defaultColorTable24();

// The stored form (documents, ".p24" files): reserved, biomorph, filaments, lead-in, records 0..101,
// every field a little-endian u32. Copied byte for byte; positions are not validated.
using ColorTable24Bytes = std::array<uint8_t, ColorTable24::StoredSize>;
ColorTable24Bytes encodeColorTable24(const ColorTable24& table);
// Reads ColorTable24::StoredSize bytes from `bytes`.
ColorTable24 decodeColorTable24(const uint8_t* bytes);

}  // namespace colour
