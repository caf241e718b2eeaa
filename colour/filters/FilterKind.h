#pragma once

#include <cstdint>

namespace colour::filters {

// The filter the picture is shown through.
enum class FilterKind : uint8_t { None = 0, Edges = 1, Emboss = 2 };

}  // namespace colour::filters
