#include "colour/Fract3D.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>

#include "colour/Parallel.h"

namespace colour {

namespace {

// Source pixels projected per block of the parallel rendering (4 bytes each).
constexpr size_t BlockPixels = size_t(1) << 22;

constexpr long double PiL = 3.141592653589793238462643383279502884L;

long double radians(long double degrees)
{
    return degrees * PiL / 180.0L;
}

// Round to nearest, ties to even, kept well inside the int range (infinite or huge positions stay
// far off the screen).
int32_t roundToInt(double v)
{
    constexpr double Far = 1 << 30;
    if (!(v > -Far))
        return -(1 << 30);
    if (!(v < Far))
        return 1 << 30;
    return int32_t(std::nearbyint(v));
}

}  // namespace

ScanOrder scanOrderFor(int32_t azimuth)
{
    if (azimuth < 0 || azimuth > 360)
        return ScanOrder::None;
    if (azimuth <= 45 || azimuth >= 315)
        return ScanOrder::RowsUp;
    if (azimuth <= 134)
        return ScanOrder::ColumnsRight;
    if (azimuth <= 225)
        return ScanOrder::RowsDown;
    return ScanOrder::ColumnsLeft;
}

void TFract3D::Init(const View3DParams& p, int w, int h, uint8_t format)
{
    azimuth = p.Azimuth;
    elevation = p.Elevation;
    const long double a = radians((long double)p.Azimuth + 90.0L);
    const long double e = radians((long double)p.Elevation);
    sinA = double(std::sin(a));
    cosA = double(std::cos(a));
    cosE = double(std::cos(e));
    sinE = double(std::sin(e));
    xdx = double(-std::sin(a));
    xdy = double(std::cos(a));
    ydx = double(-std::cos(a) * std::sin(e));
    ydy = double(-std::sin(a) * std::sin(e));
    yz = double((long double)p.ZScale * std::cos(e));
    ddx = double(std::cos(a) * std::cos(e));
    ddy = double(std::sin(a) * std::cos(e));
    dz = double((long double)p.ZScale * std::sin(e));
    verticalShift = p.VerticalShift;
    zScale = p.ZScale;
    focalLength = p.FocalLength;
    zLimit = p.ZLimit;
    inverted = p.Inverted3D;
    perspective = p.Perspective;
    pixelFormat = format;
    width = w;
    height = h;
    cx = w / 2;
    cy = h / 2;
}

namespace {

// The projection of one point to unrounded screen offsets from the centre (before the vertical shift).
inline void projectExact(const TFract3D& t, int x, int y, double z, double& xs, double& ys)
{
    const double dx = double(x - t.cx), dy = double(y - t.cy);
    const double along = t.cosA * dx + t.sinA * dy;
    const double s = t.inverted ? 1.0 : -1.0;
    xs = -t.sinA * dx + t.cosA * dy;
    ys = s * t.yz * z - t.sinE * along;
    if (t.perspective) {
        const double depth = t.dz * z + t.cosE * along + double(t.focalLength);
        xs = xs * double(t.focalLength) / depth;
        ys = ys * double(t.focalLength) / depth;
    }
}

inline ScreenPoint projectWithLog(const TFract3D& t, int x, int y, double z)
{
    double xs, ys;
    projectExact(t, x, y, z, xs, ys);
    return {roundToInt(xs) + t.cx, roundToInt(ys) + t.cy - t.verticalShift};
}

}  // namespace

ScreenPoint TFract3D::ProjectPoint(int x, int y, uint16_t h) const
{
    return projectWithLog(*this, x, y, std::log(double(std::max<uint16_t>(h, 1))));
}

ScreenPoint TFract3D::UnprojectPoint(int X, int Y, uint16_t h) const
{
    const double z = std::log(double(std::max<uint16_t>(h, 1)));
    const double s = inverted ? 1.0 : -1.0;
    const double xs = double(X - cx), ys = double(Y - cy + verticalShift);
    const double f = double(focalLength);
    double along = 0, across = 0;  // along: cosA dx + sinA dy (towards the depth); across: the screen x
    if (perspective) {
        const double den = ys * cosE + f * sinE;
        if (den != 0)
            along = (f * s * yz * z - ys * (dz * z + f)) / den;
        const double depth = dz * z + cosE * along + f;
        across = f != 0 ? xs * depth / f : xs;
    } else {
        if (sinE != 0)
            along = (s * yz * z - ys) / sinE;
        across = xs;
    }
    const double dx = cosA * along - sinA * across;
    const double dy = sinA * along + cosA * across;
    return {roundToInt(dx) + cx, roundToInt(dy) + cy};
}

uint16_t TFract3D::compassBase() const
{
    if (inverted)
        return 1;
    return uint16_t(std::clamp<int32_t>(zLimit, 0, 65535));
}

int32_t TFract3D::AzimuthFromPoint(int X, int Y) const
{
    const ScreenPoint p = UnprojectPoint(X, Y, compassBase());
    const double dx = double(p.X - cx), dy = double(cy - p.Y);
    if (dx == 0 && dy == 0)
        return 0;
    const double a = std::nearbyint(std::acos(dy / std::sqrt(dx * dx + dy * dy)) * 180.0 / double(PiL));
    return dx >= 0 ? int32_t(a) : 360 - int32_t(a);
}

// What one rendering needs besides the coefficients: the scan, the limits and the logarithms.
struct TFract3D::Prepared {
    ScanOrder order = ScanOrder::None;
    int w = 0, h = 0;            // the pixels scanned: the part of Data inside the image
    int outer = 0, inner = 0;    // lines of the scan and pixels per line
    uint8_t algorithm = 0;
    std::vector<double> logOf;   // ln h for every height value h (ln 0 unused)

    // Source pixel `j` of outer line `i`.
    void pixel(int i, int j, int& x, int& y) const
    {
        switch (order) {
        case ScanOrder::RowsUp: y = h - 1 - i; x = j; return;
        case ScanOrder::ColumnsRight: x = i; y = h - 1 - j; return;
        case ScanOrder::RowsDown: y = i; x = j; return;
        case ScanOrder::ColumnsLeft: x = w - 1 - i; y = h - 1 - j; return;
        case ScanOrder::None: break;
        }
        x = y = 0;
    }
};

TFract3D::Prepared TFract3D::prepare(const engine::TVxWork& data, uint8_t algorithm)
{
    Prepared p;
    p.order = scanOrderFor(azimuth);
    p.w = std::min(width, data.width());
    p.h = std::min(height, data.height());
    p.algorithm = algorithm;
    const bool rows = p.order == ScanOrder::RowsUp || p.order == ScanOrder::RowsDown;
    p.outer = rows ? p.h : p.w;
    p.inner = rows ? p.w : p.h;
    if (p.order == ScanOrder::None)
        p.outer = p.inner = 0;
    p.logOf.resize(65536);
    p.logOf[0] = 0;
    for (int v = 1; v < 65536; ++v)
        p.logOf[size_t(v)] = std::log(double(v));
    return p;
}

namespace {

void findRange(const engine::TVxWork& data, int w, int first, int last, uint16_t& lo, uint16_t& hi)
{
    lo = 65535;
    hi = 0;
    for (int y = first; y < last; ++y) {
        const uint16_t* row = data.row(y);
        for (int x = 0; x < w; ++x) {
            lo = std::min(lo, row[x]);
            hi = std::max(hi, row[x]);
        }
    }
}

// Where source value v of pixel (x, y) lands in Data3D (row * width + column), or -1 off the screen.
inline long long targetOf(const TFract3D& t, const std::vector<double>& logOf, bool colorDistance, int x, int y,
                          uint16_t v)
{
    int32_t lv = v;
    if (colorDistance) {
        if (lv == engine::Inside)
            lv = 0;
        if (lv < t.zLimit)
            lv = t.zLimit;
    } else if (lv > t.zLimit) {
        lv = t.zLimit;
    }
    uint16_t h = uint16_t(lv - int32_t(t.minimum) + 1);
    if (h == 0)
        h = 1;
    const ScreenPoint s = projectWithLog(t, x, y, logOf[h]);
    if (s.Y > 0 && s.Y < t.height - 1 && s.X >= 1 && s.X < t.width - 1)
        return (long long)s.Y * t.width + s.X;
    return -1;
}

}  // namespace

bool TFract3D::Render(const engine::TVxWork& data, uint8_t algorithm, engine::TVxWork& data3D,
                      const Render3DControl& control)
{
    data3D.release();
    data3D.resize(width, height);
    const Prepared p = prepare(data, algorithm);
    findRange(data, p.w, 0, p.h, minimum, maximum);
    const bool cd = algorithm == engine::AlgColorDistance;
    uint16_t* out = width > 0 && height > 0 ? data3D.row(0) : nullptr;
    for (int i = 0; i < p.outer; ++i) {
        for (int j = 0; j < p.inner; ++j) {
            int x, y;
            p.pixel(i, j, x, y);
            const uint16_t v = data.at(y, x);
            const long long target = targetOf(*this, p.logOf, cd, x, y, v);
            if (target >= 0)
                out[target] = v;
        }
        if (control.progress)
            control.progress(i + 1, p.outer);
        if (control.stop && control.stop->load() && i + 1 < p.outer)
            return false;
    }
    return true;
}

bool TFract3D::RenderParallel(const engine::TVxWork& data, uint8_t algorithm, engine::TVxWork& data3D, int threads,
                              const Render3DControl& control)
{
    const int count = threadCount(threads);
    data3D.release();
    data3D.resize(width, height);
    const Prepared p = prepare(data, algorithm);

    // The range of the values, band by band.
    std::vector<uint16_t> lows(static_cast<size_t>(count)), highs(static_cast<size_t>(count));
    runOnThreads(count, [&](int t) {
        findRange(data, p.w, partStart(p.h, count, t), partStart(p.h, count, t + 1), lows[size_t(t)],
                  highs[size_t(t)]);
    });
    minimum = *std::min_element(lows.begin(), lows.end());
    maximum = *std::max_element(highs.begin(), highs.end());

    // The scan goes in blocks of outer lines. In a block every thread projects a run of lines into
    // `targets`; the values are then written in the scan order, so that the last source pixel of the
    // scan that lands on a screen pixel wins, as in the single pass.
    const int blockLines = p.inner > 0 ? std::max(1, int(BlockPixels / size_t(p.inner))) : 1;
    std::vector<int32_t> targets(size_t(std::min(blockLines, p.outer)) * size_t(p.inner));
    const bool cd = algorithm == engine::AlgColorDistance;
    uint16_t* out = width > 0 && height > 0 ? data3D.row(0) : nullptr;
    std::atomic<int> totalDone{0};
    for (int block = 0; block < p.outer; block += blockLines) {
        const int lines = std::min(blockLines, p.outer - block);
        std::vector<int> linesDone(static_cast<size_t>(count), 0);
        runOnThreads(count, [&](int t) {
            const int first = partStart(lines, count, t), last = partStart(lines, count, t + 1);
            for (int k = first; k < last; ++k) {
                const int i = block + k;
                int32_t* line = targets.data() + size_t(k) * size_t(p.inner);
                for (int j = 0; j < p.inner; ++j) {
                    int x, y;
                    p.pixel(i, j, x, y);
                    line[j] = int32_t(targetOf(*this, p.logOf, cd, x, y, data.at(y, x)));
                }
                linesDone[size_t(t)] = k + 1 - first;
                const int done = totalDone.fetch_add(1) + 1;
                if (t == 0 && control.progress)
                    control.progress(done, p.outer);
                if (control.stop && control.stop->load())
                    break;
            }
        });
        // The lines to draw: the unbroken run of finished lines from the block's first one.
        int drawn = 0;
        for (int t = 0; t < count; ++t) {
            const int first = partStart(lines, count, t), last = partStart(lines, count, t + 1);
            drawn = first + linesDone[size_t(t)];
            if (drawn < last)
                break;
        }
        for (int k = 0; k < drawn; ++k) {
            const int32_t* line = targets.data() + size_t(k) * size_t(p.inner);
            for (int j = 0; j < p.inner; ++j) {
                if (line[j] >= 0) {
                    int x, y;
                    p.pixel(block + k, j, x, y);
                    out[line[j]] = data.at(y, x);
                }
            }
        }
        if (drawn < lines || (control.stop && control.stop->load() && block + lines < p.outer))
            return false;
    }
    if (control.progress && p.outer > 0)
        control.progress(p.outer, p.outer);
    return true;
}

Memory3D memoryFor3D(int width, int height, uint64_t freeBytes, bool view3DShown)
{
    Memory3D m;
    m.needed = uint64_t(std::max(width, 0)) * uint64_t(std::max(height, 0)) * 2;
    m.available = freeBytes + (view3DShown ? m.needed : 0);
    // needed <= 0.86 x available, in whole numbers so that the limit itself is allowed
    m.fits = (unsigned __int128)m.needed * 100 <= (unsigned __int128)m.available * 86;
    return m;
}

void DrawLine(ImageBitmap& bitmap, ScreenPoint a, ScreenPoint b, uint32_t colour)
{
    const int bpp = bitmap.bytesPerPixel();
    auto plot = [&](long long x, long long y) {
        if (x < 0 || y < 0 || x >= bitmap.Width || y >= bitmap.Height)
            return;
        uint8_t* p = bitmap.row(int(y)) + size_t(x) * size_t(bpp);
        if (bpp == 3) {
            p[0] = uint8_t(colour >> 16);  // blue
            p[1] = uint8_t(colour >> 8);   // green
            p[2] = uint8_t(colour);        // red
        } else {
            p[0] = uint8_t(colour);
        }
    };
    long long x = a.X, y = a.Y;
    const long long dx = std::llabs((long long)b.X - a.X), dy = -std::llabs((long long)b.Y - a.Y);
    const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
    long long err = dx + dy;
    for (;;) {
        plot(x, y);
        if (x == b.X && y == b.Y)
            break;
        const long long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void DrawLine3D(const TFract3D& view, ImageBitmap& bitmap, int x1, int y1, uint16_t h1, int x2, int y2, uint16_t h2,
                uint32_t colour)
{
    DrawLine(bitmap, view.ProjectPoint(x1, y1, h1), view.ProjectPoint(x2, y2, h2), colour);
}

CompassLayout DrawCompass(const TFract3D& v, ImageBitmap& bitmap, uint32_t colour)
{
    const uint16_t b = v.compassBase();
    const int w = v.width, h = v.height;
    DrawLine3D(v, bitmap, 0, v.cy, b, w, v.cy, b, colour);
    DrawLine3D(v, bitmap, v.cx, 0, b, v.cx, h, b, colour);
    DrawLine3D(v, bitmap, 0, 0, b, w, 0, b, colour);
    DrawLine3D(v, bitmap, w, 0, b, w, h, b, colour);
    DrawLine3D(v, bitmap, w, h, b, 0, h, b, colour);
    DrawLine3D(v, bitmap, 0, 0, b, 0, h, b, colour);
    CompassLayout c;
    c.N = v.ProjectPoint(v.cx, 0, b);
    c.E = v.ProjectPoint(w, v.cy, b);
    c.S = v.ProjectPoint(v.cx, h, b);
    c.W = v.ProjectPoint(0, v.cy, b);
    c.pivot = v.ProjectPoint(v.cx, v.cy, b);
    return c;
}

}  // namespace colour
