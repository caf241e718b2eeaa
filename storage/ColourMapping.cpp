#include "storage/ColourMapping.h"

#include <algorithm>
#include <utility>

namespace storage {
namespace {

constexpr uint32_t CacheSize = 1u << 16;
constexpr uint32_t Filled = 0x1000000;

uint32_t cacheSlot(uint32_t key)
{
    return (key * 2654435761u) >> 16;
}

}  // namespace

NearestColour::NearestColour(std::vector<Rgb> palette)
    : m_palette(std::move(palette)), m_cacheKey(CacheSize, 0), m_cacheIndex(CacheSize, 0)
{
}

uint8_t NearestColour::search(Rgb c) const
{
    int best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < m_palette.size(); ++i) {
        const int dr = int(c.r) - m_palette[i].r;
        const int dg = int(c.g) - m_palette[i].g;
        const int db = int(c.b) - m_palette[i].b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
            if (d == 0)
                break;
        }
    }
    return uint8_t(best);
}

uint8_t NearestColour::find(Rgb c)
{
    const uint32_t key = (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b;
    const uint32_t slot = cacheSlot(key) & (CacheSize - 1);
    if (m_cacheKey[slot] == (key | Filled))
        return m_cacheIndex[slot];
    const uint8_t index = search(c);
    m_cacheKey[slot] = key | Filled;
    m_cacheIndex[slot] = index;
    return index;
}

RowMapper::RowMapper(std::vector<Rgb> palette, GifDither dither, int width)
    : m_nearest(std::move(palette)), m_dither(dither), m_width(std::max(0, width))
{
    if (m_dither == GifDither::ErrorDiffusion) {
        m_current.assign(size_t(m_width + 2) * 3, 0);
        m_next.assign(size_t(m_width + 2) * 3, 0);
    }
}

void RowMapper::mapRow(const uint8_t* bgr, uint8_t* indexes)
{
    if (m_dither == GifDither::None) {
        for (int x = 0; x < m_width; ++x)
            indexes[x] = m_nearest.find(Rgb{bgr[x * 3 + 2], bgr[x * 3 + 1], bgr[x * 3]});
        ++m_row;
        return;
    }

    const std::vector<Rgb>& pal = m_nearest.palette();
    const bool leftToRight = m_row % 2 == 0;
    const int dir = leftToRight ? 1 : -1;
    std::fill(m_next.begin(), m_next.end(), 0);
    for (int i = 0; i < m_width; ++i) {
        const int x = leftToRight ? i : m_width - 1 - i;
        const size_t at = size_t(x + 1) * 3;  // error slots are shifted by the pad pixel
        const int pixel[3] = {bgr[x * 3 + 2], bgr[x * 3 + 1], bgr[x * 3]};
        int value[3];
        for (int c = 0; c < 3; ++c)
            value[c] = std::clamp(pixel[c] + (m_current[at + size_t(c)] + 8) / 16, 0, 255);
        const uint8_t index = m_nearest.find(Rgb{uint8_t(value[0]), uint8_t(value[1]), uint8_t(value[2])});
        indexes[x] = index;
        const int chosen[3] = {pal[index].r, pal[index].g, pal[index].b};
        const bool hasAhead = leftToRight ? x + 1 < m_width : x > 0;
        const bool hasBehind = leftToRight ? x > 0 : x + 1 < m_width;
        const size_t ahead = size_t(x + 1 + dir) * 3;
        const size_t behind = size_t(x + 1 - dir) * 3;
        for (size_t c = 0; c < 3; ++c) {
            const int error = value[c] - chosen[c];
            if (hasAhead) {
                m_current[ahead + c] += 7 * error;
                m_next[ahead + c] += 1 * error;
            }
            if (hasBehind)
                m_next[behind + c] += 3 * error;
            m_next[at + c] += 5 * error;
        }
    }
    std::swap(m_current, m_next);
    ++m_row;
}

}  // namespace storage
