#include "colour/filters/Filters.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include "colour/Parallel.h"

namespace colour::filters {

namespace {

uint32_t rgb(int r, int g, int b)
{
    return uint32_t(r & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t(b & 0xFF) << 16);
}

// One channel moved towards white (f > 0) or black (f < 0) by the fraction f.
int shade(int ch, double f)
{
    if (f > 0)
        return ch + int(std::nearbyint((255 - ch) * f));
    if (f < 0)
        return ch + int(std::nearbyint(ch * f));
    return ch;
}

inline uint32_t edgesBackground(const EdgesSettings& s, uint32_t colour)
{
    if (!s.BackgroundFromFractal)
        return s.Background;
    const double f = double(s.Brightness) / 100.0 - 1.0;
    return rgb(shade(int(colour & 0xFF), f), shade(int((colour >> 8) & 0xFF), f), shade(int((colour >> 16) & 0xFF), f));
}

inline uint32_t edgesPixel(const EdgesSettings& s, const Neighbours& n, uint32_t colour)
{
    if (n.c == engine::Inside)
        return s.Biomorph;
    const unsigned m = (unsigned(n.down) + n.up + n.left + n.right) / 4;
    if (n.c == m)
        return edgesBackground(s, colour);
    return s.LinesFromFractal ? colour : s.Line;
}

inline uint32_t embossPixel(const EmbossSettings& s, const Neighbours& n)
{
    if (n.c == engine::Inside)
        return s.Biomorph;
    const int dv = int(n.down) - int(n.up), dh = int(n.right) - int(n.left);
    double g = 0;
    switch (s.LightAngle) {
    case Light::NW: g = dv + dh / 2.0; break;
    case Light::NE: g = dv - dh / 2.0; break;
    case Light::SW: g = -dv + dh / 2.0; break;
    case Light::SE: g = -dv - dh / 2.0; break;
    }
    const long long grey = (long long)std::trunc(double(s.Deep) * g + double(s.Contrast));
    const int level = int(grey & 0xFF);
    return rgb(level, level, level);
}

template <FilterKind Kind>
void filterRowOf(const FilterSettings& s, const engine::TVxWork& data, ImageBitmap& bitmap, int w, int h, int y)
{
    const uint16_t* row = data.row(y);
    const uint16_t* above = y > 0 ? data.row(y - 1) : row;
    const uint16_t* below = y + 1 < h ? data.row(y + 1) : row;
    uint8_t* px = bitmap.row(y);
    // The background from the fractal moves every channel alike: one table for the row.
    uint8_t shaded[256];
    if constexpr (Kind == FilterKind::Edges) {
        const double f = double(s.Edges.Brightness) / 100.0 - 1.0;
        for (int ch = 0; ch < 256; ++ch)
            shaded[ch] = uint8_t(shade(ch, f));
    }
    for (int x = 0; x < w; ++x, px += 3) {
        const Neighbours n{row[x], below[x], above[x], x > 0 ? row[x - 1] : row[x], x + 1 < w ? row[x + 1] : row[x]};
        uint32_t out;
        if constexpr (Kind == FilterKind::Edges) {
            const EdgesSettings& e = s.Edges;
            if (n.c == engine::Inside)
                out = e.Biomorph;
            else if (n.c != (unsigned(n.down) + n.up + n.left + n.right) / 4)
                out = e.LinesFromFractal ? rgb(px[2], px[1], px[0]) : e.Line;
            else if (e.BackgroundFromFractal)
                out = rgb(shaded[px[2]], shaded[px[1]], shaded[px[0]]);
            else
                out = e.Background;
        } else {
            out = embossPixel(s.Emboss, n);
        }
        px[0] = uint8_t(out >> 16);
        px[1] = uint8_t(out >> 8);
        px[2] = uint8_t(out);
    }
}

void filterRow(const FilterSettings& s, const engine::TVxWork& data, ImageBitmap& bitmap, int w, int h, int y)
{
    if (s.Kind == FilterKind::Edges)
        filterRowOf<FilterKind::Edges>(s, data, bitmap, w, h, y);
    else
        filterRowOf<FilterKind::Emboss>(s, data, bitmap, w, h, y);
}

// Whether a pass changes pixels at all, and over which part.
bool filters(const FilterSettings& s, const engine::TVxWork& data, const ImageBitmap& bitmap, int& w, int& h)
{
    w = std::min(data.width(), bitmap.Width);
    h = std::min(data.height(), bitmap.Height);
    return bitmap.PixelFormat == engine::PixelFormat24
           && (s.Kind == FilterKind::Edges || s.Kind == FilterKind::Emboss);
}

}  // namespace

uint32_t EdgesBackground(const EdgesSettings& s, uint32_t colour)
{
    return edgesBackground(s, colour);
}

uint32_t EdgesPixel(const EdgesSettings& s, const Neighbours& n, uint32_t colour)
{
    return edgesPixel(s, n, colour);
}

uint32_t EmbossPixel(const EmbossSettings& s, const Neighbours& n, uint32_t)
{
    return embossPixel(s, n);
}

bool ApplyFilter(const FilterSettings& s, const engine::TVxWork& data, ImageBitmap& bitmap,
                 const FilterControl& control)
{
    int w, h;
    const bool changes = filters(s, data, bitmap, w, h);
    const int rows = bitmap.Height;
    for (int y = 0; y < rows; ++y) {
        if (control.progress)
            control.progress(y);
        if (changes && y < h)
            filterRow(s, data, bitmap, w, h, y);
        if (control.stop && control.stop->load() && y + 1 < rows)
            return false;
    }
    return true;
}

bool ApplyFilterParallel(const FilterSettings& s, const engine::TVxWork& data, ImageBitmap& bitmap, int threads,
                         const FilterControl& control)
{
    int w, h;
    const bool changes = filters(s, data, bitmap, w, h);
    const int rows = bitmap.Height;
    const int count = std::max(1, std::min(threadCount(threads), std::max(rows, 1)));
    std::atomic<int> done{0};
    std::atomic<bool> stopped{false};
    runOnThreads(count, [&](int t) {
        const int first = partStart(rows, count, t), last = partStart(rows, count, t + 1);
        for (int y = first; y < last; ++y) {
            if (t == 0 && control.progress)
                control.progress(done.load());
            if (changes && y < h)
                filterRow(s, data, bitmap, w, h, y);
            done.fetch_add(1);
            if (control.stop && control.stop->load() && y + 1 < last) {
                stopped = true;
                break;
            }
        }
    });
    return !stopped;
}

}  // namespace colour::filters
