// "vorex-cli poster": a grid of tile documents planned from a document, computed, checked and streamed
// into one TIFF or PNG that third-party decoders read back and compare with the same picture computed
// as one document.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "storage/Document.h"
#include "storage/Poster.h"
#include "tests/storage/ExportTestUtil.h"
#include "tests/storage/StorageTestUtil.h"

using namespace export_test;
namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class PosterCli : public ::testing::Test {
protected:
    CommandResult cli(const std::string& args) { return run(std::string(VOREX_CLI) + " " + args, true); }
    std::string file(const std::string& name) const { return dir.file(name); }

    // A small computed document to plan posters from.
    std::string source(const std::string& name, const std::string& options)
    {
        const std::string path = file(name);
        const CommandResult r = cli("new " + options + " --quiet -o " + quoted(path));
        EXPECT_EQ(r.status, 0) << r.out;
        return path;
    }

    storage_test::TempDir dir{"postercli"};
};

// Pixels that differ between two decoded pictures of the same size, and how many of them lie on the
// rows and columns either side of a tile border.
struct Comparison {
    size_t differing = 0, atBorders = 0, borderPixels = 0;
};
Comparison compare(const Ppm& a, const Ppm& b, int tileW, int tileH)
{
    Comparison c;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const size_t i = (size_t(y) * size_t(a.width) + size_t(x)) * 3;
            const bool differs = a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2];
            const bool border = (x % tileW == 0 && x > 0) || (x % tileW == tileW - 1 && x < a.width - 1)
                                || (y % tileH == 0 && y > 0) || (y % tileH == tileH - 1 && y < a.height - 1);
            c.differing += differs;
            c.borderPixels += border;
            c.atBorders += differs && border;
        }
    return c;
}

}  // namespace

TEST_F(PosterCli, PlanWritesUncomputedTilesWhoseCornersFollowThePostersByWholePixels)
{
    const std::string doc = source("src.mbt", "--size 90x60 --iter 80 --centre -0.7,0.2 --step 0.01");
    ASSERT_EQ(cli("poster plan " + quoted(doc) + " --size 150x100 --tile 64x64 -o " + quoted(file("plan"))).status, 0);
    storage::PosterPlan plan;
    std::string message;
    ASSERT_TRUE(storage::readPosterPlan(file("plan"), plan, message)) << message;
    EXPECT_EQ(plan.cols, 3);
    EXPECT_EQ(plan.rows, 2);
    EXPECT_DOUBLE_EQ(plan.step, 0.01 * 90 / 150);  // the document's view spread over the poster's width
    EXPECT_EQ(plan.leftX, -0.7 - 75 * plan.step);
    EXPECT_EQ(plan.topY, 0.2 + 50 * plan.step);
    struct Row {
        int r, c, w, h;
    } rows[] = {{0, 0, 64, 64}, {0, 1, 64, 64}, {0, 2, 22, 64}, {1, 0, 64, 36}, {1, 1, 64, 36}, {1, 2, 22, 36}};
    document::TFractal source;
    ASSERT_EQ(storage::LoadDocument(source, doc, nullptr), storage::LoadResult::Ok);
    for (const Row& row : rows) {
        SCOPED_TRACE(plan.tileName(row.r, row.c));
        document::TFractal t;
        ASSERT_EQ(storage::LoadDocument(t, file("plan/" + plan.tileName(row.r, row.c)), nullptr),
                  storage::LoadResult::Ok);
        EXPECT_EQ(t.Params.Width, row.w);
        EXPECT_EQ(t.Params.Height, row.h);
        EXPECT_EQ(t.ResumeLine, row.h);  // uncomputed: not a row of the image
        EXPECT_EQ(t.LeftX, plan.leftX + row.c * 64 * plan.step);
        EXPECT_EQ(t.TopY, plan.topY - row.r * 64 * plan.step);
        EXPECT_EQ(t.Params.Step, plan.step);
        EXPECT_EQ(t.Params.MaxIter, source.Params.MaxIter);
        EXPECT_EQ(t.Palette, source.Palette);
        EXPECT_EQ(t.Comment, "poster " + plan.id + " tile " + std::to_string(row.r) + "," + std::to_string(row.c));
        for (int y = 0; y < row.h; ++y)
            for (int x = 0; x < row.w; ++x)
                ASSERT_EQ(t.Data.at(y, x), 0);
    }
    const CommandResult status = cli("poster status " + quoted(file("plan")));
    EXPECT_EQ(status.status, 1) << status.out;
    EXPECT_NE(status.out.find("tile-1-2.mbt: not computed"), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("0 of 6 tiles complete"), std::string::npos) << status.out;
}

TEST_F(PosterCli, AssembledPosterEqualsThePictureComputedAsOneDocument)
{
    // 3 x 2 tiles of 70 x 60 (the last column 50 wide, the last row 40 high), against one 190 x 100 document
    // with the poster's centre and step, both decoded by netpbm (TIFF) and Pillow (PNG).
    struct Row {
        int depth;
        const char* out;
    } rows[] = {{8, "p8.tif"}, {8, "p8.png"}, {24, "p24.tif"}, {24, "p24.png"}, {8, "big8.tif"}};
    for (int depth : {8, 24}) {
        const std::string d = std::to_string(depth);
        const std::string doc = source("src" + d + ".mbt", "--size 95x50 --iter 150 --centre -0.74,0.18 --step 0.0016 --depth " + d);
        const std::string planDir = file("plan" + d);
        ASSERT_EQ(cli("poster plan " + quoted(doc) + " --size 190x100 --tile 70x60 -o " + quoted(planDir)).status, 0);
        const CommandResult c = cli("poster compute " + quoted(planDir) + " --quiet");
        ASSERT_EQ(c.status, 0) << c.out;
        ASSERT_EQ(cli("poster status " + quoted(planDir)).status, 0);
        ASSERT_EQ(cli("new --size 190x100 --iter 150 --centre -0.74,0.18 --step 0.0008 --quiet --depth " + d + " -o "
                      + quoted(file("one" + d + ".mbt")))
                      .status,
                  0);
        ASSERT_EQ(cli("export " + quoted(file("one" + d + ".mbt")) + " --quiet -o " + quoted(file("one" + d + ".tif")))
                      .status,
                  0);
    }
    for (const Row& r : rows) {
        SCOPED_TRACE(r.out);
        const std::string d = std::to_string(r.depth);
        const bool big = std::string(r.out).starts_with("big");
        const CommandResult a = cli("poster assemble " + quoted(file("plan" + d)) + " --quiet --dpi 600 -o "
                                    + quoted(file(r.out)) + (big ? " --bigtiff" : ""));
        ASSERT_EQ(a.status, 0) << a.out;
        // The header's version word: 43 for BigTIFF, 42 for a classic TIFF (chosen below 4 GB).
        if (!std::string(r.out).ends_with(".png")) {
            EXPECT_EQ(uint8_t(slurp(file(r.out)).at(2)), big ? 43 : 42);
        }
    }
    VOREX_NEED_TOOLS("/usr/bin/tifftopnm", "/usr/bin/tiffinfo", "/usr/bin/python3", PillowModule);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.out);
        const std::string d = std::to_string(r.depth);
        const bool png = std::string(r.out).ends_with(".png");
        Ppm poster;
        if (png) {
            const PillowImage image = decodeWithPillow(file(r.out));
            EXPECT_EQ(image.mode, r.depth == 8 ? "P" : "RGB");
            EXPECT_NEAR(image.dpiX, 600, 0.05);
            poster = image.pixels;
        } else {
            poster = decode("/usr/bin/tifftopnm", file(r.out));
            const CommandResult info = run("/usr/bin/tiffinfo " + quoted(file(r.out)), true);
            EXPECT_NE(info.out.find("Resolution: 600, 600 pixels/inch"), std::string::npos) << info.out;
            EXPECT_NE(info.out.find("AdobeDeflate"), std::string::npos) << info.out;
            EXPECT_NE(info.out.find(r.depth == 8 ? "palette color" : "RGB color"), std::string::npos) << info.out;
        }
        const Ppm one = decode("/usr/bin/tifftopnm", file("one" + d + ".tif"));
        ASSERT_TRUE(poster.valid());
        ASSERT_EQ(poster.width, 190);
        ASSERT_EQ(poster.height, 100);
        ASSERT_EQ(one.width, 190);
        const Comparison c = compare(poster, one, 70, 60);
        const double same = 100.0 * double(190 * 100 - c.differing) / (190 * 100);
        std::cout << "[ poster   ] " << r.out << ": " << same << " % of the pixels as the single document, "
                  << c.atBorders << " of " << c.borderPixels << " border pixels differ\n";
        EXPECT_GE(same, 99.9);
        EXPECT_EQ(c.atBorders, 0u) << "a seam at a tile border";
    }
}

TEST_F(PosterCli, AnInterruptedPosterComputationResumesToTheSamePicture)
{
    // Points inside the set cost every iteration without periodicity checking, so that the computation
    // can be stopped half-way: three tiles, the first computed alone, the second cut short by Ctrl-C.
    const std::string options = "--size 40x30 --iter 30000 --centre -0.1,0.55 --step 0.01 --pert 1e-300,0";
    const std::string doc = source("heavy.mbt", options);
    ASSERT_EQ(cli("poster plan " + quoted(doc) + " --size 800x600 --tile 800x200 -o " + quoted(file("cut"))).status, 0);
    ASSERT_EQ(cli("poster plan " + quoted(doc) + " --size 800x600 --tile 800x200 -o " + quoted(file("whole"))).status, 0);

    // Tile 0: computed alone, as GNU parallel or a job array would, with the ordinary compute command.
    ASSERT_EQ(cli("compute " + quoted(file("cut/tile-0-0.mbt")) + " --quiet").status, 0);
    EXPECT_EQ(cli("poster status " + quoted(file("cut"))).out.find("tile-0-0"), std::string::npos);
    // Then poster compute, stopped once tile 1 shows progress.
    const std::string cmd = std::string(VOREX_CLI) + " poster compute " + file("cut") + " --threads 1 --periodicity off 2>" + file("err")
                            + " & pid=$!; i=0; while [ $i -lt 400 ] && kill -0 $pid && ! grep -q \"Tile 1,0.*%\" " + file("err")
                            + "; do sleep 0.05; i=$((i+1)); done; kill -INT $pid; wait $pid";
    const int raw = std::system(("sh -c '" + cmd + "'").c_str());
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (status == 0)
        GTEST_SKIP() << "the computation finished before the interrupt";
    ASSERT_EQ(status, 130) << slurp(file("err"));

    const CommandResult s = cli("poster status " + quoted(file("cut")));
    EXPECT_EQ(s.status, 1) << s.out;
    EXPECT_EQ(s.out.find("tile-0-0.mbt"), std::string::npos) << "complete tiles are not listed\n" << s.out;
    EXPECT_NE(s.out.find("tile-1-0.mbt: partly computed (resumes at row "), std::string::npos) << s.out;
    EXPECT_NE(s.out.find("tile-2-0.mbt: not computed"), std::string::npos) << s.out;
    EXPECT_NE(s.out.find("1 of 3 tiles complete"), std::string::npos) << s.out;
    const CommandResult paths = run(std::string(VOREX_CLI) + " poster status --paths " + quoted(file("cut")));
    EXPECT_EQ(paths.status, 1);
    EXPECT_EQ(paths.out, file("cut") + "/tile-1-0.mbt\n" + file("cut") + "/tile-2-0.mbt\n");
    const CommandResult refused = cli("poster assemble " + quoted(file("cut")) + " -o " + quoted(file("cut.tif")));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("tile-1-0.mbt: partly computed"), std::string::npos) << refused.out;
    EXPECT_FALSE(fs::exists(file("cut.tif")));

    ASSERT_EQ(cli("poster compute " + quoted(file("cut")) + " --periodicity off --quiet").status, 0);
    EXPECT_EQ(cli("poster status " + quoted(file("cut"))).status, 0);
    ASSERT_EQ(cli("compute " + quoted(file("whole/tile-0-0.mbt")) + " --quiet").status, 0);
    ASSERT_EQ(cli("poster compute " + quoted(file("whole")) + " --periodicity off --quiet").status, 0);
    ASSERT_EQ(cli("poster assemble " + quoted(file("cut")) + " --quiet -o " + quoted(file("cut.tif"))).status, 0);
    ASSERT_EQ(cli("poster assemble " + quoted(file("whole")) + " --quiet -o " + quoted(file("whole.tif"))).status, 0);
    VOREX_NEED_TOOLS("/usr/bin/tifftopnm");
    const Ppm cut = decode("/usr/bin/tifftopnm", file("cut.tif")), whole = decode("/usr/bin/tifftopnm", file("whole.tif"));
    ASSERT_TRUE(cut.valid());
    EXPECT_EQ(cut.width, 800);
    EXPECT_EQ(cut.height, 600);
    EXPECT_TRUE(cut.rgb == whole.rgb);
}

TEST_F(PosterCli, BadInputIsRefusedAndNothingIsHalfWritten)
{
    const std::string doc = source("src.mbt", "--size 60x40 --iter 60");
    const std::string plan = quoted(file("plan"));
    ASSERT_EQ(cli("poster plan " + quoted(doc) + " --size 120x80 --tile 64x64 -o " + plan + " --quiet").status, 0);
    ASSERT_EQ(cli("poster plan " + quoted(doc) + " --size 120x80 --tile 64x64 -o " + quoted(file("other")) + " --quiet")
                  .status,
              0);
    struct Row {
        const char* args;
        int status;
        const char* message;
    } rows[] = {
        {"poster plan SRC --size 120x80 -o PLAN", 1, "not an empty directory"},
        {"poster plan SRC --size 1000001x80 -o NEW", 2, "--size"},
        {"poster plan SRC --size 120x80 --tile 20001x10 -o NEW", 2, "--tile"},
        {"poster plan SRC -o NEW", 2, "--size WxH is required"},
        {"poster plan SRC --size 120x80 --depth 16 -o NEW", 2, "--depth"},
        {"poster status NEW", 1, "poster.json: cannot be read"},
        {"poster assemble PLAN -o x.jpg", 2, ".tif or .png"},
        {"poster frame PLAN", 2, "unknown"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args);
        std::string args = r.args;
        for (const auto& [key, value] : {std::pair<std::string, std::string>{"SRC", quoted(doc)}, {"PLAN", plan},
                                         {"NEW", quoted(file("new"))}})
            if (const size_t at = args.find(key); at != std::string::npos)
                args.replace(at, key.size(), value);
        const CommandResult c = cli(args);
        EXPECT_EQ(c.status, r.status) << c.out;
        EXPECT_NE(c.out.find(r.message), std::string::npos) << c.out;
    }
    EXPECT_FALSE(fs::exists(file("new")));

    // A tile of another plan, put in place of one of this plan's: refused by status, compute and assemble.
    ASSERT_EQ(cli("poster compute " + plan + " --quiet").status, 0);
    ASSERT_EQ(cli("poster compute " + quoted(file("other")) + " --quiet").status, 0);
    fs::copy_file(file("other/tile-0-1.mbt"), file("plan/tile-0-1.mbt"), fs::copy_options::overwrite_existing);
    for (const char* command : {"status ", "compute ", "assemble "}) {
        SCOPED_TRACE(command);
        const CommandResult c =
            cli(std::string("poster ") + command + plan + (command[0] == 'a' ? " -o " + quoted(file("p.tif")) : ""));
        EXPECT_EQ(c.status, 1) << c.out;
        EXPECT_NE(c.out.find("tile-0-1.mbt: foreign"), std::string::npos) << c.out;
    }
    EXPECT_FALSE(fs::exists(file("p.tif")));

    // A disk that fills during assembly (a file size limit of 2 blocks): the previous file stays, no
    // partial or temporary file is left.
    ASSERT_EQ(cli("poster plan " + quoted(doc) + " --size 1000x800 --tile 500x400 -o " + quoted(file("big"))
                  + " --quiet")
                  .status,
              0);
    ASSERT_EQ(cli("poster compute " + quoted(file("big")) + " --quiet").status, 0);
    const std::string previous = "previous";
    for (const char* out : {"full.tif", "full.png"}) {
        SCOPED_TRACE(out);
        std::ofstream(file(out)) << previous;
        const CommandResult c = run("ulimit -f 2; exec " + std::string(VOREX_CLI) + " poster assemble "
                                        + quoted(file("big")) + " --quiet -o " + quoted(file(out)),
                                    true);
        EXPECT_EQ(c.status, 1) << c.out;
        EXPECT_NE(c.out.find("Error writing file"), std::string::npos) << c.out;
        EXPECT_EQ(slurp(file(out)), previous);
    }
    for (const auto& e : fs::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        EXPECT_TRUE(name.find("partial") == std::string::npos && name.find(".tmp") == std::string::npos
                    && name[0] != '.')
            << "left behind: " << name;
    }
}

TEST_F(PosterCli, SlurmScriptDryRunSubmitsOneArrayTaskPerUnfinishedTile)
{
    const std::string script = std::string(VOREX_TEST_DATA) + "/../../scripts/poster-slurm.sh";
    const std::string doc = source("src.mbt", "--size 60x40 --iter 60");
    ASSERT_EQ(cli("poster plan " + quoted(doc) + " --size 120x80 --tile 50x40 -o " + quoted(file("plan")) + " --quiet")
                  .status,
              0);
    ASSERT_EQ(cli("compute " + quoted(file("plan/tile-0-1.mbt")) + " --quiet").status, 0);
    const std::string planDir = fs::canonical(file("plan")).string();
    const CommandResult dry = run("bash " + quoted(script) + " --dry-run --cpus 3 --time 00:10:00 --partition big --cli "
                                      + quoted(VOREX_CLI) + " " + quoted(file("plan")),
                                  true);
    ASSERT_EQ(dry.status, 0) << dry.out;
    for (const std::string& want : std::vector<std::string>{"sbatch --job-name=vorex-poster --array=0-4 --cpus-per-task=3 --time=00:10:00",
                                   "--partition=big", "# 5 tasks", "0 " + planDir + "/tile-0-0.mbt",
                                   "1 " + planDir + "/tile-0-2.mbt", "4 " + planDir + "/tile-1-2.mbt"}) {
        SCOPED_TRACE(want);
        EXPECT_NE(dry.out.find(want), std::string::npos) << dry.out;
    }
    EXPECT_EQ(dry.out.find("tile-0-1.mbt"), std::string::npos) << "a complete tile is not submitted\n" << dry.out;
    EXPECT_FALSE(fs::exists(file("plan/slurm-tasks.txt"))) << "a dry run writes nothing";

    // Nothing left: nothing submitted. A foreign tile: refused.
    ASSERT_EQ(cli("poster compute " + quoted(file("plan")) + " --quiet").status, 0);
    const CommandResult done = run("bash " + quoted(script) + " --dry-run --cli " + quoted(VOREX_CLI) + " "
                                       + quoted(file("plan")),
                                   true);
    EXPECT_EQ(done.status, 0) << done.out;
    EXPECT_NE(done.out.find("nothing to submit"), std::string::npos) << done.out;
    ASSERT_EQ(cli("poster plan " + quoted(doc) + " --size 120x80 --tile 50x40 -o " + quoted(file("other")) + " --quiet")
                  .status,
              0);
    fs::copy_file(file("other/tile-1-1.mbt"), file("plan/tile-1-1.mbt"), fs::copy_options::overwrite_existing);
    const CommandResult foreign = run("bash " + quoted(script) + " --dry-run --cli " + quoted(VOREX_CLI) + " "
                                          + quoted(file("plan")),
                                      true);
    EXPECT_EQ(foreign.status, 1) << foreign.out;
    EXPECT_NE(foreign.out.find("tile-1-1.mbt: foreign"), std::string::npos) << foreign.out;
}
