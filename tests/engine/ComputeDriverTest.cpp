// The compute driver: state before and after, stop and resume, touch-up.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "document/Computation.h"
#include "EngineTestUtil.h"

using namespace engine;
using document::TFractal;
using enginetest::Scene;

namespace {

constexpr uint16_t Sentinel = 12345;  // "not computed"; its low byte 0x39 shows in an 8-bit bitmap

// Records the rows reported ready; an optional action runs on each report.
struct RowLog : ComputeObserver {
    std::vector<int> rows;
    double lastFraction = -1;
    std::function<void(int)> onRow;
    void rowsReady(int first, int last) override
    {
        for (int r = first; r <= last; ++r)
            rows.push_back(r);
        if (onRow)
            onRow(last);
    }
    void progressChanged(double fraction) override { lastFraction = fraction; }
};

// Requests a stop while the kernel of pixel number `at` (in computing order) runs: the stop a user
// gives in the middle of a row. Mandelbrot Z^2+C calls beginOrbit once per pixel.
struct StopAtPixel : OrbitObserver {
    TFractal* f;
    long at, count = 0;
    StopAtPixel(TFractal* fr, long pixel) : f(fr), at(pixel) {}
    void beginOrbit() override
    {
        if (count++ == at)
            f->Run.requestStop();
    }
};

Scene tall()
{
    Scene s;
    s.width = 48;
    s.height = 80;
    s.maxIter = 100;
    return s;
}

std::vector<uint16_t> uninterrupted(const Scene& s)
{
    TFractal f;
    enginetest::configure(f, s);
    EXPECT_EQ(enginetest::computeAll(f), ComputeEnd::Completed);
    return enginetest::values(f);
}

// Every bitmap row must be the linear colouring of its Data row (inside -> biomorph index 0).
void expectColoured(const TFractal& f, int row)
{
    for (int c = 0; c < f.Data.width(); ++c) {
        const uint16_t v = f.Data.at(row, c);
        ASSERT_EQ(f.Bitmap.row(row)[c], v == Inside ? 0 : (v & 0xFF)) << "row " << row << " col " << c;
    }
}

}  // namespace

TEST(ComputeDriver, FullComputationSetsTheStateAndColoursEveryRow)
{
    TFractal f;
    enginetest::configure(f, tall());
    f.Data.fill(Sentinel);
    f.Params.MaxIter = 300;
    f.ResumeLine = 0;
    f.UniformIter = false;
    f.Modified = false;
    RowLog log;
    EXPECT_EQ(document::ComputeCommand(f, false, &log), ComputeEnd::Completed);
    EXPECT_TRUE(f.UniformIter);
    EXPECT_EQ(f.RetoucheIter, 300);
    EXPECT_EQ(f.BaseMaxIter, 300);
    EXPECT_EQ(f.ImageParams, f.Params);
    EXPECT_TRUE(f.Modified);
    EXPECT_TRUE(f.Run.idle());
    EXPECT_FALSE(f.Run.running());
    EXPECT_EQ(f.ResumeLine, 0);
    ASSERT_EQ(log.rows.size(), 80u);
    for (int r = 0; r < 80; ++r) {
        EXPECT_EQ(log.rows[size_t(r)], r);
        expectColoured(f, r);
    }
    EXPECT_DOUBLE_EQ(log.lastFraction, 1.0);
    for (uint16_t v : enginetest::values(f))
        ASSERT_NE(v, Sentinel);
}

TEST(ComputeDriver, StopSeenAtTheStartOfARow)
{
    const std::vector<uint16_t> expected = uninterrupted(tall());
    TFractal f;
    enginetest::configure(f, tall());
    f.Data.fill(Sentinel);
    RowLog log;
    log.onRow = [&f](int r) {
        if (r == 56)
            f.Run.requestStop();
    };
    EXPECT_EQ(document::ComputeCommand(f, true, &log), ComputeEnd::Stopped);
    EXPECT_EQ(f.ResumeLine, 57);
    EXPECT_TRUE(f.Run.idle());
    EXPECT_FALSE(f.Run.running());
    EXPECT_EQ(log.rows.back(), 56);
    for (int c = 0; c < 48; ++c) {
        EXPECT_NE(f.Data.at(56, c), Sentinel);
        EXPECT_EQ(f.Data.at(57, c), Sentinel);
    }

    // "Compute" resumes at row 57 and completes the image.
    RowLog resumed;
    EXPECT_EQ(document::ComputeCommand(f, false, &resumed), ComputeEnd::Completed);
    EXPECT_EQ(resumed.rows.front(), 57);
    EXPECT_EQ(resumed.rows.size(), 80u - 57u);
    EXPECT_EQ(f.ResumeLine, 0);
    EXPECT_EQ(enginetest::values(f), expected);
}

TEST(ComputeDriver, StopInTheMiddleOfRow57)
{
    const std::vector<uint16_t> expected = uninterrupted(tall());
    TFractal f;
    enginetest::configure(f, tall());
    f.Data.fill(Sentinel);
    StopAtPixel stop(&f, 57 * 48 + 20);
    f.State.Orbit = &stop;
    RowLog log;
    EXPECT_EQ(document::ComputeCommand(f, true, &log), ComputeEnd::Stopped);
    f.State.Orbit = nullptr;

    // The kernel call in progress (column 20) finishes; the rest of row 57 keeps its old values.
    for (int c = 0; c <= 20; ++c)
        EXPECT_EQ(f.Data.at(57, c), expected[size_t(57 * 48 + c)]) << c;
    for (int c = 21; c < 48; ++c)
        EXPECT_EQ(f.Data.at(57, c), Sentinel) << c;
    EXPECT_EQ(f.Data.at(58, 0), Sentinel);
    // Row 57 is still coloured, with its mix of new and old values, and reported.
    EXPECT_EQ(log.rows.back(), 57);
    expectColoured(f, 57);
    EXPECT_EQ(f.ResumeLine, 57);

    EXPECT_EQ(document::ComputeCommand(f, false, nullptr), ComputeEnd::Completed);
    EXPECT_EQ(enginetest::values(f), expected);
}

TEST(ComputeDriver, ResumeLineAfterStops)
{
    struct Case {
        const char* what;
        long stopPixel;  // -1: a stop already requested when Compute starts
        int rowFirst;
        int expectedResume;
    } cases[] = {
        {"cut short in the last row", 79 * 48 + 5, 0, 79},
        {"cut short in the first row", 3, 0, 0},
        {"stopped before the first row of a resumed run", -1, 30, 30},
        {"stop while the last pixel of row 10 runs: row 10 is complete", 10 * 48 + 47, 0, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFractal f;
        enginetest::configure(f, tall());
        f.ResumeLine = 42;
        StopAtPixel stop(&f, c.stopPixel);
        f.State.Orbit = &stop;
        if (c.stopPixel >= 0)
            f.Run.start();
        else
            f.Run.requestStop();
        EXPECT_EQ(document::Compute(f, ComputeKind::Full, {0, c.rowFirst, 47, 79}, nullptr), ComputeEnd::Stopped);
        EXPECT_EQ(f.ResumeLine, c.expectedResume);
        EXPECT_GE(f.ResumeLine, 0);
    }
}

TEST(ComputeDriver, ComputeFromStartAfterAStopBeginsAtRowZero)
{
    TFractal f;
    enginetest::configure(f, tall());
    RowLog log;
    log.onRow = [&f](int r) {
        if (r == 20)
            f.Run.requestStop();
    };
    document::ComputeCommand(f, true, &log);
    ASSERT_EQ(f.ResumeLine, 21);
    RowLog again;
    EXPECT_EQ(document::ComputeCommand(f, true, &again), ComputeEnd::Completed);
    EXPECT_EQ(again.rows.front(), 0);
    EXPECT_EQ(again.rows.size(), 80u);
}

TEST(ComputeDriver, ResumeLineOutsideTheImageStartsFromTheTop)
{
    TFractal f;
    enginetest::configure(f, tall());
    f.ResumeLine = 500;  // e.g. left from a taller image
    RowLog log;
    EXPECT_EQ(document::ComputeCommand(f, false, &log), ComputeEnd::Completed);
    EXPECT_EQ(log.rows.size(), 80u);
}

TEST(ComputeDriver, NoKernelComputesNothing)
{
    TFractal f;
    enginetest::configure(f, tall());
    f.Data.fill(Sentinel);
    f.ResumeLine = 5;
    f.Params.FractalType = TypeId(2);  // a separator row of the type list
    EXPECT_EQ(document::ComputeCommand(f, false, nullptr), ComputeEnd::NoKernel);
    EXPECT_EQ(f.Kernel, nullptr);
    EXPECT_TRUE(f.Run.idle());
    EXPECT_FALSE(f.Run.running());
    EXPECT_EQ(f.ResumeLine, 5);
    for (uint16_t v : enginetest::values(f))
        ASSERT_EQ(v, Sentinel);
}

TEST(ComputeDriver, DistanceWithShortOrbitArraysGrowsThem)
{
    Scene s = tall();
    s.algorithm = AlgDistance;
    const std::vector<uint16_t> expected = uninterrupted(s);
    TFractal f;
    enginetest::configure(f, s);
    f.XOrbit.assign(10, 0.0);  // shorter than MaxIter + 1
    f.YOrbit.clear();
    EXPECT_EQ(enginetest::computeAll(f), ComputeEnd::Completed);
    EXPECT_GE(f.XOrbit.size(), 101u);
    EXPECT_GE(f.YOrbit.size(), 101u);
    EXPECT_EQ(enginetest::values(f), expected);
}

// --- touch-up ---

namespace {

struct TouchUpCase {
    const char* what;
    engine::PixelRect rect;  // as the user drew it
    int left, top, right, bottom;  // the pixels that must change
};

}  // namespace

TEST(ComputeDriver, TouchUpRecomputesOnlyItsRectangle)
{
    const TouchUpCase cases[] = {
        {"drawn top-left to bottom-right", {10, 25, 40, 50}, 10, 25, 40, 50},
        {"drawn from the other corners", {40, 50, 10, 25}, 10, 25, 40, 50},
        {"reaching outside the image", {-20, 38, 1000, 1000}, 0, 38, 47, 79},
    };
    Scene high = tall();
    high.maxIter = 400;
    const std::vector<uint16_t> full400 = uninterrupted(high);
    for (const TouchUpCase& c : cases) {
        SCOPED_TRACE(c.what);
        TFractal f;
        Scene s = tall();
        s.maxIter = 20;  // a low limit, so that the touch-up visibly changes pixels
        enginetest::configure(f, s);
        enginetest::computeAll(f);
        const std::vector<uint16_t> before = enginetest::values(f);
        f.ResumeLine = 7;
        f.RetoucheIter = 400;
        f.ZoomRect = c.rect;
        const RetoucheResult result = document::Retouche(f, nullptr);
        EXPECT_TRUE(result.ok);
        EXPECT_EQ(result.end, ComputeEnd::Completed);
        EXPECT_EQ(f.Params.MaxIter, 400);
        EXPECT_EQ(f.ImageParams.MaxIter, 400);
        EXPECT_EQ(f.BaseMaxIter, 20);
        EXPECT_FALSE(f.UniformIter);
        EXPECT_FALSE(f.Retouching);
        EXPECT_EQ(f.ResumeLine, 7);
        int changed = 0;
        for (int r = 0; r < 80; ++r) {
            for (int col = 0; col < 48; ++col) {
                const size_t i = size_t(r * 48 + col);
                const bool in = col >= c.left && col <= c.right && r >= c.top && r <= c.bottom;
                ASSERT_EQ(f.Data.at(r, col), in ? full400[i] : before[i]) << "pixel " << col << "," << r;
                changed += f.Data.at(r, col) != before[i];
            }
        }
        EXPECT_GT(changed, 0);
    }
}

TEST(ComputeDriver, TouchUpBelowMaxIterLowersItWithoutReallocating)
{
    Scene s = tall();
    s.algorithm = AlgDistance;
    s.maxIter = 300;
    TFractal f;
    enginetest::configure(f, s);
    enginetest::computeAll(f);
    const double* orbit = f.XOrbit.data();
    const uint16_t* data = f.Data.row(0);
    f.RetoucheIter = 100;
    f.ZoomRect = {0, 0, 5, 5};
    EXPECT_TRUE(document::Retouche(f, nullptr).ok);
    EXPECT_EQ(f.Params.MaxIter, 100);
    EXPECT_EQ(f.ImageParams.MaxIter, 100);
    EXPECT_EQ(f.XOrbit.data(), orbit);
    EXPECT_EQ(f.XOrbit.size(), 301u);
    EXPECT_EQ(f.Data.row(0), data);
}

TEST(ComputeDriver, TouchUpAboveMaxIterGrowsTheOrbitArrays)
{
    Scene s = tall();
    s.algorithm = AlgColorDistance;
    s.maxIter = 50;
    Scene high = s;
    high.maxIter = 600;
    const std::vector<uint16_t> full600 = uninterrupted(high);
    TFractal f;
    enginetest::configure(f, s);
    enginetest::computeAll(f);
    f.RetoucheIter = 600;
    f.ZoomRect = {0, 0, 47, 79};
    EXPECT_TRUE(document::Retouche(f, nullptr).ok);
    EXPECT_EQ(f.XOrbit.size(), 601u);
    EXPECT_EQ(f.YOrbit.size(), 601u);
    EXPECT_EQ(enginetest::values(f), full600);
}

TEST(ComputeDriver, TouchUpOfA24BitImageGrowsTheColourTables)
{
    TFractal f;
    Scene s = tall();
    s.maxIter = 50;
    enginetest::configure(f, s);
    f.PixelFormat = PixelFormat24;
    f.Bitmap.PixelFormat = PixelFormat24;
    f.Bitmap.Pixels.assign(f.Bitmap.stride() * 80, 0);
    f.TableR.assign(51, 0);
    f.TableG.assign(51, 0);
    f.TableB.assign(51, 0);
    enginetest::computeAll(f);
    f.RetoucheIter = 700;
    f.ZoomRect = {0, 0, 10, 10};
    EXPECT_TRUE(document::Retouche(f, nullptr).ok);
    EXPECT_EQ(f.TableR.size(), 701u);
    EXPECT_EQ(f.TableG.size(), 701u);
    EXPECT_EQ(f.TableB.size(), 701u);
    EXPECT_EQ(f.ColorTable24.records[colour::ColorTable24::EndRecord].position, 700u);
    EXPECT_EQ(f.ColorTable24.records[colour::ColorTable24::LeadOutRecord].position, 700u);
    EXPECT_EQ(f.Params.MaxIter, 700);
}

TEST(ComputeDriver, StoppedTouchUpLeavesResumeLine)
{
    TFractal f;
    enginetest::configure(f, tall());
    enginetest::computeAll(f);
    f.ResumeLine = 33;
    f.RetoucheIter = 200;
    f.ZoomRect = {0, 10, 47, 60};
    RowLog log;
    log.onRow = [&f](int) { f.Run.requestStop(); };
    const RetoucheResult result = document::Retouche(f, &log);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.end, ComputeEnd::Stopped);
    EXPECT_EQ(log.rows, std::vector<int>{10});
    EXPECT_EQ(f.ResumeLine, 33);
    EXPECT_FALSE(f.Retouching);
    EXPECT_FALSE(f.UniformIter);
    EXPECT_TRUE(f.Run.idle());
}
