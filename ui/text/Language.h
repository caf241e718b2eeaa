#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace text {

// The language index of every text table: the preference "Lang".
enum Language : uint8_t { English = 0, French = 1 };
inline constexpr int LanguageCount = 2;

// One entry of a text table in both languages. Texts are UTF-8 string literals, so data() is
// null-terminated. "&" marks the accelerator letter of a caption; "\r" marks a line break in
// message-box texts.
struct Bilingual {
    std::string_view english;
    std::string_view french;

    // Any index other than French gives the English text.
    constexpr std::string_view in(int language) const { return language == French ? french : english; }
};

// Entry `index` (0-based) of a table in `language`; an index outside the table gives "".
constexpr std::string_view pick(std::span<const Bilingual> table, int index, int language)
{
    return index >= 0 && size_t(index) < table.size() ? table[size_t(index)].in(language) : std::string_view();
}

}  // namespace text
