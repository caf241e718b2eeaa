#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "colour/Picture.h"
#include "colour/filters/FilterKind.h"
#include "engine/Values.h"

// The edges and emboss filters: each redraws a 24-bit picture from its value field, pixel by pixel,
// from the pixel's value and those of its four neighbours. Colours are 0x00BBGGRR.
namespace colour::filters {

// Edge light angles of the emboss filter.
enum class Light : uint8_t { NW = 0, NE = 1, SW = 2, SE = 3 };

struct EdgesSettings {
    uint32_t Background = 0xFFFFFF;  // with a fixed background
    uint32_t Line = 0x000000;        // with fixed lines
    uint32_t Biomorph = 0x999999;    // inside pixels
    bool LinesFromFractal = false;
    bool BackgroundFromFractal = false;
    uint8_t Brightness = 100;        // 0..200 percent, with the background from the fractal
    friend bool operator==(const EdgesSettings&, const EdgesSettings&) = default;
};

struct EmbossSettings {
    uint32_t Biomorph = 0x999999;  // inside pixels
    uint8_t Deep = 3;              // 0..50, gain of the slope
    uint8_t Contrast = 128;        // grey level of a flat area
    Light LightAngle = Light::NW;
    friend bool operator==(const EmbossSettings&, const EmbossSettings&) = default;
};

// What a filter pass applies: the kind and the settings of both filters.
struct FilterSettings {
    FilterKind Kind = FilterKind::None;
    EdgesSettings Edges;
    EmbossSettings Emboss;
};

// The neighbourhood of one pixel: its value and its four neighbours' (the pixel's own where a
// neighbour falls outside the image).
struct Neighbours {
    uint16_t c, down, up, left, right;
};

// The background of the edges filter for a pixel of colour `colour`.
uint32_t EdgesBackground(const EdgesSettings& s, uint32_t colour);
// The new colour of a pixel of colour `colour`.
uint32_t EdgesPixel(const EdgesSettings& s, const Neighbours& n, uint32_t colour);
uint32_t EmbossPixel(const EmbossSettings& s, const Neighbours& n, uint32_t colour);

// How a pass is watched and stopped. Both may be empty.
struct FilterControl {
    // Called before each row is filtered (the progress step), with the row.
    std::function<void(int row)> progress;
    // Checked after each row: once set, the rows below stay as they were.
    const std::atomic<bool>* stop = nullptr;
};

// Filters the bitmap from the top row down, reading the values of `data` (over the part both cover).
// Only 24-bit bitmaps change; a pass of kind None changes nothing. Returns false when stopped before
// the last row.
bool ApplyFilter(const FilterSettings& s, const engine::TVxWork& data, ImageBitmap& bitmap,
                 const FilterControl& control = {});
// The same pixels, rows shared among `threads` threads (0: one per core). The progress is called from
// the calling thread only; a stop leaves some rows of every thread's band unfiltered.
bool ApplyFilterParallel(const FilterSettings& s, const engine::TVxWork& data, ImageBitmap& bitmap, int threads,
                         const FilterControl& control = {});

}  // namespace colour::filters
