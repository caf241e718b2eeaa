// The document's 3D view and filters: Draw3D, Redraw2D and the filter pass over the picture.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "document/View3D.h"
#include "ColourTestUtil.h"

namespace {

// A 24-bit document whose colours differ from value to value.
void setUp(document::TFractal& f, int w = 40, int h = 30)
{
    colourtest::sizeImage(f, w, h, engine::PixelFormat24);
    colourtest::sizeTables(f, 100);
    for (int i = 0; i <= 100; ++i) {
        f.TableR[size_t(i)] = uint8_t(i * 2);
        f.TableG[size_t(i)] = uint8_t(255 - i);
        f.TableB[size_t(i)] = uint8_t(i * 7);
    }
    f.SetTableMode(colour::TableModeKind(0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            f.Data.at(y, x) = (x - 20) * (x - 20) + (y - 15) * (y - 15) < 40 ? engine::Inside
                                                                          : uint16_t(1 + (x * 3 + y * 5) % 90);
    f.view3D().ZLimit = 100;
    f.view3D().ZScale = 4;
}

// The bitmap `values` colour into with f's colouring.
std::vector<uint8_t> colouredFrom(const document::TFractal& f, const engine::TVxWork& values)
{
    colour::ImageBitmap b = f.Bitmap;
    colour::ColourRows(f.rowColouring(), values, b, 0, b.Height - 1);
    return b.Pixels;
}

TEST(Draw3D, RendersIntoData3DAndColoursItThenRedraw2DGoesBack)
{
    document::TFractal f;
    setUp(f);
    f.ColourAllRows();
    const std::vector<uint8_t> plain = f.Bitmap.Pixels;
    ASSERT_EQ(plain, colouredFrom(f, f.Data));

    for (int threads : {1, 3}) {
        SCOPED_TRACE(threads);
        f.Modified = false;
        colour::TFract3D view;
        ASSERT_EQ(document::Draw3D(f, view, threads), document::Draw3DResult::Done);
        EXPECT_TRUE(f.View3D);
        EXPECT_TRUE(f.Modified);
        EXPECT_EQ(view.azimuth, 135);
        EXPECT_EQ(view.width, 40);
        colour::TFract3D ref;
        ref.Init(f.view3D(), 40, 30, engine::PixelFormat24);
        engine::TVxWork expected;
        ref.Render(f.Data, f.Params.Algorithm, expected);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(f.Data3D.at(y, x), expected.at(y, x)) << x << "," << y;
        EXPECT_EQ(f.Bitmap.Pixels, colouredFrom(f, expected));
        EXPECT_NE(f.Bitmap.Pixels, plain);

        f.Modified = true;
        document::Redraw2D(f);
        EXPECT_FALSE(f.View3D);
        EXPECT_FALSE(f.Modified);
        EXPECT_EQ(f.Data3D.width(), 0);
        EXPECT_EQ(f.Bitmap.Pixels, plain);
    }
}

TEST(Draw3D, StopShowsWhatWasDrawn)
{
    document::TFractal f;
    setUp(f);
    std::atomic<bool> stop{true};
    colour::Render3DControl control;
    control.stop = &stop;
    colour::TFract3D view;
    EXPECT_EQ(document::Draw3D(f, view, 1, control), document::Draw3DResult::Stopped);
    EXPECT_TRUE(f.View3D);
    EXPECT_TRUE(f.Modified);
    EXPECT_EQ(f.Bitmap.Pixels, colouredFrom(f, f.Data3D));
}

TEST(DocumentFilter, ReadsDataAlsoInThe3DView)
{
    document::TFractal f;
    setUp(f);
    colour::TFract3D view;
    ASSERT_EQ(document::Draw3D(f, view, 2), document::Draw3DResult::Done);
    colour::filters::FilterSettings s;
    s.Kind = colour::filters::FilterKind::Edges;
    s.Edges.LinesFromFractal = true;
    colour::ImageBitmap fromData = f.Bitmap, from3D = f.Bitmap;
    colour::filters::ApplyFilter(s, f.Data, fromData);
    colour::filters::ApplyFilter(s, f.Data3D, from3D);
    ASSERT_NE(fromData.Pixels, from3D.Pixels);
    EXPECT_TRUE(document::ApplyFilter(f, s, 2));
    EXPECT_EQ(f.Bitmap.Pixels, fromData.Pixels);
    // The values are never touched.
    colour::TFract3D ref;
    ref.Init(f.view3D(), 40, 30, engine::PixelFormat24);
    engine::TVxWork expected;
    ref.Render(f.Data, f.Params.Algorithm, expected);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(f.Data3D.at(y, x), expected.at(y, x));
}

}  // namespace
