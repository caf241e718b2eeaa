// Whole images of the z^2 + c kernels compared value for value with the independent rendering in
// ReferenceKernels.h. The views are the default Mandelbrot view, a zoom on the boundary near
// -0.745 + 0.11i, and the Julia set of P = -0.8 + 0.156i; each row also checks that its image is not
// trivial, so that a kernel returning a constant cannot pass.
#include <gtest/gtest.h>

#include <set>

#include "EngineTestUtil.h"
#include "ReferenceKernels.h"

using namespace engine;
using document::TFractal;
using enginetest::Scene;

namespace {

struct View {
    double cx, cy, step;
};
constexpr View wholeSet{-0.5, 0, 0.05};
constexpr View boundary{-0.745, 0.11, 0.0005};
constexpr View julia{0, 0, 0.05};

struct Row {
    const char* name;
    int type, algorithm, bailout, maxIter, levelSq, delta;
    View view;
    double pzr = 0, pzi = 0;  // perturbation
    double pcr = -0.8, pci = 0.156;
};

const Row rows[] = {
    {"Mandelbrot Level Mod", 0, AlgLevel, BailMod, 250, 4, 10, wholeSet},
    {"Mandelbrot Level sqr(Zr), perturbed", 0, AlgLevel, BailSqrZr, 250, 4, 10, wholeSet, 0.1, -0.05},
    {"Mandelbrot Level sqr(Zi)", 0, AlgLevel, BailSqrZi, 250, 9, 10, wholeSet},
    {"Mandelbrot Level Epsilon", 0, AlgLevel, BailEpsilon, 250, 4, 10, wholeSet},
    {"Mandelbrot Level And", 0, AlgLevel, BailAnd, 250, 16, 10, wholeSet},
    {"Mandelbrot Level Or", 0, AlgLevel, BailOr, 250, 16, 10, wholeSet},
    {"Mandelbrot Level on the boundary", 0, AlgLevel, BailMod, 1000, 4, 10, boundary},
    {"Julia Level Mod", 1, AlgLevel, BailMod, 250, 4, 10, julia},
    {"Julia Level Epsilon", 1, AlgLevel, BailEpsilon, 250, 4, 10, julia},
    {"Mandelbrot Distance Delta 10", 0, AlgDistance, BailMod, 250, 4, 10, wholeSet},
    {"Mandelbrot Distance Delta 500", 0, AlgDistance, BailMod, 250, 4, 500, wholeSet},
    {"Mandelbrot Distance on the boundary", 0, AlgDistance, BailMod, 1000, 4, 20, boundary},
    {"Julia Distance", 1, AlgDistance, BailMod, 250, 4, 20, julia},
    {"Mandelbrot Color Distance", 0, AlgColorDistance, BailMod, 250, 4, 10, wholeSet},
    {"Mandelbrot Color Distance on the boundary", 0, AlgColorDistance, BailMod, 1000, 4, 10, boundary},
    {"Julia Color Distance", 1, AlgColorDistance, BailMod, 250, 4, 50, julia},
    {"Mandelbrot Binary", 0, AlgBinary, BailMod, 250, 400, 10, wholeSet},
    {"Mandelbrot Binary Or", 0, AlgBinary, BailOr, 250, 100, 10, wholeSet},
    {"Julia Binary", 1, AlgBinary, BailMod, 250, 4096, 10, julia},
    {"Mandelbrot Level+Distance, perturbed, sqr(Zr)", 0, AlgLevelDistance, BailSqrZr, 250, 4, 10, wholeSet, 0.05, 0},
    {"Julia Level+Distance", 1, AlgLevelDistance, BailMod, 250, 4, 20, julia},
};

uint16_t referenceValue(const Row& row, const TFractal& f, double cr, double ci)
{
    using reference::Point;
    const Point pixel{cr, ci};
    const bool isJulia = row.type == 1;
    const Point z0 = isJulia ? pixel : Point{0, 0};
    const Point a = isJulia ? Point{row.pcr, row.pci} : pixel;
    const Point levelStart = isJulia ? pixel : Point{row.pzr, row.pzi};
    const double L = row.levelSq;
    const double threshold = row.delta / 500.0 * row.view.step;
    switch (row.algorithm) {
    case AlgLevel: return reference::level(levelStart, a, row.maxIter, L, row.bailout);
    case AlgDistance: return reference::distance(z0, a, row.maxIter, threshold);
    case AlgColorDistance: return reference::colorDistance(z0, a, row.maxIter, threshold, row.view.step);
    case AlgBinary: return reference::binary(z0, a, row.maxIter, L, row.bailout);
    case AlgLevelDistance:
        if (reference::distance(z0, a, row.maxIter, threshold) != 255)
            return 65535;
        return reference::level(levelStart, a, row.maxIter, L, row.bailout);
    default: ADD_FAILURE() << "no reference for algorithm " << row.algorithm; return 0;
    }
    (void)f;
}

}  // namespace

TEST(KernelReference, WholeImagesMatchTheIndependentRendering)
{
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TFractal f;
        Scene s;
        s.type = row.type;
        s.algorithm = row.algorithm;
        s.bailout = row.bailout;
        s.maxIter = row.maxIter;
        s.levelSq = row.levelSq;
        s.delta = row.delta;
        enginetest::configure(f, s);
        f.Params.CentreX = row.view.cx;
        f.Params.CentreY = row.view.cy;
        f.Params.Step = row.view.step;
        f.Params.PertZr = row.pzr;
        f.Params.PertZi = row.pzi;
        f.Params.ParamCr = row.pcr;
        f.Params.ParamCi = row.pci;
        f.UpdateCorners();
        ASSERT_EQ(enginetest::computeAll(f), ComputeEnd::Completed);

        int mismatches = 0;
        std::set<uint16_t> distinct;
        for (int r = 0; r < f.Data.height(); ++r) {
            for (int c = 0; c < f.Data.width(); ++c) {
                const double cr = c * row.view.step + f.LeftX;
                const double ci = f.TopY - r * row.view.step;
                const uint16_t expected = referenceValue(row, f, cr, ci);
                distinct.insert(f.Data.at(r, c));
                if (f.Data.at(r, c) != expected && ++mismatches <= 3)
                    ADD_FAILURE() << "pixel (" << c << ", " << r << "): engine " << f.Data.at(r, c)
                                  << ", reference " << expected;
            }
        }
        EXPECT_EQ(mismatches, 0);
        // (Epsilon lets almost every orbit escape near a diagonal: no inside pixel is expected there.)
        if (row.bailout != BailEpsilon) {
            EXPECT_TRUE(distinct.count(Inside)) << "no inside pixel: the view tests nothing";
        }
        EXPECT_GE(distinct.size(), 2u);
        if (row.algorithm == AlgLevel || row.algorithm == AlgColorDistance) {
            EXPECT_GE(distinct.size(), 5u);
        }
        if (row.algorithm == AlgBinary) {
            EXPECT_TRUE(distinct.count(0));
            EXPECT_TRUE(distinct.count(255));
        }
    }
}
