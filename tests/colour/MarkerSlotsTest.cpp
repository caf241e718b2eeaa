#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <utility>

#include "document/MarkerSlots.h"
#include "engine/AllocationFault.h"
#include "ui/text/StatusTexts.h"

namespace {

using document::MarkerShape;

colour::ImageBitmap noise(int width, int height, uint8_t format, unsigned seed = 7)
{
    colour::ImageBitmap b;
    b.Width = width;
    b.Height = height;
    b.PixelFormat = format;
    b.Pixels.resize(b.stride() * size_t(height));
    std::mt19937 rng(seed);
    for (uint8_t& v : b.Pixels)
        v = uint8_t(rng() % 200);  // never the marker colours used below
    return b;
}

// A palette whose entry 77 is the default marker colour (0, 102, 0); every other entry is far from it.
colour::Palette testPalette()
{
    colour::Palette p;
    for (size_t i = 0; i < 256; ++i)
        p.entries[i] = {uint8_t(200 + i % 50), uint8_t(i % 40), uint8_t(250 - i % 50), 0};
    p.entries[77] = {0, 102, 0, 0};
    return p;
}

struct Board {
    explicit Board(uint8_t format = engine::PixelFormat8, int w = 120, int h = 100)
        : bitmap(noise(w, h, format)), background(bitmap)
    {
        EXPECT_EQ(slots.CreateMarkers(), document::MarkerAllocation::Ok);
    }
    std::optional<int> place(int x, int y, MarkerShape shape = MarkerShape::Simple, const std::string& text = "m")
    {
        return slots.Place(set, bitmap, palette, style, mapping, x, y, text, shape);
    }
    document::MarkerSet set;
    document::TMarkerSlots slots;
    colour::ImageBitmap bitmap, background;
    colour::Palette palette = testPalette();
    document::MarkerStyle style;
    document::PlaneMapping mapping{-2.0, 1.5, 0.01};
};

// The pixels of a symbol drawn alone on a blank 8-bit bitmap with pen 1, relative to its centre.
std::set<std::pair<int, int>> symbolPixels(int size, MarkerShape shape)
{
    colour::ImageBitmap b;
    b.Width = b.Height = 61;
    b.Pixels.assign(61 * 61, 0);
    document::DrawMarkerSymbol(b, 30, 30, size, shape, 1);
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 61; ++x)
            if (b.row(y)[x] == 1)
                out.insert({x - 30, y - 30});
    return out;
}

TEST(MarkerSlotsTest, PlacingTakesTheFirstFreeSlotAndASixteenthFails)
{
    Board b;
    EXPECT_EQ(b.place(10, 10), 1);
    EXPECT_EQ(b.place(40, 10), 2);
    EXPECT_EQ(b.place(70, 10), 3);
    b.slots.Erase(b.set, b.bitmap, b.palette, b.style, 2, true);
    EXPECT_FALSE(b.set.Markers[1].InUse);
    EXPECT_EQ(b.set.Markers[1].Label, "");
    EXPECT_EQ(b.place(40, 60, MarkerShape::Circle, "again"), 2);
    EXPECT_EQ(b.set.Markers[1], (document::Marker{true, MarkerShape::Circle, 40, 60, "again"}));
    EXPECT_DOUBLE_EQ(b.slots.slot(2).PlaneX, 40 * 0.01 - 2.0);
    EXPECT_DOUBLE_EQ(b.slots.slot(2).PlaneY, 1.5 - 60 * 0.01);
    for (int n = 4; n <= 15; ++n)
        EXPECT_EQ(b.place(5 * n, 90), n);

    const document::MarkerSet before = b.set;
    const std::vector<uint8_t> pixels = b.bitmap.Pixels;
    EXPECT_EQ(b.place(60, 50), std::nullopt);
    EXPECT_EQ(b.set, before);
    EXPECT_EQ(b.bitmap.Pixels, pixels);
    EXPECT_EQ(text::lookup(text::StatusText::NoMarkerAvailable, 0), "No Marker available.");
}

TEST(MarkerSlotsTest, TextIsCutToEightyCharacters)
{
    Board b;
    const std::string accented = std::string(79, 'a') + "\xC3\xA9";
    b.place(20, 20, MarkerShape::Simple, accented + "zzz");
    EXPECT_EQ(b.set.Markers[0].Label, accented);
    b.place(30, 20, MarkerShape::Simple, "short");
    EXPECT_EQ(b.set.Markers[1].Label, "short");
}

TEST(MarkerSlotsTest, EraseRestoresEveryCoveredPixelForEverySize)
{
    for (const uint8_t format : {engine::PixelFormat8, engine::PixelFormat24}) {
        for (int size = 21; size <= 41; size += 2) {
            // Inside, and cut by each corner of the image.
            for (const auto& [x, y] : {std::pair{50, 50}, std::pair{0, 0}, std::pair{119, 99}, std::pair{3, 97}}) {
                SCOPED_TRACE(testing::Message() << "format " << int(format) << " size " << size << " at " << x << "," << y);
                Board b(format);
                b.style.Size = size;
                ASSERT_EQ(b.place(x, y, MarkerShape(size % 5)), 1);
                EXPECT_NE(b.bitmap.Pixels, b.background.Pixels);
                b.slots.Erase(b.set, b.bitmap, b.palette, b.style, 1, false);
                EXPECT_EQ(b.bitmap.Pixels, b.background.Pixels);
                EXPECT_TRUE(b.set.Markers[0].InUse) << "erasing without freeing keeps the slot";
            }
        }
    }
}

TEST(MarkerSlotsTest, SymbolStaysWithinHalfTheSizeAndTheLargestFillsTheBlock)
{
    for (int size = 21; size <= 41; size += 2) {
        for (int shape = 0; shape <= 4; ++shape) {
            SCOPED_TRACE(testing::Message() << "size " << size << " shape " << shape);
            const int h = (size - 1) / 2;
            const auto pixels = symbolPixels(size, MarkerShape(shape));
            int reach = 0;
            for (const auto& [dx, dy] : pixels)
                reach = std::max({reach, std::abs(dx), std::abs(dy)});
            EXPECT_EQ(reach, h) << "the cross reaches exactly h";
        }
    }
    EXPECT_EQ((41 - 1) / 2, document::MarkerReach);
}

TEST(MarkerSlotsTest, ShapesAreDrawnAsOutlines)
{
    const int size = 29, h = 14, c = h - 5, e = h - 6;
    struct Row {
        MarkerShape shape;
        std::vector<std::pair<int, int>> on, off;
        bool mirrorVertical;  // symmetric top to bottom
    } rows[] = {
        {MarkerShape::Simple, {}, {{c, c}, {e, e}, {e / 2, -e / 2}, {3, -e}, {-h + 6, 1}, {1, h - 6}}, true},
        {MarkerShape::Circle, {{c, 0}, {-c, 0}, {0, c}, {0, -c}}, {{c, c}, {e, e}, {2, 2}, {c - 1, 2}, {c + 1, 2}}, true},
        {MarkerShape::Square, {{e, e}, {-e, e}, {e, -e}, {-e, -e}, {e, 3}, {-3, -e}}, {{e + 1, e + 1}, {e - 1, e - 1}, {2, 2}}, true},
        {MarkerShape::Diamond, {{e, 0}, {-e, 0}, {0, e}, {0, -e}, {e / 2, -e / 2}, {-e / 2, e / 2}}, {{e, e}, {e, -e}, {2, 2}}, true},
        {MarkerShape::Triangle, {{0, e}, {e, -e}, {-e, -e}, {3, -e}, {-3, -e}, {e / 2, 0}}, {{e, e}, {-e, e}, {2, 2}, {e + 1, -e}, {2, -e - 1}}, false},
    };
    const auto simple = symbolPixels(size, MarkerShape::Simple);
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.shape));
        const auto pixels = symbolPixels(size, row.shape);
        // The cross and the four ticks, for every shape.
        for (const auto& p : std::vector<std::pair<int, int>>{{h, 0}, {-h, 0}, {0, h}, {0, -h}, {-h + 1, -1}, {-h + 5, 1},
                                                              {h - 1, 1}, {h - 5, -1}, {1, -h + 1}, {-1, h - 5}})
            EXPECT_TRUE(pixels.count(p)) << p.first << "," << p.second;
        for (const auto& p : std::vector<std::pair<int, int>>{{h + 1, 0}, {0, -h - 1}, {-h, 1}, {1, -h}, {h, -1}})
            EXPECT_FALSE(pixels.count(p)) << p.first << "," << p.second;
        for (const auto& p : row.on)
            EXPECT_TRUE(pixels.count(p)) << "on " << p.first << "," << p.second;
        for (const auto& p : row.off)
            EXPECT_FALSE(pixels.count(p)) << "off " << p.first << "," << p.second;
        for (const auto& p : simple)
            EXPECT_TRUE(pixels.count(p)) << "every symbol holds the cross and ticks";
        for (const auto& [dx, dy] : pixels) {
            EXPECT_TRUE(pixels.count({-dx, dy})) << "left-right symmetric " << dx << "," << dy;
            if (row.mirrorVertical) {
                EXPECT_TRUE(pixels.count({dx, -dy})) << "top-bottom symmetric " << dx << "," << dy;
            }
        }
    }
    EXPECT_EQ(symbolPixels(size, MarkerShape(7)), simple) << "an unknown code draws as Simple";
    EXPECT_EQ(symbolPixels(size, MarkerShape(0xFE)), simple);
}

TEST(MarkerSlotsTest, ColourAndSizeComeFromThePreferences)
{
    struct Row {
        uint8_t format;
        uint32_t colour;
        std::vector<uint8_t> expected;  // bytes of a marker pixel
    } rows[] = {
        {engine::PixelFormat8, 26112, {77}},                   // nearest palette entry: exact (0, 102, 0)
        {engine::PixelFormat8, 0x006A02, {77}},                // (2, 106, 0): still nearest to entry 77
        {engine::PixelFormat24, 26112, {0, 102, 0}},           // blue, green, red
        {engine::PixelFormat24, 0x00123456, {0x12, 0x34, 0x56}},  // stored 0x00BBGGRR
    };
    for (const Row& row : rows) {
        for (const int size : {21, 41}) {
            SCOPED_TRACE(testing::Message() << int(row.format) << " colour " << row.colour << " size " << size);
            Board b(row.format);
            b.style = {size, row.colour};
            b.place(60, 50);
            const int h = (size - 1) / 2;
            const int bpp = b.bitmap.bytesPerPixel();
            auto at = [&](int x, int y) {
                const uint8_t* p = b.bitmap.row(y) + size_t(x) * size_t(bpp);
                return std::vector<uint8_t>(p, p + bpp);
            };
            EXPECT_EQ(at(60 + h, 50), row.expected);
            EXPECT_EQ(at(60, 50 - h), row.expected);
            auto bg = [&](int x, int y) {
                const uint8_t* p = b.background.row(y) + size_t(x) * size_t(bpp);
                return std::vector<uint8_t>(p, p + bpp);
            };
            EXPECT_EQ(at(60 + h + 1, 50), bg(60 + h + 1, 50));
            EXPECT_EQ(at(60, 50 + h + 1), bg(60, 50 + h + 1));
        }
    }
}

TEST(MarkerSlotsTest, FindGivesTheMarkerUnderAPixel)
{
    Board b;
    b.style.Size = 21;  // h = 10
    b.place(20, 20);
    b.place(50, 20);
    b.place(58, 25);  // overlaps marker 2, drawn after it
    struct Row {
        int x, y;
        std::optional<int> expected;
    } rows[] = {
        {20, 20, 1}, {30, 30, 1}, {10, 10, 1}, {31, 20, std::nullopt}, {20, 9, std::nullopt},
        {40, 20, 2}, {55, 22, 3}, {66, 35, 3}, {68, 25, 3}, {69, 25, std::nullopt}, {90, 90, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
        EXPECT_EQ(b.slots.Find(b.set, b.style, row.x, row.y), row.expected);
    }
    b.slots.Erase(b.set, b.bitmap, b.palette, b.style, 3, true);
    EXPECT_EQ(b.slots.Find(b.set, b.style, 55, 22), 2);
}

TEST(MarkerSlotsTest, ErasingAnOverlappedMarkerKeepsTheOneDrawnOverIt)
{
    for (const uint8_t format : {engine::PixelFormat8, engine::PixelFormat24}) {
        SCOPED_TRACE(int(format));
        Board b(format);
        b.place(50, 50, MarkerShape::Square);
        b.place(60, 55, MarkerShape::Circle);
        b.slots.Erase(b.set, b.bitmap, b.palette, b.style, 1, true);

        Board alone(format);
        alone.place(60, 55, MarkerShape::Circle);
        EXPECT_EQ(b.bitmap.Pixels, alone.bitmap.Pixels);

        b.slots.Erase(b.set, b.bitmap, b.palette, b.style, 2, true);
        EXPECT_EQ(b.bitmap.Pixels, b.background.Pixels);
    }
}

TEST(MarkerSlotsTest, HideShowAndDeleteAll)
{
    Board b(engine::PixelFormat24);
    EXPECT_FALSE(b.slots.ShowAll(b.set, b.bitmap, b.palette, b.style, true)) << "none exists";
    EXPECT_EQ(b.bitmap.Pixels, b.background.Pixels);

    b.place(30, 30, MarkerShape::Diamond);
    b.place(45, 40, MarkerShape::Triangle);
    b.place(100, 80, MarkerShape(9));
    const std::vector<uint8_t> shown = b.bitmap.Pixels;

    b.slots.HideAll(b.bitmap);
    EXPECT_EQ(b.bitmap.Pixels, b.background.Pixels);
    EXPECT_TRUE(b.set.Markers[0].InUse && b.set.Markers[1].InUse && b.set.Markers[2].InUse);
    b.slots.HideAll(b.bitmap);
    EXPECT_EQ(b.bitmap.Pixels, b.background.Pixels) << "hiding twice writes nothing stale";

    EXPECT_TRUE(b.slots.ShowAll(b.set, b.bitmap, b.palette, b.style, true));
    EXPECT_EQ(b.bitmap.Pixels, shown);
    EXPECT_TRUE(b.slots.ShowAll(b.set, b.bitmap, b.palette, b.style, true));
    EXPECT_EQ(b.bitmap.Pixels, shown) << "showing again does not save the markers as background";

    // A recoloured image: the background is read again and hiding gives the new picture back.
    b.slots.HideAll(b.bitmap);
    b.bitmap = noise(120, 100, engine::PixelFormat24, 99);
    const colour::ImageBitmap recoloured = b.bitmap;
    EXPECT_TRUE(b.slots.ShowAll(b.set, b.bitmap, b.palette, b.style, true));
    b.slots.HideAll(b.bitmap);
    EXPECT_EQ(b.bitmap.Pixels, recoloured.Pixels);

    EXPECT_TRUE(b.slots.ShowAll(b.set, b.bitmap, b.palette, b.style, false));
    EXPECT_TRUE(b.slots.DeleteAll(b.set, b.bitmap));
    EXPECT_EQ(b.bitmap.Pixels, recoloured.Pixels);
    for (const document::Marker& m : b.set.Markers) {
        EXPECT_FALSE(m.InUse);
        EXPECT_EQ(m.Label, "");
    }
    EXPECT_FALSE(b.slots.DeleteAll(b.set, b.bitmap)) << "nothing left to delete";
    EXPECT_FALSE(b.slots.ShowAll(b.set, b.bitmap, b.palette, b.style, true));
    EXPECT_EQ(b.place(10, 10), 1);
}

TEST(MarkerSlotsTest, MovingAMarker)
{
    Board b;
    b.place(20, 20);
    b.place(40, 40, MarkerShape::Square, "two");
    b.slots.Erase(b.set, b.bitmap, b.palette, b.style, 1, true);  // slot 1 free again

    EXPECT_EQ(b.slots.Move(b.set, b.bitmap, b.palette, b.style, b.mapping, 2, 90, 70, "moved", MarkerShape::Diamond), 1)
        << "placed again in the first free slot";
    EXPECT_FALSE(b.set.Markers[1].InUse);
    EXPECT_EQ(b.set.Markers[0], (document::Marker{true, MarkerShape::Diamond, 90, 70, "moved"}));
    Board alone;
    alone.place(90, 70, MarkerShape::Diamond);
    EXPECT_EQ(b.bitmap.Pixels, alone.bitmap.Pixels) << "the old place is restored";

    EXPECT_EQ(b.slots.Move(b.set, b.bitmap, b.palette, b.style, b.mapping, 1, 120, 70, "out", MarkerShape::Simple), std::nullopt);
    EXPECT_FALSE(b.set.Markers[0].InUse) << "moved outside the image: deleted";
    EXPECT_EQ(b.bitmap.Pixels, b.background.Pixels);
}

TEST(MarkerSlotsTest, CreateMarkersReportsEachSaveArea)
{
    struct Row {
        engine::AllocationStep step;
        int skip;
        document::MarkerAllocation expected;
        const char* message;
    } rows[] = {
        {engine::AllocationStep::Markers2D, 0, document::MarkerAllocation::NoMemory2D, "No Memory for Markers 2D"},
        {engine::AllocationStep::Markers2D, 14, document::MarkerAllocation::NoMemory2D, "No Memory for Markers 2D"},
        {engine::AllocationStep::Markers3D, 6, document::MarkerAllocation::NoMemory3D, "No Memory for Markers 3D"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        document::TMarkerSlots slots;
        {
            engine::ScopedAllocationFailure fail(row.step, row.skip);
            EXPECT_EQ(slots.CreateMarkers(), row.expected);
        }
        EXPECT_STREQ(document::allocationMessage(row.expected), row.message);
        EXPECT_FALSE(slots.Available());
        document::MarkerSet set;
        colour::ImageBitmap bitmap = noise(50, 50, engine::PixelFormat8);
        EXPECT_EQ(slots.Place(set, bitmap, testPalette(), {}, {}, 10, 10, "", MarkerShape::Simple), std::nullopt);
        // The slots that failed are made on the next call.
        EXPECT_EQ(slots.CreateMarkers(), document::MarkerAllocation::Ok);
        EXPECT_TRUE(slots.Available());
        for (int n = 1; n <= 15; ++n) {
            EXPECT_EQ(slots.slot(n).Number, n);
            EXPECT_EQ(slots.slot(n).Saved2D.size(), 42u);
            EXPECT_EQ(slots.slot(n).Saved3D.size(), 42u);
        }
    }
}

}  // namespace
