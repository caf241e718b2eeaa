#pragma once

#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// Every text table, for checks over all of them: name, entries in record order, and the id of
// the first entry (1 for the numbered tables, 0 for the others).
struct TextTableInfo {
    std::string_view name;
    std::span<const Bilingual> entries;
    int firstId = 0;
};
std::span<const TextTableInfo> allTextTables();

}  // namespace text
