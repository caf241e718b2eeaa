// 24-bit colour tables built from boundaries and calculated from the transfer functions.
// Expected colours worked out by hand from the default boundary table and the hexcone model.
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>

#include "colour/ColorLine.h"
#include "document/Fractal.h"
#include "colour/ColourTables.h"
#include "colour/Hsv.h"
#include "colour/TransferFunctions.h"
#include "ColourTestUtil.h"

namespace {

using colour::RgbBytes;
using colourtest::sizeTables;

RgbBytes entry(const document::TFractal& f, int v)
{
    RgbBytes c;
    EXPECT_TRUE(f.tableEntry(v, c)) << v;
    return c;
}

// Tables longer than MaxIter + 1 with a marker byte, to see that nothing is written past MaxIter.
void sizeWithSlack(document::TFractal& f, uint16_t maxIter, size_t slack)
{
    sizeTables(f, maxIter);
    for (auto* t : {&f.TableR, &f.TableG, &f.TableB})
        t->resize(t->size() + slack, 0xAB);
}

void expectUntouchedFrom(const document::TFractal& f, size_t first)
{
    for (size_t i = first; i < f.TableR.size(); ++i) {
        ASSERT_EQ(f.TableR[i], 0xAB) << i;
        ASSERT_EQ(f.TableG[i], 0xAB) << i;
        ASSERT_EQ(f.TableB[i], 0xAB) << i;
    }
}

TEST(BuildTableFromBoundaries, DefaultTableAtMaxIter1000)
{
    document::TFractal f;
    sizeWithSlack(f, 1000, 200);
    colour::BuildTableFromBoundaries(f, f.ColorTable24, f.Params.MaxIter, f.Params.Algorithm);
    struct Row {
        int value;
        RgbBytes expected;
        const char* why;
    } rows[] = {
        {0, {0, 0, 0}, "filaments colour (black by default)"},
        {1, {255, 255, 0}, "upper colour of the boundary at 1"},
        {8, {136, 136, 0}, "255 + round(7 x -17)"},
        {15, {17, 17, 0}, "one step before the next boundary"},
        {16, {255, 0, 0}, "upper colour of the boundary at 16"},
        {35, {0, 255, 0}, "upper colour of the boundary at 35"},
        {100, {0, 0, 0}, "upper colour of the boundary at 100"},
        {130, {128, 36, 128}, "half way from black to FF49FF: 127.5 -> 128, 36.5 -> 36"},
        {1000, {246, 0, 9}, "segment 700..1024 clamped at 1000: 127 + round(300 x 128/324), 127 + round(300 x -127/324)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        EXPECT_EQ(entry(f, row.value), row.expected) << row.value;
    }
    expectUntouchedFrom(f, 1001);
    EXPECT_EQ(f.BiomorphRGB, (std::array<uint8_t, 3>{0, 0, 0}));
}

TEST(BuildTableFromBoundaries, FilamentsBiomorphAndPotential)
{
    for (uint8_t algorithm : {uint8_t(engine::AlgLevel), uint8_t(engine::AlgPotential)}) {
        SCOPED_TRACE(int(algorithm));
        document::TFractal f;
        f.Params.Algorithm = algorithm;
        sizeTables(f, 100);
        colour::ColorTable24 t = colour::defaultColorTable24();
        t.filaments = colour::rgbToColour(0x102030);
        t.biomorph = colour::rgbToColour(0x405060);
        colour::BuildTableFromBoundaries(f, t, f.Params.MaxIter, f.Params.Algorithm);
        const RgbBytes expected0 = algorithm == engine::AlgPotential ? RgbBytes{0, 0, 0} : RgbBytes{0x10, 0x20, 0x30};
        EXPECT_EQ(entry(f, 0), expected0);
        EXPECT_EQ(f.BiomorphRGB, (std::array<uint8_t, 3>{0x40, 0x50, 0x60}));
    }
}

TEST(BuildTableFromBoundaries, LeadInLeadOutAndFreeFirstRecord)
{
    colour::ColorTable24 t;  // every record free
    t.leadIn = {0, colour::rgbToColour(0x000000), colour::rgbToColour(0x000000)};
    t.records[0] = {5, colour::rgbToColour(0x00FF00), colour::rgbToColour(0x640000)};
    t.records[100] = {50, colour::rgbToColour(0x0000C8), colour::rgbToColour(0x00FFFF)};
    t.records[101] = {100, 0, colour::rgbToColour(0xFF0000)};

    // Record 1 free: only the segment 0..100 is drawn, no lead-in and no lead-out.
    document::TFractal f;
    sizeWithSlack(f, 100, 10);
    colour::BuildTableFromBoundaries(f, t, f.Params.MaxIter, f.Params.Algorithm);
    EXPECT_EQ(entry(f, 4), (RgbBytes{0xAB, 0xAB, 0xAB}));  // lead-in not drawn
    EXPECT_EQ(entry(f, 5), (RgbBytes{0, 255, 0}));
    EXPECT_EQ(entry(f, 50), (RgbBytes{0, 255, 255}));      // lower colour of record 100
    EXPECT_EQ(entry(f, 51), (RgbBytes{0xAB, 0xAB, 0xAB}));  // lead-out not drawn
    expectUntouchedFrom(f, 101);

    // With record 1 in use: lead-in (position 0 < 5), 0..1, 1..100, then 100..101 since MaxIter > 50.
    t.records[1] = {20, colour::rgbToColour(0xFFFFFF), colour::rgbToColour(0x000000)};
    sizeWithSlack(f, 100, 10);
    colour::BuildTableFromBoundaries(f, t, f.Params.MaxIter, f.Params.Algorithm);
    EXPECT_EQ(entry(f, 2), (RgbBytes{40, 0, 0}));     // lead-in: 0 + round(2 x 100/5)
    EXPECT_EQ(entry(f, 5), (RgbBytes{0, 255, 0}));    // overwritten by the start of 0..1
    EXPECT_EQ(entry(f, 20), (RgbBytes{255, 255, 255}));
    EXPECT_EQ(entry(f, 50), (RgbBytes{0, 0, 200}));   // upper colour of record 100 starts the lead-out
    EXPECT_EQ(entry(f, 75), (RgbBytes{128, 0, 100}));  // 127.5 -> 128, 200 - 100
    EXPECT_EQ(entry(f, 100), (RgbBytes{255, 0, 0}));
    expectUntouchedFrom(f, 101);
}

TEST(BuildTableFromBoundaries, AllUserRecordsInUse)
{
    colour::ColorTable24 t;
    for (int i = 0; i < 100; ++i)
        t.records[size_t(i)] = {uint32_t(2 * i + 1), colour::rgbToColour(uint32_t(i)), 0};
    t.records[100] = {300, colour::rgbToColour(0xFFFFFF), colour::rgbToColour(0xFFFFFF)};
    document::TFractal f;
    sizeTables(f, 300);
    colour::BuildTableFromBoundaries(f, t, f.Params.MaxIter, f.Params.Algorithm);
    EXPECT_EQ(entry(f, 197), (RgbBytes{0, 0, 98}));   // record 98's own value
    EXPECT_EQ(entry(f, 199), (RgbBytes{0, 0, 99}));   // record 99
    EXPECT_EQ(entry(f, 300), (RgbBytes{255, 255, 255}));  // (99, 100) reaches the end record
}

// Positions come from files: out of order, far beyond MaxIter, 0, equal. Nothing past MaxIter moves.
TEST(BuildTableFromBoundaries, DamagedPositionsStayInsideTheTables)
{
    const uint32_t positionSets[][5] = {
        {0xFFFFFFFE, 0x80000000, 7, 3, 0},
        {500, 400, 300, 200, 100},
        {0, 0, 0, 0, 0},
        {1, 2, 0xFFFFFFFD, 4, 70000},
        {60, 60, 61, 61, 0xFFFFFFFF},
    };
    for (const auto& positions : positionSets) {
        SCOPED_TRACE(positions[0]);
        colour::ColorTable24 t = colour::defaultColorTable24();
        t.leadIn.position = 0xFFFFFFF0;
        for (int i = 0; i < 5; ++i)
            t.records[size_t(i)].position = positions[i];
        t.records[100].position = 0x7FFFFFFF;
        t.records[101].position = 3;
        document::TFractal f;
        sizeWithSlack(f, 64, 50);
        colour::BuildTableFromBoundaries(f, t, f.Params.MaxIter, f.Params.Algorithm);
        expectUntouchedFrom(f, 65);
    }
    // Tables shorter than MaxIter + 1 are not overrun either.
    document::TFractal f;
    sizeTables(f, 1000);
    for (auto* v : {&f.TableR, &f.TableG, &f.TableB})
        v->resize(10);
    colour::BuildTableFromBoundaries(f, f.ColorTable24, f.Params.MaxIter, f.Params.Algorithm);
    colour::BuildTableCalculated(f, f.Params.MaxIter, f.Params.Algorithm);
    EXPECT_EQ(f.TableR.size(), 10u);
}

TEST(TransferFunctions, HueTerms)
{
    struct Row {
        int index;
        int64_t k;
        int32_t mult;
        int64_t expected;
    } rows[] = {
        {0, 725, 999, 5},         // k mod 360
        {1, 7, 100, 340},         // 700 mod 360
        {2, 7, 100, 300},         // log2(8) x 100
        {3, 99, 100, 200},        // log10(100) x 100
        {4, 8, 100, 300},         // sqrt(9) x 100
        {4, 1, 100, 141},         // sqrt(2) x 100 = 141.42
        {5, 11, 7, -7},           // sin(11) = -0.99999: a negative term stays negative
        {5, 11, 500, -140},       // -500 rem 360 truncates: -140, not 220
        {5, 2, 100, 91},          // sin(2) x 100 = 90.93
        {9, 400, 100, 40},        // unknown function counts as Unity
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.index << " k=" << row.k);
        EXPECT_EQ(colour::hueTerm(row.index, row.k, row.mult), row.expected);
    }
}

TEST(TransferFunctions, ValueFunctions)
{
    struct Row {
        int index;
        int64_t k;
        int32_t mult;
        long double expected;
    } rows[] = {
        {0, 77, 100, 0}, {1, 50, 100, 0.5L}, {2, 200, 100, 1}, {3, 1000, 100, 1},
        {4, 400, 100, 2}, {5, 0, 100, 0},    {5, 157, 100, std::sin(1.57L)}, {9, 5, 1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.index << " k=" << row.k);
        EXPECT_NEAR(double(colour::valueFunction(row.index, row.k, row.mult)), double(row.expected), 1e-15);
    }
}

TEST(BuildTableCalculated, UnityFunctionsWalkTheHueCircle)
{
    document::TFractal f;
    f.ColorTable24.filaments = colour::rgbToColour(0x0A0B0C);
    f.BiomorphRGB = {1, 2, 3};
    sizeWithSlack(f, 400, 5);
    colour::BuildTableCalculated(f, f.Params.MaxIter, f.Params.Algorithm);
    EXPECT_EQ(entry(f, 0), (RgbBytes{10, 11, 12}));
    EXPECT_EQ(entry(f, 60), (RgbBytes{255, 255, 0}));
    EXPECT_EQ(entry(f, 120), (RgbBytes{0, 255, 0}));
    EXPECT_EQ(entry(f, 240), (RgbBytes{0, 0, 255}));
    EXPECT_EQ(entry(f, 360), (RgbBytes{255, 0, 0}));
    EXPECT_EQ(entry(f, 390), (RgbBytes{255, 128, 0}));  // hue 30: 127.5 -> 128
    EXPECT_EQ(f.BiomorphRGB, (std::array<uint8_t, 3>{1, 2, 3}));  // left alone
    expectUntouchedFrom(f, 401);

    f.HueOffset = 120;  // shifts every hue
    colour::BuildTableCalculated(f, f.Params.MaxIter, f.Params.Algorithm);
    EXPECT_EQ(entry(f, 120), (RgbBytes{0, 0, 255}));
    f.Params.Algorithm = engine::AlgPotential;
    colour::BuildTableCalculated(f, f.Params.MaxIter, f.Params.Algorithm);
    EXPECT_EQ(entry(f, 0), (RgbBytes{0, 0, 0}));
}

TEST(BuildTableCalculated, LinearValueReachesBlackThenWraps)
{
    document::TFractal f;
    f.ValueFunction = 1;
    f.ValueMult = 100;
    sizeTables(f, 300);
    colour::BuildTableCalculated(f, f.Params.MaxIter, f.Params.Algorithm);
    EXPECT_EQ(entry(f, 100), (RgbBytes{0, 0, 0}));  // V = 0
    // k = 150: V = -0.5, hue 150 (sector 2, f = 0.5): (p, v, t) = (0, -0.5, -0.25) x 255
    // = (0, -127.5, -63.75) -> (0, -128, -64) -> low bytes (0, 128, 192).
    EXPECT_EQ(entry(f, 150), (RgbBytes{0, 128, 192}));
    // k = 50: V = 0.5 at hue 50: (v, t, p) = (127.5, 106.25, 0) -> (128, 106, 0).
    EXPECT_EQ(entry(f, 50), (RgbBytes{128, 106, 0}));
}

TEST(BuildTableCalculated, NegativeSineHueAndDamagedMultipliers)
{
    document::TFractal f;
    f.HueFunction = 5;
    f.HueMult = 500;
    sizeTables(f, 20);
    colour::BuildTableCalculated(f, f.Params.MaxIter, f.Params.Algorithm);
    // k = 11: hue term -140, so H = -140, the same colour as 220.
    const colour::RgbReal c = colour::HsvToRgb({220, 1, 1});
    EXPECT_EQ(entry(f, 11), (RgbBytes{uint8_t(colour::roundEven(c.r)), uint8_t(colour::roundEven(c.g)),
                                      uint8_t(colour::roundEven(c.b))}));

    // A value multiplier of 0 or below (only a damaged document holds one) gives black, not a crash.
    for (int32_t vm : {0, -5}) {
        SCOPED_TRACE(vm);
        f.ValueFunction = 2;
        f.ValueMult = vm;
        colour::BuildTableCalculated(f, f.Params.MaxIter, f.Params.Algorithm);
        EXPECT_EQ(entry(f, 11), (RgbBytes{0, 0, 0}));
    }
}

// The touch-up's use of the growth: the new limit becomes the image's once the tables have followed.
bool grow(document::TFractal& f, uint16_t newMaxIter)
{
    if (!colour::GrowTablesForTouchUp(f, f.Params.MaxIter, newMaxIter, f.Params.Algorithm))
        return false;
    f.Params.MaxIter = std::max(f.Params.MaxIter, newMaxIter);
    return true;
}

TEST(GrowTablesForTouchUp, EnlargesAndRebuildsByTheCurrentMode)
{
    document::TFractal f;
    sizeTables(f, 1000);
    f.RebuildTables();
    ASSERT_TRUE(grow(f, 3000));
    EXPECT_EQ(f.TableR.size(), 3001u);
    EXPECT_EQ(f.TableB.size(), 3001u);
    EXPECT_EQ(f.Params.MaxIter, 3000);
    EXPECT_EQ(f.ColorTable24.records[100].position, 3000u);
    EXPECT_EQ(f.ColorTable24.records[101].position, 3000u);
    EXPECT_EQ(entry(f, 1024), (RgbBytes{0, 0x40, 0x7F}));  // no longer clamped away
    EXPECT_EQ(entry(f, 2900), (RgbBytes{0, 0, 0}));
    EXPECT_EQ(entry(f, 3000), (RgbBytes{255, 192, 192}));  // lower colour of the end record

    // A lower limit changes nothing.
    const std::vector<uint8_t> before = f.TableG;
    ASSERT_TRUE(grow(f, 500));
    EXPECT_EQ(f.Params.MaxIter, 3000);
    EXPECT_EQ(f.TableG, before);

    f.TableMode = colour::TableModeKind::Calculated;
    ASSERT_TRUE(grow(f, 3100));
    EXPECT_EQ(f.TableR.size(), 3101u);
    EXPECT_EQ(entry(f, 3060), (RgbBytes{0, 255, 255}));  // Unity hue 3060 mod 360 = 180
}

}  // namespace
