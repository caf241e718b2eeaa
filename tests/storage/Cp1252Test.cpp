#include "storage/Cp1252.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using storage::cp1252ToUtf8;
using storage::utf8ToCp1252;

// Expected bytes from Unicode's mapping table CP1252.TXT (unicode.org, MAPPINGS/VENDORS/MICSFT/WINDOWS).
TEST(Cp1252Test, Utf8ToCp1252)
{
    const struct {
        const char* name;
        std::string utf8;
        std::string cp1252;
    } rows[] = {
        {"ASCII", "Mandelbrot Z^2+C", "Mandelbrot Z^2+C"},
        {"Latin-1 letters", "Fractale \xC3\xA9t\xC3\xA9 \xC3\xBF", "Fractale \xE9t\xE9 \xFF"},
        {"euro sign", "\xE2\x82\xAC", "\x80"},
        {"ligature and quotes", "\xC5\x92uvre \xE2\x80\x99\xE2\x80\x9C", "\x8Cuvre \x92\x93"},
        {"Y diaeresis and trade mark", "\xC5\xB8\xE2\x84\xA2", "\x9F\x99"},
        {"unmappable CJK and emoji", "a\xE4\xB8\xAD" "b\xF0\x9F\x98\x80" "c", "a?b?c"},
        {"stray continuation byte", "a\x80" "b", "a?b"},
        {"truncated sequence at the end", "ab\xC3", "ab?"},
        {"truncated sequence in the middle", "a\xE2\x82z", "a?z"},
        {"overlong slash", "\xC0\xAF", "??"},
        {"overlong three-byte e-acute", "\xE0\x83\xA9", "?"},
        {"UTF-16 surrogate", "\xED\xA0\x80", "?"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "?"},
        {"NUL kept", std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(utf8ToCp1252(row.utf8), row.cp1252);
    }
}

TEST(Cp1252Test, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const std::string utf8 = cp1252ToUtf8(all);
    EXPECT_EQ(utf8ToCp1252(utf8), all);
    // A few decoded characters checked against CP1252.TXT.
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(cp1252ToUtf8("\xE9"), "\xC3\xA9");
    EXPECT_EQ(cp1252ToUtf8("\x9C"), "\xC5\x93");
    EXPECT_EQ(cp1252ToUtf8("\x81"), "\xC2\x81");  // undefined in cp1252: decoded as U+0081
}

}  // namespace
