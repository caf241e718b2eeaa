#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Kernel.h"

namespace engine {

// The orbit window's view: where a plane point lands and with which colour. Colours are 0x00RRGGBB.
struct OrbitView {
    static constexpr int MinScale = 25, MaxScale = 12800, InitialScale = 100;
    static constexpr uint32_t White = 0xFFFFFF, Black = 0x000000, CircleRed = 0xFF0000, AxisGrey = 0x808080;

    int Scale = InitialScale;        // window pixels per plane unit
    int OriginX = 0, OriginY = 0;    // window pixel of the plane origin: half the client size
    double ColourFactor = 256.0;     // 256 / MaxIter of the image
    int EscapeRadius = 2;            // round(sqrt(escape value))
    bool ColourOrbits = false;
    bool SingleOrbit = false;        // each new orbit replaces the previous one

    // The view of a window just opened with a client area of width x height.
    static OrbitView open(uint16_t escapeValue, uint16_t maxIter, int width, int height);
    void resize(int width, int height);

    bool canZoomIn() const { return Scale < MaxScale; }   // "Zoom x 2"
    bool canZoomOut() const { return Scale >= MinScale + 1; }  // "Zoom / 2"
    void zoomIn();   // doubles the scale, kept within 25..12800
    void zoomOut();  // halves it (integer division), kept within 25..12800

    // The scale / 100 in shortest decimal form: "1", "0.25", "128", "0.5", "1.5"...
    std::string scaleText() const;
    // `label` ("Scale: " or its translation) followed by scaleText().
    std::string caption(std::string_view label) const { return std::string(label) + scaleText(); }

    // Window pixel of a plane point: (OriginX + round(x scale), OriginY - round(y scale)), halves to even.
    int pixelX(double x) const;
    int pixelY(double y) const;
    // Colour of the point after iteration n: white, or with ColourOrbits t = round(n ColourFactor) and
    // red = (t div 2 + 50) mod 256, green = blue = t mod 256.
    uint32_t pointColour(int n) const;
};

// What the window's background shows before orbits are drawn on it: black; in cumulative mode the red
// escape circle and the grey axes across the client area.
struct OrbitBackground {
    bool Circle = false;  // drawn only when width > cx - r, height > cy - r and height > cy + r
    int CircleX = 0, CircleY = 0, CircleRadius = 0;
    bool Axes = false;
    int AxisX = 0, AxisY = 0;  // the vertical line x = AxisX and the horizontal line y = AxisY
    int Width = 0, Height = 0;
};
OrbitBackground orbitBackground(const OrbitView& view, int width, int height);

// One recorded drawing step, in the order single-threaded plotting would draw it.
struct OrbitEvent {
    enum Kind : uint8_t {
        Begin,  // a new pixel's orbit starts (cumulative mode)
        Clear,  // a new pixel's orbit starts and the background is drawn again (single-orbit mode)
        Point,  // one iterate (N >= 1) or one saved-orbit entry (N = -1, drawn in white)
    };
    Kind kind = Point;
    int N = 0;
    double Zr = 0, Zi = 0;
    int X = 0, Y = 0;      // window pixel, with the view of the moment it was recorded
    uint32_t Colour = 0;   // 0x00RRGGBB
};

// Records the orbits of a computation for a window that draws them later. The computing thread calls
// the observer hooks; the window thread sets the view, takes the finished batches and closes it. The
// view in effect for a pixel is the one set before the pixel's orbit began.
class OrbitRecorder : public OrbitObserver {
public:
    explicit OrbitRecorder(const OrbitView& view, size_t batchSize = 4096);

    // Window thread.
    void setView(const OrbitView& view);
    // The window closed: the pixels whose orbit begins from now on are not recorded.
    void close() { m_closed.store(true, std::memory_order_release); }
    bool closed() const { return m_closed.load(std::memory_order_acquire); }
    // The batches published so far, oldest first; they are handed over once.
    std::vector<std::vector<OrbitEvent>> takeBatches();

    // Computing thread: publishes what is recorded (at the end of a computation or a probe).
    void flush();

    void beginOrbit() override;
    void plotOrbitPoint(int n, double zr, double zi) override;
    void plotSavedOrbit(const double* xs, const double* ys, int count) override;

private:
    void publish();

    const size_t m_batchSize;
    std::atomic<bool> m_closed{false};
    std::mutex m_mutex;
    OrbitView m_shared;                           // guarded by m_mutex
    std::vector<std::vector<OrbitEvent>> m_ready;  // guarded by m_mutex
    // Computing thread only.
    OrbitView m_view;
    bool m_recording = false;
    std::vector<OrbitEvent> m_batch;
};

// An RGB canvas of the orbit window (0x00RRGGBB, rows top first) and the drawing the window does.
struct OrbitCanvas {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
};
void drawOrbitBackground(OrbitCanvas& canvas, const OrbitView& view);
// Draws the events in order: a Clear draws the background again, a Point sets its pixel when it lies
// in the canvas.
void drawOrbitEvents(OrbitCanvas& canvas, const OrbitView& view, const std::vector<OrbitEvent>& events);

}  // namespace engine
