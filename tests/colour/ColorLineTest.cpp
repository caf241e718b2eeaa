// Row colouring of 8-bit and 24-bit images. Expected indices worked out by hand from the three
// mapping rules (value mod 256, round(ln v * m) mod 256, round(sqrt v * m) mod 256).
#include <gtest/gtest.h>

#include "colour/ColorLine.h"
#include "document/Fractal.h"
#include "ColourTestUtil.h"

namespace {

using colourtest::sizeImage;
using colourtest::sizeTables;

struct IndexRow {
    const char* name;
    uint8_t boundary;
    int32_t multiplier;
    int32_t biomorph;
    uint16_t value;
    uint8_t expected;
};

const IndexRow indexRows[] = {
    {"linear keeps the low byte", 0, 10, 7, 255, 255},
    {"linear 256 shows entry 0", 0, 10, 7, 256, 0},
    {"linear 257 shows entry 1", 0, 10, 7, 257, 1},
    {"linear ignores the multiplier", 0, 3, 7, 300, 44},
    {"linear inside is biomorph", 0, 10, 7, 65535, 7},
    {"linear 0 is entry 0, not biomorph", 0, 10, 7, 0, 0},
    {"biomorph index above 255 keeps its low byte", 0, 10, 0x1234, 65535, 0x34},
    {"negative biomorph index keeps its low byte", 0, 10, -1, 65535, 0xFF},
    {"log of 1 is 0", 1, 10, 7, 1, 0},
    {"log of 0 is biomorph", 1, 10, 7, 0, 7},
    {"log inside is biomorph", 1, 10, 9, 65535, 9},
    {"log 1000 x 10 = 69.08 -> 69", 1, 10, 7, 1000, 69},
    {"log 2 x 500 = 346.57 -> 347 -> 91", 1, 500, 7, 2, 91},
    {"log with a negative multiplier from a file wraps", 1, -10, 7, 1000, 187},  // -69 & 0xFF
    {"sqrt 100 x 10 = 100", 2, 10, 7, 100, 100},
    {"sqrt 65534 x 10 = 2559.96 -> 2560 wraps to 0", 2, 10, 7, 65534, 0},
    {"sqrt 2 x 10 = 14.14 -> 14", 2, 10, 7, 2, 14},
    {"sqrt 3 x 10 = 17.32 -> 17", 2, 10, 7, 3, 17},
    {"sqrt of 0 is biomorph", 2, 10, 7, 0, 7},
    {"sqrt inside is biomorph", 2, 10, 3, 65535, 3},
};

TEST(ColorLine8, MappingRules)
{
    for (const IndexRow& row : indexRows) {
        SCOPED_TRACE(row.name);
        document::TFractal f;
        sizeImage(f, 3, 2, engine::PixelFormat8);
        f.SetBoundary(colour::BoundaryKind(row.boundary), row.multiplier);
        f.BiomorphIndex = row.biomorph;
        for (int x = 0; x < 3; ++x)
            f.Data.at(1, x) = row.value;
        ASSERT_NE(f.RowProcedure, nullptr);
        f.ColorLine(1);
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(f.Bitmap.row(1)[x], row.expected) << x;
        // Only the row asked for is written.
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(f.Bitmap.row(0)[x], 0xEE);
    }
}

TEST(ColorLine8, View3DReadsData3D)
{
    for (uint8_t boundary : {uint8_t(0), uint8_t(1), uint8_t(2)}) {
        SCOPED_TRACE(int(boundary));
        document::TFractal f;
        sizeImage(f, 2, 1, engine::PixelFormat8, true);
        f.SetBoundary(colour::BoundaryKind(boundary), 1);
        f.Data.fill(1);      // index 0 by every rule
        f.Data3D.fill(100);  // 100, round(ln 100) = 5, sqrt 100 = 10
        f.View3D = true;
        f.ColorLine(0);
        const uint8_t expected3D[] = {100, 5, 10};
        EXPECT_EQ(f.Bitmap.row(0)[0], expected3D[boundary]);
        f.View3D = false;
        f.ColorLine(0);
        const uint8_t expected2D[] = {1, 0, 1};
        EXPECT_EQ(f.Bitmap.row(0)[1], expected2D[boundary]);
    }
}

TEST(ColorLine8, RowsOutsideTheImageWriteNothing)
{
    document::TFractal f;
    sizeImage(f, 4, 2, engine::PixelFormat8);
    f.SelectColorLine();
    const std::vector<uint8_t> before = f.Bitmap.Pixels;
    for (int row : {-1, 2, 1000}) {
        f.ColorLine(row);
        EXPECT_EQ(f.Bitmap.Pixels, before) << row;
    }
}

TEST(SelectColorLine, ByPixelFormatBoundaryAndMode)
{
    struct Row {
        const char* name;
        uint8_t pixelFormat, boundary, tableMode;
        colour::ColorLineFn expected;
    } rows[] = {
        {"8-bit linear", engine::PixelFormat8, 0, 5, &colour::ColorLineLinear},
        {"8-bit log", engine::PixelFormat8, 1, 0, &colour::ColorLineLog},
        {"8-bit sqrt", engine::PixelFormat8, 2, 0, &colour::ColorLineSqrt},
        {"8-bit unknown boundary keeps the procedure", engine::PixelFormat8, 3, 0, &colour::ColorLine24},
        {"24-bit table", engine::PixelFormat24, 2, 0, &colour::ColorLine24},
        {"24-bit calculated", engine::PixelFormat24, 0, 1, &colour::ColorLine24},
        {"24-bit unknown mode keeps the procedure", engine::PixelFormat24, 0, 2, &colour::ColorLineLog},
        {"other pixel format keeps the procedure", 4, 0, 0, &colour::ColorLineSqrt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        document::TFractal f;
        // A procedure that the row cannot select, to see whether it is kept.
        f.RowProcedure = row.expected;
        f.PixelFormat = row.pixelFormat;
        f.BoundaryType = colour::BoundaryKind(row.boundary);
        f.TableMode = colour::TableModeKind(row.tableMode);
        // Start from a different procedure when the row expects a selection.
        if (row.pixelFormat == engine::PixelFormat8 && row.boundary <= 2)
            f.RowProcedure = &colour::ColorLine24;
        if (row.pixelFormat == engine::PixelFormat24 && row.tableMode <= 1)
            f.RowProcedure = &colour::ColorLineLinear;
        f.SelectColorLine();
        EXPECT_EQ(f.RowProcedure, row.expected);
    }
}

TEST(SetBoundary, SelectsTheProcedureAndStoresBoth)
{
    document::TFractal f;
    f.PixelFormat = engine::PixelFormat8;
    f.SetBoundary(colour::BoundaryKind(2), 37);
    EXPECT_EQ(f.RowProcedure, &colour::ColorLineSqrt);
    EXPECT_EQ(f.BoundaryType, colour::BoundaryKind::Sqrt);
    EXPECT_EQ(f.Multiplier, 37);
    f.SetTableMode(colour::TableModeKind(1));  // the table mode does not matter to an 8-bit image
    EXPECT_EQ(f.RowProcedure, &colour::ColorLineSqrt);
    f.PixelFormat = engine::PixelFormat24;
    f.SetTableMode(colour::TableModeKind(0));
    EXPECT_EQ(f.RowProcedure, &colour::ColorLine24);
}

TEST(ColorLine24, TableBiomorphAndOutOfRange)
{
    document::TFractal f;
    sizeImage(f, 5, 1, engine::PixelFormat24);
    sizeTables(f, 100);
    for (int i = 0; i <= 100; ++i) {
        f.TableR[size_t(i)] = uint8_t(i);
        f.TableG[size_t(i)] = uint8_t(i + 1);
        f.TableB[size_t(i)] = uint8_t(i + 2);
    }
    f.BiomorphRGB = {11, 22, 33};
    f.OutOfRangeColour = 0x00665544;  // red 0x44, green 0x55, blue 0x66
    const uint16_t values[] = {0, 99, 100, 65534, 65535};
    for (int x = 0; x < 5; ++x)
        f.Data.at(0, x) = values[x];
    f.SetTableMode(colour::TableModeKind(0));
    f.ColorLine(0);
    const uint8_t expectedBgr[5][3] = {
        {2, 1, 0},              // entry 0
        {101, 100, 99},         // last entry below MaxIter
        {0x66, 0x55, 0x44},     // value == MaxIter is out of range
        {0x66, 0x55, 0x44},     // 65534
        {33, 22, 11},           // inside
    };
    for (int x = 0; x < 5; ++x) {
        SCOPED_TRACE(values[x]);
        EXPECT_EQ(f.Bitmap.row(0)[3 * x + 0], expectedBgr[x][0]);
        EXPECT_EQ(f.Bitmap.row(0)[3 * x + 1], expectedBgr[x][1]);
        EXPECT_EQ(f.Bitmap.row(0)[3 * x + 2], expectedBgr[x][2]);
    }
}

TEST(ColorLine24, View3DReadsData3DAndShortTablesAreNotOverrun)
{
    document::TFractal f;
    sizeImage(f, 2, 1, engine::PixelFormat24, true);
    sizeTables(f, 50, 0x10);
    f.Data.fill(5);
    f.Data3D.fill(40);
    f.TableR[40] = 0x99;
    f.View3D = true;
    f.SetTableMode(colour::TableModeKind(0));
    f.ColorLine(0);
    EXPECT_EQ(f.Bitmap.row(0)[2], 0x99);
    // Tables shorter than MaxIter + 1 (a failed allocation): values past them show the out-of-range colour.
    f.TableR.resize(10);
    f.OutOfRangeColour = 0x000000AA;
    f.ColorLine(0);
    EXPECT_EQ(f.Bitmap.row(0)[2], 0xAA);
}

}  // namespace
