#include "storage/Cp1252.h"

#include <array>
#include <cstdint>

namespace storage {
namespace {

// Bytes 0x80..0x9F (Unicode's CP1252.TXT); the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encodeCodePoint(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return char(cp);
    for (size_t i = 0; i < High.size(); ++i)
        if (High[i] == cp)
            return char(0x80 + i);
    return '?';
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string utf8ToCp1252(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const uint8_t b = uint8_t(s[i]);
        int length = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (b < 0x80) {
            out += char(b);
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = 2, cp = b & 0x1F, minimum = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3, cp = b & 0x0F, minimum = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, cp = b & 0x07, minimum = 0x10000;
        } else {
            // A continuation byte without a lead, or a lead byte that no valid sequence uses.
            out += '?';
            ++i;
            continue;
        }
        int taken = 1;
        while (taken < length && i + size_t(taken) < s.size() && (uint8_t(s[i + size_t(taken)]) & 0xC0) == 0x80) {
            cp = (cp << 6) | (uint8_t(s[i + size_t(taken)]) & 0x3F);
            ++taken;
        }
        i += size_t(taken);
        if (taken < length || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            out += '?';
        else
            out += encodeCodePoint(cp);
    }
    return out;
}

std::string cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const uint8_t b = uint8_t(c);
        appendUtf8(out, (b >= 0x80 && b < 0xA0) ? High[b - 0x80] : char32_t(b));
    }
    return out;
}

}  // namespace storage
