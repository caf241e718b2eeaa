// The view history of a document: the order of Back and Forward, the memory budget of the values it
// keeps, and putting a view's values back into a computed document.
#include <gtest/gtest.h>

#include <string>

#include "document/Computation.h"
#include "document/Fractal.h"
#include "document/ViewHistory.h"
#include "storage/Workspace.h"

namespace {

// A view told apart by its centre; with `valuePixels` it holds that many values (2 bytes each).
document::ViewRecord view(double centreX, int valuePixels = 0)
{
    document::ViewRecord r;
    r.Params.CentreX = centreX;
    if (valuePixels > 0) {
        auto values = std::make_shared<engine::TVxWork>();
        values->resize(valuePixels, 1);
        values->fill(uint16_t(centreX));
        r.Values = values;
    }
    return r;
}

double centreOf(const std::optional<document::ViewRecord>& r)
{
    return r ? r->Params.CentreX : -1.0;
}

// A computed Mandelbrot image of 40 x 30.
void computed(document::TFractal& f, uint8_t format = engine::PixelFormat8)
{
    storage::ResetToDefaults(f);
    f.Params.MaxIter = 60;
    ASSERT_TRUE(storage::AllocImage(f, 40, 30, format, true).ok);
    f.Params.Step = 0.075;
    f.UpdateCorners();
    document::ComputeCommand(f, true, nullptr);
    ASSERT_FALSE(f.ImageParamsChanged());
    ASSERT_EQ(f.ResumeLine, 0);
}

}  // namespace

TEST(ViewHistory, BackAndForwardStepThroughTheRecordedViews)
{
    document::ViewHistory h;
    EXPECT_FALSE(h.canGoBack());
    EXPECT_FALSE(h.back(view(9)).has_value());  // nothing before: the current view is not kept either
    EXPECT_FALSE(h.canGoForward());

    // Views 1, 2, 3 in turn: each change records the view it replaced.
    h.record(view(1));
    h.record(view(2));
    EXPECT_EQ(h.backCount(), 2u);
    EXPECT_EQ(centreOf(h.back(view(3))), 2);
    EXPECT_EQ(centreOf(h.back(view(2))), 1);
    EXPECT_FALSE(h.canGoBack());
    EXPECT_FALSE(h.back(view(1)).has_value());
    EXPECT_EQ(h.forwardCount(), 2u);
    EXPECT_EQ(centreOf(h.forward(view(1))), 2);
    EXPECT_EQ(centreOf(h.forward(view(2))), 3);
    EXPECT_FALSE(h.canGoForward());
    EXPECT_FALSE(h.forward(view(3)).has_value());

    // A new change after going back forgets the views ahead.
    EXPECT_EQ(centreOf(h.back(view(3))), 2);
    h.record(view(2));  // view 2 replaced by a view 4
    EXPECT_FALSE(h.canGoForward());
    EXPECT_EQ(centreOf(h.back(view(4))), 2);
    EXPECT_EQ(centreOf(h.back(view(2))), 1);

    h.clear();
    EXPECT_FALSE(h.canGoBack());
    EXPECT_FALSE(h.canGoForward());
}

TEST(ViewHistory, ValuesOfTheFurthestViewsGoFirstWhenOverBudget)
{
    // Room for three views of 100 values.
    document::ViewHistory h(3 * 200 + 50);
    for (int i = 1; i <= 5; ++i)
        h.record(view(i, 100));
    EXPECT_EQ(h.cachedBytes(), 600u);
    // Views 1 and 2 lost their values, 3, 4 and 5 keep theirs.
    const struct { double centre; bool held; } back[] = {{5, true}, {4, true}, {3, true}, {2, false}, {1, false}};
    double current = 6;
    for (const auto& row : back) {
        SCOPED_TRACE("view " + std::to_string(row.centre));
        const std::optional<document::ViewRecord> r = h.back(view(current));
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->Params.CentreX, row.centre);
        EXPECT_EQ(r->Values != nullptr, row.held);
        if (r->Values)
            EXPECT_EQ(r->Values->at(0, 0), uint16_t(row.centre));
        current = row.centre;
    }

    // Both sides count: the furthest on either side is dropped first.
    document::ViewHistory g(2 * 200);
    g.record(view(1, 100));
    g.record(view(2, 100));
    ASSERT_EQ(centreOf(g.back(view(3, 100))), 2);  // 1 behind, 3 ahead, both at distance 1: within budget
    EXPECT_EQ(g.cachedBytes(), 400u);
    g.setCacheLimit(200);
    EXPECT_EQ(g.cachedBytes(), 200u);

    // A view larger than the whole budget keeps no values.
    document::ViewHistory small(100);
    small.record(view(1, 100));
    EXPECT_EQ(small.cachedBytes(), 0u);
    EXPECT_TRUE(small.canGoBack());
}

TEST(ViewHistory, OldestViewsBeyondTheLimitAreForgotten)
{
    document::ViewHistory h;
    for (size_t i = 0; i < document::ViewHistory::MaxViews + 5; ++i)
        h.record(view(double(i)));
    EXPECT_EQ(h.backCount(), document::ViewHistory::MaxViews);
    EXPECT_EQ(centreOf(h.back(view(-1))), double(document::ViewHistory::MaxViews + 4));
}

TEST(ViewHistory, ComputedViewComesBackFromItsValues)
{
    for (const uint8_t format : {engine::PixelFormat8, engine::PixelFormat24}) {
        SCOPED_TRACE(format == engine::PixelFormat8 ? "8-bit" : "24-bit");
        document::TFractal f;
        computed(f, format);
        const engine::FractalParams first = f.Params;
        const double leftX = f.LeftX, topY = f.TopY;
        const engine::TVxWork values = f.Data;
        const std::vector<uint8_t> pixels = f.Bitmap.Pixels;
        const document::ViewRecord saved = document::CaptureView(f, true);
        ASSERT_NE(saved.Values, nullptr);

        // Zoomed and computed again: another picture.
        ASSERT_TRUE(f.ZoomToRectangle({10, 10, 20, 17}));
        document::ComputeCommand(f, true, nullptr);
        ASSERT_NE(f.Bitmap.Pixels, pixels);

        ASSERT_TRUE(document::RestoreView(f, saved));
        EXPECT_EQ(f.Params, first);
        EXPECT_EQ(f.LeftX, leftX);
        EXPECT_EQ(f.TopY, topY);
        EXPECT_FALSE(f.ImageParamsChanged());
        for (int r = 0; r < 30; ++r)
            for (int c = 0; c < 40; ++c)
                ASSERT_EQ(f.Data.at(r, c), values.at(r, c)) << r << "," << c;
        EXPECT_EQ(f.Bitmap.Pixels, pixels);
    }
}

TEST(ViewHistory, ViewWithoutFittingValuesMustBeRecalculated)
{
    document::TFractal f;
    computed(f);
    const document::ViewRecord withValues = document::CaptureView(f, true);
    EXPECT_EQ(document::CaptureView(f, false).Values, nullptr);

    // A stale picture or one stopped half-way holds no values of its parameters.
    f.Params.CentreX += 0.1;
    EXPECT_EQ(document::CaptureView(f, true).Values, nullptr);
    f.Params.CentreX -= 0.1;
    f.ResumeLine = 12;
    EXPECT_EQ(document::CaptureView(f, true).Values, nullptr);
    f.ResumeLine = 0;

    // Values of another maximum of iterations do not fit: the parameters come back, to be computed.
    const std::vector<uint8_t> pixels = f.Bitmap.Pixels;
    document::ViewRecord other = withValues;
    other.Params.MaxIter = 90;
    other.Params.CentreX = 0.25;
    EXPECT_FALSE(document::ValuesFit(f, other));
    EXPECT_FALSE(document::RestoreView(f, other));
    EXPECT_EQ(f.Params.MaxIter, 90);
    EXPECT_EQ(f.Params.CentreX, 0.25);
    EXPECT_TRUE(f.ImageParamsChanged());
    EXPECT_EQ(f.Bitmap.Pixels, pixels);  // the picture stays until computed
}
