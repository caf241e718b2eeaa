#pragma once

#include <string>

#include "document/Fractal.h"

namespace storage {

// The variables of a fractal as the variables dialog copies them to the clipboard: one
// "label<TAB>value" per line, each line ending in CR LF, labels in `language` (0 English, 1 French).
std::string VariablesSummary(const engine::FractalParams& p, int language);

}  // namespace storage
