#pragma once

#include <string>
#include <vector>

namespace cli {

// "poster plan|compute|status|assemble ...": posters larger than one document, as a grid of tiles.
extern const char* const PosterUsage;
int runPosterCommand(const std::vector<std::string>& args);

}  // namespace cli
