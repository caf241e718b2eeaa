#pragma once

#include <cstdint>
#include <vector>

#include "storage/Octree.h"

namespace storage {

// How a 24-bit image is mapped to its reduced palette for GIF: 0 "None" (nearest colour),
// 1 "Error Diffusion" (Floyd-Steinberg).
enum class GifDither : uint8_t { None = 0, ErrorDiffusion = 1 };

// The nearest palette entry by squared RGB distance; the lowest index wins a tie.
// Remembers recent answers in a small direct-mapped cache.
class NearestColour {
public:
    explicit NearestColour(std::vector<Rgb> palette);
    uint8_t find(Rgb c);
    const std::vector<Rgb>& palette() const { return m_palette; }

private:
    uint8_t search(Rgb c) const;
    std::vector<Rgb> m_palette;
    std::vector<uint32_t> m_cacheKey;  // colour | 0x1000000 when the slot is filled
    std::vector<uint8_t> m_cacheIndex;
};

// Maps rows of blue, green, red pixels to palette indexes, top row first.
//
// Error diffusion runs serpentine: even rows (counted from the first row given) left to right,
// odd rows right to left. Each channel's error (the pixel value used minus the palette colour)
// goes with weight 7/16 to the next pixel in the direction of travel and with 3/16, 5/16 and 1/16
// to the pixels behind, below and ahead in the next row. Errors are accumulated in sixteenths;
// a channel then uses value + (accumulated + 8) div 16 (div truncating toward zero), clamped to
// 0..255. Error that would go past the image edge is dropped.
class RowMapper {
public:
    RowMapper(std::vector<Rgb> palette, GifDither dither, int width);
    void mapRow(const uint8_t* bgr, uint8_t* indexes);

private:
    NearestColour m_nearest;
    GifDither m_dither;
    int m_width;
    int m_row = 0;
    // Errors in sixteenths for the current and the next row, 3 channels per pixel, one pad pixel each side.
    std::vector<int32_t> m_current, m_next;
};

}  // namespace storage
