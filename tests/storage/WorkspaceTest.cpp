#include "storage/Workspace.h"

#include <string>

#include <gtest/gtest.h>

#include "colour/ColorLine.h"
#include "colour/ColorTable24.h"
#include "colour/Palette.h"
#include "storage/SystemMemory.h"

namespace {

using engine::PixelFormat24;
using engine::PixelFormat8;
using storage::AllocImage;

TEST(WorkspaceTest, EnlargingKeepsTheOverlapAndZeroesTheRest)
{
    document::TFractal f;
    storage::ResetToDefaults(f);
    ASSERT_TRUE(AllocImage(f, 100, 100, PixelFormat8, true).ok);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            f.Data.at(y, x) = uint16_t(1 + y * 100 + x);
    f.ResumeLine = 40;
    f.FileName = "kept";

    ASSERT_TRUE(AllocImage(f, 200, 150, PixelFormat8, false).ok);
    EXPECT_EQ(f.Params.Width, 200);
    EXPECT_EQ(f.Params.Height, 150);
    EXPECT_EQ(f.Aspect, 200.0L / 150.0L);
    ASSERT_EQ(f.Data.width(), 200);
    ASSERT_EQ(f.Data.height(), 150);
    EXPECT_EQ(f.Bitmap.Width, 200);
    EXPECT_EQ(f.Bitmap.Height, 150);
    EXPECT_EQ(f.Bitmap.Pixels.size(), 200u * 150u);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            const uint16_t expected = (x < 100 && y < 100) ? uint16_t(1 + y * 100 + x) : 0;
            ASSERT_EQ(f.Data.at(y, x), expected) << y << "," << x;
            // Without clear every row is coloured again: Linear 8-bit gives the value's low byte.
            ASSERT_EQ(f.Bitmap.row(y)[x], uint8_t(expected & 0xFF)) << y << "," << x;
        }
    EXPECT_EQ(f.ResumeLine, 40);
    EXPECT_EQ(f.FileName, "kept");
}

TEST(WorkspaceTest, ClearStartsAnEmptyDocument)
{
    document::TFractal f;
    storage::ResetToDefaults(f);
    ASSERT_TRUE(AllocImage(f, 10, 10, PixelFormat8, true).ok);
    f.Data.fill(123);
    f.ColourAllRows();
    f.Palette.entries[5] = {1, 1, 1, 0};
    f.ColorTable24.records[0].position = 9;
    f.ResumeLine = 4;
    f.FileName = "old";
    f.Modified = true;

    ASSERT_TRUE(AllocImage(f, 10, 10, PixelFormat8, true).ok);
    EXPECT_EQ(f.Palette, colour::systemPalette());
    EXPECT_EQ(f.ColorTable24, colour::defaultColorTable24());
    EXPECT_EQ(f.ResumeLine, 0);
    EXPECT_TRUE(f.FileName.empty());
    EXPECT_FALSE(f.Modified);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(f.Data.at(y, x), 0);
    for (uint8_t px : f.Bitmap.Pixels)
        ASSERT_EQ(px, 0);
}

TEST(WorkspaceTest, OrbitArraysFollowTheAlgorithm)
{
    document::TFractal f;
    storage::ResetToDefaults(f);
    f.Params.MaxIter = 300;
    const struct {
        uint8_t algorithm;
        size_t expected;
    } rows[] = {{1, 301}, {0, 0}, {2, 301}, {3, 0}, {4, 301}, {5, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.algorithm));
        f.Params.Algorithm = row.algorithm;
        ASSERT_TRUE(AllocImage(f, 8, 8, PixelFormat8, false).ok);
        EXPECT_EQ(f.XOrbit.size(), row.expected);
        EXPECT_EQ(f.YOrbit.size(), row.expected);
        if (row.expected == 0) {
            EXPECT_EQ(f.XOrbit.capacity(), 0u) << "emptied arrays give their memory back";
        }
    }
    storage::FreeOrbits(f);
    EXPECT_TRUE(f.XOrbit.empty());
    EXPECT_EQ(f.State.XOrbit, nullptr);
}

TEST(WorkspaceTest, ColourTablesFollowThePixelFormat)
{
    document::TFractal f;
    storage::ResetToDefaults(f);
    f.Params.MaxIter = 640;
    ASSERT_TRUE(AllocImage(f, 6, 4, PixelFormat24, true).ok);
    EXPECT_EQ(f.PixelFormat, PixelFormat24);
    EXPECT_EQ(f.Bitmap.Pixels.size(), 6u * 4u * 3u);
    EXPECT_EQ(f.TableR.size(), 641u);
    EXPECT_EQ(f.TableG.size(), 641u);
    EXPECT_EQ(f.TableB.size(), 641u);
    EXPECT_EQ(f.ColorTable24.records[100].position, 640u);
    EXPECT_EQ(f.ColorTable24.records[101].position, 640u);
    EXPECT_EQ(f.RowProcedure, &colour::ColorLine24);

    ASSERT_TRUE(AllocImage(f, 6, 4, PixelFormat8, false).ok);
    EXPECT_TRUE(f.TableR.empty());
    EXPECT_TRUE(f.TableG.empty());
    EXPECT_TRUE(f.TableB.empty());
    EXPECT_EQ(f.Bitmap.Pixels.size(), 6u * 4u);
    EXPECT_NE(f.RowProcedure, &colour::ColorLine24);
}

TEST(WorkspaceTest, PotentialMakesTableEntryZeroBlack)
{
    document::TFractal f;
    storage::ResetToDefaults(f);
    f.Params.MaxIter = 100;
    const struct {
        uint8_t algorithm;
        bool black;
    } rows[] = {{engine::AlgLevel, false}, {engine::AlgPotential, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.algorithm));
        f.Params.Algorithm = row.algorithm;
        f.ColorTable24.filaments = colour::rgbToColour(0x336699);  // the colour of entry 0
        ASSERT_TRUE(AllocImage(f, 4, 4, PixelFormat24, false).ok);
        ASSERT_EQ(f.TableR.size(), 101u);
        if (row.black) {
            EXPECT_EQ(f.TableR[0], 0);
            EXPECT_EQ(f.TableG[0], 0);
            EXPECT_EQ(f.TableB[0], 0);
        } else {
            EXPECT_EQ(f.TableR[0], 0x33);
            EXPECT_EQ(f.TableG[0], 0x66);
            EXPECT_EQ(f.TableB[0], 0x99);
        }
    }
}

TEST(WorkspaceTest, SizesOutsideTheRangeChangeNothing)
{
    document::TFractal f;
    storage::ResetToDefaults(f);
    ASSERT_TRUE(AllocImage(f, 12, 9, PixelFormat8, false).ok);
    f.Data.at(3, 3) = 77;
    const struct {
        int width, height;
        uint8_t format;
    } rows[] = {{0, 9, PixelFormat8},     {12, 0, PixelFormat8},  {20001, 9, PixelFormat8},
                {12, 20001, PixelFormat8}, {-5, -5, PixelFormat8}, {12, 9, 4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.width << " x " << row.height << " format " << int(row.format));
        const storage::AllocResult r = AllocImage(f, row.width, row.height, row.format, true);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.message.empty());
        EXPECT_EQ(f.Params.Width, 12);
        EXPECT_EQ(f.Params.Height, 9);
        EXPECT_EQ(f.PixelFormat, PixelFormat8);
        EXPECT_EQ(f.Data.width(), 12);
        EXPECT_EQ(f.Data.at(3, 3), 77);
        EXPECT_EQ(f.Bitmap.Pixels.size(), 12u * 9u);
    }
}

TEST(WorkspaceTest, ResetToDefaultsGivesAOneByOneImage)
{
    document::TFractal f;
    storage::ResetToDefaults(f);
    f.Params.Algorithm = 1;
    ASSERT_TRUE(AllocImage(f, 30, 20, PixelFormat24, false).ok);
    f.Data3D.resize(30, 20);
    f.View3D = true;
    f.Comment = "x";

    EXPECT_TRUE(storage::ResetToDefaults(f).ok);
    EXPECT_EQ(f.Params.Width, 1);
    EXPECT_EQ(f.Params.Height, 1);
    EXPECT_EQ(f.PixelFormat, PixelFormat8);
    EXPECT_EQ(f.Data.width(), 1);
    EXPECT_EQ(f.Bitmap.Pixels.size(), 1u);
    EXPECT_TRUE(f.XOrbit.empty());
    EXPECT_TRUE(f.TableR.empty());
    EXPECT_EQ(f.Data3D.width(), 0);
    EXPECT_FALSE(f.View3D);
    EXPECT_TRUE(f.Comment.empty());
    EXPECT_EQ(storage::GetImageSize(f).width, 1);
}

TEST(WorkspaceTest, ClearImageWithoutValues)
{
    document::TFractal f;
    storage::ResetToDefaults(f);
    ASSERT_TRUE(AllocImage(f, 3, 2, PixelFormat24, false).ok);
    f.Data.fill(9);
    f.ColourAllRows();
    f.Modified = true;
    storage::ClearImage(f, false);
    EXPECT_EQ(f.Data.at(1, 2), 9);
    for (uint8_t px : f.Bitmap.Pixels)
        ASSERT_EQ(px, 0);
    EXPECT_FALSE(f.Modified);
    const storage::ImageSize size = storage::GetImageSize(f);
    EXPECT_EQ(size.width, 3);
    EXPECT_EQ(size.height, 2);
    EXPECT_EQ(size.pixelFormat, PixelFormat24);
}

TEST(MemoryFiguresTest, VariablesDialogFigures)
{
    const struct {
        const char* name;
        storage::MemoryFiguresInput in;
        storage::MemoryFigures expected;
    } rows[] = {
        // The worked example: 1,000,000 bytes available, no current image.
        {"300 x 300 8-bit accepted", {1000000, 0, 300, 300, false, 250, 0}, {1000000, 270000, 0, 0, false}},
        {"500 x 500 24-bit refused", {1000000, 0, 500, 500, true, 250, 0}, {1000000, 1250750, 0, 750, true}},
        // Exactly 0.86 x available still fits; one byte more does not.
        {"860,000 of 1,000,000 fits", {1000000, 0, 1000, 286, false, 125, 1}, {1000000, 858000, 2000, 0, false}},
        {"orbits take part in the test", {1000000, 0, 1000, 286, false, 126, 1}, {1000000, 858000, 2016, 0, true}},
        {"colour table does not", {1000000, 0, 343, 500, true, 1000, 0}, {1000000, 860500, 0, 3000, false}},
        {"the current image is given back", {500000, 500000, 300, 300, false, 20, 4}, {1000000, 270000, 320, 0, false}},
        {"no orbits for Binary", {1000000, 0, 10, 10, false, 65000, 3}, {1000000, 300, 0, 0, false}},
        {"largest image", {0, 0, 20000, 20000, true, 65000, 2}, {0, 2000195000, 1040000, 195000, true}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const storage::MemoryFigures got = storage::ComputeMemoryFigures(row.in);
        EXPECT_EQ(got.available, row.expected.available);
        EXPECT_EQ(got.imageAndCalc, row.expected.imageAndCalc);
        EXPECT_EQ(got.orbits, row.expected.orbits);
        EXPECT_EQ(got.colourTable, row.expected.colourTable);
        EXPECT_EQ(got.tooMuch, row.expected.tooMuch);
    }
}

TEST(MemoryFiguresTest, CurrentUseAndLoaderEstimate)
{
    document::TFractal f;
    storage::ResetToDefaults(f);
    ASSERT_TRUE(AllocImage(f, 40, 30, PixelFormat24, false).ok);
    EXPECT_EQ(storage::CurrentImageUse(f), 40u * 30u * 5u);
    ASSERT_TRUE(AllocImage(f, 40, 30, PixelFormat8, false).ok);
    EXPECT_EQ(storage::CurrentImageUse(f), 40u * 30u * 3u);

    EXPECT_TRUE(storage::NotEnoughMemoryFor(1000, 1000, false, 3488372));
    EXPECT_FALSE(storage::NotEnoughMemoryFor(1000, 1000, false, 3488373));
    EXPECT_TRUE(storage::NotEnoughMemoryFor(1000, 1000, true, 5813953));
    EXPECT_FALSE(storage::NotEnoughMemoryFor(1000, 1000, true, 5813954));
    EXPECT_FALSE(storage::exceedsMemoryBudget(UINT64_MAX / 2, UINT64_MAX));
    EXPECT_TRUE(storage::exceedsMemoryBudget(UINT64_MAX, UINT64_MAX));
}

TEST(SystemMemoryTest, MemAvailableLine)
{
    const struct {
        const char* name;
        const char* text;
        bool ok;
        uint64_t bytes;
    } rows[] = {
        {"typical", "MemTotal:        8000000 kB\nMemFree:          100000 kB\nMemAvailable:    2500000 kB\n", true,
         2500000ull * 1024},
        {"first line", "MemAvailable: 7 kB\n", true, 7168},
        {"missing (old kernels)", "MemTotal: 8000000 kB\nMemFree: 100000 kB\n", false, 0},
        {"not a number", "MemAvailable: lots\n", false, 0},
        {"overflow", "MemAvailable: 99999999999999999999 kB\n", false, 0},
        {"empty", "", false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        uint64_t bytes = 0;
        EXPECT_EQ(storage::parseMemAvailable(row.text, bytes), row.ok);
        if (row.ok) {
            EXPECT_EQ(bytes, row.bytes);
        }
    }
    EXPECT_GT(storage::availablePhysicalMemory(), 0u);
}

}  // namespace
