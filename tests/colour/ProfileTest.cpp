// The cross-section profile: a row's values, its caption, zoom steps and what the window draws.
#include <gtest/gtest.h>

#include <string>

#include "ColourTestUtil.h"
#include "document/Profile.h"
#include "engine/NumberFormat.h"

namespace {

void makeDocument(document::TFractal& f, int width, int height, uint16_t maxIter)
{
    colourtest::sizeImage(f, width, height, engine::PixelFormat8);
    f.Params.MaxIter = maxIter;
    f.BaseMaxIter = maxIter;
    f.UniformIter = true;
    f.TopY = 1.0;
    f.Params.Step = 0.25;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            f.Data.at(y, x) = uint16_t(100 * y + x);
}

TEST(ProfileTest, FillReadsTheRowAndBuildsTheCaption)
{
    document::TFractal f;
    makeDocument(f, 12, 5, 250);
    f.Params.FractalType = engine::TypeId(1);
    f.Params.Algorithm = 2;
    f.Params.EscapeLevelSq = 9;
    document::TProfile p;
    p.Fill(f, 3);
    ASSERT_EQ(p.Values().size(), 12u);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(p.Values()[size_t(x)], 300 + x);
    EXPECT_EQ(p.PlaneY(), 0.25);
    EXPECT_EQ(p.Head(), "Line: 3  PosY: 0.25");
    EXPECT_EQ(p.Caption(), "Line: 3  PosY: 0.25  [1X]");
    EXPECT_EQ(p.MaxIter(), 250);
    EXPECT_EQ(p.Type(), engine::TypeId(1));
    EXPECT_EQ(p.Algorithm(), 2);
    EXPECT_EQ(p.EscapeValue(), 9);
    EXPECT_EQ(p.ImageWidth(), 12);
    EXPECT_EQ(p.ImageHeight(), 5);

    struct Row {
        int row;
        double topY;
        const char* line;
        const char* head;
    } rows[] = {
        {0, 1.0, "Line: ", "Line: 0  PosY: 1"},
        {4, 0.5, "Ligne: ", "Ligne: 4  PosY: -0.5"},
        // Cut to 30 characters.
        {1, -1.2345678901234567, "Line: ", "Line: 1  PosY: -1.484567890123"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.head);
        f.TopY = row.topY;
        p.Fill(f, row.row, row.line);
        const std::string full = std::string(row.line) + std::to_string(row.row) + "  PosY: " +
                                 engine::formatGeneral(row.topY - row.row * 0.25, 16);
        EXPECT_EQ(p.Head(), full.substr(0, 30));
        EXPECT_EQ(p.Head(), row.head);
        EXPECT_EQ(p.Caption(), std::string(row.head) + "  [1X]");
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(p.Values()[size_t(x)], 100 * row.row + x);
    }
}

TEST(ProfileTest, ZoomStepsAndTheirLimits)
{
    struct Row {
        uint16_t maxIter;
        std::vector<double> upSteps;  // the zooms reached by "Zoom X 2" from 1
    } rows[] = {
        {50, {2, 4, 8}},   // 50 / 4 = 12.5 is above 10, 50 / 8 = 6.25 is not
        {250, {2, 4, 8, 16, 32}},
        {10, {}},          // 10 / 1 is not above 10
        {11, {2}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.maxIter);
        document::TFractal f;
        makeDocument(f, 4, 2, row.maxIter);
        document::TProfile p;
        p.Fill(f, 0);
        for (const double zoom : row.upSteps) {
            ASSERT_TRUE(p.CanZoomIn());
            p.ZoomIn();
            EXPECT_EQ(p.Zoom(), zoom);
        }
        EXPECT_FALSE(p.CanZoomIn());
        const double top = p.Zoom();
        p.ZoomIn();
        EXPECT_EQ(p.Zoom(), top);
        char expected[32];
        std::snprintf(expected, sizeof expected, "  [%gX]", top);
        EXPECT_EQ(p.Caption(), p.Head() + expected);
    }

    document::TFractal f;
    makeDocument(f, 4, 2, 50);
    document::TProfile p;
    p.Fill(f, 1);
    p.ZoomOut();
    EXPECT_EQ(p.Zoom(), 0.5);
    EXPECT_EQ(p.Caption(), p.Head() + "  [0.5X]");
    p.ZoomOut();
    EXPECT_EQ(p.Zoom(), 0.25);
    EXPECT_FALSE(p.CanZoomOut()) << "unzoom stops at 0.25";
    p.ZoomOut();
    EXPECT_EQ(p.Zoom(), 0.25);
    EXPECT_EQ(p.Caption(), p.Head() + "  [0.25X]");
    p.Fill(f, 0);
    EXPECT_EQ(p.Zoom(), 0.25) << "refilling keeps the zoom";
}

TEST(ProfileTest, LayoutOfLinesLabelsAndPolyline)
{
    document::TFractal f;
    makeDocument(f, 6, 1, 100);
    const uint16_t values[6] = {0, 50, 100, 65535, 5, 7};
    for (int x = 0; x < 6; ++x)
        f.Data.at(0, x) = values[x];

    struct Row {
        const char* what;
        int zoomSteps;  // > 0 zoom in, < 0 zoom out
        bool uniform;
        uint16_t base;
        int height;
        std::vector<int> ys;
        bool maxShown, maxLabelled;
        int maxY;
        bool oriShown, oriLabelled;
        int oriY;
        const char* top;
    } rows[] = {
        {"zoom 1", 0, true, 100, 160, {160, 80, 0, 0, 152, 149}, false, false, 0, false, false, 0, "100"},
        // k = 0.8; 5 x 0.8 = 4, 7 x 0.8 = 5.6
        {"zoom 0.5", -1, true, 100, 160, {160, 120, 80, 0, 156, 154}, true, true, 80, false, false, 0, "200"},
        // k = 0.4: the maximum line is 40 pixels above the bottom, not more: no label
        {"zoom 0.25", -2, true, 100, 160, {160, 140, 120, 0, 158, 157}, true, false, 120, false, false, 0, "400"},
        // k = 0.5: 2.5 and 3.5 round to even
        {"halves to even", 0, true, 100, 50, {50, 25, 0, 0, 48, 46}, false, false, 0, false, false, 0, "100"},
        {"touched up, first computed with 40", 0, false, 40, 160, {160, 80, 0, 0, 152, 149}, false, false, 0, true, true, 96, "100"},
        {"touched up, first computed with 20", 0, false, 20, 160, {160, 80, 0, 0, 152, 149}, false, false, 0, true, false, 128, "100"},
        {"zoom 2", 1, true, 100, 160, {160, 0, 0, 0, 144, 138}, false, false, 0, false, false, 0, "50"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        f.UniformIter = row.uniform;
        f.BaseMaxIter = row.base;
        document::TProfile p;
        p.Fill(f, 0);
        for (int i = 0; i < row.zoomSteps; ++i)
            p.ZoomIn();
        for (int i = 0; i < -row.zoomSteps; ++i)
            p.ZoomOut();
        const document::ProfileDrawing d = p.Layout(row.height);
        EXPECT_DOUBLE_EQ(d.K, row.height * p.Zoom() / 100);
        EXPECT_EQ(d.Ys, row.ys);
        EXPECT_EQ(d.Xs, (std::vector<int>{0, 1, 2, 3, 4, 5}));
        EXPECT_EQ(d.MaxLine.Shown, row.maxShown);
        if (row.maxShown) {
            EXPECT_EQ(d.MaxLine.Y, row.maxY);
            EXPECT_EQ(d.MaxLine.Labelled, row.maxLabelled);
            EXPECT_EQ(d.MaxLine.LabelY, row.maxY - 13);
            EXPECT_EQ(d.MaxLine.Label, "100");
        }
        EXPECT_EQ(d.OriginalLine.Shown, row.oriShown);
        if (row.oriShown) {
            EXPECT_EQ(d.OriginalLine.Y, row.oriY);
            EXPECT_EQ(d.OriginalLine.Labelled, row.oriLabelled);
            EXPECT_EQ(d.OriginalLine.LabelY, row.oriY - 13);
            EXPECT_EQ(d.OriginalLine.Label, "I.Ori:" + std::to_string(row.base));
        }
        EXPECT_EQ(d.TopLabel, row.top);
        EXPECT_EQ(d.ZeroLabelY, row.height - 43);
    }
}

TEST(ProfileTest, HorizontalScrollShiftsTheProfile)
{
    document::TFractal f;
    makeDocument(f, 300, 2, 100);
    document::TProfile p;
    p.Fill(f, 1);
    for (const int position : {0, 37, 250}) {
        SCOPED_TRACE(position);
        p.SetScrollPosition(position);
        EXPECT_EQ(p.Offset(), -position);
        const document::ProfileDrawing d = p.Layout(160);
        ASSERT_EQ(d.Xs.size(), 300u);
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(d.Xs[size_t(x)], x - position) << "column " << x << " stays under image column " << x;
    }
}

}  // namespace
