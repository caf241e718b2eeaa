#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace colour {

// One palette entry as stored in documents and palette files.
struct PaletteEntry {
    uint8_t red = 0, green = 0, blue = 0, flags = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

// The 256-entry palette record (1028 bytes when stored: version, count, entries).
struct Palette {
    static constexpr uint16_t Version = 768;
    static constexpr uint16_t Count = 256;
    static constexpr int StoredSize = 4 + 256 * 4;
    uint16_t version = Version;
    uint16_t count = Count;
    std::array<PaletteEntry, 256> entries{};
    friend bool operator==(const Palette&, const Palette&) = default;
};

// The stored form of a palette (documents, ".p8" files): u16 version, u16 count, then
// 256 entries of red, green, blue, flags; little-endian. Copied byte for byte, never validated.
using PaletteBytes = std::array<uint8_t, Palette::StoredSize>;
PaletteBytes encodePalette(const Palette& palette);
// Reads Palette::StoredSize bytes from `bytes`.
Palette decodePalette(const uint8_t* bytes);

// True when the red, green and blue of all 256 entries equal SystemPaletteRGB (flags ignored).
bool IsSystemPalette(const Palette& palette);

// The default palette of a new document, as 0xRRGGBB per entry.
extern const std::array<uint32_t, 256> SystemPaletteRGB;
Palette systemPalette();

}  // namespace colour
