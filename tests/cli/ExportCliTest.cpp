// "vorex-cli export": documents made by "vorex-cli new", exported, and read back by third-party
// decoders; the pixels are compared with the document's picture as this library colours it.

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "storage/Document.h"
#include "tests/storage/ExportTestUtil.h"
#include "tests/storage/StorageTestUtil.h"

using namespace export_test;

namespace {

class ExportCli : public ::testing::Test {
protected:
    CommandResult cli(const std::string& args) { return run(std::string(VOREX_CLI) + " " + args + " --quiet", true); }

    // A computed document, made once per depth and kept for the test.
    std::string document(int depth, const std::string& extra = "")
    {
        const std::string path = dir.file("d" + std::to_string(depth) + std::to_string(extra.size()) + ".mbt");
        const CommandResult r = cli("new --size 61x43 --iter 60 --depth " + std::to_string(depth) + " " + extra
                                    + " -o " + quoted(path));
        EXPECT_EQ(r.status, 0) << r.out;
        return path;
    }

    storage_test::TempDir dir{"exportcli"};
};

}  // namespace

TEST_F(ExportCli, EveryFormatMatchesTheDocumentsPicture)
{
    struct Row {
        const char* out;
        int depth;
        const char* options;
        const char* decoder;
        int tolerance;  // largest mean absolute error per channel; 0 = exact
    } rows[] = {
        {"p8.tif", 8, "--dpi 72", "/usr/bin/tifftopnm", 0},
        {"p24.tif", 24, "--dpi 1200", "/usr/bin/tifftopnm", 0},
        {"p8.gif", 8, "", "/usr/bin/giftopnm", 0},
        {"p24.gif", 24, "--dither diffusion", "/usr/bin/giftopnm", 12},
        {"p24.jpg", 24, "--quality 95", "/usr/bin/djpeg -ppm", 6},
        {"p8.bmp", 8, "", "/usr/bin/bmptopnm", 0},
        {"p8.png", 8, "--dpi 72", "/usr/bin/pngtopnm", 0},
        {"p24.png", 24, "--dpi 600", "/usr/bin/pngtopnm", 0},
    };
    const std::string doc8 = document(8), doc24 = document(24);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.out);
        const std::string doc = r.depth == 8 ? doc8 : doc24;
        const std::string out = dir.file(r.out);
        const CommandResult c = cli("export " + quoted(doc) + " -o " + quoted(out) + " " + r.options);
        ASSERT_EQ(c.status, 0) << c.out;
        document::TFractal f;
        ASSERT_EQ(storage::LoadDocument(f, doc, nullptr), storage::LoadResult::Ok);
        const std::string tool = std::string(r.decoder).substr(0, std::string(r.decoder).find(' '));
        if (!toolExists(tool))
            continue;
        const Ppm decoded = decode(r.decoder, out);
        ASSERT_TRUE(decoded.valid());
        ASSERT_EQ(decoded.width, 61);
        ASSERT_EQ(decoded.height, 43);
        if (r.tolerance == 0) {
            std::string where;
            EXPECT_EQ(countDifferences(f, decoded, &where), 0) << where;
        } else {
            double error = 0;
            for (int y = 0; y < 43; ++y)
                for (int x = 0; x < 61; ++x) {
                    const auto want = shownColour(f, x, y);
                    for (size_t ch = 0; ch < 3; ++ch)
                        error += std::abs(int(decoded.rgb[(size_t(y) * 61 + size_t(x)) * 3 + ch]) - want[ch]);
                }
            EXPECT_LT(error / (61.0 * 43 * 3), r.tolerance);
        }
    }
    VOREX_NEED_TOOLS("/usr/bin/tifftopnm", "/usr/bin/giftopnm", "/usr/bin/djpeg", "/usr/bin/bmptopnm",
                     "/usr/bin/pngtopnm", "/usr/bin/tiffinfo");
    const CommandResult info = run("/usr/bin/tiffinfo " + quoted(dir.file("p24.tif")), true);
    EXPECT_NE(info.out.find("Resolution: 1200, 1200 pixels/inch"), std::string::npos) << info.out;
    // --dpi goes into PNG files too (pHYs, in pixels per metre), as Pillow reads it.
    VOREX_NEED_TOOLS("/usr/bin/python3", PillowModule);
    for (const auto& [file, dpi] : {std::pair{"p8.png", 72.0}, std::pair{"p24.png", 600.0}}) {
        SCOPED_TRACE(file);
        const PillowImage png = decodeWithPillow(dir.file(file));
        ASSERT_TRUE(png.pixels.valid());
        EXPECT_NEAR(png.dpiX, dpi, 0.05);
        EXPECT_NEAR(png.dpiY, dpi, 0.05);
    }
}

TEST_F(ExportCli, HelpNamesTheFormatsOfTheResolutionAndTheSampling)
{
    const CommandResult help = run(std::string(VOREX_CLI) + " --help", true);
    EXPECT_EQ(help.status, 0) << help.out;
    EXPECT_NE(help.out.find("resolution written into TIFF and PNG files"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("4:4:4"), std::string::npos) << help.out;
}

TEST_F(ExportCli, JpegSamplingFollowsTheQuality)
{
    // The default quality (90) keeps the colour at full resolution; 89 halves it both ways.
    const std::string doc = document(24);
    struct Row {
        const char* out;
        const char* options;
        const char* luma;  // djpeg's sampling of the first component
    } rows[] = {
        {"default.jpg", "", "1hx1v"},
        {"q89.jpg", "--quality 89", "2hx2v"},
        {"q90.jpg", "--quality 90", "1hx1v"},
    };
    VOREX_NEED_TOOLS("/usr/bin/djpeg");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.out);
        const std::string out = dir.file(r.out);
        ASSERT_EQ(cli("export " + quoted(doc) + " -o " + quoted(out) + " " + r.options).status, 0);
        const CommandResult v = run("/usr/bin/djpeg -verbose -verbose -outfile /dev/null " + quoted(out), true);
        EXPECT_NE(v.out.find(std::string("Component 1: ") + r.luma), std::string::npos) << v.out;
        EXPECT_NE(v.out.find("Component 2: 1hx1v"), std::string::npos) << v.out;
    }
}

TEST_F(ExportCli, BinaryDocumentGivesATwoToneTiff)
{
    const std::string doc = document(24, "--algorithm 3");
    const std::string out = dir.file("binary.tif");
    ASSERT_EQ(cli("export " + quoted(doc) + " -o " + quoted(out)).status, 0);
    const std::vector<uint8_t> b = storage_test::readAll(out);
    ASSERT_GT(b.size(), 48u);
    // Two-tone: 14 directory entries at the end of 44 + 8 bytes x 43 rows.
    EXPECT_EQ(u32le(b, 4), 44u + 8u * 43u);
    EXPECT_EQ(u16le(b, 44 + 8 * 43), 14);
}

TEST_F(ExportCli, RefusalsAndFailures)
{
    const std::string doc8 = document(8), doc24 = document(24);
    const std::string garbage = dir.file("garbage.mbt");
    storage_test::writeAll(garbage, std::vector<uint8_t>(300, 0x5A));
    struct Row {
        const char* name;
        std::string args;
        int status;
        const char* message;
    } rows[] = {
        {"JPEG of an 8-bit image", "export " + quoted(doc8) + " -o " + quoted(dir.file("x.jpg")), 2, "JPEG"},
        {"BMP of a 24-bit image", "export " + quoted(doc24) + " -o " + quoted(dir.file("x.bmp")), 2, "BMP"},
        {"unreadable document", "export " + quoted(garbage) + " -o " + quoted(dir.file("x.tif")), 1,
         "Error reading file"},
        {"missing document", "export " + quoted(dir.file("none.mbt")) + " -o " + quoted(dir.file("x.tif")), 1,
         "Error reading file"},
        {"unknown extension", "export " + quoted(doc8) + " -o " + quoted(dir.file("x.pcx")), 2, "extension"},
        {"resolution not offered", "export " + quoted(doc8) + " -o " + quoted(dir.file("x.tif")) + " --dpi 150", 2,
         "--dpi"},
        {"quality below 50", "export " + quoted(doc24) + " -o " + quoted(dir.file("x.jpg")) + " --quality 49", 2,
         "--quality"},
        {"unknown dither", "export " + quoted(doc24) + " -o " + quoted(dir.file("x.gif")) + " --dither fs", 2,
         "--dither"},
        {"no output", "export " + quoted(doc8), 2, "-o"},
        {"directory missing", "export " + quoted(doc8) + " -o " + quoted(dir.file("no/x.tif")), 1,
         "Error writing file"},
    };
    const size_t before = dir.entryCount();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const CommandResult c = cli(r.args);
        EXPECT_EQ(c.status, r.status) << c.out;
        EXPECT_NE(c.out.find(r.message), std::string::npos) << c.out;
        EXPECT_EQ(dir.entryCount(), before) << "nothing written";
    }
}

TEST_F(ExportCli, FileSizeLimitLeavesThePreviousFileIntact)
{
    const std::string doc = document(24);
    const std::string out = dir.file("keep.png");
    const std::vector<uint8_t> good = {'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'};
    storage_test::writeAll(out, good);
    // 2 blocks of 512 bytes: the 61 x 43 TIFF needs about 8 KB.
    const std::string tif = dir.file("keep.tif");
    storage_test::writeAll(tif, good);
    const CommandResult c = run("ulimit -f 2; exec " + std::string(VOREX_CLI) + " export " + quoted(doc) + " -o "
                                    + quoted(tif) + " --quiet",
                                true);
    EXPECT_EQ(c.status, 1) << c.out;
    EXPECT_NE(c.out.find("Error writing file"), std::string::npos) << c.out;
    EXPECT_EQ(storage_test::readAll(tif), good);
    EXPECT_EQ(storage_test::readAll(out), good);
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        files += e.path().extension() != ".mbt";
    EXPECT_EQ(files, 2u) << "no temporary file left";
}

TEST_F(ExportCli, ExportNeedsNoMemoryForThePicture)
{
    // 6000 x 6000 in 24 bits: 72 MB of values and 108 MB of picture. Under an address-space limit
    // of 128 MB the full load ("info") is refused, while "export" loads the values alone and writes
    // the picture band by band. netpbm's decoders read what was written. AddressSanitizer reserves address
    // space of its own, so not under it.
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not mix with AddressSanitizer";
#endif
    const std::string doc = dir.file("big.mbt");
    ASSERT_EQ(cli("new --size 6000x6000 --iter 20 --depth 24 -o " + quoted(doc)).status, 0);
    const std::string limit = "ulimit -v 131072; exec " + std::string(VOREX_CLI) + " ";
    const CommandResult info = run(limit + "info " + quoted(doc), true);
    EXPECT_EQ(info.status, 1) << info.out;
    EXPECT_NE(info.out.find("Not enough memory to open file"), std::string::npos) << info.out;
    struct Row {
        const char* out;
        const char* decoder;
    } rows[] = {{"big.png", "/usr/bin/pngtopnm"}, {"big.jpg", "/usr/bin/djpeg -ppm"}, {"big.gif", "/usr/bin/giftopnm"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.out);
        const std::string out = dir.file(r.out);
        const CommandResult c = run(limit + "export " + quoted(doc) + " -o " + quoted(out) + " --quiet", true);
        ASSERT_EQ(c.status, 0) << c.out;
        const std::string tool = std::string(r.decoder).substr(0, std::string(r.decoder).find(' '));
        ASSERT_TRUE(toolExists(tool)) << tool << " is needed (scripts/install-deps.sh)";
        const CommandResult size = run(std::string(r.decoder) + " " + quoted(out) + " | /usr/bin/pnmfile");
        EXPECT_NE(size.out.find("6000 by 6000"), std::string::npos) << size.out;
        std::filesystem::remove(out);
    }
}
