#pragma once

#include <string>
#include <string_view>

// Text in files is Windows-1252 ("Western European" ANSI code page); the program works in UTF-8.
// One cp1252 byte is one character, so a character count in a file is a byte count.
namespace storage {

// Each code point becomes one byte; a code point cp1252 cannot show, and every malformed UTF-8
// sequence (a stray continuation byte, a truncated, overlong or surrogate sequence), becomes '?'.
std::string utf8ToCp1252(std::string_view utf8);

// Every byte has a character: the five bytes cp1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// become the C1 control characters of the same number, as Windows decodes them, so that any byte
// string survives a round trip.
std::string cp1252ToUtf8(std::string_view bytes);

}  // namespace storage
