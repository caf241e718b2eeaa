// Palette (".p8", ".act") and 24-bit table (".p24") files, and palettes and tables taken from a
// document. Expected layouts are the documented file formats: ".p8" 1584 bytes, ".act" 768 bytes of
// RGB triplets (the image-editor colour-table format), ".p24" 1804 bytes; documents carry the palette
// at 0x120 and the table at 0x530 of their 4328-byte header.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <sys/resource.h>
#include <unistd.h>

#include "colour/ColorTable24.h"
#include "colour/Palette.h"
#include "storage/DocumentHeader.h"
#include "storage/PaletteFiles.h"

namespace {

namespace fs = std::filesystem;
using storage::LoadOrigin;
using storage::PaletteFormat;
using storage::TableFormat;

class PaletteFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("vorex-palette-files-" + std::to_string(::getpid()) + "-"
                                           + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    static void writeBytes(const std::string& p, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    static std::vector<uint8_t> readBytes(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    // Files in the directory other than the ones named: temporary files left behind.
    size_t fileCount() const
    {
        return size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }

    fs::path dir;
};

colour::Palette samplePalette()
{
    colour::Palette p;
    for (int i = 0; i < 256; ++i)
        p.entries[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), uint8_t(i % 5)};
    return p;
}

colour::ColorTable24 sampleTable()
{
    colour::ColorTable24 t = colour::defaultColorTable24();
    t.biomorph = 0x00112233;
    t.filaments = 0x00445566;
    t.records[14] = {7777, 0x00010203, 0x00040506};
    return t;
}

uint16_t u16At(const std::vector<uint8_t>& b, size_t at)
{
    return uint16_t(b[at] | (b[at + 1] << 8));
}

std::string shortStringAt(const std::vector<uint8_t>& b, size_t at)
{
    return std::string(reinterpret_cast<const char*>(b.data() + at + 1), b[at]);
}

// The part both ".p8" and ".p24" share: magic, three short strings, format number, date.
void expectHead(const std::vector<uint8_t>& b, uint16_t magic, size_t recordEnd)
{
    EXPECT_EQ(u16At(b, 0), magic);
    EXPECT_EQ(shortStringAt(b, 0x02), "Vorex");
    EXPECT_EQ(shortStringAt(b, 0x0D), "--V1.8--");
    EXPECT_EQ(shortStringAt(b, 0x18), storage::DocumentIdentification);  // the document header's text
    for (size_t i = 0x19 + b[0x18]; i < 0x2E; ++i)  // text tail and padding
        EXPECT_EQ(b[i], 0) << i;
    for (size_t i = 0x03 + b[0x02]; i < 0x0D; ++i)
        EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(u16At(b, 0x2E), 1);
    double date;
    std::memcpy(&date, b.data() + 0x30, 8);
    EXPECT_EQ(date, 45123.75);
    for (size_t i = recordEnd; i < b.size(); ++i)
        ASSERT_EQ(b[i], 0) << "reserved byte " << i;
}

TEST_F(PaletteFilesTest, P8Layout)
{
    const std::vector<uint8_t> b = storage::encodeP8File(samplePalette(), 45123.75);
    ASSERT_EQ(b.size(), 1584u);
    EXPECT_EQ(b[0], 0x03);
    EXPECT_EQ(b[1], 0xD8);
    expectHead(b, 55299, 0x43C);
    EXPECT_EQ(u16At(b, 0x38), 768);
    EXPECT_EQ(u16At(b, 0x3A), 256);
    for (size_t i = 0; i < 256; ++i) {
        const size_t at = 0x3C + 4 * i;
        ASSERT_EQ(b[at], uint8_t(i));
        ASSERT_EQ(b[at + 1], uint8_t(255 - i));
        ASSERT_EQ(b[at + 2], uint8_t(i * 7));
        ASSERT_EQ(b[at + 3], uint8_t(i % 5));
    }
}

TEST_F(PaletteFilesTest, ActLayout)
{
    const std::vector<uint8_t> b = storage::encodeActFile(samplePalette());
    ASSERT_EQ(b.size(), 768u);
    for (size_t i = 0; i < 256; ++i) {
        ASSERT_EQ(b[3 * i], uint8_t(i));
        ASSERT_EQ(b[3 * i + 1], uint8_t(255 - i));
        ASSERT_EQ(b[3 * i + 2], uint8_t(i * 7));
    }
}

TEST_F(PaletteFilesTest, P24Layout)
{
    const std::vector<uint8_t> b = storage::encodeP24File(sampleTable(), 45123.75);
    ASSERT_EQ(b.size(), 1804u);
    EXPECT_EQ(b[0], 0x03);
    EXPECT_EQ(b[1], 0xD7);
    expectHead(b, 55043, 0x518);
    const colour::ColorTable24Bytes record = colour::encodeColorTable24(sampleTable());
    EXPECT_TRUE(std::equal(record.begin(), record.end(), b.begin() + 0x38));
    // Record 14 of the table: 24 + 14 x 12 bytes into the record.
    EXPECT_EQ(u16At(b, 0x38 + 24 + 14 * 12), 7777);
}

TEST_F(PaletteFilesTest, SavedFilesCarryTodaysDate)
{
    const double expected = double(std::time(nullptr)) / 86400.0 + 25569.0;  // UTC; local differs by < 1 day
    EXPECT_NEAR(storage::currentFileDate(), expected, 1.0);
}

TEST_F(PaletteFilesTest, RoundTrips)
{
    struct Row {
        const char* file;
        PaletteFormat format;
        size_t size;
        bool keepsFlagsAndHeader;
    } rows[] = {
        {"cold.p8", PaletteFormat::P8, 1584, true},
        {"cold.act", PaletteFormat::Act, 768, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        colour::Palette saved = samplePalette();
        saved.version = 0x1234;  // taken without validation by ".p8"
        std::string name = "old";
        storage::ColourFileResult r = storage::SavePalette8(saved, path(row.file), row.format, name);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(name, "cold");
        EXPECT_EQ(r.paletteDirectory, dir.string());
        EXPECT_EQ(fs::file_size(path(row.file)), row.size);
        EXPECT_EQ(fileCount(), 1u) << "no temporary file left";

        colour::Palette loaded;
        std::string loadedName;
        r = storage::LoadPalette8(loaded, loadedName, path(row.file), row.format);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(loadedName, "cold");
        EXPECT_EQ(r.paletteDirectory, dir.string());
        if (row.keepsFlagsAndHeader) {
            EXPECT_EQ(loaded, saved);
        } else {
            EXPECT_EQ(loaded.version, 768);
            EXPECT_EQ(loaded.count, 256);
            for (size_t i = 0; i < 256; ++i) {
                const colour::PaletteEntry e = saved.entries[i];
                ASSERT_EQ(loaded.entries[i], (colour::PaletteEntry{e.red, e.green, e.blue, 0})) << i;
            }
        }
        fs::remove(path(row.file));
    }
}

TEST_F(PaletteFilesTest, TableNameKeepsItsExtensionOnlyWhenSaved)
{
    std::string name;
    storage::ColourFileResult r = storage::SaveTable24(sampleTable(), path("warm.p24"), name);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(name, "warm.p24");
    EXPECT_EQ(r.paletteDirectory, dir.string());
    EXPECT_EQ(fs::file_size(path("warm.p24")), 1804u);

    colour::ColorTable24 loaded;
    r = storage::LoadTable24(loaded, name, path("warm.p24"), TableFormat::P24);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(name, "warm");
    EXPECT_EQ(loaded, sampleTable());
}

// Files shorter than their fixed size fail; longer ones load from their first bytes.
TEST_F(PaletteFilesTest, ShortAndLongFiles)
{
    const std::vector<uint8_t> p8 = storage::encodeP8File(samplePalette(), 1);
    const std::vector<uint8_t> act = storage::encodeActFile(samplePalette());
    const std::vector<uint8_t> p24 = storage::encodeP24File(sampleTable(), 1);
    struct Row {
        const char* name;
        const std::vector<uint8_t>* image;
        long sizeChange;  // bytes cut (negative) or appended
        bool table;
        PaletteFormat paletteFormat;
        bool expectOk;
    } rows[] = {
        {"p8 one byte short", &p8, -1, false, PaletteFormat::P8, false},
        {"p8 magic only", &p8, 2 - 1584, false, PaletteFormat::P8, false},
        {"p8 with trailing bytes", &p8, 100, false, PaletteFormat::P8, true},
        {"act one byte short", &act, -1, false, PaletteFormat::Act, false},
        {"empty act", &act, -768, false, PaletteFormat::Act, false},
        {"act with a trailing colour count", &act, 4, false, PaletteFormat::Act, true},
        {"p24 one byte short", &p24, -1, true, PaletteFormat::P8, false},
        {"p24 with trailing bytes", &p24, 3000, true, PaletteFormat::P8, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<uint8_t> bytes = *row.image;
        bytes.resize(size_t(long(bytes.size()) + row.sizeChange), uint8_t(0x5A));
        writeBytes(path("f"), bytes);
        std::string name = "before";
        bool ok;
        if (row.table) {
            colour::ColorTable24 t;
            ok = storage::LoadTable24(t, name, path("f"), TableFormat::P24).ok;
            EXPECT_EQ(t, ok ? sampleTable() : colour::ColorTable24{});
        } else {
            colour::Palette p = colour::systemPalette();
            ok = storage::LoadPalette8(p, name, path("f"), row.paletteFormat).ok;
            if (ok) {
                EXPECT_EQ(p.entries[200].red, samplePalette().entries[200].red);
            } else {
                EXPECT_EQ(p, colour::systemPalette());
            }
        }
        EXPECT_EQ(ok, row.expectOk);
        EXPECT_EQ(name, ok ? "f" : "before");
    }
}

TEST_F(PaletteFilesTest, WrongMagicIsRefused)
{
    std::vector<uint8_t> documentLike = storage::encodeP8File(samplePalette(), 1);
    documentLike[0] = 0x03;
    documentLike[1] = 0xD9;  // a document's magic
    writeBytes(path("doc.p8"), documentLike);
    writeBytes(path("table.p24"), storage::encodeP24File(sampleTable(), 1));
    writeBytes(path("pal.p8"), storage::encodeP8File(samplePalette(), 1));
    writeBytes(path("pal.act"), storage::encodeActFile(samplePalette()));

    struct Row {
        const char* name;
        bool table;
        const char* file;
        LoadOrigin origin;
        bool extraBeep;
    } rows[] = {
        {"document chosen as p8", false, "doc.p8", LoadOrigin::Dialog, false},
        {"table chosen as p8", false, "table.p24", LoadOrigin::Dialog, false},
        {"act dropped on the palette editor is read as p8", false, "pal.act", LoadOrigin::Dropped, false},
        {"palette chosen as p24", true, "pal.p8", LoadOrigin::Dialog, false},
        {"palette dropped on the table editor", true, "pal.p8", LoadOrigin::Dropped, true},
        {"act dropped on the table editor", true, "pal.act", LoadOrigin::Dropped, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string name = "kept";
        storage::ColourFileResult r;
        if (row.table) {
            colour::ColorTable24 t = colour::defaultColorTable24();
            r = storage::LoadTable24(t, name, path(row.file), TableFormat::P24, row.origin);
            EXPECT_EQ(t, colour::defaultColorTable24());
        } else {
            colour::Palette p = colour::systemPalette();
            r = storage::LoadPalette8(p, name, path(row.file), PaletteFormat::P8, row.origin);
            EXPECT_EQ(p, colour::systemPalette());
        }
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.extraBeep, row.extraBeep);
        EXPECT_EQ(name, "kept");
        EXPECT_TRUE(r.paletteDirectory.empty());
    }
}

TEST_F(PaletteFilesTest, DroppedFilesLoadWithoutMovingTheDirectory)
{
    std::string name;
    ASSERT_TRUE(storage::SavePalette8(samplePalette(), path("drop.p8"), PaletteFormat::P8, name).ok);
    colour::Palette p;
    name.clear();
    // The format asked for is ignored for a dropped file.
    storage::ColourFileResult r = storage::LoadPalette8(p, name, path("drop.p8"), PaletteFormat::Act, LoadOrigin::Dropped);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(p, samplePalette());
    EXPECT_EQ(name, "drop");
    EXPECT_TRUE(r.paletteDirectory.empty());
}

// A synthetic document header: magic, then the palette at 0x120 and the table at 0x530.
std::vector<uint8_t> documentImage(uint16_t magic, size_t size)
{
    std::vector<uint8_t> b(size, 0);
    b[0] = uint8_t(magic);
    b[1] = uint8_t(magic >> 8);
    const colour::PaletteBytes pal = colour::encodePalette(samplePalette());
    const colour::ColorTable24Bytes tab = colour::encodeColorTable24(sampleTable());
    std::copy(pal.begin(), pal.end(), b.begin() + 0x120);
    std::copy(tab.begin(), tab.end(), b.begin() + 0x530);
    return b;
}

TEST_F(PaletteFilesTest, TakenFromADocument)
{
    struct Row {
        const char* name;
        uint16_t magic;
        size_t size;
        bool expectOk;
    } rows[] = {
        {"document with pixel data", 55555, 4328 + 500, true},
        {"header only", 55555, 4328, true},
        {"truncated header", 55555, 4327, false},
        {"palette file magic", 55299, 4328, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeBytes(path("fractal.mbt"), documentImage(row.magic, row.size));
        colour::Palette p = colour::systemPalette();
        std::string palName = "x";
        storage::ColourFileResult r = storage::LoadPalette8(p, palName, path("fractal.mbt"), PaletteFormat::Document);
        EXPECT_EQ(r.ok, row.expectOk);
        EXPECT_TRUE(r.paletteDirectory.empty());  // documents do not move the palette directory
        EXPECT_EQ(p, row.expectOk ? samplePalette() : colour::systemPalette());
        EXPECT_EQ(palName, row.expectOk ? "fractal" : "x");

        colour::ColorTable24 t;
        std::string tabName = "y";
        r = storage::LoadTable24(t, tabName, path("fractal.mbt"), TableFormat::Document);
        EXPECT_EQ(r.ok, row.expectOk);
        EXPECT_EQ(t, row.expectOk ? sampleTable() : colour::ColorTable24{});
        EXPECT_EQ(tabName, row.expectOk ? "fractal" : "y");
    }
}

TEST_F(PaletteFilesTest, MissingFilesAndDirectoriesFail)
{
    colour::Palette p;
    std::string name = "n";
    EXPECT_FALSE(storage::LoadPalette8(p, name, path("absent.p8"), PaletteFormat::P8).ok);
    EXPECT_FALSE(storage::LoadPalette8(p, name, dir.string(), PaletteFormat::Act).ok);
    EXPECT_FALSE(storage::SavePalette8(p, path("no/such/dir/x.p8"), PaletteFormat::P8, name).ok);
    EXPECT_FALSE(storage::SavePalette8(p, path("x.mbt"), PaletteFormat::Document, name).ok);
    EXPECT_EQ(name, "n");
    // Saving over a directory fails and leaves no temporary file.
    fs::create_directory(path("sub.p24"));
    EXPECT_FALSE(storage::SaveTable24(colour::ColorTable24{}, path("sub.p24"), name).ok);
    EXPECT_EQ(fileCount(), 1u);
    EXPECT_EQ(name, "n");
}

// A save that fails part way (here: the file-size limit stops the write, as a full disk would)
// leaves the previous file complete and no temporary file behind.
TEST_F(PaletteFilesTest, FailedSaveKeepsThePreviousFile)
{
    std::string name;
    ASSERT_TRUE(storage::SavePalette8(samplePalette(), path("keep.p8"), PaletteFormat::P8, name).ok);
    ASSERT_TRUE(storage::SaveTable24(sampleTable(), path("keep.p24"), name).ok);
    const std::vector<uint8_t> p8Before = readBytes(path("keep.p8"));
    const std::vector<uint8_t> p24Before = readBytes(path("keep.p24"));

    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;  // smaller than both files
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    name = "unchanged";
    const bool p8Ok = storage::SavePalette8(colour::systemPalette(), path("keep.p8"), PaletteFormat::P8, name).ok;
    const bool p24Ok = storage::SaveTable24(colour::defaultColorTable24(), path("keep.p24"), name).ok;
    const bool actOk = storage::SavePalette8(colour::systemPalette(), path("small.act"), PaletteFormat::Act, name).ok;
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(p8Ok);
    EXPECT_FALSE(p24Ok);
    EXPECT_TRUE(actOk);  // 768 bytes fit under the limit
    EXPECT_EQ(name, "small");
    EXPECT_EQ(readBytes(path("keep.p8")), p8Before);
    EXPECT_EQ(readBytes(path("keep.p24")), p24Before);
    EXPECT_EQ(fileCount(), 3u);
}

}  // namespace
