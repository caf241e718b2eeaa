#include "engine/OrbitRecorder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace engine {

namespace {

// Round to nearest, halves to even.
int roundEven(double v) { return int(std::nearbyint(v)); }

}  // namespace

OrbitView OrbitView::open(uint16_t escapeValue, uint16_t maxIter, int width, int height)
{
    OrbitView v;
    v.ColourFactor = 256.0 / double(std::max<uint16_t>(maxIter, 1));
    v.EscapeRadius = roundEven(std::sqrt(double(escapeValue)));
    v.resize(width, height);
    return v;
}

void OrbitView::resize(int width, int height)
{
    OriginX = width / 2;
    OriginY = height / 2;
}

void OrbitView::zoomIn()
{
    if (canZoomIn())
        Scale = std::clamp(Scale * 2, MinScale, MaxScale);
}

void OrbitView::zoomOut()
{
    if (canZoomOut())
        Scale = std::clamp(Scale / 2, MinScale, MaxScale);
}

std::string OrbitView::scaleText() const
{
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, double(Scale) / 100.0);
    return std::string(buffer, r.ptr);
}

int OrbitView::pixelX(double x) const { return OriginX + roundEven(x * Scale); }
int OrbitView::pixelY(double y) const { return OriginY - roundEven(y * Scale); }

uint32_t OrbitView::pointColour(int n) const
{
    if (!ColourOrbits)
        return White;
    const int t = roundEven(n * ColourFactor);
    const uint32_t red = uint32_t(t / 2 + 50) & 0xFF, green = uint32_t(t) & 0xFF;
    return red << 16 | green << 8 | green;
}

OrbitBackground orbitBackground(const OrbitView& view, int width, int height)
{
    OrbitBackground b;
    b.Width = width;
    b.Height = height;
    if (view.SingleOrbit)
        return b;
    const int cx = view.OriginX, cy = view.OriginY, r = view.EscapeRadius * view.Scale;
    b.Circle = width > cx - r && height > cy - r && height > cy + r;
    b.CircleX = cx;
    b.CircleY = cy;
    b.CircleRadius = r;
    b.Axes = true;
    b.AxisX = cx;
    b.AxisY = cy;
    return b;
}

OrbitRecorder::OrbitRecorder(const OrbitView& view, size_t batchSize)
    : m_batchSize(std::max<size_t>(batchSize, 1)), m_shared(view), m_view(view)
{
}

void OrbitRecorder::setView(const OrbitView& view)
{
    const std::lock_guard lock(m_mutex);
    m_shared = view;
}

std::vector<std::vector<OrbitEvent>> OrbitRecorder::takeBatches()
{
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_ready, {});
}

void OrbitRecorder::publish()
{
    if (m_batch.empty())
        return;
    const std::lock_guard lock(m_mutex);
    m_ready.push_back(std::move(m_batch));
    m_batch.clear();
}

void OrbitRecorder::flush() { publish(); }

void OrbitRecorder::beginOrbit()
{
    if (m_batch.size() >= m_batchSize)
        publish();
    m_recording = !closed();
    if (!m_recording)
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_view = m_shared;
    }
    OrbitEvent e;
    e.kind = m_view.SingleOrbit ? OrbitEvent::Clear : OrbitEvent::Begin;
    m_batch.push_back(e);
}

void OrbitRecorder::plotOrbitPoint(int n, double zr, double zi)
{
    if (!m_recording)
        return;
    m_batch.push_back({OrbitEvent::Point, n, zr, zi, m_view.pixelX(zr), m_view.pixelY(zi), m_view.pointColour(n)});
}

void OrbitRecorder::plotSavedOrbit(const double* xs, const double* ys, int count)
{
    if (!m_recording)
        return;
    for (int i = 0; i < count; ++i)
        m_batch.push_back({OrbitEvent::Point, -1, xs[i], ys[i], m_view.pixelX(xs[i]), m_view.pixelY(ys[i]), OrbitView::White});
}

namespace {

void setPixel(OrbitCanvas& c, int x, int y, uint32_t colour)
{
    if (x >= 0 && y >= 0 && x < c.Width && y < c.Height)
        c.Pixels[size_t(y) * size_t(c.Width) + size_t(x)] = colour;
}

}  // namespace

void drawOrbitBackground(OrbitCanvas& canvas, const OrbitView& view)
{
    canvas.Pixels.assign(size_t(canvas.Width) * size_t(canvas.Height), OrbitView::Black);
    const OrbitBackground b = orbitBackground(view, canvas.Width, canvas.Height);
    if (b.Circle) {
        int x = b.CircleRadius, y = 0, err = 1 - b.CircleRadius;
        while (x >= y) {
            const int pts[8][2] = {{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
            for (const auto& p : pts)
                setPixel(canvas, b.CircleX + p[0], b.CircleY + p[1], OrbitView::CircleRed);
            ++y;
            if (err < 0) {
                err += 2 * y + 1;
            } else {
                --x;
                err += 2 * (y - x) + 1;
            }
        }
    }
    if (b.Axes) {
        for (int y = 0; y < canvas.Height; ++y)
            setPixel(canvas, b.AxisX, y, OrbitView::AxisGrey);
        for (int x = 0; x < canvas.Width; ++x)
            setPixel(canvas, x, b.AxisY, OrbitView::AxisGrey);
    }
}

void drawOrbitEvents(OrbitCanvas& canvas, const OrbitView& view, const std::vector<OrbitEvent>& events)
{
    for (const OrbitEvent& e : events) {
        if (e.kind == OrbitEvent::Clear)
            drawOrbitBackground(canvas, view);
        else if (e.kind == OrbitEvent::Point)
            setPixel(canvas, e.X, e.Y, e.Colour);
    }
}

}  // namespace engine
