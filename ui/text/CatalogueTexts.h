#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// The bilingual name lists of the catalogue, shown in combo boxes and in the status line; the
// index is the stored code of the choice.
enum class CatalogueList : uint8_t {
    Algorithms,          // 0 Level .. 5 Potential
    BoundaryTypes,       // 8-bit colour mapping rules: Linear, Logarithmic, Square root
    TableModes,          // 24-bit table mode: Color table, Calculated
    TransferFunctions,   // 24-bit hue and value functions: Unity .. Sinus
    End
};

// Name `index` of `list` in `language`; an index outside the list gives "".
std::string_view catalogueName(CatalogueList list, int index, int language);
std::span<const Bilingual> catalogueTable(CatalogueList list);

}  // namespace text
