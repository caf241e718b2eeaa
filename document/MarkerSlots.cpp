#include "document/MarkerSlots.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "engine/AllocationFault.h"

namespace document {

namespace {

inline constexpr size_t MarkerTextLength = 80;

// At most `n` UTF-8 characters of `text`.
std::string cutCharacters(const std::string& text, size_t n)
{
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((uint8_t(text[i]) & 0xC0) != 0x80) {
            if (count == n)
                return text.substr(0, i);
            ++count;
        }
    }
    return text;
}

uint32_t readPixel(const colour::ImageBitmap& b, int x, int y)
{
    const uint8_t* row = b.row(y);
    if (b.bytesPerPixel() == 1)
        return row[x];
    const uint8_t* p = row + size_t(x) * 3;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

void writePixel(colour::ImageBitmap& b, int x, int y, uint32_t value)
{
    uint8_t* row = b.row(y);
    if (b.bytesPerPixel() == 1) {
        row[x] = uint8_t(value);
        return;
    }
    uint8_t* p = row + size_t(x) * 3;
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
    p[2] = uint8_t(value >> 16);
}

bool inside(const colour::ImageBitmap& b, int x, int y) { return x >= 0 && y >= 0 && x < b.Width && y < b.Height; }

struct Pen {
    colour::ImageBitmap& bitmap;
    uint32_t value;
    void dot(int x, int y) const
    {
        if (inside(bitmap, x, y))
            writePixel(bitmap, x, y, value);
    }
    // Both end points included.
    void line(int x0, int y0, int x1, int y1) const
    {
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            dot(x0, y0);
            if (x0 == x1 && y0 == y1)
                return;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    void fill(int left, int top, int right, int bottom) const
    {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                dot(x, y);
    }
    // Outline of the circle of radius r centred on (cx, cy), symmetric in all eight octants.
    void circle(int cx, int cy, int r) const
    {
        int x = r, y = 0, err = 1 - r;
        while (x >= y) {
            const int pts[8][2] = {{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
            for (const auto& p : pts)
                dot(cx + p[0], cy + p[1]);
            ++y;
            if (err < 0) {
                err += 2 * y + 1;
            } else {
                --x;
                err += 2 * (y - x) + 1;
            }
        }
    }
};

}  // namespace

uint32_t markerPen(uint32_t colour, uint8_t pixelFormat, const colour::Palette& palette)
{
    const int red = int(colour & 0xFF), green = int((colour >> 8) & 0xFF), blue = int((colour >> 16) & 0xFF);
    if (pixelFormat == engine::PixelFormat24)
        return uint32_t(red) << 16 | uint32_t(green) << 8 | uint32_t(blue);
    uint32_t best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < palette.entries.size(); ++i) {
        const colour::PaletteEntry& e = palette.entries[i];
        const int dr = e.red - red, dg = e.green - green, db = e.blue - blue;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = uint32_t(i);
        }
    }
    return best;
}

void DrawMarkerSymbol(colour::ImageBitmap& bitmap, int x, int y, int size, MarkerShape shape, uint32_t pen)
{
    const Pen p{bitmap, pen};
    const int h = (size - 1) / 2;
    // Cross.
    p.line(x - h, y, x + h, y);
    p.line(x, y - h, x, y + h);
    // Ticks three pixels thick, five pixels long from the cross's ends towards the centre.
    p.fill(x - h + 1, y - 1, x - h + 5, y + 1);
    p.fill(x + h - 5, y - 1, x + h - 1, y + 1);
    p.fill(x - 1, y - h + 1, x + 1, y - h + 5);
    p.fill(x - 1, y + h - 5, x + 1, y + h - 1);
    const int c = h - 5, e = h - 6;
    switch (shape) {
    case MarkerShape::Circle: p.circle(x, y, c); break;
    case MarkerShape::Square:
        p.line(x - e, y - e, x + e, y - e);
        p.line(x + e, y - e, x + e, y + e);
        p.line(x + e, y + e, x - e, y + e);
        p.line(x - e, y + e, x - e, y - e);
        break;
    case MarkerShape::Diamond:
        // Each edge from its upper or lower vertex outwards, so that the outline is symmetric.
        p.line(x, y - e, x + e, y);
        p.line(x, y - e, x - e, y);
        p.line(x, y + e, x + e, y);
        p.line(x, y + e, x - e, y);
        break;
    case MarkerShape::Triangle:  // point downwards; both sides from the point outwards
        p.line(x, y + e, x + e, y - e);
        p.line(x, y + e, x - e, y - e);
        p.line(x - e, y - e, x + e, y - e);
        break;
    default: break;  // Simple, and codes above Triangle
    }
}

MarkerAllocation TMarkerSlots::CreateMarkers()
{
    MarkerAllocation result = MarkerAllocation::Ok;
    for (int n = 1; n <= MarkerSlots; ++n) {
        TMarker& t = m_slots[size_t(n - 1)];
        t.Number = n;
        t.Drawn = false;
        if (t.Saved2D.size() == MarkerBlockRows && t.Saved3D.size() == MarkerBlockRows)
            continue;
        try {
            engine::checkAllocation(engine::AllocationStep::Markers2D);
            t.Saved2D.resize(MarkerBlockRows);
        } catch (const std::bad_alloc&) {
            if (result == MarkerAllocation::Ok)
                result = MarkerAllocation::NoMemory2D;
            continue;
        }
        try {
            engine::checkAllocation(engine::AllocationStep::Markers3D);
            t.Saved3D.resize(MarkerBlockRows);
        } catch (const std::bad_alloc&) {
            if (result == MarkerAllocation::Ok)
                result = MarkerAllocation::NoMemory3D;
        }
    }
    m_available = result == MarkerAllocation::Ok;
    return result;
}

void TMarkerSlots::draw(const Marker& m, TMarker& t, colour::ImageBitmap& bitmap, uint32_t pen, int size,
                        bool saveBackground)
{
    if (saveBackground) {
        for (int dy = -MarkerReach; dy <= MarkerReach; ++dy)
            for (int dx = -MarkerReach; dx <= MarkerReach; ++dx)
                if (inside(bitmap, m.X + dx, m.Y + dy))
                    t.Saved2D[size_t(dy + MarkerReach)][size_t(dx + MarkerReach)] = readPixel(bitmap, m.X + dx, m.Y + dy);
    }
    t.DrawnX = m.X;
    t.DrawnY = m.Y;
    DrawMarkerSymbol(bitmap, m.X, m.Y, std::min(size, MarkerBlock), drawnShape(m), pen);
    t.Drawn = true;
    m_drawOrder.push_back(t.Number);
}

void TMarkerSlots::restore(TMarker& t, const Marker&, colour::ImageBitmap& bitmap)
{
    if (!t.Drawn)
        return;
    for (int dy = -MarkerReach; dy <= MarkerReach; ++dy)
        for (int dx = -MarkerReach; dx <= MarkerReach; ++dx)
            if (inside(bitmap, t.DrawnX + dx, t.DrawnY + dy))
                writePixel(bitmap, t.DrawnX + dx, t.DrawnY + dy, t.Saved2D[size_t(dy + MarkerReach)][size_t(dx + MarkerReach)]);
    t.Drawn = false;
    m_drawOrder.erase(std::find(m_drawOrder.begin(), m_drawOrder.end(), t.Number));
}

std::optional<int> TMarkerSlots::Place(MarkerSet& set, colour::ImageBitmap& bitmap, const colour::Palette& palette,
                                       const MarkerStyle& style, const PlaneMapping& mapping, int x, int y,
                                       const std::string& text, MarkerShape shape)
{
    if (!m_available)
        return std::nullopt;
    for (int n = 1; n <= MarkerSlots; ++n) {
        Marker& m = set.Markers[size_t(n - 1)];
        if (m.InUse)
            continue;
        TMarker& t = m_slots[size_t(n - 1)];
        if (t.Drawn)
            restore(t, m, bitmap);
        m.InUse = true;
        m.Label = cutCharacters(text, MarkerTextLength);
        m.Shape = shape;
        m.X = x;
        m.Y = y;
        t.PlaneX = x * mapping.Step + mapping.X0;
        t.PlaneY = mapping.Y0 - y * mapping.Step;
        draw(m, t, bitmap, markerPen(style.Colour, bitmap.PixelFormat, palette), style.Size, true);
        return n;
    }
    return std::nullopt;
}

std::optional<int> TMarkerSlots::Find(const MarkerSet& set, const MarkerStyle& style, int x, int y) const
{
    const int h = (std::min(style.Size, MarkerBlock) - 1) / 2;
    auto covers = [&](int n) {
        const Marker& m = set.Markers[size_t(n - 1)];
        return m.InUse && std::abs(x - m.X) <= h && std::abs(y - m.Y) <= h;
    };
    for (auto it = m_drawOrder.rbegin(); it != m_drawOrder.rend(); ++it)
        if (covers(*it))
            return *it;
    for (int n = MarkerSlots; n >= 1; --n)
        if (covers(n))
            return n;
    return std::nullopt;
}

void TMarkerSlots::Erase(MarkerSet& set, colour::ImageBitmap& bitmap, const colour::Palette& palette,
                         const MarkerStyle& style, int number, bool free)
{
    TMarker& t = m_slots[size_t(number - 1)];
    Marker& m = set.Markers[size_t(number - 1)];
    if (t.Drawn) {
        // Lift the markers drawn after this one, last first, so that each block goes back over what it
        // saved; then draw them again over the restored pixels.
        const auto at = std::find(m_drawOrder.begin(), m_drawOrder.end(), number);
        const std::vector<int> later(at + 1, m_drawOrder.end());
        for (auto it = later.rbegin(); it != later.rend(); ++it)
            restore(m_slots[size_t(*it - 1)], set.Markers[size_t(*it - 1)], bitmap);
        restore(t, m, bitmap);
        const uint32_t pen = markerPen(style.Colour, bitmap.PixelFormat, palette);
        for (int n : later)
            draw(set.Markers[size_t(n - 1)], m_slots[size_t(n - 1)], bitmap, pen, style.Size, true);
    }
    if (free) {
        m.InUse = false;
        m.Label.clear();
    }
}

void TMarkerSlots::HideAll(colour::ImageBitmap& bitmap)
{
    const MarkerSet none;
    while (!m_drawOrder.empty()) {
        const int n = m_drawOrder.back();
        restore(m_slots[size_t(n - 1)], none.Markers[0], bitmap);
    }
}

bool TMarkerSlots::DeleteAll(MarkerSet& set, colour::ImageBitmap& bitmap)
{
    HideAll(bitmap);
    bool any = false;
    for (Marker& m : set.Markers) {
        any = any || m.InUse;
        m.InUse = false;
        m.Label.clear();
    }
    return any;
}

bool TMarkerSlots::ShowAll(const MarkerSet& set, colour::ImageBitmap& bitmap, const colour::Palette& palette,
                           const MarkerStyle& style, bool saveBackground)
{
    const bool any = std::any_of(set.Markers.begin(), set.Markers.end(), [](const Marker& m) { return m.InUse; });
    if (!any || !m_available)
        return any;
    HideAll(bitmap);
    const uint32_t pen = markerPen(style.Colour, bitmap.PixelFormat, palette);
    for (int n = 1; n <= MarkerSlots; ++n) {
        const Marker& m = set.Markers[size_t(n - 1)];
        if (m.InUse)
            draw(m, m_slots[size_t(n - 1)], bitmap, pen, style.Size, saveBackground);
    }
    return true;
}

std::optional<int> TMarkerSlots::Move(MarkerSet& set, colour::ImageBitmap& bitmap, const colour::Palette& palette,
                                      const MarkerStyle& style, const PlaneMapping& mapping, int number, int x,
                                      int y, const std::string& text, MarkerShape shape)
{
    Erase(set, bitmap, palette, style, number, true);
    if (!inside(bitmap, x, y))
        return std::nullopt;
    return Place(set, bitmap, palette, style, mapping, x, y, text, shape);
}

void TMarkerSlots::ForgetDrawn()
{
    for (TMarker& t : m_slots)
        t.Drawn = false;
    m_drawOrder.clear();
}

}  // namespace document
