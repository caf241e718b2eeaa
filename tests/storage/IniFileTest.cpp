#include <gtest/gtest.h>

#include <string>

#include "storage/IniFile.h"

using storage::IniFile;

// Texts that nothing changes must come back byte for byte, whatever their line breaks,
// encodings or odd lines.
TEST(IniFile, UntouchedTextRoundTripsExactly)
{
    const std::string texts[] = {
        "",
        "[A]\nk=v\n",
        "[A]\r\nk=v\r\n\r\n[B]\r\nx = y \r\n",
        "[A]\nk=v",                                     // no final line break
        "\xEF\xBB\xBF[A]\nk=v\n",                         // UTF-8 byte order mark
        "; comment\n# other\nno equals sign\n  [ A ]  ; trailing\n=novalue\n",
        "[Caf\xE9]\nnom=\xE9t\xE9\n",                     // Windows-1252 bytes, not UTF-8
        std::string("[A]\nk=a\0b\n", 10),               // NUL inside a value
        "mixed\r\nbreaks\nhere\r\n",
        "lone\rcarriage return\n",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(IniFile::parse(text).serialize(), text);
    }
}

TEST(IniFile, Lookup)
{
    const IniFile ini = IniFile::parse(
        "top=outside\n"
        "[Prefer]\n"
        "  Lang = 0\n"
        ";Beep=1\n"
        "Font=Courier New  \n"
        "Lang=1\n"
        "Eq=a=b\n"
        "[prefer]\n"
        "Late=2\n"
        "[Other]\r\n"
        "Path=C:\\x\r\n");
    const struct { const char* section; const char* key; std::optional<std::string> value; } cases[] = {
        {"Prefer", "Lang", " 0"},                 // first occurrence, value bytes after '='
        {"PREFER", "lang", " 0"},                 // names ignore ASCII case
        {"Prefer", "Beep", std::nullopt},         // a comment is no key
        {"Prefer", "Font", "Courier New  "},      // trailing blanks of a value are kept
        {"Prefer", "Eq", "a=b"},                  // only the first '=' separates
        {"Prefer", "Late", "2"},                  // a repeated section is searched too
        {"Other", "Path", "C:\\x"},               // "\r\n" is no part of the value
        {"Other", "top", std::nullopt},           // keys before any section belong to none
        {"Missing", "Lang", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.value(c.section, c.key), c.value);
    }
    EXPECT_TRUE(ini.hasSection("other"));
    EXPECT_FALSE(ini.hasSection("LFiles"));
}

TEST(IniFile, SetValueChangesOnlyItsLine)
{
    const struct { const char* name; const char* before; const char* section; const char* key; const char* value;
                   const char* after; } cases[] = {
        {"replace in place", "[A]\r\nk=1\r\nz=2\r\n", "A", "K", "9", "[A]\r\nK=9\r\nz=2\r\n"},
        {"append before trailing blank lines", "[A]\nk=1\n\n[B]\n", "A", "n", "v", "[A]\nk=1\nn=v\n\n[B]\n"},
        {"new section at the end", "[A]\nk=1\n", "B", "n", "v", "[A]\nk=1\n\n[B]\nn=v\n"},
        {"unterminated last line", "[A]\nk=1", "A", "n", "v", "[A]\nk=1\nn=v\n"},
        {"new section takes CRLF", "[A]\r\nk=1\r\n", "B", "n", "", "[A]\r\nk=1\r\n\r\n[B]\r\nn=\r\n"},
        {"empty file", "", "B", "n", "v", "[B]\nn=v\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IniFile ini = IniFile::parse(c.before);
        ASSERT_TRUE(ini.setValue(c.section, c.key, c.value));
        EXPECT_EQ(ini.serialize(), c.after);
        EXPECT_EQ(IniFile::parse(ini.serialize()).value(c.section, c.key), c.value);
    }
}

// A value with a line break would write a line of its own: "x\n[Prefer]\nLang=0" must not be
// able to plant keys into the file.
TEST(IniFile, RefusesValuesThatWouldBreakTheLayout)
{
    const std::string before = "[LFiles]\nL001=a\n";
    const struct { const char* key; std::string value; } cases[] = {
        {"L001", "x\n[Prefer]\nLang=0"},
        {"L001", "x\rLang=0"},
        {"L001", std::string("a\0b", 3)},
        {"", "v"},
        {"a=b", "v"},
        {"[X]", "v"},
        {";c", "v"},
        {" L001", "v"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.value);
        IniFile ini = IniFile::parse(before);
        EXPECT_FALSE(ini.setValue("LFiles", c.key, c.value));
        EXPECT_EQ(ini.serialize(), before);
    }
}

TEST(IniFile, ReplaceSectionInPlace)
{
    IniFile ini = IniFile::parse(
        "; head\n"
        "[General]\n"
        "Software=Old\n"
        "; old comment\n"
        "\n"
        "[Mine]\n"
        "keep=1\n"
        "[general]\n"
        "Dup=1\n"
        "[Tail]\n"
        "t=2");
    ini.replaceSection("General", {{"Software", "Vorex"}, {"Bad", "a\nb"}, {"Build", "1"}});
    EXPECT_EQ(ini.serialize(),
              "; head\n"
              "[General]\n"
              "Software=Vorex\n"
              "Bad=\n"  // not storable: written empty
              "Build=1\n"
              "\n"
              "[Mine]\n"
              "keep=1\n"
              "[Tail]\n"
              "t=2");

    ini.replaceSection("New", {{"a", "b"}});
    EXPECT_EQ(IniFile::parse(ini.serialize()).value("New", "a"), "b");
    EXPECT_EQ(IniFile::parse(ini.serialize()).value("Tail", "t"), "2");
}
