// The iteration probe: Level kernel of the type with a limit of 65535, on its own state.
#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "ReferenceKernels.h"
#include "engine/Probe.h"

using namespace engine;
using document::TFractal;
using enginetest::Scene;

namespace {

// A 100 x 100 Mandelbrot image of step 0.01 centred on 0: pixel (50, 50) is C = 0.
void configure(TFractal& f, int algorithm)
{
    Scene s;
    s.algorithm = algorithm;
    s.width = s.height = 100;
    s.maxIter = 250;
    s.levelSq = algorithm == AlgBinary ? 400 : 4;
    enginetest::configure(f, s);
    f.Params.CentreX = 0;
    f.Params.CentreY = 0;
    f.Params.Step = 0.01;
    f.UpdateCorners();
    SelectKernel(f);
}

}  // namespace

TEST(Probe, APointOfTheSetRunsTo65535Iterations)
{
    TFractal f;
    configure(f, AlgLevel);
    f.Periodicity = true;
    SelectKernel(f);
    f.State.PrevInside = true;  // the last pixel computed was inside: the probe must not care
    f.Data.fill(7);
    enginetest::OrbitCounter orbit;
    EXPECT_EQ(ProbePoint(f, 50, 50, &orbit), std::optional<uint16_t>(65535));
    EXPECT_EQ(orbit.points, 65535);
    EXPECT_EQ(f.Inputs.MaxIter, 250);  // the kernel inputs are untouched
    EXPECT_TRUE(f.State.PrevInside);
    for (uint16_t v : enginetest::values(f))
        ASSERT_EQ(v, 7);
}

TEST(Probe, ShowsTheLevelCountWhateverTheAlgorithm)
{
    for (int alg : {AlgLevel, AlgDistance, AlgBinary, AlgColorDistance}) {
        SCOPED_TRACE(alg);
        TFractal f;
        configure(f, alg);
        // Pixel (90, 20): C = 0.4 + 0.3i, escapes; pixel (10, 50): C = -0.4, inside.
        const double L = f.Inputs.L;
        EXPECT_EQ(ProbePoint(f, 90, 20), reference::level({0, 0}, {0.4, 0.3}, 65535, L, 0));
        EXPECT_EQ(ProbePoint(f, 10, 50), std::optional<uint16_t>(65535));
    }
}

TEST(Probe, UsesTheSelectorsOfTheType)
{
    struct Case {
        const char* what;
        int type, formula, function, newtonP;
        bool shows;
    } cases[] = {
        {"Newton p 11 is out of range", 13, 0, 0, 11, false},
        {"Newton p 2 is out of range", 13, 0, 0, 2, false},
        {"Newton p 10", 13, 0, 0, 10, true},
        {"a separator", 5, 0, 0, 3, false},
        {"type 18", 18, 0, 0, 3, false},
        {"Mandelbrot formula 5", 0, 5, 0, 3, false},
        {"Mandelbrot Z^8+C", 0, FormulaZ8, 0, 3, true},
        {"fn(Z)C function 5", 7, 0, 5, 3, false},
        {"fn(Z)C exp", 7, 0, FnExp, 3, true},
        {"Spider", 16, 0, 0, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFractal f;
        configure(f, AlgLevel);
        f.Params.FractalType = TypeId(c.type);
        f.Params.Formula = uint8_t(c.formula);
        f.Params.FunctionIndex = uint8_t(c.function);
        f.Params.NewtonP = c.newtonP;
        EXPECT_EQ(ProbePoint(f, 90, 20).has_value(), c.shows);
    }
}

TEST(Probe, FollowsTheFormula)
{
    // Z^3+C along row 10 (Ci = 0.8) against an independent extended-precision loop.
    TFractal f;
    configure(f, AlgLevel);
    f.Params.Formula = FormulaZ3;
    f.Params.Step = 0.02;
    f.UpdateCorners();
    int escaping = 0;
    for (int col = 0; col < 100; col += 9) {
        SCOPED_TRACE(col);
        const long double cr = f.LeftX + col * 0.02, ci = f.TopY - 10 * 0.02;
        long double zr = 0, zi = 0;
        int n = 0;
        while (n < 65535 && zr * zr + zi * zi <= 4) {
            const long double r = zr * zr * zr - 3 * zr * zi * zi + cr;
            zi = 3 * zr * zr * zi - zi * zi * zi + ci;
            zr = r;
            ++n;
        }
        const std::optional<uint16_t> got = ProbePoint(f, col, 10);
        ASSERT_TRUE(got.has_value());
        if (n >= 65535) {
            EXPECT_EQ(*got, 65535);
        } else {
            ++escaping;
            // The order of the products differs from the kernel's: the escape may move by one.
            EXPECT_NEAR(*got, n, 1);
        }
    }
    EXPECT_GT(escaping, 0);
}
