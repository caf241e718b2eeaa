#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "colour/Picture.h"
#include "colour/View3DParams.h"
#include "engine/Values.h"

// The 3D relief view: every pixel of the value field becomes a point whose height grows with the
// logarithm of its value, seen from an azimuth and an elevation, optionally in perspective. Rendering
// writes the source values into a second field (Data3D) at their screen positions, far points first,
// so that the ordinary row colouring then colours the relief.
namespace colour {

struct ScreenPoint {
    int32_t X = 0, Y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// How a rendering is watched and stopped. Both may be empty.
struct Render3DControl {
    // Called after each outer line of the scan (from the calling thread in the single pass); `done`
    // lines of `total`.
    std::function<void(int done, int total)> progress;
    // Set (from anywhere) to stop; the reference pass checks it after each outer line.
    const std::atomic<bool>* stop = nullptr;
};

// The four scan orders, chosen by the azimuth so that far points are drawn first.
enum class ScanOrder : uint8_t {
    RowsUp,          // azimuth 0..45 and 315..360: rows from the bottom, columns from the left
    ColumnsRight,    // 46..134: columns from the left, rows from the bottom
    RowsDown,        // 135..225: rows from the top, columns from the left
    ColumnsLeft,     // 226..314: columns from the right, rows from the bottom
    None,            // any other azimuth: nothing is drawn
};
ScanOrder scanOrderFor(int32_t azimuth);

class TFract3D {
public:
    // Reads the parameters, the image size and pixel format, and computes the coefficients.
    void Init(const View3DParams& params, int width, int height, uint8_t pixelFormat);

    // The screen position of source pixel (x, y) at height value h (values 0 count as 1).
    ScreenPoint ProjectPoint(int x, int y, uint16_t h) const;
    // The source pixel that projects to screen point (X, Y) at height value h: the inverse of
    // ProjectPoint, up to its rounding. At elevation 0 without perspective the depth cannot be told
    // from the screen; the point is then taken on the line through the centre.
    ScreenPoint UnprojectPoint(int X, int Y, uint16_t h) const;
    // The azimuth (degrees, 0 towards the top edge, growing clockwise) of the source point under screen
    // point (X, Y), taken at the compass's base height.
    int32_t AzimuthFromPoint(int X, int Y) const;
    // The height value of the compass's base frame: 1 when inverted, else the Z limit.
    uint16_t compassBase() const;

    // Fills data3D (resized to the image, all 0 first) from data, one pass in scan order. `algorithm`
    // is the document's colouring algorithm (Color Distance limits values from below). Returns false
    // when stopped before the end. Throws std::bad_alloc when data3D cannot be allocated.
    bool Render(const engine::TVxWork& data, uint8_t algorithm, engine::TVxWork& data3D,
                const Render3DControl& control = {});
    // The same pixels as Render, computed by `threads` threads (0: one per core). Progress is reported
    // from the calling thread; a stop leaves a part of the far lines drawn.
    bool RenderParallel(const engine::TVxWork& data, uint8_t algorithm, engine::TVxWork& data3D, int threads,
                        const Render3DControl& control = {});

    // The fields, in order.
    int32_t azimuth = 0, elevation = 0;
    double sinA = 0, cosA = 1;  // of azimuth + 90 degrees
    double cosE = 1, sinE = 0;
    double xdx = 0, xdy = 0;    // screen x: -sinA, cosA
    double ydx = 0, ydy = 0;    // screen y: -cosA * sinE, -sinA * sinE
    double yz = 0;              // ZScale * cosE
    double ddx = 0, ddy = 0;    // depth: cosA * cosE, sinA * cosE
    double dz = 0;              // ZScale * sinE
    int32_t verticalShift = 0, zScale = 0, focalLength = 0, zLimit = 0;
    uint8_t inverted = 0, perspective = 0;
    uint8_t pixelFormat = engine::PixelFormat8;
    int32_t width = 0, height = 0;
    int32_t cx = 0, cy = 0;
    uint16_t minimum = 0, maximum = 0;

private:
    struct Prepared;
    Prepared prepare(const engine::TVxWork& data, uint8_t algorithm);
};

// The memory check before a rendering: Data3D needs width x height x 2 bytes; what is available is the
// free physical memory, plus the present Data3D when the 3D view is already shown (it will be replaced).
// A rendering may start when the need is at most 86 % of what is available.
struct Memory3D {
    uint64_t needed = 0, available = 0;
    bool fits = false;
};
Memory3D memoryFor3D(int width, int height, uint64_t freeBytes, bool view3DShown);

// Draws a straight line, both ends included, one pixel wide, on a bitmap: `colour` is 0x00BBGGRR on a
// 24-bit bitmap, its low byte (a palette index) on an 8-bit one. Pixels outside the bitmap are skipped.
void DrawLine(ImageBitmap& bitmap, ScreenPoint a, ScreenPoint b, uint32_t colour);
// Projects both ends (x, y at height value h each) and draws the line between them.
void DrawLine3D(const TFract3D& view, ImageBitmap& bitmap, int x1, int y1, uint16_t h1, int x2, int y2, uint16_t h2,
                uint32_t colour);

// The compass shown while a new azimuth is picked: the base frame (the two centre lines and the four
// edges at the base height) drawn in `colour`, and where the letters N, E, S, W go (their top-left
// corners) and the projected centre, the pivot of the azimuth line.
struct CompassLayout {
    ScreenPoint N, E, S, W, pivot;
};
CompassLayout DrawCompass(const TFract3D& view, ImageBitmap& bitmap, uint32_t colour);

}  // namespace colour
