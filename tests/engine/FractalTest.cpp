#include <gtest/gtest.h>

#include "engine/Catalogue.h"
#include "engine/Fractal.h"

using namespace engine;

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

TEST(Catalogue, DefaultsOfSelectedTypes)
{
    EXPECT_EQ(typeDefaults(TypeId(0)).LevelSq[AlgBinary], 400);
    EXPECT_EQ(typeDefaults(TypeId(1)).LevelSq[AlgBinary], 4096);
    EXPECT_EQ(typeDefaults(TypeId(17)).LevelSq[AlgLevel], 65535);
    EXPECT_EQ(typeDefaults(TypeId(13)).MaxBailout, 2);
    EXPECT_EQ(typeDefaults(TypeId(9)).MaxAlgorithm, 3);
    EXPECT_DOUBLE_EQ(typeDefaults(TypeId(6)).PertZr, 1e-5);
    for (int t = 0; t < TypeCount; ++t) {
        SCOPED_TRACE(t);
        const TypeDefaults& d = typeDefaults(TypeId(t));
        if (isSeparator(TypeId(t))) {
            EXPECT_EQ(d.Delta, 20);
            EXPECT_EQ(d.MaxIter, 0);
            continue;
        }
        EXPECT_EQ(d.MinStep, 1e-15);
        EXPECT_EQ(d.ZoomBase, 200);
        EXPECT_GE(d.CentreX, d.Xmin);
        EXPECT_LE(d.CentreX, d.Xmax);
        EXPECT_EQ(d.Pmin, -5);
        EXPECT_EQ(d.Pmax, 5);
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

TEST(Fractal, ZoomToRectFillsTheWidthAndStopsAtTheMinimumStep)
{
    TFractal f;
    f.Params.Width = 400;
    f.Params.Height = 300;
    f.UpdateCorners();
    const double left = f.LeftX, top = f.TopY;
    f.ZoomRect = {300, 250, 100, 50};  // unordered on purpose
    EXPECT_TRUE(f.ZoomToRect());
    EXPECT_DOUBLE_EQ(f.Params.Step, 0.01 / 2);
    EXPECT_DOUBLE_EQ(f.Params.CentreX, 100 * 0.01 + (100 * 0.01 + left));
    EXPECT_DOUBLE_EQ(f.Params.CentreY, (top - 50 * 0.01) - 100 * 0.01);

    f.Params.Step = 2e-15;
    f.ZoomRect = {0, 0, 10, 10};
    EXPECT_FALSE(f.ZoomToRect());
    EXPECT_EQ(f.Params.Step, 1e-15);
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
