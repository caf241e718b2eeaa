// Edge cases of the single kernels, each called the way the driver calls it after SelectKernel.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/ElementaryFunctions.h"
#include "EngineTestUtil.h"
#include "ReferenceKernels.h"

using namespace engine;
using document::TFractal;
using enginetest::Scene;

namespace {

// Configures a 4 x 4 fractal, selects its kernel and returns the value of the point (cr, ci).
struct Single {
    TFractal f;
    explicit Single(const Scene& s)
    {
        Scene small = s;
        small.width = small.height = 4;
        enginetest::configure(f, small);
    }
    Single& pert(double r, double i)
    {
        f.Params.PertZr = r;
        f.Params.PertZi = i;
        return *this;
    }
    Single& param(double r, double i)
    {
        f.Params.ParamCr = r;
        f.Params.ParamCi = i;
        return *this;
    }
    uint16_t at(double cr, double ci)
    {
        SelectKernel(f);
        EXPECT_NE(f.Kernel, nullptr);
        if (!f.Kernel)
            return 0;
        return f.Kernel(f.Inputs, f.State, cr, ci);
    }
};

Scene level(int type, int maxIter, int levelSq = 4, int bailout = 0)
{
    Scene s;
    s.type = type;
    s.maxIter = maxIter;
    s.levelSq = levelSq;
    s.bailout = bailout;
    return s;
}

}  // namespace

TEST(KernelEdge, OriginIsInsideAndTwoPlusTwoIEscapesAtOnce)
{
    // MaxIter 20, Mandelbrot Z^2+C, from the description of the escape-time kernels.
    for (int formula = 0; formula < FormulaCount; ++formula) {
        SCOPED_TRACE(formula);
        Scene s = level(0, 20);
        s.formula = formula;
        Single k(s);
        EXPECT_EQ(k.at(0, 0), Inside);
        EXPECT_EQ(k.at(2, 2), 1);
    }
}

TEST(KernelEdge, TheMaxIterthIterateFailingIsInside)
{
    // For each point: its escape count n with a large limit; with MaxIter = n the same point is inside,
    // with MaxIter = n + 1 it gets n. Run for every formula and for the bail-out tests of Z^2+C.
    struct Case {
        int formula, bailout;
        double cr, ci;
    } cases[] = {
        {FormulaZ2, BailMod, 0.3, 0.0},   {FormulaZ2, BailMod, -0.75, 0.1}, {FormulaZ2, BailSqrZr, 0.26, 0.0},
        {FormulaZ2, BailOr, -1.8, 0.05},  {FormulaZ3, BailMod, 0.4, 0.5},   {FormulaZ4, BailMod, 0.5, 0.3},
        {FormulaZ8, BailMod, 0.6, 0.2},   {FormulaZ2C2, BailMod, 0.6, 0.4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "formula " << c.formula << " from " << c.cr << "," << c.ci);
        Scene s = level(0, 60000, 4, c.bailout);
        s.formula = c.formula;
        // Walk outwards along the ray until the point escapes after a few iterations.
        double cr = c.cr, ci = c.ci;
        uint16_t n = Single(s).at(cr, ci);
        for (int i = 0; i < 200 && (n == Inside || n < 4); ++i) {
            cr *= 1.01;
            ci *= 1.01;
            n = Single(s).at(cr, ci);
        }
        ASSERT_GE(n, 4);
        ASSERT_LT(n, 60000);
        s.maxIter = n;
        EXPECT_EQ(Single(s).at(cr, ci), Inside);
        s.maxIter = n + 1;
        EXPECT_EQ(Single(s).at(cr, ci), n);
        s.maxIter = n - 1;
        EXPECT_EQ(Single(s).at(cr, ci), Inside);
    }
}

TEST(KernelEdge, InverseAtZeroIsOne)
{
    for (int alg : {AlgLevel, AlgDistance, AlgBinary}) {
        SCOPED_TRACE(alg);
        Scene s = level(9, 200);
        s.algorithm = alg;
        EXPECT_EQ(Single(s).at(0, 0), 1);
        EXPECT_EQ(Single(s).at(1e-151, 0), 1);  // |C|^2 = 1e-302, below 5e-300
    }
    // Just above the guard the point is iterated: K is huge and escapes at once.
    EXPECT_EQ(Single(level(9, 200)).at(1e-140, 0), 1);
    // Level+Distance: the Distance part gives 1, which is not 255, so the pixel is inside.
    Scene s = level(9, 200);
    s.algorithm = AlgLevelDistance;
    EXPECT_EQ(Single(s).at(0, 0), Inside);
}

TEST(KernelEdge, EpsilonEscapesOnADiagonalWhateverL)
{
    // C = 0.3 + 0.3i: the first iterate z = C lies on the diagonal; C = 0.2 - 0.2i on the other one.
    for (int L : {4, 400, 65025, 65535}) {
        SCOPED_TRACE(L);
        EXPECT_EQ(Single(level(0, 250, L, BailEpsilon)).at(0.3, 0.3), 1);
        EXPECT_EQ(Single(level(0, 250, L, BailEpsilon)).at(0.2, -0.2), 1);
        // Julia: the first iterate of the pixel 0.5 + 0i with P = 0.1 + 0.25i is 0.35 + 0.25i, off the
        // diagonals; the second is 0.16 + 0.425i, off too. Not an immediate escape.
        EXPECT_NE(Single(level(1, 250, L, BailEpsilon)).param(0.1, 0.25).at(0.5, 0), 1);
    }
    // And and Or escape for L = 65535 too (the Volterra-Lotka default): a value exceeding every L.
    EXPECT_EQ(Single(level(0, 250, 65535, BailOr)).at(300, 0), 1);
    EXPECT_EQ(Single(level(0, 250, 65535, BailAnd)).at(300, 300), 1);
}

TEST(KernelEdge, FnSinRunsToTheFixedRadiusWhateverTheLevel)
{
    // Independent loop: z = sin(z) * C from the perturbation, counting until |z|^2 > 4 and > 100000, with
    // the elementary functions the kernels use.
    const double cr = 1.5, ci = 1.0;
    double zr = 1e-5, zi = 0;
    int n4 = 0, nBig = 0;
    for (int n = 1; n < 250 && nBig == 0; ++n) {
        const double fr = engine::elem::sin(zr) * engine::elem::cosh(zi);
        const double fi = engine::elem::cos(zr) * engine::elem::sinh(zi);
        zr = fr * cr - fi * ci;
        zi = fr * ci + fi * cr;
        const double m = zr * zr + zi * zi;
        if (n4 == 0 && m > 4)
            n4 = n;
        if (m > 100000)
            nBig = n;
    }
    ASSERT_GT(n4, 0);
    ASSERT_GT(nBig, n4);
    Scene s = level(6, 250, 4);  // escape level 2
    s.function = FnSin;
    EXPECT_EQ(Single(s).pert(1e-5, 0).at(cr, ci), nBig);
    // exp compares with L instead.
    s.function = FnExp;
    const uint16_t expL4 = Single(s).pert(1e-5, 0).at(cr, ci);
    s.levelSq = 50;
    EXPECT_LE(expL4, Single(s).pert(1e-5, 0).at(cr, ci));
}

TEST(KernelEdge, FnSinAndSinhStayAtZeroWithoutPerturbation)
{
    for (int fn : {FnSin, FnSinh}) {
        SCOPED_TRACE(fn);
        TFractal f;
        Scene s = level(6, 250, 50);
        s.function = fn;
        s.width = 16;
        s.height = 12;
        enginetest::configure(f, s);
        f.Params.PertZr = f.Params.PertZi = 0;
        ASSERT_EQ(enginetest::computeAll(f), ComputeEnd::Completed);
        for (uint16_t v : enginetest::values(f))
            ASSERT_EQ(v, Inside);
        // With the type's default perturbation 1e-5 the image is not uniform.
        f.Params.PertZr = 1e-5;
        enginetest::computeAll(f);
        int outside = 0;
        for (uint16_t v : enginetest::values(f))
            outside += v != Inside;
        EXPECT_GT(outside, 0);
    }
}

TEST(KernelEdge, NewtonFromOneStopsAfterOneStep)
{
    for (int p = 3; p <= 10; ++p) {
        for (int measure = 0; measure < 3; ++measure) {
            SCOPED_TRACE(testing::Message() << "p " << p << " measure " << measure);
            Scene s = level(13, 200, 4, measure);
            s.newtonP = p;
            EXPECT_EQ(Single(s).at(1, 0), 1);
        }
    }
    // A point away from the roots takes several steps and converges before the limit.
    Scene s = level(13, 200);
    const uint16_t n = Single(s).at(2, 1);
    EXPECT_GT(n, 3);
    EXPECT_LT(n, 200);
}

TEST(KernelEdge, DistanceWithDeltaFiveHundredMarksMorePixels)
{
    auto insideCount = [](int delta) {
        TFractal f;
        Scene s;
        s.algorithm = AlgDistance;
        s.delta = delta;
        enginetest::configure(f, s);
        enginetest::computeAll(f);
        int count = 0;
        for (uint16_t v : enginetest::values(f)) {
            EXPECT_TRUE(v == 255 || v == Inside) << v;
            count += v == Inside;
        }
        return count;
    };
    const int narrow = insideCount(1);
    const int wide = insideCount(500);
    EXPECT_GT(narrow, 0);
    EXPECT_GT(wide, narrow);
}

TEST(KernelEdge, ColorDistanceInsideNearAndFar)
{
    Scene s = level(0, 250);
    s.algorithm = AlgColorDistance;
    s.delta = 500;  // threshold: one pixel step
    Single k(s);
    k.f.Params.Step = 0.01;
    EXPECT_EQ(k.at(0, 0), Inside);
    EXPECT_EQ(k.at(-0.1, 0.1), Inside);
    // Just beyond the tip of the set: escapes, but far closer than a pixel step.
    EXPECT_EQ(k.at(-2.00001, 0), 0);
    // A far point: the distance in tenths of a step is held at 65534 (6553.4 steps), never 65535.
    EXPECT_EQ(k.at(200, 0), 65534);
    // In between: matches the reference rounding.
    const uint16_t v = k.at(0.5, 0.5);
    EXPECT_EQ(v, reference::colorDistance({0, 0}, {0.5, 0.5}, 250, 0.01, 0.01));
    EXPECT_GT(v, 0);
    EXPECT_LT(v, 65534);
}

TEST(KernelEdge, BinarySigns)
{
    struct Case {
        const char* what;
        double cr, ci;
        int maxIter;
        uint16_t expected;
    } cases[] = {
        // 1 + i: 1+3i, -7+7i, 1-97i escapes with Im < 0.
        {"last iterate below the axis", 1, 1, 250, 255},
        {"last iterate above the axis", 1, -1, 250, 0},
        {"Re z = 0 comes first, even inside", 0, 0, 250, 0},
        {"inside with Re z != 0", -0.1, 0, 250, Inside},
        // i: i, -1+i, -i, -1+i, ... the 20th iterate is -1+i, the 21st is -i.
        {"cycle ending on -1+i", 0, 1, 20, Inside},
        {"cycle ending on -i", 0, 1, 21, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scene s = level(0, c.maxIter, 400);
        s.algorithm = AlgBinary;
        EXPECT_EQ(Single(s).at(c.cr, c.ci), c.expected);
    }
}

TEST(KernelEdge, Potential)
{
    Scene s = level(0, 250);
    s.algorithm = AlgPotential;
    Single k(s);
    k.f.Params.Step = 0.01;
    // Escapes at n = 1 (m = 160000): P = 250 - (log2(160000) / 2) / 0.01 is negative.
    EXPECT_EQ(k.at(400, 0), 0);
    EXPECT_EQ(k.at(0, 0), Inside);
    // A large step: P = 250 - 8.6 / 1000 rounds to 250, value 249 = MaxIter - 1.
    k.f.Params.Step = 1000;
    EXPECT_EQ(k.at(400, 0), 249);
    // Between: P = 250 - (log2 m / 2^n) / Step, rounded, minus 1.
    k.f.Params.Step = 0.05;
    const double cr = 0.5, ci = 0.5;
    double zr = 0, zi = 0, m = 0;
    int n = 0;
    do {
        ASSERT_LT(n, 240) << "the reference point must escape";
        const double xy = zr * zi;
        const double nr = zr * zr - zi * zi + cr;
        zi = xy + xy + ci;
        zr = nr;
        m = zr * zr + zi * zi;
        ++n;
    } while (m <= 100000);
    const long double p = 250.0L - (std::log2((long double)m) / std::ldexp(1.0L, n)) / 0.05L;
    EXPECT_EQ(k.at(cr, ci), uint16_t(std::nearbyint(p) - 1));
}

TEST(KernelEdge, PotentialKeepsTheLastValueWhenTwoToTheNOverflows)
{
    // 0.25 + 2.5e-8 escapes after about 20000 iterations: 2^n does not exist in long double (n > 16383).
    Scene s = level(0, 65000);
    Single lv(s);
    const uint16_t n = lv.at(0.25 + 2.5e-8, 0);
    ASSERT_GT(n, 16384);
    ASSERT_LT(n, 65000);
    s.algorithm = AlgPotential;
    Single k(s);
    k.f.Params.Step = 1000;
    EXPECT_EQ(k.at(400, 0), 64999);  // P = 65000 - tiny: sets the last value
    EXPECT_EQ(k.at(0.25 + 2.5e-8, 0), 64999);
    k.f.State.LastPotential = 100.4L;
    EXPECT_EQ(k.f.Kernel(k.f.Inputs, k.f.State, 0.25 + 2.5e-8, 0), 99);
}

TEST(KernelEdge, MagnetismConvergesAndOtherTypesEscape)
{
    // Magnetism with q = -1 + 0i (its default): z near the fixed point 1 converges quickly (result n,
    // not 65535).
    const uint16_t m = Single(level(11, 200, 4095)).param(-1, 0).at(1.01, 0.01);
    EXPECT_GT(m, 0);
    EXPECT_LT(m, 200);
    // Every other type lets a far point escape at the first iterate.
    for (int type : {12, 14, 15, 16}) {
        SCOPED_TRACE(type);
        EXPECT_EQ(Single(level(type, 200)).at(100, 100), 1);
    }
}
