// The orbit hooks: which kernels plot, and what they report.
#include <gtest/gtest.h>

#include "EngineTestUtil.h"

using namespace engine;
using document::TFractal;
using enginetest::Scene;

TEST(OrbitHooks, KernelsThatPlotAndKernelsThatDoNot)
{
    struct Case {
        const char* what;
        int type, selector, algorithm;
        double cr, ci;  // an escaping point
        bool plots;     // beginOrbit and one plotOrbitPoint per iterate
        bool saved;     // plotSavedOrbit with MaxIter + 1 entries
    } cases[] = {
        {"Mandelbrot Z^2+C", 0, FormulaZ2, AlgLevel, 0.5, 0.5, true, false},
        {"Mandelbrot Z^3+C (extended, no orbit)", 0, FormulaZ3, AlgLevel, 0.6, 0.6, false, false},
        {"Julia", 1, 0, AlgLevel, 0.5, 0.5, true, false},
        {"ZC(1-Z)", 3, 0, AlgLevel, 3, 3, false, false},
        {"fn(Z)C", 6, FnSin, AlgLevel, 3, 3, false, false},
        {"Z(1/C)", 9, 0, AlgLevel, 0.5, 0.5, true, false},
        {"Magnetism", 11, 0, AlgLevel, 30, 30, true, false},
        {"Man-of-war", 12, 0, AlgLevel, 3, 3, true, false},
        {"Newton (no orbit)", 13, 3, AlgLevel, 2, 1, false, false},
        {"Phoenix", 14, 0, AlgLevel, 3, 3, true, false},
        {"Phoenix 2", 15, 0, AlgLevel, 3, 3, true, false},
        {"Spider", 16, 0, AlgLevel, 3, 3, true, false},
        {"Volterra-Lotka", 17, 0, AlgLevel, 300, 300, true, false},
        {"Binary", 0, 0, AlgBinary, 0.5, 0.5, true, false},
        {"Distance", 0, 0, AlgDistance, 0.5, 0.5, false, true},
        {"Color Distance", 1, 0, AlgColorDistance, 0.5, 0.5, false, true},
        {"Potential (no orbit)", 0, 0, AlgPotential, 0.5, 0.5, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFractal f;
        Scene s;
        s.type = c.type;
        s.algorithm = c.algorithm;
        s.formula = c.type == 0 ? c.selector : 0;
        s.function = c.type == 6 ? c.selector : 0;
        s.newtonP = c.type == 13 ? c.selector : 3;
        s.width = s.height = 4;
        s.maxIter = 100;
        enginetest::configure(f, s);
        SelectKernel(f);
        enginetest::OrbitCounter orbit;
        f.State.Orbit = &orbit;
        const uint16_t v = f.Kernel(f.Inputs, f.State, c.cr, c.ci);
        EXPECT_EQ(orbit.begins, c.plots || c.saved ? 1 : 0);
        if (c.plots) {
            ASSERT_NE(v, Inside);
            EXPECT_EQ(orbit.points, c.algorithm == AlgLevel ? v : orbit.lastN);
            EXPECT_EQ(orbit.lastN, orbit.points);
        } else {
            EXPECT_EQ(orbit.points, 0);
        }
        EXPECT_EQ(orbit.savedCount, c.saved ? 101 : -1);
    }
}

TEST(OrbitHooks, NoObserverMeansNoPlotting)
{
    // The same image with and without an observer: plotting never changes a value.
    TFractal a, b;
    Scene s;
    s.algorithm = AlgLevelDistance;
    enginetest::configure(a, s);
    enginetest::configure(b, s);
    enginetest::OrbitCounter orbit;
    b.State.Orbit = &orbit;
    enginetest::computeAll(a);
    enginetest::computeAll(b);
    EXPECT_EQ(enginetest::values(a), enginetest::values(b));
    EXPECT_GE(orbit.begins, 64 * 48);  // Distance part of every pixel, Level part of the far ones
}
