// Periodicity checking of the Level kernels: when it is active, which iterate ends a pixel, and that it
// never changes an image of the usual views.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "EngineTestUtil.h"

using namespace engine;
using document::TFractal;
using enginetest::Scene;

namespace {

// Records the number of iterates every pixel plotted, in computing order.
struct IterationLog : OrbitObserver {
    std::vector<int> counts;
    void beginOrbit() override { counts.push_back(0); }
    void plotOrbitPoint(int, double, double) override { ++counts.back(); }
};

Scene mandelbrot(bool periodicity, int maxIter = 250)
{
    Scene s;
    s.maxIter = maxIter;
    s.periodicity = periodicity;
    return s;
}

}  // namespace

TEST(Periodicity, OnlyAfterAnInsidePixel)
{
    struct Case {
        const char* what;
        bool flag;
        double prevCr, prevCi;  // the pixel computed before C = 0; NaN: none (first pixel)
        int expectedIterations;
    } cases[] = {
        {"first pixel of a computation", true, std::numeric_limits<double>::quiet_NaN(), 0, 250},
        {"after an inside pixel: 0 equals the first snapshot", true, -0.1, 0, 1},
        {"after an outside pixel", true, 2, 2, 250},
        {"flag off", false, -0.1, 0, 250},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFractal f;
        enginetest::configure(f, mandelbrot(c.flag));
        SelectKernel(f);
        if (!std::isnan(c.prevCr))
            f.Kernel(f.Inputs, f.State, c.prevCr, c.prevCi);
        IterationLog log;
        f.State.Orbit = &log;
        EXPECT_EQ(f.Kernel(f.Inputs, f.State, 0, 0), Inside);
        ASSERT_EQ(log.counts.size(), 1u);
        EXPECT_EQ(log.counts[0], c.expectedIterations);
        EXPECT_TRUE(f.State.PrevInside);
    }
}

TEST(Periodicity, SelectKernelClearsPrevInside)
{
    TFractal f;
    enginetest::configure(f, mandelbrot(true));
    f.State.PrevInside = true;
    SelectKernel(f);
    EXPECT_FALSE(f.State.PrevInside);
}

// The iterations of every pixel of an image with periodicity on, against a reference written from the
// rule: snapshots of |z|^2 at iterations k0, k0 + (k0 + 1), k0 + (k0 + 1) + (k0 + 2), ... (3, 6, 10, 15 ...),
// the first snapshot value being 0; each iterate compared before it may become the snapshot; active
// only when the previous pixel (in computing order, across rows) was inside.
TEST(Periodicity, IterationsOfEveryPixelFollowTheSnapshotRule)
{
    struct Case {
        const char* what;
        int type;
        double cx, cy, step;
    } cases[] = {
        {"Mandelbrot", 0, -0.5, 0, 0.05},
        {"Mandelbrot near the boundary", 0, -0.745, 0.11, 0.0005},
        {"Julia", 1, 0, 0, 0.05},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFractal f;
        Scene s = mandelbrot(true, 500);
        s.type = c.type;
        enginetest::configure(f, s);
        f.Params.CentreX = c.cx;
        f.Params.CentreY = c.cy;
        f.Params.Step = c.step;
        f.Params.ParamCr = -0.123;  // the "rabbit": a Julia set with an interior
        f.Params.ParamCi = 0.745;
        f.UpdateCorners();
        IterationLog log;
        f.State.Orbit = &log;
        enginetest::computeAll(f);
        ASSERT_EQ(log.counts.size(), size_t(64 * 48));

        std::set<int> snapshots;
        for (int at = 3, gap = 3; at <= 500; at += gap, ++gap)
            snapshots.insert(at);
        bool prevInside = false;
        int mismatches = 0, shortened = 0;
        for (int r = 0; r < 48; ++r) {
            for (int col = 0; col < 64; ++col) {
                const double cr = col * c.step + f.LeftX, ci = f.TopY - r * c.step;
                double zr = c.type == 1 ? cr : 0, zi = c.type == 1 ? ci : 0;
                const double ar = c.type == 1 ? -0.123 : cr, ai = c.type == 1 ? 0.745 : ci;
                double saved = 0;
                int n = 0;
                bool inside = false;
                while (true) {
                    const double xy = zr * zi;
                    const double nr = zr * zr - zi * zi + ar;
                    zi = xy + xy + ai;
                    zr = nr;
                    ++n;
                    const double m = zr * zr + zi * zi;
                    if (prevInside && m == saved) {
                        inside = true;
                        break;
                    }
                    if (snapshots.count(n))
                        saved = m;
                    if (n == 500) {
                        inside = true;
                        break;
                    }
                    if (m > 4)
                        break;
                }
                shortened += inside && n < 500;
                const int got = log.counts[size_t(r * 64 + col)];
                if (got != n && ++mismatches <= 3)
                    ADD_FAILURE() << "pixel (" << col << ", " << r << "): " << got << " iterations, expected " << n;
                prevInside = inside;
            }
        }
        EXPECT_EQ(mismatches, 0);
        EXPECT_GT(shortened, 0) << "the view must exercise the check";
    }
}

TEST(Periodicity, ImagesAreTheSameWithAndWithout)
{
    // The check only ends inside runs early: the values must not change for the default views of
    // every type that has it (the snapshot rule finds true cycles there).
    for (int type : {0, 1, 3, 4}) {
        SCOPED_TRACE(type);
        TFractal off, on;
        Scene s;
        s.type = type;
        enginetest::configure(off, s);
        s.periodicity = true;
        enginetest::configure(on, s);
        if (type == 1) {  // the default Julia constant has no interior; take the "rabbit"
            off.Params.ParamCr = on.Params.ParamCr = -0.123;
            off.Params.ParamCi = on.Params.ParamCi = 0.745;
        }
        enginetest::computeAll(off);
        enginetest::computeAll(on);
        const auto a = enginetest::values(off), b = enginetest::values(on);
        EXPECT_EQ(a, b);
        EXPECT_GT(std::count(a.begin(), a.end(), Inside), 0);
    }
}

TEST(Periodicity, SavesIterationsOnTheMainCardioid)
{
    auto total = [](bool periodicity) {
        TFractal f;
        enginetest::configure(f, mandelbrot(periodicity, 2000));
        IterationLog log;
        f.State.Orbit = &log;
        enginetest::computeAll(f);
        long sum = 0;
        for (int n : log.counts)
            sum += n;
        return sum;
    };
    EXPECT_LT(total(true) * 2, total(false));
}
