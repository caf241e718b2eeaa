// "vorex-cli render3d" and "vorex-cli filter": pictures written for documents made by "vorex-cli new",
// decoded by third-party decoders and compared with the 3D view or the filter applied here.

#include <gtest/gtest.h>

#include <string>

#include "colour/Fract3D.h"
#include "colour/filters/Filters.h"
#include "storage/Document.h"
#include "tests/storage/ExportTestUtil.h"
#include "tests/storage/StorageTestUtil.h"

using namespace export_test;

namespace {

class View3DCli : public ::testing::Test {
protected:
    CommandResult cli(const std::string& args) { return run(std::string(VOREX_CLI) + " " + args + " --quiet", true); }

    std::string document(int depth)
    {
        const std::string path = dir.file("d" + std::to_string(depth) + ".mbt");
        const CommandResult r =
            cli("new --size 83x61 --iter 80 --depth " + std::to_string(depth) + " -o " + quoted(path));
        EXPECT_EQ(r.status, 0) << r.out;
        return path;
    }

    static const char* decoderFor(const std::string& out)
    {
        return out.ends_with(".bmp") ? "/usr/bin/bmptopnm" : "/usr/bin/pngtopnm";
    }

    storage_test::TempDir dir{"view3dcli"};
};

TEST_F(View3DCli, Render3DMatchesTheRendererAppliedHere)
{
    VOREX_NEED_TOOLS("/usr/bin/pngtopnm", "/usr/bin/bmptopnm", "/usr/bin/ppmtoppm");
    struct Row {
        const char* out;
        int depth;
        const char* options;
        void (*apply)(colour::View3DParams&);
    } rows[] = {
        {"defaults.png", 24, "", [](colour::View3DParams&) {}},
        {"threads.png", 24, "--threads 3 --azimuth 45 --elevation 60 --perspective off",
         [](colour::View3DParams& p) {
             p.Azimuth = 45;
             p.Elevation = 60;
             p.Perspective = 0;
         }},
        {"all.png", 24, "--azimuth 300 --elevation 20 --zscale 5 --zlimit 40 --focal 500 --shift 20 --inverted off",
         [](colour::View3DParams& p) {
             p.Azimuth = 300;
             p.Elevation = 20;
             p.ZScale = 5;
             p.ZLimit = 40;
             p.FocalLength = 500;
             p.VerticalShift = 20;
             p.Inverted3D = 0;
         }},
        {"eight.bmp", 8, "--azimuth 180 --elevation 90 --perspective on --threads 2",
         [](colour::View3DParams& p) {
             p.Azimuth = 180;
             p.Elevation = 90;
             p.Perspective = 1;
         }},
    };
    const std::string doc8 = document(8), doc24 = document(24);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.out);
        const std::string doc = r.depth == 8 ? doc8 : doc24;
        const std::string out = dir.file(r.out);
        const CommandResult c = cli("render3d " + quoted(doc) + " -o " + quoted(out) + " " + r.options);
        ASSERT_EQ(c.status, 0) << c.out;

        document::TFractal f;
        ASSERT_EQ(storage::LoadDocument(f, doc, nullptr), storage::LoadResult::Ok);
        colour::View3DParams p = f.view3D();
        r.apply(p);
        colour::TFract3D view;
        view.Init(p, f.Data.width(), f.Data.height(), f.PixelFormat);
        view.Render(f.Data, f.Params.Algorithm, f.Data3D);
        f.View3D = true;
        f.ColourAllRows();

        const Ppm decoded = decode(decoderFor(out), out);
        ASSERT_TRUE(decoded.valid());
        std::string where;
        EXPECT_EQ(countDifferences(f, decoded, &where), 0) << where;
        // Not the plain picture: some pixels stay at the colour of value 0.
        document::TFractal plain;
        ASSERT_EQ(storage::LoadDocument(plain, doc, nullptr), storage::LoadResult::Ok);
        EXPECT_GT(countDifferences(plain, decoded), 0);
    }
}

TEST_F(View3DCli, FilterMatchesTheFilterAppliedHere)
{
    VOREX_NEED_TOOLS("/usr/bin/pngtopnm", "/usr/bin/ppmtoppm");
    using colour::filters::FilterKind;
    using colour::filters::FilterSettings;
    struct Row {
        const char* out;
        int depth;
        const char* options;
        void (*apply)(FilterSettings&);
    } rows[] = {
        {"edges.png", 24, "--edges", [](FilterSettings& s) { s.Kind = FilterKind::Edges; }},
        {"edges-fractal.png", 24, "--edges --lines fractal --background fractal --brightness 150 --threads 2",
         [](FilterSettings& s) {
             s.Kind = FilterKind::Edges;
             s.Edges.LinesFromFractal = true;
             s.Edges.BackgroundFromFractal = true;
             s.Edges.Brightness = 150;
         }},
        {"edges-colours.png", 24,
         "--line-colour 102030 --background-colour A0b0C0 --biomorph-colour 0000ff --edges --brightness 0",
         [](FilterSettings& s) {
             s.Kind = FilterKind::Edges;
             s.Edges.Line = 0x302010;
             s.Edges.Background = 0xC0B0A0;
             s.Edges.Biomorph = 0xFF0000;
             s.Edges.Brightness = 0;
         }},
        {"emboss.png", 24, "--emboss", [](FilterSettings& s) { s.Kind = FilterKind::Emboss; }},
        {"emboss-se.png", 24, "--emboss --deep 5 --contrast 100 --light se --biomorph-colour 123456 --threads 3",
         [](FilterSettings& s) {
             s.Kind = FilterKind::Emboss;
             s.Emboss.Deep = 5;
             s.Emboss.Contrast = 100;
             s.Emboss.LightAngle = colour::filters::Light::SE;
             s.Emboss.Biomorph = 0x563412;
         }},
        {"eight.png", 8, "--emboss --deep 9", [](FilterSettings& s) { s.Kind = FilterKind::Emboss; }},
    };
    const std::string doc8 = document(8), doc24 = document(24);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.out);
        const std::string doc = r.depth == 8 ? doc8 : doc24;
        const std::string out = dir.file(r.out);
        const CommandResult c = cli("filter " + quoted(doc) + " -o " + quoted(out) + " " + r.options);
        ASSERT_EQ(c.status, 0) << c.out;

        document::TFractal f;
        ASSERT_EQ(storage::LoadDocument(f, doc, nullptr), storage::LoadResult::Ok);
        f.ColourAllRows();
        const std::vector<uint8_t> plain = f.Bitmap.Pixels;
        FilterSettings s;
        r.apply(s);
        colour::filters::ApplyFilter(s, f.Data, f.Bitmap);
        // Only 24-bit pictures change.
        EXPECT_EQ(f.Bitmap.Pixels == plain, r.depth == 8);

        const Ppm decoded = decode(decoderFor(out), out);
        ASSERT_TRUE(decoded.valid());
        std::string where;
        EXPECT_EQ(countDifferences(f, decoded, &where), 0) << where;
    }
}

TEST_F(View3DCli, BadOptionsExitWithStatusTwoNamingTheOption)
{
    const std::string doc = document(24);
    const std::string out = quoted(dir.file("x.png"));
    const std::string render = "render3d " + quoted(doc) + " -o " + out + " ";
    const std::string filter = "filter " + quoted(doc) + " -o " + out + " ";
    struct Row {
        std::string args;
        const char* option;
    } rows[] = {
        {render + "--azimuth 361", "--azimuth"},
        {render + "--azimuth -1", "--azimuth"},
        {render + "--elevation 91", "--elevation"},
        {render + "--zscale 501", "--zscale"},
        {render + "--zlimit 65001", "--zlimit"},
        {render + "--focal 199", "--focal"},
        {render + "--shift -501", "--shift"},
        {render + "--inverted yes", "--inverted"},
        {render + "--perspective", "--perspective"},
        {render + "--deep 3", "--deep"},
        {"render3d " + quoted(doc) + " -o " + quoted(dir.file("x.bmp")), "8-bit"},
        {"render3d " + quoted(doc), "-o"},
        {filter, "--edges or --emboss"},
        {filter + "--edges --brightness 201", "--brightness"},
        {filter + "--edges --lines dotted", "--lines"},
        {filter + "--edges --background none", "--background"},
        {filter + "--edges --line-colour 12345G", "--line-colour"},
        {filter + "--edges --background-colour FFF", "--background-colour"},
        {filter + "--emboss --biomorph-colour 1234567", "--biomorph-colour"},
        {filter + "--emboss --deep 51", "--deep"},
        {filter + "--emboss --contrast 256", "--contrast"},
        {filter + "--emboss --light up", "--light"},
        {filter + "--emboss --brightness 50", "--brightness"},
        {filter + "--edges --light nw", "--light"},
        {filter + "--edges --emboss", "--emboss"},
        {filter + "--edges --threads 0", "--threads"},
    };
    const size_t before = dir.entryCount();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args);
        const CommandResult c = cli(r.args);
        EXPECT_EQ(c.status, 2) << c.out;
        EXPECT_NE(c.out.find(r.option), std::string::npos) << c.out;
        EXPECT_EQ(dir.entryCount(), before) << "nothing written";
    }
}

TEST_F(View3DCli, HelpListsBothCommands)
{
    const CommandResult c = run(std::string(VOREX_CLI) + " --help");
    EXPECT_EQ(c.status, 0);
    for (const char* text : {"render3d FILE.mbt", "--azimuth", "--inverted on|off", "filter FILE.mbt", "--edges",
                             "--emboss", "--light nw|ne|sw|se", "--biomorph-colour RRGGBB"})
        EXPECT_NE(c.out.find(text), std::string::npos) << text;
}

}  // namespace
