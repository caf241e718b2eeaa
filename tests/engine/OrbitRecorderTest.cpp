// Recording the orbits of a computation for the orbit window, and the window's scale and background.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EngineTestUtil.h"
#include "engine/OrbitRecorder.h"
#include "engine/Probe.h"

using namespace engine;
using document::TFractal;
using enginetest::Scene;

namespace {

std::vector<OrbitEvent> joined(OrbitRecorder& r)
{
    r.flush();
    std::vector<OrbitEvent> all;
    for (auto& batch : r.takeBatches())
        all.insert(all.end(), batch.begin(), batch.end());
    return all;
}

// Draws at once, as plotting on the window while the kernel runs does.
struct DirectPlotter : OrbitObserver {
    OrbitCanvas canvas;
    OrbitView view;
    DirectPlotter(const OrbitView& v, int w, int h) : view(v)
    {
        canvas.Width = w;
        canvas.Height = h;
        drawOrbitBackground(canvas, view);
    }
    void dot(double zr, double zi, uint32_t colour)
    {
        const int x = view.OriginX + int(std::nearbyint(zr * view.Scale));
        const int y = view.OriginY - int(std::nearbyint(zi * view.Scale));
        if (x >= 0 && y >= 0 && x < canvas.Width && y < canvas.Height)
            canvas.Pixels[size_t(y) * size_t(canvas.Width) + size_t(x)] = colour;
    }
    void beginOrbit() override
    {
        if (view.SingleOrbit)
            drawOrbitBackground(canvas, view);
    }
    void plotOrbitPoint(int n, double zr, double zi) override { dot(zr, zi, view.pointColour(n)); }
    void plotSavedOrbit(const double* xs, const double* ys, int count) override
    {
        for (int i = 0; i < count; ++i)
            dot(xs[i], ys[i], 0xFFFFFF);
    }
};

// A 100 x 100 image of step 0.01 centred on 0, MaxIter 250, escape level 4.
void configureProbe(TFractal& f, int type, double paramCr = 0, double paramCi = 0)
{
    Scene s;
    s.type = type;
    s.width = s.height = 100;
    s.maxIter = 250;
    s.levelSq = 4;
    enginetest::configure(f, s);
    f.Params.CentreX = 0;
    f.Params.CentreY = 0;
    f.Params.Step = 0.01;
    f.Params.ParamCr = paramCr;
    f.Params.ParamCi = paramCi;
    f.UpdateCorners();
    SelectKernel(f);
}

}  // namespace

TEST(OrbitRecorder, ProbeRecordsTheIteratesComputedIndependently)
{
    struct Row {
        const char* what;
        int type;
        int col, row;
        double paramCr, paramCi;
        bool inside;
    } rows[] = {
        {"Mandelbrot inside (-0.5, 0.2)", 0, 0, 30, 0, 0, true},
        {"Mandelbrot outside (0.4, 0.4)", 0, 90, 10, 0, 0, false},
        {"Mandelbrot outside (0.49, 0.5)", 0, 99, 0, 0, 0, false},
        {"Julia (-0.8, 0.156) from (-0.3, 0.1)", 1, 20, 40, -0.8, 0.156, false},
        {"Julia (-0.12, 0.75) from (0, 0): inside", 1, 50, 50, -0.12, 0.75, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TFractal f;
        configureProbe(f, row.type, row.paramCr, row.paramCi);
        OrbitView view = OrbitView::open(4, 250, 300, 200);
        view.Scale = 200;
        view.ColourOrbits = true;
        OrbitRecorder recorder(view, 1000);
        const std::optional<uint16_t> count = ProbePoint(f, row.col, row.row, &recorder);
        ASSERT_TRUE(count.has_value());
        EXPECT_EQ(*count == Inside, row.inside);
        const std::vector<OrbitEvent> events = joined(recorder);
        ASSERT_EQ(events.size(), size_t(*count) + 1);
        EXPECT_EQ(events[0].kind, OrbitEvent::Begin);

        // z^2 + c from the start: the pixel for Julia, the perturbation (0) for Mandelbrot.
        const double pr = f.pixelX(row.col), pi = f.pixelY(row.row);
        double zr = row.type == 1 ? pr : 0, zi = row.type == 1 ? pi : 0;
        const double ar = row.type == 1 ? row.paramCr : pr, ai = row.type == 1 ? row.paramCi : pi;
        double zr2 = zr * zr, zi2 = zi * zi;
        for (size_t n = 1; n < events.size(); ++n) {
            zi = 2 * zr * zi + ai;
            zr = zr2 - zi2 + ar;
            zr2 = zr * zr;
            zi2 = zi * zi;
            const OrbitEvent& e = events[n];
            ASSERT_EQ(e.kind, OrbitEvent::Point);
            ASSERT_EQ(e.N, int(n));
            ASSERT_EQ(e.Zr, zr) << "iterate " << n;
            ASSERT_EQ(e.Zi, zi) << "iterate " << n;
            ASSERT_EQ(e.X, 150 + int(std::nearbyint(zr * 200)));
            ASSERT_EQ(e.Y, 100 - int(std::nearbyint(zi * 200)));
            const int t = int(std::nearbyint(double(n) * 256.0 / 250.0));
            ASSERT_EQ(e.Colour, uint32_t((t / 2 + 50) % 256) << 16 | uint32_t(t % 256) << 8 | uint32_t(t % 256));
            if (n + 1 < events.size()) {
                ASSERT_LE(zr2 + zi2, 4.0) << "the orbit went on after escaping";
            }
        }
        if (!row.inside) {
            EXPECT_GT(zr2 + zi2, 4.0) << "the last iterate escaped";
        }
    }
}

TEST(OrbitRecorder, DistanceImagePlotsTheSavedOrbitWithItsStaleTail)
{
    TFractal f;
    Scene s;
    s.algorithm = AlgDistance;
    s.width = 8;
    s.height = 6;
    s.maxIter = 40;
    enginetest::configure(f, s);
    OrbitRecorder recorder(OrbitView::open(4, 40, 200, 200), 50);
    f.State.Orbit = &recorder;
    enginetest::computeAll(f);
    const std::vector<OrbitEvent> events = joined(recorder);

    // The saved arrays as the kernel leaves them, pixel after pixel (they start zeroed).
    std::vector<double> xs(41, 0.0), ys(41, 0.0);
    size_t i = 0;
    int pixels = 0;
    while (i < events.size()) {
        SCOPED_TRACE(testing::Message() << "pixel " << pixels);
        ASSERT_EQ(events[i].kind, OrbitEvent::Begin);
        ASSERT_LE(i + 1 + 41, events.size());
        // z0 = 0, so the first iterate is C itself.
        const double cr = events[i + 2].Zr, ci = events[i + 2].Zi;
        double zr = 0, zi = 0;
        xs[0] = 0;
        ys[0] = 0;
        double zr2 = 0, zi2 = 0;
        for (int n = 1;; ) {
            zi = 2 * zr * zi + ci;
            zr = zr2 - zi2 + cr;
            xs[size_t(n)] = zr;
            ys[size_t(n)] = zi;
            zr2 = zr * zr;
            zi2 = zi * zi;
            if (n >= 40 || zr2 + zi2 > 100000.0)
                break;
            ++n;
        }
        for (size_t k = 0; k <= 40; ++k) {
            const OrbitEvent& e = events[i + 1 + k];
            ASSERT_EQ(e.kind, OrbitEvent::Point);
            ASSERT_EQ(e.N, -1);
            ASSERT_EQ(e.Colour, OrbitView::White);
            ASSERT_EQ(e.Zr, xs[k]) << "entry " << k;
            ASSERT_EQ(e.Zi, ys[k]) << "entry " << k;
        }
        i += 42;
        ++pixels;
    }
    EXPECT_EQ(pixels, 8 * 6);
}

TEST(OrbitRecorder, RecordedBatchesDrawExactlyWhatDirectPlottingDraws)
{
    struct Row {
        const char* what;
        int type, algorithm;
        bool single, colours;
        size_t batch;
    } rows[] = {
        {"Mandelbrot cumulative, colours", 0, AlgLevel, false, true, 7},
        {"Mandelbrot single orbit", 0, AlgLevel, true, false, 1},
        {"Julia cumulative white", 1, AlgLevel, false, false, 100000},
        {"Distance cumulative", 0, AlgDistance, false, false, 33},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        OrbitView view = OrbitView::open(4, 60, 160, 120);
        view.Scale = 50;
        view.SingleOrbit = row.single;
        view.ColourOrbits = row.colours;
        TFractal a, b;
        Scene s;
        s.type = row.type;
        s.algorithm = row.algorithm;
        s.width = 16;
        s.height = 12;
        s.maxIter = 60;
        enginetest::configure(a, s);
        enginetest::configure(b, s);

        DirectPlotter direct(view, 160, 120);
        a.State.Orbit = &direct;
        enginetest::computeAll(a);

        OrbitRecorder recorder(view, row.batch);
        b.State.Orbit = &recorder;
        enginetest::computeAll(b);
        recorder.flush();
        OrbitCanvas canvas{160, 120, {}};
        drawOrbitBackground(canvas, view);
        size_t batches = 0;
        for (const auto& batch : recorder.takeBatches()) {
            drawOrbitEvents(canvas, view, batch);
            ++batches;
        }
        EXPECT_EQ(canvas.Pixels, direct.canvas.Pixels);
        EXPECT_GT(batches, row.batch < 100 ? 1u : 0u);
        EXPECT_EQ(enginetest::values(a), enginetest::values(b));
    }
}

TEST(OrbitRecorder, ClosingBetweenTwoPixelsStopsFromTheNextPixelOn)
{
    // Closed when the third pixel begins, as if the window closed after the second pixel.
    struct ClosingRecorder : OrbitRecorder {
        using OrbitRecorder::OrbitRecorder;
        int begun = 0;
        void beginOrbit() override
        {
            if (++begun == 3)
                close();
            OrbitRecorder::beginOrbit();
        }
    };
    const OrbitView view = OrbitView::open(4, 80, 100, 100);
    TFractal a, b;
    Scene s;
    s.width = 8;
    s.height = 4;
    s.maxIter = 80;
    enginetest::configure(a, s);
    enginetest::configure(b, s);
    OrbitRecorder full(view, 16);
    a.State.Orbit = &full;
    enginetest::computeAll(a);
    ClosingRecorder closing(view, 16);
    b.State.Orbit = &closing;
    enginetest::computeAll(b);

    const std::vector<OrbitEvent> all = joined(full), cut = joined(closing);
    size_t third = 0;
    int begins = 0;
    for (; third < all.size(); ++third)
        if (all[third].kind == OrbitEvent::Begin && ++begins == 3)
            break;
    ASSERT_LT(third, all.size());
    ASSERT_EQ(cut.size(), third) << "the first two pixels whole, nothing after";
    for (size_t k = 0; k < cut.size(); ++k) {
        ASSERT_EQ(cut[k].Zr, all[k].Zr);
        ASSERT_EQ(cut[k].Zi, all[k].Zi);
        ASSERT_EQ(cut[k].N, all[k].N);
    }
    EXPECT_TRUE(closing.closed());
    EXPECT_EQ(closing.begun, 8 * 4);

    // A close during a pixel leaves that pixel's points recorded.
    OrbitRecorder r(view);
    r.beginOrbit();
    r.plotOrbitPoint(1, 0.5, 0.25);
    r.close();
    r.plotOrbitPoint(2, 0.75, 0.5);
    r.beginOrbit();
    r.plotOrbitPoint(1, 0.1, 0.1);
    const std::vector<OrbitEvent> e = joined(r);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[2].N, 2);
    EXPECT_EQ(e[2].X, 50 + 75);
    EXPECT_EQ(e[2].Y, 50 - 50);
}

TEST(OrbitView, ScaleStepsLimitsAndCaption)
{
    OrbitView v = OrbitView::open(4, 250, 300, 200);
    EXPECT_EQ(v.Scale, 100);
    EXPECT_EQ(v.caption("Scale: "), "Scale: 1");
    const int up[] = {200, 400, 800, 1600, 3200, 6400, 12800};
    for (const int expected : up) {
        ASSERT_TRUE(v.canZoomIn());
        v.zoomIn();
        EXPECT_EQ(v.Scale, expected);
    }
    EXPECT_FALSE(v.canZoomIn()) << "doubling from 12800 is not offered";
    v.zoomIn();
    EXPECT_EQ(v.Scale, 12800);
    EXPECT_EQ(v.caption("Scale: "), "Scale: 128");

    v.Scale = 100;
    v.zoomOut();
    EXPECT_EQ(v.Scale, 50);
    v.zoomOut();
    EXPECT_EQ(v.Scale, 25);
    EXPECT_FALSE(v.canZoomOut()) << "halving from 25 is not offered";
    v.zoomOut();
    EXPECT_EQ(v.Scale, 25);
    EXPECT_EQ(v.caption("Echelle: "), "Echelle: 0.25");

    struct Row {
        int scale;
        bool in, out;
        int afterOut;
        const char* text;
    } rows[] = {
        {26, true, true, 25, "0.26"},  // 26 / 2 = 13 is clamped to 25
        {150, true, true, 75, "1.5"},
        {6400, true, true, 3200, "64"},
        {12799, true, true, 6399, "127.99"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.scale);
        v.Scale = row.scale;
        EXPECT_EQ(v.canZoomIn(), row.in);
        EXPECT_EQ(v.canZoomOut(), row.out);
        EXPECT_EQ(v.scaleText(), row.text);
        v.zoomOut();
        EXPECT_EQ(v.Scale, row.afterOut);
    }
}

TEST(OrbitView, PointsColoursAndBackground)
{
    OrbitView v = OrbitView::open(10, 250, 301, 201);
    EXPECT_EQ(v.OriginX, 150);
    EXPECT_EQ(v.OriginY, 100);
    EXPECT_EQ(v.EscapeRadius, 3) << "round(sqrt(10))";
    EXPECT_EQ(OrbitView::open(400, 250, 10, 10).EscapeRadius, 20);
    EXPECT_DOUBLE_EQ(v.ColourFactor, 256.0 / 250.0);

    ASSERT_EQ(0.025 * 100, 2.5);
    EXPECT_EQ(v.pixelX(0.025), 152) << "halves round to even";
    EXPECT_EQ(v.pixelX(0.035), 150 + int(std::nearbyint(0.035 * 100)));
    EXPECT_EQ(v.pixelX(-1.0), 50);
    EXPECT_EQ(v.pixelY(1.0), 0);
    EXPECT_EQ(v.pixelY(-0.5), 150);

    EXPECT_EQ(v.pointColour(100), 0xFFFFFFu) << "white unless colour orbits";
    v.ColourOrbits = true;
    struct Row {
        int n;
        uint32_t colour;
    } rows[] = {
        {0, 0x320000},       // t 0: red 50
        {1, 0x320101},       // t = round(1.024) = 1: red 0 + 50
        {125, 0x728080},     // t 128: red 64 + 50 = 114
        {250, 0xB20000},     // t 256: red 178, green and blue 256 mod 256
        {500, 0},            // t 512: red (256 + 50) mod 256, green and blue 0 (checked by the formula)
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.n);
        const int t = int(std::nearbyint(row.n * v.ColourFactor));
        const uint32_t expected = uint32_t((t / 2 + 50) % 256) << 16 | uint32_t(t % 256) * 0x0101u;
        EXPECT_EQ(v.pointColour(row.n), expected);
        if (row.n <= 250) {
            EXPECT_EQ(v.pointColour(row.n), row.colour);
        }
    }

    struct Bg {
        int scale, escape, width, height;
        bool single, circle;
    } bgs[] = {
        {100, 4, 300, 200, false, false},  // r 200: height 200 is not above cy + r = 300
        {25, 4, 300, 200, false, true},    // r 50
        {50, 4, 300, 200, false, false},   // r 100: height 200 is not above 200
        {50, 4, 300, 201, false, true},
        {25, 4, 300, 200, true, false},    // single orbit: black only
    };
    for (const Bg& bg : bgs) {
        SCOPED_TRACE(testing::Message() << "scale " << bg.scale << " height " << bg.height);
        OrbitView w = OrbitView::open(uint16_t(bg.escape), 250, bg.width, bg.height);
        w.Scale = bg.scale;
        w.SingleOrbit = bg.single;
        const OrbitBackground b = orbitBackground(w, bg.width, bg.height);
        EXPECT_EQ(b.Circle, bg.circle);
        EXPECT_EQ(b.Axes, !bg.single);
        OrbitCanvas c{bg.width, bg.height, {}};
        drawOrbitBackground(c, w);
        auto at = [&](int x, int y) { return c.Pixels[size_t(y) * size_t(c.Width) + size_t(x)]; };
        const int cx = bg.width / 2, cy = bg.height / 2, r = 2 * bg.scale;
        EXPECT_EQ(at(cx, 0), bg.single ? OrbitView::Black : OrbitView::AxisGrey);
        EXPECT_EQ(at(0, cy), bg.single ? OrbitView::Black : OrbitView::AxisGrey);
        EXPECT_EQ(at(bg.width - 1, cy), bg.single ? OrbitView::Black : OrbitView::AxisGrey);
        if (bg.circle) {
            EXPECT_EQ(at(cx + r - 1, cy - 1), OrbitView::Black);
            EXPECT_EQ(at(cx + r, cy - 1), OrbitView::CircleRed);
            EXPECT_EQ(at(cx + 1, cy - r), OrbitView::CircleRed);
            EXPECT_EQ(at(cx - r, cy + 1), OrbitView::CircleRed);
        }
        EXPECT_EQ(at(cx + 5, cy + 7), OrbitView::Black);
    }
}
