#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "EngineTestUtil.h"
#include "engine/Catalogue.h"
#include "document/Fractal.h"

using namespace engine;
using document::TFractal;

TEST(Catalogue, SeparatorPicksTheEntryAbove)
{
    const struct { int picked, expected; } cases[] = {{2, 1}, {5, 4}, {8, 7}, {10, 9}, {0, 0}, {13, 13}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picked);
        EXPECT_EQ(int(typeAboveSeparator(TypeId(c.picked))), c.expected);
        EXPECT_TRUE(isValidType(int(typeAboveSeparator(TypeId(c.picked)))));
    }
    EXPECT_EQ(typeName(TypeId(2)), std::string(30, '-'));
}

// Every type's default view, as a new document shows it (scaled down to 64 x 48), holds pixels that
// escape and is not one colour; the default region lies within the type's coordinate limits.
// Rows with a reason of their own: the Mandelbrot view is centred in the main cardioid; the
// Mandelbrot fn(Z)C orbits start a little off 0 by default, since fn(0) x C = 0 would hold every
// orbit at 0 (a picture all inside). The exact default values show in `vorex-cli info` and are
// pinned by the golden outputs test (tests/golden).
TEST(Catalogue, EveryTypeAtItsDefaultsShowsAPicture)
{
    for (int type = 0; type < TypeCount; ++type) {
        if (!isValidType(type))
            continue;
        SCOPED_TRACE(type);
        const TypeDefaults& d = typeDefaults(TypeId(type));
        EXPECT_GE(d.CentreX, d.Xmin);
        EXPECT_LE(d.CentreX, d.Xmax);
        EXPECT_GE(d.CentreY, d.Ymin);
        EXPECT_LE(d.CentreY, d.Ymax);
        TFractal f;
        enginetest::configure(f, {.type = type});
        ASSERT_EQ(enginetest::computeAll(f), ComputeEnd::Completed);
        const std::vector<uint16_t> v = enginetest::values(f);
        EXPECT_NE(std::count(v.begin(), v.end(), Inside), std::ptrdiff_t(v.size())) << "no pixel escapes";
        EXPECT_NE(std::count(v.begin(), v.end(), v.front()), std::ptrdiff_t(v.size())) << "one value only";
    }

    TFractal mandelbrot;
    enginetest::configure(mandelbrot, {.type = 0});
    enginetest::computeAll(mandelbrot);
    EXPECT_EQ(mandelbrot.Data.at(24, 32), Inside);  // (-0.5, 0) and around it
    EXPECT_NE(mandelbrot.Data.at(0, 0), Inside);

    TFractal fn, fnFromZero;
    enginetest::configure(fn, {.type = 6});
    enginetest::configure(fnFromZero, {.type = 6});
    fnFromZero.Params.PertZr = fnFromZero.Params.PertZi = 0;
    enginetest::computeAll(fn);
    enginetest::computeAll(fnFromZero);
    const std::vector<uint16_t> fromZero = enginetest::values(fnFromZero);
    EXPECT_EQ(std::count(fromZero.begin(), fromZero.end(), Inside), std::ptrdiff_t(fromZero.size()));
    EXPECT_NE(enginetest::values(fn), fromZero);
}

// What the variables dialog offers each type draws something of its own: every algorithm up to the
// type's highest gives other values than Level, and every bail-out test up to its highest other
// values than Mod (an entry that silently drew the same picture would be a dead choice). The entries
// past the highest fall back to the Level kernel (KernelCatalogueTest).
TEST(Catalogue, EveryOfferedAlgorithmAndBailoutDrawsItsOwnPicture)
{
    for (int type = 0; type < TypeCount; ++type) {
        if (!isValidType(type))
            continue;
        const TypeDefaults& d = typeDefaults(TypeId(type));
        TFractal level;
        enginetest::configure(level, {.type = type});
        enginetest::computeAll(level);
        for (int alg = 1; alg <= d.MaxAlgorithm; ++alg) {
            SCOPED_TRACE(testing::Message() << "type " << type << " algorithm " << alg);
            TFractal f;
            enginetest::configure(f, {.type = type, .algorithm = alg});
            enginetest::computeAll(f);
            EXPECT_NE(enginetest::values(f), enginetest::values(level));
        }
        for (int bail = 1; bail <= d.MaxBailout; ++bail) {
            SCOPED_TRACE(testing::Message() << "type " << type << " bail-out " << bail);
            TFractal f;
            enginetest::configure(f, {.type = type, .bailout = bail});
            enginetest::computeAll(f);
            EXPECT_NE(enginetest::values(f), enginetest::values(level));
        }
    }
}

// A new document takes the escape level of the algorithm it is made with; the Binary picture of the
// Mandelbrot and Julia types escapes farther out than their Level picture.
TEST(Catalogue, NewDocumentTakesTheEscapeLevelOfItsAlgorithm)
{
    for (int type = 0; type < TypeCount; ++type) {
        if (!isValidType(type))
            continue;
        for (int alg = 0; alg <= typeDefaults(TypeId(type)).MaxAlgorithm; ++alg) {
            SCOPED_TRACE(testing::Message() << "type " << type << " algorithm " << alg);
            TFractal f;
            f.Params.Algorithm = uint8_t(alg);
            f.Params.EscapeLevelSq = 1;
            f.ApplyTypeDefaults(TypeId(type));
            EXPECT_EQ(f.Params.EscapeLevelSq, typeDefaults(TypeId(type)).LevelSq[size_t(alg)]);
            EXPECT_GE(f.Params.EscapeLevelSq, 4);  // at least |z| > 2
        }
    }
    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        EXPECT_GT(typeDefaults(TypeId(type)).LevelSq[AlgBinary], typeDefaults(TypeId(type)).LevelSq[AlgLevel]);
    }
}

TEST(Fractal, CornersFollowTheInvariant)
{
    TFractal f;
    f.Params.Width = 321;  // odd: the centre falls between two columns
    f.Params.Height = 200;
    f.Params.CentreX = -0.5;
    f.Params.CentreY = 0.25;
    f.Params.Step = 0.01;
    f.UpdateCorners();
    EXPECT_DOUBLE_EQ(f.LeftX, -0.5 - 160.5 * 0.01);
    EXPECT_DOUBLE_EQ(f.TopY, 0.25 + 100 * 0.01);
    f.CentreOnPixel(10, 20);
    EXPECT_DOUBLE_EQ(f.Params.CentreX, -0.5 - 160.5 * 0.01 + 10 * 0.01);
    EXPECT_DOUBLE_EQ(f.LeftX, f.Params.CentreX - 160.5 * 0.01);
}

namespace {

// Where a picture lies in the plane, and the plane point under a pixel's top-left corner: x grows to
// the right from LeftX, y downwards from TopY.
struct View {
    double leftX = 0, topY = 0, step = 0;
};
View viewOf(const TFractal& f) { return {f.LeftX, f.TopY, f.Params.Step}; }
double planeX(const View& v, double column) { return v.leftX + column * v.step; }
double planeY(const View& v, double row) { return v.topY - row * v.step; }

}  // namespace

// A zoom box becomes the picture: the plane point at its top-left corner is the new picture's top-left
// corner, its width fills the picture's width, its middle is the new centre. Boxes of the picture's
// shape (4:3) with even sides, so that the middle falls on a pixel; corners given in any order.
TEST(Fractal, ZoomBoxBecomesThePicture)
{
    const struct { const char* what; PixelRect box; } cases[] = {
        {"half, centred", {100, 75, 300, 225}},
        {"half, corners swapped", {300, 225, 100, 75}},
        {"a fifth, top left", {0, 0, 80, 60}},
        {"a tenth, bottom right, dragged up-left", {400, 300, 360, 270}},
        {"the whole picture", {0, 0, 400, 300}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TFractal f;
        f.Params.Width = 400;
        f.Params.Height = 300;
        f.Params.CentreX = -0.75;
        f.Params.CentreY = 0.125;
        f.UpdateCorners();
        const View before = viewOf(f);
        const int left = std::min(c.box.Left, c.box.Right), right = std::max(c.box.Left, c.box.Right);
        const int top = std::min(c.box.Top, c.box.Bottom), bottom = std::max(c.box.Top, c.box.Bottom);
        f.ZoomRect = c.box;
        EXPECT_TRUE(f.ZoomToRect());
        const double tolerance = 1e-12;
        const View after = viewOf(f);
        EXPECT_NEAR(planeX(after, 0), planeX(before, left), tolerance);
        EXPECT_NEAR(planeY(after, 0), planeY(before, top), tolerance);
        EXPECT_NEAR(planeX(after, 400), planeX(before, right), tolerance);
        EXPECT_NEAR(planeY(after, 300), planeY(before, bottom), tolerance);
        EXPECT_NEAR(f.Params.CentreX, planeX(before, (left + right) / 2), tolerance);
        EXPECT_NEAR(f.Params.CentreY, planeY(before, (top + bottom) / 2), tolerance);
        EXPECT_NEAR(after.step * 400, before.step * (right - left), tolerance);
    }
}

// The picture computed after a zoom shows the box's part of the former picture, magnified: every
// fourth pixel of a box a quarter as wide lands on the plane point of a former pixel. A few pixels
// may differ where the rounding of the corners moves a point across an iteration boundary.
TEST(Fractal, ZoomedPictureMagnifiesTheBox)
{
    TFractal f;
    enginetest::configure(f, {.type = 0, .width = 160, .height = 120, .maxIter = 200});
    f.Params.CentreX = -0.75;
    f.Params.CentreY = 0.125;
    f.Params.Step = 0.01;
    f.UpdateCorners();
    enginetest::computeAll(f);
    const TVxWork before = f.Data;
    f.ZoomRect = {40, 30, 80, 60};
    ASSERT_TRUE(f.ZoomToRect());
    enginetest::computeAll(f);
    int same = 0, total = 0;
    for (int r = 0; r < 30; ++r)
        for (int c = 0; c < 40; ++c) {
            same += f.Data.at(4 * r, 4 * c) == before.at(30 + r, 40 + c);
            ++total;
        }
    EXPECT_GE(same, total * 97 / 100);
    int changed = 0;  // and the picture is not the former one
    for (int r = 0; r < 120; ++r)
        for (int c = 0; c < 160; ++c)
            changed += f.Data.at(r, c) != before.at(r, c);
    EXPECT_GT(changed, 160 * 120 / 4);
}

// Zooming in again and again ends at the smallest step: the step never goes below it, the zoom
// that would have passed it says so and is held there, and the picture stays centred in the box.
// A box of no width is held at the smallest step as well.
TEST(Fractal, ZoomStopsAtTheSmallestStep)
{
    TFractal f;
    f.Params.Width = 400;
    f.Params.Height = 300;
    f.UpdateCorners();
    int zooms = 0;
    bool ok = true;
    while (ok && zooms < 100) {
        const View before = viewOf(f);
        f.ZoomRect = {180, 135, 220, 165};  // a tenth of the picture, around its middle
        ok = f.ZoomToRect();
        ++zooms;
        ASSERT_GE(f.Params.Step, MinStepAll);
        EXPECT_GE(f.Params.CentreX, planeX(before, 180));
        EXPECT_LE(f.Params.CentreX, planeX(before, 220));
        EXPECT_LE(f.Params.CentreY, planeY(before, 135));
        EXPECT_GE(f.Params.CentreY, planeY(before, 165));
        // Refused only when a tenth of the step would be below the smallest one.
        EXPECT_EQ(ok, before.step / 10 >= MinStepAll);
        if (ok) {
            EXPECT_LT(f.Params.Step, before.step);
        }
    }
    EXPECT_FALSE(ok);
    EXPECT_GE(zooms, 13);  // from 0.01 to 1e-15 by tenths
    EXPECT_EQ(f.Params.Step, MinStepAll);

    f.Params.Step = 0.01;
    f.UpdateCorners();
    f.ZoomRect = {50, 60, 50, 90};
    EXPECT_FALSE(f.ZoomToRect());
    EXPECT_EQ(f.Params.Step, MinStepAll);
}

TEST(Fractal, ImageParamsChangedIgnoresWhatTheTypeDoesNotUse)
{
    TFractal f;
    f.CommitImageParams();
    EXPECT_FALSE(f.ImageParamsChanged());
    f.Params.ParamCr = 0.3;  // Julia C with the Mandelbrot type selected
    EXPECT_FALSE(f.ImageParamsChanged());
    f.Params.FunctionIndex = 2;
    f.Params.NewtonP = 5;
    f.Params.Delta = 99;  // the image's algorithm is Level
    EXPECT_FALSE(f.ImageParamsChanged());
    f.Params.FractalType = TypeId(1);
    EXPECT_TRUE(f.ImageParamsChanged());
    f.CommitImageParams();
    f.Params.ParamCi = 0.7;
    EXPECT_TRUE(f.ImageParamsChanged());
    f.RestoreImageParams();  // ParamC stays as edited
    EXPECT_TRUE(f.ImageParamsChanged());
    EXPECT_EQ(f.Params.ParamCi, 0.7);
}
