// The edges and emboss filters: the per-pixel rules, the pass over a picture, its stop, and the
// parallel pass against the single one.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <vector>

#include "colour/filters/Filters.h"

namespace {

using namespace colour::filters;

constexpr uint32_t White = 0xFFFFFF, Black = 0x000000;

colour::ImageBitmap picture(int w, int h, uint8_t format = engine::PixelFormat24)
{
    colour::ImageBitmap b;
    b.Width = w;
    b.Height = h;
    b.PixelFormat = format;
    b.Pixels.resize(b.stride() * size_t(h));
    for (size_t i = 0; i < b.Pixels.size(); ++i)
        b.Pixels[i] = uint8_t(i * 37 + 11);
    return b;
}

uint32_t colourAt(const colour::ImageBitmap& b, int x, int y)
{
    const uint8_t* p = b.row(y) + 3 * x;
    return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
}

engine::TVxWork values(int w, int h, uint16_t fill)
{
    engine::TVxWork d;
    d.resize(w, h);
    d.fill(fill);
    return d;
}

FilterSettings edges()
{
    FilterSettings s;
    s.Kind = FilterKind::Edges;
    return s;
}

FilterSettings emboss(uint8_t deep = 3, uint8_t contrast = 128, Light light = Light::NW)
{
    FilterSettings s;
    s.Kind = FilterKind::Emboss;
    s.Emboss.Deep = deep;
    s.Emboss.Contrast = contrast;
    s.Emboss.LightAngle = light;
    return s;
}

TEST(EdgesFilter, UniformAreaIsBackgroundWithLinesAtItsBorder)
{
    // A block of 7 (columns 2..5, rows 1..4) on a field of 3.
    engine::TVxWork d = values(8, 6, 3);
    for (int y = 1; y <= 4; ++y)
        for (int x = 2; x <= 5; ++x)
            d.at(y, x) = 7;
    colour::ImageBitmap b = picture(8, 6);
    ASSERT_TRUE(ApplyFilter(edges(), d, b));
    const char* expected[] = {
        "..LLLL..",
        ".LLLLLL.",
        ".LL..LL.",
        ".LL..LL.",
        ".LLLLLL.",
        "..LLLL..",
    };
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(colourAt(b, x, y), expected[y][x] == 'L' ? Black : White) << x << "," << y;
}

TEST(EdgesFilter, MeanOfTheNeighboursIsTruncated)
{
    const EdgesSettings s;
    struct Row {
        Neighbours n;
        bool line;
    } rows[] = {
        {{5, 5, 5, 5, 6}, false},  // 21 / 4 = 5
        {{5, 6, 6, 6, 6}, true},
        {{5, 5, 5, 5, 5}, false},
        {{5, 4, 5, 5, 5}, true},   // 19 / 4 = 4
        {{5, 7, 5, 5, 6}, false},  // 23 / 4 = 5
        {{5, 8, 5, 5, 6}, true},   // 24 / 4 = 6
        {{65534, 65535, 65535, 65535, 65535}, true},
    };
    for (const Row& r : rows)
        EXPECT_EQ(EdgesPixel(s, r.n, 0x123456), r.line ? Black : White)
            << r.n.c << ": " << r.n.down << " " << r.n.up << " " << r.n.left << " " << r.n.right;
}

TEST(EdgesFilter, ImageBordersAreNeverLinesByThemselves)
{
    for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 5}, std::pair{6, 1}, std::pair{4, 3}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const engine::TVxWork d = values(w, h, 9);
        colour::ImageBitmap b = picture(w, h);
        ApplyFilter(edges(), d, b);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(colourAt(b, x, y), White) << x << "," << y;
    }
}

TEST(EdgesFilter, ColoursFromTheFractalAndBrightness)
{
    struct Row {
        bool linesFromFractal, backgroundFromFractal;
        int brightness;
        uint32_t pixel, background, line;
    } rows[] = {
        {false, false, 0, 0x405060, 0x00FF00, 0x0000FF},
        {true, false, 100, 0x405060, 0x00FF00, 0x405060},
        {false, true, 100, 0x405060, 0x405060, 0x0000FF},
        {false, true, 0, 0x405060, 0x000000, 0x0000FF},
        {false, true, 200, 0x405060, 0xFFFFFF, 0x0000FF},
        // 150: each channel goes half way to white, ties to even: 100 + round(77.5) = 178, round(127.5) = 128
        {false, true, 150, 0x640000, 0xB28080, 0x0000FF},
        // 50: half way to black: 101 + round(-50.5) = 51, 255 + round(-127.5) = 127
        {true, true, 50, 0x6500FF, 0x33007F, 0x6500FF},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.brightness) + " " + std::to_string(r.linesFromFractal)
                     + std::to_string(r.backgroundFromFractal));
        EdgesSettings s;
        s.Background = 0x00FF00;
        s.Line = 0x0000FF;
        s.LinesFromFractal = r.linesFromFractal;
        s.BackgroundFromFractal = r.backgroundFromFractal;
        s.Brightness = uint8_t(r.brightness);
        EXPECT_EQ(EdgesPixel(s, {4, 4, 4, 4, 4}, r.pixel), r.background);
        EXPECT_EQ(EdgesPixel(s, {4, 9, 4, 4, 4}, r.pixel), r.line);
        s.Biomorph = 0x010203;
        EXPECT_EQ(EdgesPixel(s, {65535, 65535, 65535, 65535, 65535}, r.pixel), 0x010203u);
        EXPECT_EQ(EdgesPixel(s, {65535, 1, 1, 1, 1}, r.pixel), 0x010203u);
    }
}

TEST(EmbossFilter, SlopeByLightAngle)
{
    struct Row {
        Light light;
        int deep, contrast;
        Neighbours n;
        int grey;
    } rows[] = {
        {Light::NW, 3, 128, {7, 7, 7, 7, 7}, 128},        // flat: the contrast
        {Light::SE, 3, 200, {7, 7, 7, 7, 7}, 200},
        {Light::NW, 3, 128, {7, 150, 50, 9, 9}, 172},     // 300 + 128 = 428
        {Light::NE, 3, 128, {7, 150, 50, 9, 9}, 172},
        {Light::SW, 3, 128, {7, 150, 50, 9, 9}, 84},      // -300 + 128 = -172
        {Light::SE, 3, 128, {7, 150, 50, 9, 9}, 84},
        {Light::NW, 1, 128, {7, 0, 0, 10, 13}, 129},      // 1.5 + 128, truncated
        {Light::NE, 1, 128, {7, 0, 0, 10, 13}, 126},      // -1.5 + 128
        {Light::SW, 1, 0, {7, 0, 0, 13, 10}, 255},        // -1.5 truncated towards zero: -1
        {Light::SE, 0, 128, {7, 65000, 0, 0, 65000}, 128},
        {Light::SE, 50, 255, {7, 0, 65534, 65534, 0}, (50 * 65534 + 50 * 32767 + 255) & 0xFF},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(int(r.light)) + " deep " + std::to_string(r.deep) + " grey "
                     + std::to_string(r.grey));
        EmbossSettings s;
        s.LightAngle = r.light;
        s.Deep = uint8_t(r.deep);
        s.Contrast = uint8_t(r.contrast);
        const uint32_t g = uint32_t(r.grey);
        EXPECT_EQ(EmbossPixel(s, r.n, 0xABCDEF), g | g << 8 | g << 16);
    }
    EmbossSettings s;
    s.Biomorph = 0x112233;
    EXPECT_EQ(EmbossPixel(s, {65535, 0, 9, 0, 0}, 0), 0x112233u);
}

TEST(EmbossFilter, FlatPictureTakesTheContrastAndBiomorphsTheirColour)
{
    engine::TVxWork d = values(5, 4, 20);
    d.at(2, 2) = engine::Inside;
    colour::ImageBitmap b = picture(5, 4);
    FilterSettings s = emboss(3, 90);
    s.Emboss.Biomorph = 0x0A0B0C;
    ASSERT_TRUE(ApplyFilter(s, d, b));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            if (x == 2 && y == 2)
                EXPECT_EQ(colourAt(b, x, y), 0x0A0B0Cu);
            else if (std::abs(x - 2) + std::abs(y - 2) == 1)
                EXPECT_NE(colourAt(b, x, y), 0x5A5A5Au) << x << "," << y;  // next to the inside value
            else
                EXPECT_EQ(colourAt(b, x, y), 0x5A5A5Au) << x << "," << y;
        }
}

TEST(Filters, EightBitPicturesAndNoFilterChangeNothing)
{
    engine::TVxWork d = values(6, 5, 3);
    d.at(2, 2) = 40;
    for (FilterSettings s : {edges(), emboss()}) {
        colour::ImageBitmap b = picture(6, 5, engine::PixelFormat8);
        const std::vector<uint8_t> before = b.Pixels;
        EXPECT_TRUE(ApplyFilter(s, d, b));
        EXPECT_EQ(b.Pixels, before);
        EXPECT_TRUE(ApplyFilterParallel(s, d, b, 2));
        EXPECT_EQ(b.Pixels, before);
    }
    colour::ImageBitmap b = picture(6, 5);
    const std::vector<uint8_t> before = b.Pixels;
    ApplyFilter(FilterSettings{}, d, b);
    EXPECT_EQ(b.Pixels, before);
}

TEST(Filters, StopLeavesTheLowerRowsUnfiltered)
{
    const engine::TVxWork d = values(7, 9, 12);
    for (FilterSettings s : {edges(), emboss()}) {
        colour::ImageBitmap b = picture(7, 9);
        const colour::ImageBitmap before = b;
        std::atomic<bool> stop{false};
        std::vector<int> steps;
        FilterControl control;
        control.stop = &stop;
        control.progress = [&](int row) {
            steps.push_back(row);
            if (row == 3)
                stop = true;
        };
        EXPECT_FALSE(ApplyFilter(s, d, b, control));
        EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3}));
        const uint32_t flat = s.Kind == FilterKind::Edges ? White : 0x808080u;
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(colourAt(b, x, y), y <= 3 ? flat : colourAt(before, x, y)) << x << "," << y;
    }
}

// The pass gives every pixel what the pixel rule gives for its value, its neighbours (itself outside
// the image) and its colour before the pass.
TEST(Filters, PassAppliesThePixelRuleToEveryPixel)
{
    std::mt19937 gen(11);
    const int w = 23, h = 17;
    engine::TVxWork d;
    d.resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            d.at(y, x) = gen() % 9 == 0 ? engine::Inside : uint16_t(x / 5 + y / 4 + gen() % 2);
    std::vector<FilterSettings> settings = {edges(), emboss(), emboss(7, 3, Light::SW)};
    for (int brightness : {0, 37, 100, 150, 200}) {
        FilterSettings s = edges();
        s.Edges.BackgroundFromFractal = true;
        s.Edges.LinesFromFractal = brightness % 2 == 0;
        s.Edges.Brightness = uint8_t(brightness);
        settings.push_back(s);
    }
    for (size_t k = 0; k < settings.size(); ++k) {
        SCOPED_TRACE(k);
        const colour::ImageBitmap before = picture(w, h);
        colour::ImageBitmap b = before;
        ASSERT_TRUE(ApplyFilter(settings[k], d, b));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint16_t c = d.at(y, x);
                const Neighbours n{c, y + 1 < h ? d.at(y + 1, x) : c, y > 0 ? d.at(y - 1, x) : c,
                                   x > 0 ? d.at(y, x - 1) : c, x + 1 < w ? d.at(y, x + 1) : c};
                const uint32_t old = colourAt(before, x, y);
                const uint32_t expected = settings[k].Kind == FilterKind::Edges ? EdgesPixel(settings[k].Edges, n, old)
                                                                                : EmbossPixel(settings[k].Emboss, n, old);
                EXPECT_EQ(colourAt(b, x, y), expected) << x << "," << y;
            }
    }
}

TEST(Filters, ParallelEqualsTheSinglePass)
{
    std::mt19937 gen(7);
    struct Doc {
        int w, h;
        int spread;
    } docs[] = {{37, 23, 3}, {64, 1, 50}, {1, 40, 2}, {200, 150, 1000}, {2, 2, 2}};
    std::vector<FilterSettings> settings = {edges(), emboss(), emboss(50, 7, Light::SE), emboss(1, 255, Light::NE)};
    FilterSettings fromFractal = edges();
    fromFractal.Edges.LinesFromFractal = true;
    fromFractal.Edges.BackgroundFromFractal = true;
    fromFractal.Edges.Brightness = 130;
    settings.push_back(fromFractal);
    for (const Doc& doc : docs) {
        engine::TVxWork d;
        d.resize(doc.w, doc.h);
        for (int y = 0; y < doc.h; ++y)
            for (int x = 0; x < doc.w; ++x)
                d.at(y, x) = gen() % 13 == 0 ? engine::Inside : uint16_t(x / 4 + y / 3 + gen() % doc.spread);
        for (size_t k = 0; k < settings.size(); ++k) {
            colour::ImageBitmap expected = picture(doc.w, doc.h);
            ASSERT_TRUE(ApplyFilter(settings[k], d, expected));
            for (int threads : {1, 2, 3}) {
                SCOPED_TRACE(std::to_string(doc.w) + "x" + std::to_string(doc.h) + " settings "
                             + std::to_string(k) + " threads " + std::to_string(threads));
                colour::ImageBitmap got = picture(doc.w, doc.h);
                ASSERT_TRUE(ApplyFilterParallel(settings[k], d, got, threads));
                EXPECT_TRUE(got.Pixels == expected.Pixels);
            }
        }
    }
}

}  // namespace
