// The 3D relief view: projection, its inverse, the scan orders, the height limits, and the parallel
// rendering against the single pass.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "colour/Fract3D.h"

namespace {

using colour::ScreenPoint;
using colour::TFract3D;
using colour::View3DParams;

View3DParams params(int azimuth, int elevation, bool perspective, int zScale = 30, int zLimit = 250, int shift = 0,
                    bool inverted = true, int focal = 1000)
{
    View3DParams p;
    p.Azimuth = azimuth;
    p.Elevation = elevation;
    p.Perspective = perspective ? 1 : 0;
    p.ZScale = zScale;
    p.ZLimit = zLimit;
    p.VerticalShift = shift;
    p.Inverted3D = inverted ? 1 : 0;
    p.FocalLength = focal;
    return p;
}

engine::TVxWork field(int w, int h, uint16_t (*value)(int x, int y))
{
    engine::TVxWork d;
    d.resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            d.at(y, x) = value(x, y);
    return d;
}

// Distinct values, none 0.
uint16_t distinct(int x, int y)
{
    return uint16_t(1 + y * 100 + x);
}

// Pseudo-random values with plateaus, some inside.
engine::TVxWork noisy(int w, int h, unsigned seed, uint16_t top)
{
    std::mt19937 gen(seed);
    engine::TVxWork d;
    d.resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned r = gen();
            d.at(y, x) = r % 11 == 0 ? engine::Inside : uint16_t(1 + (x / 3 + y / 4 + r % 5) % top);
        }
    return d;
}

int nonZero(const engine::TVxWork& d)
{
    int n = 0;
    for (int y = 0; y < d.height(); ++y)
        for (int x = 0; x < d.width(); ++x)
            n += d.at(y, x) != 0;
    return n;
}

TEST(Fract3D, TopViewTurnsThePictureByAHalfTurn)
{
    const int w = 9, h = 7;
    const engine::TVxWork data = field(w, h, distinct);
    TFract3D v;
    v.Init(params(0, 90, false), w, h, engine::PixelFormat24);
    engine::TVxWork out;
    ASSERT_TRUE(v.Render(data, engine::AlgLevel, out));
    EXPECT_EQ(v.minimum, 1);
    EXPECT_EQ(v.maximum, distinct(w - 1, h - 1));
    int landed = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            const int X = 2 * v.cx - x, Y = 2 * v.cy - y;
            for (uint16_t hv : {1, 7, 60000})
                EXPECT_EQ(v.ProjectPoint(x, y, hv), (ScreenPoint{X, Y}));
            if (Y > 0 && Y < h - 1 && X >= 1 && X < w - 1) {
                EXPECT_EQ(out.at(Y, X), data.at(y, x));
                ++landed;
            }
        }
    EXPECT_EQ(nonZero(out), landed);
    EXPECT_EQ(landed, (w - 2) * (h - 2));
}

TEST(Fract3D, ElevationZeroIsASideView)
{
    struct Row {
        bool inverted;
        int zScale, azimuth;
    } rows[] = {{true, 30, 135}, {false, 30, 135}, {true, 5, 0}, {false, 100, 270}};
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.inverted) + " " + std::to_string(r.zScale) + " " + std::to_string(r.azimuth));
        TFract3D v;
        v.Init(params(r.azimuth, 0, false, r.zScale, 250, 0, r.inverted), 200, 300, engine::PixelFormat24);
        for (uint16_t hv : {1, 2, 10, 1000}) {
            const double ys = (r.inverted ? 1 : -1) * r.zScale * std::log(double(hv));
            const int expected = int(std::nearbyint(ys)) + 150;
            for (int x : {0, 50, 199})
                for (int y : {0, 77, 299})
                    EXPECT_EQ(v.ProjectPoint(x, y, hv).Y, expected) << hv << " at " << x << "," << y;
        }
    }
}

TEST(Fract3D, ScanOrderFollowsTheAzimuth)
{
    using colour::ScanOrder;
    struct Row {
        int azimuth;
        ScanOrder order;
    } rows[] = {{0, ScanOrder::RowsUp},          {45, ScanOrder::RowsUp},        {46, ScanOrder::ColumnsRight},
                {134, ScanOrder::ColumnsRight},  {135, ScanOrder::RowsDown},     {225, ScanOrder::RowsDown},
                {226, ScanOrder::ColumnsLeft},   {314, ScanOrder::ColumnsLeft},  {315, ScanOrder::RowsUp},
                {360, ScanOrder::RowsUp},        {361, ScanOrder::None},         {-1, ScanOrder::None}};
    for (const Row& r : rows)
        EXPECT_EQ(colour::scanOrderFor(r.azimuth), r.order) << r.azimuth;

    // The outer lines (progress steps) are rows for 45 and columns for 46.
    const engine::TVxWork data = field(13, 8, distinct);
    for (auto [azimuth, lines] : {std::pair{45, 8}, std::pair{46, 13}}) {
        TFract3D v;
        v.Init(params(azimuth, 30, true), 13, 8, engine::PixelFormat24);
        int calls = 0, total = -1;
        colour::Render3DControl control;
        control.progress = [&](int done, int all) {
            ++calls;
            EXPECT_EQ(done, calls);
            total = all;
        };
        engine::TVxWork out;
        v.Render(data, engine::AlgLevel, out, control);
        EXPECT_EQ(calls, lines) << azimuth;
        EXPECT_EQ(total, lines) << azimuth;
    }
}

// A side view with every value flattened to one height puts a whole line of sources on each screen
// pixel: the one written last in the scan order must be the one shown.
TEST(Fract3D, LastPixelOfTheScanWins)
{
    const int w = 11, h = 9;  // cx 5, cy 4
    const engine::TVxWork data = field(w, h, distinct);
    struct Row {
        int azimuth;
        int (*sourceX)(int X);
        int (*sourceY)(int X);
    } rows[] = {
        // rows from the bottom: row 0 is last; X = cx - dx
        {0, [](int X) { return 10 - X; }, [](int) { return 0; }},
        // rows from the top: the bottom row is last; X = cx + dx
        {180, [](int X) { return X; }, [](int) { return 8; }},
        // columns from the left: the right column is last; X = cx - dy
        {90, [](int) { return 10; }, [](int X) { return 9 - X; }},
        // columns from the right: the left column is last; X = cx + dy
        {270, [](int) { return 0; }, [](int X) { return X - 1; }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.azimuth);
        TFract3D v;
        v.Init(params(r.azimuth, 0, false, 30, /*zLimit*/ 1), w, h, engine::PixelFormat24);
        engine::TVxWork out;
        ASSERT_TRUE(v.Render(data, engine::AlgLevel, out));
        for (int X = 1; X < w - 1; ++X) {
            const int sx = r.sourceX(X), sy = r.sourceY(X);
            if (sx < 0 || sx >= w || sy < 0 || sy >= h)
                continue;
            EXPECT_EQ(out.at(4, X), data.at(sy, sx)) << "X " << X;
        }
        for (int Y = 0; Y < h; ++Y) {
            if (Y == 4)
                continue;
            for (int X = 0; X < w; ++X)
                EXPECT_EQ(out.at(Y, X), 0) << X << "," << Y;
        }
    }
}

TEST(Fract3D, ImagesOfSideTwoOrLessGetNothing)
{
    for (auto [w, h] : {std::pair{1, 5}, std::pair{2, 5}, std::pair{5, 2}, std::pair{5, 1}, std::pair{2, 2},
                        std::pair{1, 1}}) {
        const engine::TVxWork data = field(w, h, distinct);
        for (int az : {0, 90, 135, 180, 300}) {
            for (bool persp : {false, true}) {
                SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " az " + std::to_string(az));
                TFract3D v;
                v.Init(params(az, 90, persp), w, h, engine::PixelFormat24);
                engine::TVxWork out;
                v.Render(data, engine::AlgLevel, out);
                EXPECT_EQ(out.width(), w);
                EXPECT_EQ(out.height(), h);
                EXPECT_EQ(nonZero(out), 0);
                engine::TVxWork par;
                v.RenderParallel(data, engine::AlgLevel, par, 3);
                EXPECT_EQ(nonZero(par), 0);
            }
        }
    }
    // One more pixel each way shows something.
    const engine::TVxWork data = field(3, 3, distinct);
    TFract3D v;
    v.Init(params(0, 90, false), 3, 3, engine::PixelFormat24);
    engine::TVxWork out;
    v.Render(data, engine::AlgLevel, out);
    EXPECT_EQ(out.at(1, 1), data.at(1, 1));
}

TEST(Fract3D, AzimuthAbove360RendersNothing)
{
    const engine::TVxWork data = field(20, 15, distinct);
    for (int az : {361, 400, 999}) {
        TFract3D v;
        v.Init(params(az, 30, true), 20, 15, engine::PixelFormat24);
        int calls = 0;
        colour::Render3DControl control;
        control.progress = [&](int, int) { ++calls; };
        engine::TVxWork out;
        v.Render(data, engine::AlgLevel, out, control);
        EXPECT_EQ(nonZero(out), 0) << az;
        EXPECT_EQ(calls, 0) << az;
        engine::TVxWork par;
        v.RenderParallel(data, engine::AlgLevel, par, 2);
        EXPECT_EQ(nonZero(par), 0) << az;
    }
    // 360 itself is drawn.
    TFract3D v;
    v.Init(params(360, 30, true, 0), 20, 15, engine::PixelFormat24);
    engine::TVxWork out;
    v.Render(data, engine::AlgLevel, out);
    EXPECT_GT(nonZero(out), 0);
}

// The height of each value, read back from the side view: the screen row of a lone value.
TEST(Fract3D, ZLimitFlattensHighValuesOrRaisesLowOnesWithColorDistance)
{
    struct Row {
        uint8_t algorithm;
        uint16_t value;
        int height;  // h = limited value - minimum + 1, minimum 2, limit 10
    } rows[] = {
        {engine::AlgLevel, 5, 4},          {engine::AlgLevel, 10, 9},        {engine::AlgLevel, 20, 9},
        {engine::AlgLevel, 65535, 9},      {engine::AlgColorDistance, 65535, 9}, {engine::AlgColorDistance, 5, 9},
        {engine::AlgColorDistance, 20, 19}, {engine::AlgDistance, 3, 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.algorithm) + " " + std::to_string(r.value));
        engine::TVxWork data;
        data.resize(9, 60);
        data.fill(2);
        // In the centre column, and in the top row, the last of the scan: with Color Distance the other
        // values stand at the limit too, and would hide it.
        data.at(0, 4) = r.value;
        TFract3D v;
        v.Init(params(0, 0, false, 5, 10, 0, true), 9, 60, engine::PixelFormat24);
        engine::TVxWork out;
        ASSERT_TRUE(v.Render(data, r.algorithm, out));
        int foundY = -1;
        for (int Y = 0; Y < 60; ++Y)
            if (out.at(Y, 4) == r.value)
                foundY = Y;
        EXPECT_EQ(foundY, 30 + int(std::nearbyint(5 * std::log(double(r.height)))));
    }
}

TEST(Fract3D, UnprojectInvertsProject)
{
    struct Row {
        View3DParams p;
        int tolerance;
    } rows[] = {
        {params(0, 90, false), 0},
        {params(135, 30, false), 2},
        {params(135, 30, true), 2},
        {params(60, 55, true, 50, 250, 40, false), 2},
        {params(250, 70, false, 10, 250, -30, true), 1},
        {params(320, 45, true, 0, 250, 0, true, 300), 2},
    };
    const int w = 400, h = 300;
    for (const Row& r : rows) {
        SCOPED_TRACE("azimuth " + std::to_string(r.p.Azimuth) + " elevation " + std::to_string(r.p.Elevation)
                     + " perspective " + std::to_string(r.p.Perspective));
        TFract3D v;
        v.Init(r.p, w, h, engine::PixelFormat24);
        for (int x : {0, 17, 200, 333, 399})
            for (int y : {0, 45, 150, 299})
                for (uint16_t hv : {1, 5, 250}) {
                    const ScreenPoint s = v.ProjectPoint(x, y, hv);
                    const ScreenPoint back = v.UnprojectPoint(s.X, s.Y, hv);
                    EXPECT_LE(std::abs(back.X - x), r.tolerance) << x << "," << y << " h " << hv;
                    EXPECT_LE(std::abs(back.Y - y), r.tolerance) << x << "," << y << " h " << hv;
                }
    }
}

TEST(Fract3D, AzimuthFromPointGrowsClockwiseFromTheTop)
{
    TFract3D v;
    v.Init(params(0, 90, false, 30, 250, 0, true), 201, 101, engine::PixelFormat24);  // a half turn: x -> 200 - x
    struct Row {
        int sourceX, sourceY, azimuth;
    } rows[] = {{100, 0, 0}, {200, 50, 90}, {100, 100, 180}, {0, 50, 270}, {150, 0, 45}, {50, 0, 315}, {100, 50, 0}};
    for (const Row& r : rows) {
        const ScreenPoint s = v.ProjectPoint(r.sourceX, r.sourceY, v.compassBase());
        EXPECT_EQ(v.AzimuthFromPoint(s.X, s.Y), r.azimuth) << r.sourceX << "," << r.sourceY;
    }
}

TEST(Fract3D, StopLeavesTheNearLinesUndrawn)
{
    const engine::TVxWork data = field(12, 10, distinct);
    TFract3D v;
    v.Init(params(180, 90, false), 12, 10, engine::PixelFormat24);  // rows from the top, shown as they are
    std::atomic<bool> stop{false};
    colour::Render3DControl control;
    control.stop = &stop;
    control.progress = [&](int done, int) {
        if (done == 3)
            stop = true;
    };
    engine::TVxWork out;
    EXPECT_FALSE(v.Render(data, engine::AlgLevel, out, control));
    // Source rows 0..2 land on screen rows 0 (outside), 1 and 2.
    for (int Y = 0; Y < 10; ++Y)
        for (int X = 1; X < 11; ++X) {
            const uint16_t expected = Y == 1 || Y == 2 ? data.at(Y, X) : 0;
            EXPECT_EQ(out.at(Y, X), expected) << X << "," << Y;
        }
}

TEST(Fract3D, ParallelEqualsTheSinglePass)
{
    struct Doc {
        const char* name;
        engine::TVxWork data;
        uint8_t algorithm;
        int zLimit;
    };
    std::vector<Doc> docs;
    docs.push_back({"noisy 37x23", noisy(37, 23, 1, 40), engine::AlgLevel, 30});
    docs.push_back({"noisy 64x48 colour distance", noisy(64, 48, 2, 200), engine::AlgColorDistance, 50});
    docs.push_back({"gradient 120x90", field(120, 90, distinct), engine::AlgLevel, 65000});
    docs.push_back({"noisy 5x211", noisy(5, 211, 3, 9), engine::AlgPotential, 4});
    const int azimuths[] = {0, 30, 45, 46, 90, 134, 135, 180, 225, 226, 300, 315, 360};
    for (const Doc& d : docs) {
        for (int az : azimuths) {
            for (bool persp : {false, true}) {
                TFract3D ref;
                ref.Init(params(az, az % 90, persp, 2, d.zLimit, az % 7 - 3, az % 2 == 0, 700), d.data.width(),
                         d.data.height(), engine::PixelFormat24);
                engine::TVxWork expected;
                ASSERT_TRUE(ref.Render(d.data, d.algorithm, expected));
                ASSERT_GT(nonZero(expected), 0) << d.name << " az " << az;
                for (int threads : {1, 2, 3}) {
                    SCOPED_TRACE(std::string(d.name) + " az " + std::to_string(az) + " perspective "
                                 + std::to_string(persp) + " threads " + std::to_string(threads));
                    TFract3D par;
                    par.Init(params(az, az % 90, persp, 2, d.zLimit, az % 7 - 3, az % 2 == 0, 700), d.data.width(),
                             d.data.height(), engine::PixelFormat24);
                    engine::TVxWork got;
                    ASSERT_TRUE(par.RenderParallel(d.data, d.algorithm, got, threads));
                    EXPECT_EQ(par.minimum, ref.minimum);
                    EXPECT_EQ(par.maximum, ref.maximum);
                    ASSERT_EQ(got.width(), expected.width());
                    ASSERT_EQ(got.height(), expected.height());
                    int differ = 0;
                    for (int y = 0; y < got.height(); ++y)
                        for (int x = 0; x < got.width(); ++x)
                            differ += got.at(y, x) != expected.at(y, x);
                    EXPECT_EQ(differ, 0);
                }
            }
        }
    }
}

// Large enough for the parallel rendering to go in several blocks of lines.
TEST(Fract3D, ParallelEqualsTheSinglePassOverSeveralBlocks)
{
    const engine::TVxWork data = noisy(2300, 2000, 4, 500);
    TFract3D v;
    v.Init(params(200, 35, true, 30, 400), 2300, 2000, engine::PixelFormat24);
    engine::TVxWork expected, got;
    ASSERT_TRUE(v.Render(data, engine::AlgLevel, expected));
    ASSERT_TRUE(v.RenderParallel(data, engine::AlgLevel, got, 3));
    int differ = 0;
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 2300; ++x)
            differ += got.at(y, x) != expected.at(y, x);
    EXPECT_EQ(differ, 0);
    EXPECT_GT(nonZero(got), 2300 * 2000 / 4);
}

TEST(Fract3D, CompassFrameAndLetters)
{
    TFract3D v;
    v.Init(params(0, 90, false, 30, 250, 0, false), 21, 11, engine::PixelFormat24);  // base at the Z limit
    EXPECT_EQ(v.compassBase(), 250);
    colour::ImageBitmap b;
    b.Width = 21;
    b.Height = 11;
    b.PixelFormat = engine::PixelFormat24;
    b.Pixels.assign(b.stride() * 11, 0);
    const colour::CompassLayout c = colour::DrawCompass(v, b, 0x0000FF);
    // A half turn: N (top centre) goes to the bottom centre, E (right) to the left.
    EXPECT_EQ(c.N, (ScreenPoint{10, 10}));
    EXPECT_EQ(c.S, (ScreenPoint{10, -1}));
    EXPECT_EQ(c.E, (ScreenPoint{-1, 5}));
    EXPECT_EQ(c.W, (ScreenPoint{20, 5}));
    EXPECT_EQ(c.pivot, (ScreenPoint{10, 5}));
    // The centre lines are drawn in red (blue, green, red bytes), the rest stays black.
    auto red = [&](int x, int y) { return b.row(y)[3 * x + 2] == 0xFF && b.row(y)[3 * x] == 0; };
    for (int x = 0; x < 21; ++x)
        EXPECT_TRUE(red(x, 5)) << x;
    for (int y = 0; y < 11; ++y)
        EXPECT_TRUE(red(10, y)) << y;
    // The top edge is shown at the bottom, the left edge at the right; the others fall just outside.
    for (int x = 0; x < 21; ++x)
        EXPECT_TRUE(red(x, 10)) << x;
    for (int y = 0; y < 11; ++y)
        EXPECT_TRUE(red(20, y)) << y;
    EXPECT_FALSE(red(0, 0));
    EXPECT_FALSE(red(5, 3));
}

TEST(Fract3D, MemoryCheckAllowsUpTo86PercentOfTheFreeMemory)
{
    struct Row {
        int w, h;
        uint64_t freeBytes;
        bool shown;
        uint64_t available;
        bool fits;
    } rows[] = {
        {50, 43, 10000, false, 10000, true},     // 4300 needed: 43 %
        {50, 86, 10000, false, 10000, true},     // 8600: exactly 86 %
        {50, 86, 9999, false, 9999, false},
        {43, 200, 10000, false, 10000, false},   // 17200
        {43, 200, 10000, true, 27200, true},     // the present Data3D counts as available: 63 %
        {4000, 3000, 1ull << 36, false, 1ull << 36, true},
        {20000, 20000, 100, true, 800000100, false},  // replacing Data3D alone is not enough room
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.w) + "x" + std::to_string(r.h) + " free " + std::to_string(r.freeBytes));
        const colour::Memory3D m = colour::memoryFor3D(r.w, r.h, r.freeBytes, r.shown);
        EXPECT_EQ(m.needed, uint64_t(r.w) * uint64_t(r.h) * 2);
        EXPECT_EQ(m.available, r.available);
        EXPECT_EQ(m.fits, r.fits);
    }
}

}  // namespace
