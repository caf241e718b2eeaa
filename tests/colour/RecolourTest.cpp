// Recolouring every row, the system palette command and palette rotation.
#include <gtest/gtest.h>

#include <string>

#include "colour/ColorLine.h"
#include "document/Fractal.h"
#include "colour/editors/EditorModel.h"
#include "document/Recolour.h"
#include "ColourTestUtil.h"

namespace {

using colourtest::sizeImage;

struct RecordingHooks : document::RecolourHooks {
    std::string calls;
    void started() override { calls += "S"; }
    void finished() override { calls += "F"; }
    void paletteChanged() override { calls += "P"; }
};

TEST(RecolorAll, ColoursEveryRowBetweenTheHooks)
{
    document::TFractal f;
    sizeImage(f, 3, 4, engine::PixelFormat8);
    f.SetBoundary(colour::BoundaryKind(0), 10);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            f.Data.at(r, c) = uint16_t(r * 256 + c * 10 + 1);
    RecordingHooks hooks;
    document::RecolorAll(f, &hooks);
    EXPECT_EQ(hooks.calls, "SF");
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(f.Bitmap.row(r)[c], c * 10 + 1) << r << "," << c;
}

// Each editor's model has its own flag for the time it fills in its controls: one editor filling does
// not hide the edits of another, and scopes nest.
TEST(EditorModel, EachModelHasItsOwnFillingFlag)
{
    struct Model : colour::editors::EditorModel {};
    Model palette, table;
    EXPECT_FALSE(palette.filling());
    {
        colour::editors::EditorModel::FillingScope outer(palette);
        EXPECT_TRUE(palette.filling());
        EXPECT_FALSE(table.filling());
        {
            colour::editors::EditorModel::FillingScope inner(palette);
            EXPECT_TRUE(palette.filling());
        }
        EXPECT_TRUE(palette.filling());  // the inner scope restores the outer one's state
    }
    EXPECT_FALSE(palette.filling());
}

TEST(ApplySystemPalette, RestoresColoursClearsFlagsAndRecolours)
{
    struct Row {
        uint8_t pixelFormat;
        const char* hookCalls;
    } rows[] = {{engine::PixelFormat8, "PSF"}, {engine::PixelFormat24, "SF"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.pixelFormat));
        document::TFractal f;
        sizeImage(f, 2, 2, row.pixelFormat);
        colourtest::sizeTables(f, 10);
        f.SelectColorLine();
        for (auto& e : f.Palette.entries)
            e = {1, 2, 3, 9};
        ASSERT_FALSE(document::IsSystemPalette(f));
        RecordingHooks hooks;
        document::ApplySystemPalette(f, &hooks);
        EXPECT_TRUE(document::IsSystemPalette(f));
        EXPECT_EQ(f.Palette, colour::systemPalette());  // flags 0 as well
        EXPECT_EQ(hooks.calls, std::string(row.hookCalls));
        EXPECT_NE(f.Bitmap.row(1)[0], 0xEE);
    }
}

colour::Palette numberedPalette()
{
    colour::Palette p;
    for (int i = 0; i < 256; ++i)
        p.entries[size_t(i)] = {uint8_t(i), uint8_t(~i), uint8_t(i * 5), uint8_t(i % 3)};
    return p;
}

TEST(RotatePalette, OneStepEachWay)
{
    const colour::Palette start = numberedPalette();
    colour::Palette out = start;
    colour::RotatePaletteStep(out, colour::RotateDirection::Out);
    EXPECT_EQ(out.entries[0], start.entries[0]);
    EXPECT_EQ(out.entries[1], start.entries[2]);
    EXPECT_EQ(out.entries[254], start.entries[255]);
    EXPECT_EQ(out.entries[255], start.entries[1]);

    colour::Palette in = start;
    colour::RotatePaletteStep(in, colour::RotateDirection::In);
    EXPECT_EQ(in.entries[0], start.entries[0]);
    EXPECT_EQ(in.entries[1], start.entries[255]);
    EXPECT_EQ(in.entries[2], start.entries[1]);
    EXPECT_EQ(in.entries[255], start.entries[254]);

    colour::RotatePaletteStep(out, colour::RotateDirection::In);
    EXPECT_EQ(out, start);
}

TEST(RotatePalette, A255StepCycleRestoresThePalette)
{
    for (colour::RotateDirection dir : {colour::RotateDirection::Out, colour::RotateDirection::In}) {
        SCOPED_TRACE(int(dir));
        const colour::Palette start = numberedPalette();
        colour::Palette p = start;
        for (int step = 1; step <= 255; ++step) {
            colour::RotatePaletteStep(p, dir);
            ASSERT_EQ(p.entries[0], start.entries[0]) << step;
            if (step < 255) {
                ASSERT_NE(p, start) << step;
            }
        }
        EXPECT_EQ(p, start);
    }
}

TEST(RotatePalette, RotatingTheDocumentRecoloursFromData3DIn3DView)
{
    document::TFractal f;
    sizeImage(f, 1, 2, engine::PixelFormat8, true);
    f.SetBoundary(colour::BoundaryKind(0), 10);
    f.Data.fill(1);
    f.Data3D.fill(2);
    f.View3D = true;
    const colour::Palette before = f.Palette;
    document::RotateAndRecolour(f, colour::RotateDirection::Out);
    EXPECT_EQ(f.Palette.entries[1], before.entries[2]);
    EXPECT_EQ(f.Bitmap.row(0)[0], 2);
    EXPECT_EQ(f.Bitmap.row(1)[0], 2);
}

}  // namespace
