#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/Fractal.h"
#include "storage/PosterMove.h"
#include "storage/PrintLayout.h"
#include "storage/Workspace.h"

using namespace storage;
using engine::TypeId;

namespace {

// A4 on a 600 dpi printer with 5 mm margins: 200 x 287 mm printable.
PrinterMetrics a4()
{
    PrinterMetrics m;
    m.dpiX = m.dpiY = 600;
    m.paperWidthMm = 210;
    m.paperHeightMm = 297;
    m.printableWidthMm = 200;
    m.printableHeightMm = 287;
    m.printableWidthPx = 4724;
    m.printableHeightPx = 6779;
    return m;
}

// A document of that type with its defaults, as computed (the image's parameters committed).
struct Doc {
    document::TFractal f;
    explicit Doc(TypeId type, int width = 640, int height = 480)
    {
        ResetToDefaults(f);
        f.Params.Algorithm = engine::AlgLevel;
        f.ApplyTypeDefaults(type);
        f.Params.FractalType = type;
        f.Params.Width = width;
        f.Params.Height = height;
        f.FileName = "spiral";
        commit();
    }
    void commit()
    {
        f.UpdateCorners();
        f.CommitImageParams();
    }
};

bool anyStartsWith(const std::vector<std::string>& lines, const std::string& prefix)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

std::vector<std::string> texts(const std::vector<SheetLine>& lines)
{
    std::vector<std::string> out;
    for (const SheetLine& l : lines)
        out.push_back(l.text);
    return out;
}

}  // namespace

TEST(PrintLayout, ImageRectangleAndFitRule)
{
    struct Case {
        int width, height, dpi;
        bool centre;
        double widthMm, heightMm;
        bool fits;
        int left, top, rectWidth, rectHeight;
    };
    const Case cases[] = {
        // 1000 pixels at 200 dpi: 127 mm, 3000 device pixels at 600 dpi.
        {1000, 750, 200, true, 127.0, 95.25, true, (4724 - 3000) / 2, (6779 - 2250) / 2, 3000, 2250},
        {1000, 750, 200, false, 127.0, 95.25, true, 0, 0, 3000, 2250},
        // At 72 dpi it is 352.78 mm wide: wider than A4, OK stays disabled.
        {1000, 750, 72, true, 1000 / 72.0 * 25.4, 750 / 72.0 * 25.4, false, 0, 0, 0, 0},
        // Too tall only.
        {500, 2400, 200, true, 63.5, 304.8, false, 0, 0, 0, 0},
        // Rounded to the nearest device pixel: 7 x 600 / 1200 = 3.5 -> 4, 5 x 0.5 = 2.5 -> 3.
        {7, 5, 1200, false, 7 / 1200.0 * 25.4, 5 / 1200.0 * 25.4, true, 0, 0, 4, 3},
        // 150 dpi: 4 device pixels per image pixel.
        {300, 200, 150, true, 50.8, 200 / 150.0 * 25.4, true, (4724 - 1200) / 2, (6779 - 800) / 2, 1200, 800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " at " + std::to_string(c.dpi));
        const ImagePlacement p = placeImage(c.width, c.height, c.dpi, a4(), c.centre);
        EXPECT_NEAR(p.widthMm, c.widthMm, 1e-9);
        EXPECT_NEAR(p.heightMm, c.heightMm, 1e-9);
        EXPECT_EQ(p.fits, c.fits);
        EXPECT_EQ(p.left, c.left);
        EXPECT_EQ(p.top, c.top);
        EXPECT_EQ(p.width, c.rectWidth);
        EXPECT_EQ(p.height, c.rectHeight);
    }
    EXPECT_NEAR(placeImage(1000, 10, 72, a4(), true).widthMm, 352.78, 0.005);
}

TEST(PrintLayout, ChosenResolution)
{
    EXPECT_EQ(chosenPrintResolution(0, false, 999), 72);
    EXPECT_EQ(chosenPrintResolution(1, false, 999), 150);
    EXPECT_EQ(chosenPrintResolution(6, false, 999), 1200);
    EXPECT_EQ(chosenPrintResolution(6, true, 999), 999);
    EXPECT_EQ(chosenPrintResolution(9, false, 999), 200);
    EXPECT_EQ(chosenPrintResolution(3, true, 0), 300);  // an unusable custom value
}

TEST(PrintLayout, CaptionOfAJuliaDocument)
{
    Doc d(TypeId::Julia, 1000, 750);
    d.f.Params.CentreX = -0.743643887037158;
    d.f.Params.CentreY = 0.1318259042053188;
    d.f.Params.Step = 1.5e-9;
    d.f.Params.MaxIter = 1234;
    d.f.Params.ParamCr = -0.4;
    d.f.Params.ParamCi = 0.6000000000000001;
    d.commit();
    EXPECT_EQ(captionLines(d.f, 0),
              (std::vector<std::string>{"spiral (1000 x 750 x 8 bits) Julia / Level",
                                        "CenX: -0.743643887037158  CenY: 0.1318259042053188",
                                        "Step: 1.5E-9  Iteration: 1234",
                                        "JulC: -0.4  JulCi: 0.6000000000000001",
                                        "Fractal calculated with Vorex Version 1.8.6 https://vorex.org"}));
    const std::vector<std::string> french = captionLines(d.f, 1);
    EXPECT_EQ(french[0], "spiral (1000 x 750 x 8 bits) Julia / Niveau");
    EXPECT_EQ(french[2], "Pas: 1.5E-9  Itérations: 1234");
    EXPECT_EQ(french.back(), "Fractale calculée avec Vorex Version 1.8.6 https://vorex.org");
}

TEST(PrintLayout, CaptionLinesDependOnTypeAlgorithmAndView)
{
    struct Case {
        const char* name;
        TypeId type;
        int algorithm;
        double pertZr, pertZi;
        bool view3D;
        bool pertZ, julia, newton, azimuth;
    };
    const Case cases[] = {
        {"Mandelbrot, no perturbation", TypeId::Mandelbrot, engine::AlgLevel, 0, 0, false, false, false, false, false},
        {"Mandelbrot, perturbed", TypeId::Mandelbrot, engine::AlgLevel, 0.25, 0, false, true, false, false, false},
        {"Mandelbrot, perturbed, Binary", TypeId::Mandelbrot, engine::AlgBinary, 0.25, 0, false, false, false, false, false},
        {"Mandelbrot fn, perturbed", TypeId::MandelbrotFn, engine::AlgLevel, 0, -0.5, false, true, false, false, false},
        {"Mandelbrot 1/C, perturbed", TypeId::MandelbrotInverse, engine::AlgLevel, 0.1, 0.1, false, true, false, false, false},
        {"Mandelbrot ZC, perturbed", TypeId::MandelbrotZC, engine::AlgLevel, 0.1, 0.1, false, false, false, false, false},
        {"Julia", TypeId::Julia, engine::AlgLevel, 0, 0, false, false, true, false, false},
        {"Julia ZC", TypeId::JuliaZC, engine::AlgLevel, 0, 0, false, false, true, false, false},
        {"Julia fn", TypeId::JuliaFn, engine::AlgLevel, 0, 0, false, false, true, false, false},
        {"Magnetism", TypeId::Magnetism, engine::AlgLevel, 0, 0, false, false, false, false, false},
        {"Newton", TypeId::Newton, engine::AlgLevel, 0, 0, false, false, false, true, false},
        {"Mandelbrot in 3D", TypeId::Mandelbrot, engine::AlgLevel, 0, 0, true, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Doc d(c.type);
        d.f.Params.Algorithm = uint8_t(c.algorithm);
        d.f.Params.PertZr = c.pertZr;
        d.f.Params.PertZi = c.pertZi;
        d.f.Params.NewtonP = 5;
        d.f.View3D = c.view3D;
        d.f.view3D().Azimuth = 210;
        d.f.view3D().Elevation = 45;
        d.commit();
        const std::vector<std::string> lines = captionLines(d.f, 0);
        EXPECT_EQ(anyStartsWith(lines, "PertZ: "), c.pertZ);
        EXPECT_EQ(anyStartsWith(lines, "JulC: "), c.julia);
        EXPECT_EQ(anyStartsWith(lines, "p: "), c.newton);
        EXPECT_EQ(anyStartsWith(lines, "Azim: "), c.azimuth);
        EXPECT_EQ(lines.size(), size_t(4 + c.pertZ + c.julia + c.newton + c.azimuth));
        if (c.pertZ) {
            EXPECT_TRUE(anyStartsWith(lines, "PertZ: " + printedNumber(c.pertZr) + "  PertZi: " + printedNumber(c.pertZi)));
        }
        if (c.newton) {
            EXPECT_TRUE(anyStartsWith(lines, "p: 5  PertZ: 0  PertZi: 0"));
        }
        if (c.azimuth) {
            EXPECT_TRUE(anyStartsWith(lines, "Azim: 210  Elev: 45"));
        }
    }
}

TEST(PrintLayout, CaptionShowsTheImagesNumbersNotTheEditedOnes)
{
    Doc d(TypeId::Mandelbrot, 320, 240);
    d.f.Params.CentreX = 0.125;
    d.commit();
    d.f.Params.CentreX = 0.5;  // edited, not computed yet
    EXPECT_EQ(captionLines(d.f, 0)[1], "CenX: 0.125  CenY: 0");
}

TEST(PrintLayout, ParameterSheet)
{
    Doc d(TypeId::Julia, 400, 300);
    d.f.Params.ParamCr = 0.285;
    d.f.Params.ParamCi = 0.01;
    d.f.Params.CentreX = 0;
    d.f.Params.CentreY = 0;
    d.f.Params.Step = 0.01;
    d.f.Params.Delta = 17;
    d.commit();
    d.f.Markers[0] = {true, document::MarkerShape::Circle, 100, 50, "Seahorse"};
    d.f.Markers[4] = {true, document::MarkerShape::Square, 0, 0, "corner"};
    const std::vector<SheetLine> lines = parameterSheetLines(d.f, 0, true);
    const std::vector<std::string> t = texts(lines);
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t[0], "Fractal infos");
    EXPECT_TRUE(anyStartsWith(t, "Fractal: spiral (400 x 300 x 8 bits) Julia / Level"));
    EXPECT_TRUE(anyStartsWith(t, "X1: -2  Y1: 1.5"));
    EXPECT_TRUE(anyStartsWith(t, "X2: 1.99  Y2: -1.49"));
    EXPECT_TRUE(anyStartsWith(t, "CenX: 0  CenY: 0"));
    EXPECT_TRUE(anyStartsWith(t, "JulC: 0.285  JulCi: 0.01"));
    EXPECT_TRUE(anyStartsWith(t, "Delta: 17\tBailOut: Mod")) << t[12];
    EXPECT_FALSE(anyStartsWith(t, "PertZ: "));
    EXPECT_FALSE(anyStartsWith(t, "p Newton: "));
    // Markers 1 and 5, in number order, with their plane positions, labels and shapes.
    std::vector<const SheetLine*> markers;
    for (const SheetLine& l : lines)
        if (l.marker)
            markers.push_back(&l);
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers[0]->marker, 1);
    EXPECT_EQ(markers[0]->shape, document::MarkerShape::Circle);
    EXPECT_EQ(markers[0]->text, "1: X: -1  Y: 1  Seahorse");
    EXPECT_EQ(markers[1]->marker, 5);
    EXPECT_EQ(markers[1]->text, "5: X: -2  Y: 1.5  corner");
    // Without "Print Markers" no marker line.
    for (const SheetLine& l : parameterSheetLines(d.f, 0, false))
        EXPECT_EQ(l.marker, 0);
    EXPECT_EQ(parameterSheetLines(d.f, 0, false).size(), lines.size() - 3);
    EXPECT_EQ(parameterSheetLines(d.f, 1, false)[0].text, "Infos fractale");
}

TEST(PrintLayout, ParameterSheetLinesByType)
{
    Doc newton(TypeId::Newton);
    newton.f.Params.NewtonP = 7;
    newton.commit();
    const std::vector<std::string> n = texts(parameterSheetLines(newton.f, 0, false));
    EXPECT_TRUE(anyStartsWith(n, "p Newton: 7"));
    EXPECT_FALSE(anyStartsWith(n, "JulC: "));

    Doc mandel(TypeId::Mandelbrot);
    const std::vector<std::string> m0 = texts(parameterSheetLines(mandel.f, 0, false));
    EXPECT_FALSE(anyStartsWith(m0, "PertZ: "));
    EXPECT_FALSE(anyStartsWith(m0, "p Newton: "));
    mandel.f.Params.PertZr = -0.125;
    mandel.commit();
    EXPECT_TRUE(anyStartsWith(texts(parameterSheetLines(mandel.f, 0, false)), "PertZ: -0.125  PertZi: 0"));
}

TEST(PosterMove, NeighbourCentres)
{
    struct Case {
        int column, row;
        double dx, dy;
    };
    // 400 x 300 at step 0.01: dx = 4, dy = 3.
    const Case cases[] = {
        {-1, -1, -4, +3}, {0, -1, 0, +3}, {+1, -1, +4, +3}, {-1, 0, -4, 0}, {0, 0, 0, 0},
        {+1, 0, +4, 0},   {-1, +1, -4, -3}, {0, +1, 0, -3}, {+1, +1, +4, -3},
    };
    Doc d(TypeId::Mandelbrot, 400, 300);
    d.f.Params.CentreX = -0.5;
    d.f.Params.CentreY = 0.25;
    d.f.Params.Step = 0.01;
    d.commit();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.column) + "," + std::to_string(c.row));
        const PlanePoint p = posterNeighbourCentre(d.f, {c.column, c.row});
        EXPECT_NEAR(p.x - -0.5, c.dx, 1e-12);
        EXPECT_NEAR(p.y - 0.25, c.dy, 1e-12);
    }
}

TEST(PosterMove, MoveClearsTheImageAndSetsTheCorner)
{
    Doc d(TypeId::Mandelbrot, 40, 30);
    ASSERT_TRUE(AllocImage(d.f, 40, 30, engine::PixelFormat8, true).ok);
    d.f.Params.CentreX = 1;
    d.f.Params.CentreY = 2;
    d.f.Params.Step = 0.5;
    d.f.Params.MaxIter = 777;
    d.commit();
    d.f.Data.at(3, 4) = 99;
    d.f.Bitmap.Pixels[5] = 7;
    d.f.ResumeLine = 12;
    d.f.Modified = true;
    const PlanePoint upperRight = posterNeighbourCentre(d.f, {+1, -1});
    EXPECT_DOUBLE_EQ(upperRight.x, 21);
    EXPECT_DOUBLE_EQ(upperRight.y, 17);
    moveToPosterTile(d.f, upperRight);
    EXPECT_DOUBLE_EQ(d.f.Params.CentreX, 21);
    EXPECT_DOUBLE_EQ(d.f.Params.CentreY, 17);
    EXPECT_DOUBLE_EQ(d.f.LeftX, 21 - 20 * 0.5);
    EXPECT_DOUBLE_EQ(d.f.TopY, 17 + 15 * 0.5);
    // The old tile's right edge is one step before the new one's left edge: the tiles meet, no overlap.
    EXPECT_DOUBLE_EQ(d.f.LeftX, (1 - 20 * 0.5) + 40 * 0.5);
    EXPECT_EQ(d.f.Params.MaxIter, 777);
    EXPECT_DOUBLE_EQ(d.f.Params.Step, 0.5);
    EXPECT_TRUE(d.f.FileName.empty());
    EXPECT_EQ(d.f.ResumeLine, 0);
    EXPECT_EQ(d.f.Data.at(3, 4), 0);
    EXPECT_EQ(d.f.Bitmap.Pixels[5], 0);
}
