#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/IniFile.h"
#include "storage/Preferences.h"

using namespace storage;
namespace fs = std::filesystem;

namespace {

// A private directory per test, removed afterwards.
class PreferencesFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::path(::testing::TempDir()) / "vorex-prefs-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }
    static std::string read(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void write(const fs::path& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    // Every entry of the directory, to find left-over temporary files.
    size_t entries() const { return size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }

    fs::path dir;
};

// A set of values that differs from every default.
Preferences unusual()
{
    Preferences p;
    p.maximized = false;
    p.width = 800;
    p.height = 600;
    p.language = 0;
    p.previewMode = 2;
    p.hints = false;
    p.beep = false;
    p.lineColour = 0x0000FF;
    p.outOfRangeColour = 0x123456;
    p.markerColour = 0xFFFFFF;
    p.markerSize = 35;
    p.markersShown = true;
    p.fontSize = 10;
    p.printDpi = 333;
    p.printDpiIndex = 6;
    p.printFrame = true;
    p.printFrameColour = 0x00FF00;
    p.printFrameWidth = 4;
    p.printCaption = true;
    p.captionFont = "DejaVu Sans Mono";
    p.captionFontSize = 12;
    p.captionFontColour = 0x0A0B0C;
    p.parameterFont = "Liberation Serif";
    p.parameterFontSize = 7;
    p.parameterFontColour = 0x010203;
    p.recentFiles = {"/home/u/b.mbt", "/home/u/Fractales été/a.mbt", "", "/tmp/x y.mbt"};
    return p;
}

}  // namespace

// Defaults from the key table of the preferences file: an empty or missing file starts the program
// maximized, in French, with font size 8 and marker size 29, yellow lines, grey out-of-range colour.
TEST_F(PreferencesFiles, MissingFileGivesEveryDefault)
{
    for (const Preferences& p : {loadPreferences(dir / "Vorex.cfg"), parsePreferences(""),
                                 parsePreferences("[Prefer]\nnothing here\n"), loadPreferences(dir)}) {
        EXPECT_TRUE(p.maximized);
        EXPECT_EQ(p.width, 620);
        EXPECT_EQ(p.height, 470);
        EXPECT_EQ(p.language, 1);
        EXPECT_EQ(p.previewMode, 0);
        EXPECT_TRUE(p.hints);
        EXPECT_TRUE(p.beep);
        EXPECT_EQ(p.lineColour, 65535u);
        EXPECT_EQ(p.outOfRangeColour, 6710886u);
        EXPECT_EQ(p.markerColour, 26112u);
        EXPECT_EQ(p.markerSize, 29);
        EXPECT_FALSE(p.markersShown);
        EXPECT_EQ(p.fontSize, 8);
        EXPECT_EQ(p.printDpi, 200);
        EXPECT_EQ(p.printDpiIndex, 2);
        EXPECT_FALSE(p.printFrame);
        EXPECT_EQ(p.printFrameColour, 0u);
        EXPECT_EQ(p.printFrameWidth, 1);
        EXPECT_FALSE(p.printCaption);
        EXPECT_EQ(p.captionFont, "Courier New");
        EXPECT_EQ(p.captionFontSize, 6);
        EXPECT_EQ(p.captionFontColour, 0u);
        EXPECT_EQ(p.parameterFont, "Courier New");
        EXPECT_EQ(p.parameterFontSize, 9);
        EXPECT_EQ(p.parameterFontColour, 0u);
        for (const std::string& entry : p.recentFiles)
            EXPECT_EQ(entry, "");
    }
}

// The corrections on loading; the marker rows are the documented examples (30 -> 29, 50 -> 41,
// 10 -> 21, font 11 -> 8), the others probe each boundary.
TEST(Preferences, LoadCorrections)
{
    const struct { const char* line; int Preferences::*field; int expected; } ints[] = {
        {"MarS=30", &Preferences::markerSize, 29},
        {"MarS=50", &Preferences::markerSize, 41},
        {"MarS=10", &Preferences::markerSize, 21},
        {"MarS=42", &Preferences::markerSize, 41},
        {"MarS=41", &Preferences::markerSize, 41},
        {"MarS=22", &Preferences::markerSize, 21},
        {"MarS=21", &Preferences::markerSize, 21},
        {"MarS=20", &Preferences::markerSize, 21},
        {"MarS=33", &Preferences::markerSize, 33},
        {"MarS=-4", &Preferences::markerSize, 21},
        {"FntS=11", &Preferences::fontSize, 8},
        {"FntS=5", &Preferences::fontSize, 8},
        {"FntS=6", &Preferences::fontSize, 6},
        {"FntS=10", &Preferences::fontSize, 10},
        {"Prev=2", &Preferences::previewMode, 2},
        {"Prev=3", &Preferences::previewMode, 0},
        {"Prev=-1", &Preferences::previewMode, 0},
        {"DpiP=0", &Preferences::printDpi, 200},      // would divide by zero in the print dialog
        {"DpiP=1", &Preferences::printDpi, 1},
        {"Wid=abc", &Preferences::width, 620},        // not a number: the default
        {"Wid=12abc", &Preferences::width, 620},
        {"Wid=", &Preferences::width, 620},
        {"Wid=99999999999", &Preferences::width, 620},  // does not fit 32 bits
        {"Wid= 800 ", &Preferences::width, 800},
        {"Wid=+800", &Preferences::width, 800},
        {"Hei=0x20", &Preferences::height, 470},      // decimal only
    };
    for (const auto& c : ints) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parsePreferences(std::string("[Prefer]\n") + c.line + "\n").*c.field, c.expected);
    }

    const struct { const char* line; uint8_t language, dpiIndex; } bytes[] = {
        {"Lang=0", 0, 2}, {"Lang=1", 1, 2}, {"Lang=2", 1, 2}, {"Lang=256", 1, 2}, {"Lang=-1", 1, 2},
        {"DpiI=6", 1, 6}, {"DpiI=7", 1, 2}, {"DpiI=0", 1, 0},
    };
    for (const auto& c : bytes) {
        SCOPED_TRACE(c.line);
        const Preferences p = parsePreferences(std::string("[Prefer]\n") + c.line + "\n");
        EXPECT_EQ(p.language, c.language);
        EXPECT_EQ(p.printDpiIndex, c.dpiIndex);
    }

    const struct { const char* line; bool hints; uint32_t lineColour; } others[] = {
        {"Hint=0", false, 65535}, {"Hint=2", true, 65535}, {"Hint=-1", true, 65535}, {"Hint=no", true, 65535},
        {"Line=16777215", true, 16777215}, {"Line=16777216", true, 65535}, {"Line=-1", true, 65535},
        {"Line=0", true, 0},
    };
    for (const auto& c : others) {
        SCOPED_TRACE(c.line);
        const Preferences p = parsePreferences(std::string("[Prefer]\n") + c.line + "\n");
        EXPECT_EQ(p.hints, c.hints);
        EXPECT_EQ(p.lineColour, c.lineColour);
    }
}

// Every integer key at the ends of the 32-bit range and just past them. A value that fits 32 bits goes
// through the key's own rule (kept, corrected or refused as any other); one that does not fit is the
// key's default. Under the sanitizers a correction that overflows (MarS=-2147483648 made odd by
// subtracting 1) stops the test; without them it wrapped round to 41.
TEST(Preferences, IntegerKeysAtTheEndsOfTheRange)
{
    const struct { const char* line; int Preferences::*field; int expected; } ints[] = {
        {"MarS=-2147483648", &Preferences::markerSize, 21},  // even: lowered by one, then clamped
        {"MarS=-2147483647", &Preferences::markerSize, 21},
        {"MarS=2147483647", &Preferences::markerSize, 41},
        {"MarS=2147483646", &Preferences::markerSize, 41},
        {"MarS=2147483648", &Preferences::markerSize, 29},
        {"MarS=-2147483649", &Preferences::markerSize, 29},
        {"FntS=-2147483648", &Preferences::fontSize, 8},
        {"FntS=2147483647", &Preferences::fontSize, 8},
        {"FntS=2147483648", &Preferences::fontSize, 8},
        {"Wid=-2147483648", &Preferences::width, INT32_MIN},
        {"Wid=2147483647", &Preferences::width, 2147483647},
        {"Wid=-2147483649", &Preferences::width, 620},
        {"Hei=-2147483648", &Preferences::height, INT32_MIN},
        {"Hei=2147483648", &Preferences::height, 470},
        {"Prev=-2147483648", &Preferences::previewMode, 0},
        {"Prev=2147483647", &Preferences::previewMode, 0},
        {"DpiP=-2147483648", &Preferences::printDpi, 200},
        {"DpiP=2147483647", &Preferences::printDpi, 2147483647},
        {"DpiP=2147483648", &Preferences::printDpi, 200},
        {"PriW=-2147483648", &Preferences::printFrameWidth, INT32_MIN},
        {"PriW=9223372036854775807", &Preferences::printFrameWidth, 1},
        {"PriS=2147483647", &Preferences::captionFontSize, 2147483647},
        {"PriS=-9223372036854775808", &Preferences::captionFontSize, 6},
        {"PrPS=-2147483648", &Preferences::parameterFontSize, INT32_MIN},
        {"PrPS=9223372036854775808", &Preferences::parameterFontSize, 9},  // past 64 bits as well
    };
    for (const auto& c : ints) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parsePreferences(std::string("[Prefer]\n") + c.line + "\n").*c.field, c.expected);
    }

    const struct { const char* line; uint8_t language, dpiIndex; } bytes[] = {
        {"Lang=-2147483648", 1, 2}, {"Lang=2147483647", 1, 2}, {"Lang=4294967296", 1, 2},
        {"DpiI=-2147483648", 1, 2}, {"DpiI=2147483647", 1, 2}, {"DpiI=4294967302", 1, 2},
    };
    for (const auto& c : bytes) {
        SCOPED_TRACE(c.line);
        const Preferences p = parsePreferences(std::string("[Prefer]\n") + c.line + "\n");
        EXPECT_EQ(p.language, c.language);
        EXPECT_EQ(p.printDpiIndex, c.dpiIndex);
    }

    // Booleans: any 32-bit value other than 0 is true; past 32 bits the default.
    const struct { const char* line; bool Preferences::*field; bool expected; } flags[] = {
        {"Wst=-2147483648", &Preferences::maximized, true},
        {"Wst=4294967296", &Preferences::maximized, true},
        {"ShMk=-2147483648", &Preferences::markersShown, true},
        {"ShMk=4294967296", &Preferences::markersShown, false},  // its low 32 bits are 0: no truncation
        {"Beep=2147483648", &Preferences::beep, true},
    };
    for (const auto& c : flags) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parsePreferences(std::string("[Prefer]\n") + c.line + "\n").*c.field, c.expected);
    }
}

TEST(Preferences, NormalWindowState)
{
    const Preferences p = parsePreferences("[Prefer]\r\nWst=0\r\nWid=800\r\nHei=600\r\n");
    EXPECT_FALSE(p.maximized);
    EXPECT_EQ(p.width, 800);
    EXPECT_EQ(p.height, 600);
}

TEST(Preferences, RenderThenParseGivesTheSameValues)
{
    const Preferences p = unusual();
    EXPECT_EQ(parsePreferences(renderPreferences("", p, "x")), p);
    EXPECT_EQ(parsePreferences(renderPreferences("", Preferences{}, "x")), Preferences{});
}

TEST(Preferences, RewriteRebuildsOursAndKeepsTheRest)
{
    const std::string previous =
        "; written by hand\r\n"
        "[Other]\r\n"
        "Key=caf\xE9  \r\n"
        "\r\n"
        "[Prefer]\r\n"
        "Lang=0\r\n"
        "Unknown=1\r\n"
        "\r\n"
        "[LFiles]\r\n"
        "L003=/old/c.mbt\r\n"
        "Pinned=keep me\r\n"
        "\r\n"
        "[General]\r\n"
        "Software=Something else\r\n"
        "Extra=gone\r\n"
        "\r\n"
        "[Last]\r\n"
        "z=1";
    Preferences p;
    p.recentFiles = {"/a.mbt", "", "", ""};
    const std::string text = renderPreferences(previous, p, "10/12/2026 01:21:49");
    const IniFile ini = IniFile::parse(text);

    // Foreign sections and keys keep their bytes and their order.
    const std::string head = "; written by hand\r\n[Other]\r\nKey=caf\xE9  \r\n\r\n[Prefer]\r\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(ini.value("LFiles", "Pinned"), "keep me");
    EXPECT_EQ(text.substr(text.size() - 11), "[Last]\r\nz=1");
    EXPECT_LT(text.find("[Other]"), text.find("[Prefer]"));
    EXPECT_LT(text.find("[Prefer]"), text.find("[LFiles]"));
    EXPECT_LT(text.find("[LFiles]"), text.find("[General]"));

    // "General" and "Prefer" are rebuilt: keys not ours are gone there.
    EXPECT_FALSE(ini.value("Prefer", "Unknown"));
    EXPECT_FALSE(ini.value("General", "Extra"));
    EXPECT_EQ(ini.value("Prefer", "Lang"), "1");

    // The recent list overwrites all four keys, empty ones included.
    EXPECT_EQ(ini.value("LFiles", "L001"), "/a.mbt");
    EXPECT_EQ(ini.value("LFiles", "L003"), "");

    // The section "General", keys in order.
    const size_t general = text.find("[General]\r\n");
    ASSERT_NE(general, std::string::npos);
    EXPECT_EQ(text.substr(general, text.find("\r\n\r\n", general) - general),
              "[General]\r\nSoftware=Vorex\r\nVersion=Version 1.8.6\r\nBuild=1\r\n"
              "Copyright=" + std::string(CopyrightText) + "\r\nDateTime=10/12/2026 01:21:49");
}

// Values set in memory that hold line breaks must not plant keys into the file.
TEST(Preferences, LineBreaksCannotInjectKeys)
{
    Preferences p;
    p.language = 0;
    p.captionFont = "Font\nLang=1";
    p.parameterFont = "Font\r\n[LFiles]\r\nL001=/evil";
    p.recentFiles = {"/a\n[Prefer]\nLang=1", "/b.mbt", "", ""};
    const Preferences back = parsePreferences(renderPreferences("", p, "t\nWst=0"));
    EXPECT_EQ(back.language, 0);
    EXPECT_TRUE(back.maximized);
    EXPECT_EQ(back.captionFont, "Courier New");
    EXPECT_EQ(back.parameterFont, "Courier New");
    EXPECT_EQ(back.recentFiles, (RecentFiles{"", "/b.mbt", "", ""}));
}

// Texts holding a NUL byte can be read from a damaged file, but cannot be written back: the fonts
// return to the default and the recent file to a free slot; every other value survives the rewrite.
TEST(Preferences, NulBytesReadFromTheFileAreNotWrittenBack)
{
    using namespace std::string_literals;
    const std::string text = "[Prefer]\nLang=0\nPriF=Mono\0x\nPriP=Serif\0\n[LFiles]\nL001=/a.mbt\n"
                             "L002=/home\0\0\x14_\0=7\nL003=/c.mbt\n"s;
    const Preferences read = parsePreferences(text);
    EXPECT_EQ(read.captionFont, "Mono\0x"s);
    EXPECT_EQ(read.recentFiles[1], "/home\0\0\x14_\0=7"s);
    const Preferences back = parsePreferences(renderPreferences(text, read, "t"));
    EXPECT_EQ(back.language, 0);
    EXPECT_EQ(back.captionFont, "Courier New");
    EXPECT_EQ(back.parameterFont, "Courier New");
    EXPECT_EQ(back.recentFiles, (RecentFiles{"/a.mbt", "", "/c.mbt", ""}));
}

TEST(Preferences, PreferKeysAreWrittenInTableOrder)
{
    const std::string text = renderPreferences("", Preferences{}, "now");
    const char* keys[] = {"Wst", "Wid", "Hei", "Lang", "Prev", "Hint", "Beep", "Line", "OutR", "MarR", "MarS",
                          "ShMk", "FntS", "DpiP", "DpiI", "PriA", "PriC", "PriW", "PriB", "PriF", "PriS", "PriD",
                          "PriP", "PrPS", "PrPC"};
    size_t at = text.find("[Prefer]\n");
    ASSERT_NE(at, std::string::npos);
    for (const char* key : keys) {
        SCOPED_TRACE(key);
        const size_t next = text.find(std::string("\n") + key + "=", at);
        ASSERT_NE(next, std::string::npos);
        at = next + 1;
    }
    EXPECT_NE(text.find("\nLine=65535\n"), std::string::npos);
    EXPECT_NE(text.find("\nPriF=Courier New\n"), std::string::npos);
}

// After saving documents A, B, C, D, E in that order the list is E, D, C, B; saving C again leaves it.
TEST(Preferences, RecentFilesRule)
{
    RecentFiles recent;
    const struct { const char* path; bool changed; RecentFiles after; } steps[] = {
        {"A", true, {"A", "", "", ""}},
        {"B", true, {"B", "A", "", ""}},
        {"B", false, {"B", "A", "", ""}},
        {"C", true, {"C", "B", "A", ""}},
        {"D", true, {"D", "C", "B", "A"}},
        {"E", true, {"E", "D", "C", "B"}},
        {"C", false, {"E", "D", "C", "B"}},  // not moved to the top
        {"c", true, {"c", "E", "D", "C"}},   // case-sensitive
        {"A\nL002=x", false, {"c", "E", "D", "C"}},  // could not be stored in the file
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.path);
        EXPECT_EQ(addRecentFile(recent, s.path), s.changed);
        EXPECT_EQ(recent, s.after);
    }
}

// The documented example is C:\Fractals\Collection\spiral-arms-deep.mbt -> C:\Fract...spiral-arms-dee
// (8 + 3 + 15 characters); here with '/' as the path delimiter.
TEST(Preferences, RecentFileCaption)
{
    const struct { const char* path; const char* caption; } cases[] = {
        {"/Fractals/Collection/spiral-arms-deep.mbt", "/Fractal...spiral-arms-dee"},
        {"C:/Fractals/Collection/spiral-arms-deep.mbt", "C:/Fract...spiral-arms-dee"},
        {"/a/b.mbt", "/a/...b.mbt"},
        {"/Fractales été/Mandelbrot élégant.mbt", "/Fractal...Mandelbrot élég"},
        {"/été/éééééééééééééééééé.mbt", "/été/...ééééééééééééééé"},  // cut on characters, not bytes
        {"plain.mbt", "...plain.mbt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(recentFileCaption(c.path), c.caption);
    }
}

TEST(Preferences, LocationChoice)
{
    const fs::path program = "/opt/vorex";
    const struct { const char* name; bool writable; std::optional<std::string> xdg, home; fs::path expected; } cases[] = {
        {"writable program directory", true, "/x", "/h", "/opt/vorex/Vorex.cfg"},
        {"XDG_CONFIG_HOME", false, "/cfg", "/h", "/cfg/Vorex/Vorex.cfg"},
        {"empty XDG_CONFIG_HOME", false, "", "/h", "/h/.config/Vorex/Vorex.cfg"},
        {"relative XDG_CONFIG_HOME", false, "cfg", "/h", "/h/.config/Vorex/Vorex.cfg"},
        {"HOME only", false, std::nullopt, "/h", "/h/.config/Vorex/Vorex.cfg"},
        {"nothing usable", false, std::nullopt, std::nullopt, "/opt/vorex/Vorex.cfg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path asked;
        const auto writable = [&](const fs::path& d) { asked = d; return c.writable; };
        const auto env = [&](const char* name) -> std::optional<std::string> {
            if (std::string(name) == "XDG_CONFIG_HOME")
                return c.xdg;
            if (std::string(name) == "HOME")
                return c.home;
            return std::nullopt;
        };
        EXPECT_EQ(choosePreferencesPath(program, writable, env), c.expected);
        EXPECT_EQ(asked, program);
    }
}

TEST_F(PreferencesFiles, WritableCheck)
{
    EXPECT_TRUE(isDirectoryWritable(dir));
    EXPECT_FALSE(isDirectoryWritable(dir / "does-not-exist"));
    write(dir / "plain", "x");
    EXPECT_FALSE(isDirectoryWritable(dir / "plain"));
}

TEST_F(PreferencesFiles, SaveThenLoad)
{
    const fs::path file = dir / "config" / "Vorex" / "Vorex.cfg";  // directories are created
    const Preferences p = unusual();
    const PreferencesWriteResult result = savePreferences(file, p, localDateTimeText());
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(loadPreferences(file), p);

    // Saving again over its own output keeps one copy of each section.
    ASSERT_TRUE(savePreferences(file, p, "t").ok);
    const std::string text = read(file);
    EXPECT_EQ(text.find("[Prefer]"), text.rfind("[Prefer]"));
    EXPECT_EQ(text.find("[General]"), text.rfind("[General]"));
    EXPECT_EQ(text.find("[LFiles]"), text.rfind("[LFiles]"));
    EXPECT_EQ(fs::directory_iterator(dir / "config" / "Vorex")->path().filename(), "Vorex.cfg");
}

TEST_F(PreferencesFiles, SaveKeepsModeAndSymbolicLink)
{
    const fs::path real = dir / "real.cfg";
    write(real, "[Other]\nk=v\n");
    ::chmod(real.c_str(), 0600);
    fs::create_symlink(real, dir / "Vorex.cfg");
    ASSERT_TRUE(savePreferences(dir / "Vorex.cfg", unusual(), "t").ok);
    EXPECT_TRUE(fs::is_symlink(dir / "Vorex.cfg"));
    EXPECT_EQ(loadPreferences(real), unusual());
    EXPECT_EQ(IniFile::parse(read(real)).value("Other", "k"), "v");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(entries(), 2u);
}

TEST_F(PreferencesFiles, FailedWriteReportsAndKeepsTheDirectory)
{
    const fs::path file = dir / "Vorex.cfg";
    fs::create_directory(file);  // cannot be written, not even by root
    const PreferencesWriteResult result = savePreferences(file, unusual(), "t");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Error writing cfg file\r(File may be read only)");
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(entries(), 1u);
}

// A file size limit makes writing fail for root as well: the new text is longer than the limit,
// so the temporary file cannot be completed and the former file must stay as it was.
TEST_F(PreferencesFiles, FailedWriteKeepsThePreviousFile)
{
    const fs::path file = dir / "Vorex.cfg";
    const std::string before = "[Prefer]\nLang=0\n";
    write(file, before);
    const auto saveUnderLimit = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 64;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const PreferencesWriteResult result = savePreferences(file, unusual(), "t");
        std::_Exit(!result.ok && result.message == PreferencesWriteError ? 0 : 1);
    };
    EXPECT_EXIT(saveUnderLimit(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(read(file), before);
    EXPECT_EQ(entries(), 1u);  // no temporary file left behind
    EXPECT_EQ(loadPreferences(file).language, 0);
}

// Without any write permission the file is read-only, for root as well.
TEST_F(PreferencesFiles, ReadOnlyFileIsNotReplaced)
{
    const fs::path file = dir / "Vorex.cfg";
    write(file, "[Prefer]\nLang=0\n");
    ::chmod(file.c_str(), 0444);
    const PreferencesWriteResult result = savePreferences(file, unusual(), "t");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, PreferencesWriteError);
    EXPECT_EQ(read(file), "[Prefer]\nLang=0\n");
    EXPECT_EQ(entries(), 1u);
}

// The file's directory cannot be made (a plain file holds its name): nothing is written.
TEST_F(PreferencesFiles, MissingDirectoryThatCannotBeMadeFails)
{
    write(dir / "plain", "not a directory");
    const PreferencesWriteResult result = savePreferences(dir / "plain" / "Vorex" / "Vorex.cfg", unusual(), "t");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, PreferencesWriteError);
    EXPECT_EQ(read(dir / "plain"), "not a directory");
    EXPECT_EQ(entries(), 1u);
}

// "Compute after each view change": off without the key, read and written as CmpV.
TEST(Preferences, ComputeAfterViewChange)
{
    EXPECT_FALSE(Preferences{}.computeAfterViewChange);
    EXPECT_FALSE(parsePreferences("[Prefer]\nBeep=1\n").computeAfterViewChange);
    EXPECT_TRUE(parsePreferences("[Prefer]\nCmpV=1\n").computeAfterViewChange);
    EXPECT_FALSE(parsePreferences("[Prefer]\nCmpV=0\n").computeAfterViewChange);
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on);
        Preferences p;
        p.computeAfterViewChange = on;
        const std::string text = renderPreferences("", p, "now");
        EXPECT_NE(text.find(on ? "\nCmpV=1\n" : "\nCmpV=0\n"), std::string::npos);
        EXPECT_EQ(parsePreferences(text).computeAfterViewChange, on);
    }
}
