#pragma once

#include <string>
#include <vector>

namespace cli {

// Each takes the words after its command name and returns the process exit status.
int runNew(const std::vector<std::string>& args);
int runCompute(const std::vector<std::string>& args);
int runInfo(const std::vector<std::string>& args);

}  // namespace cli
