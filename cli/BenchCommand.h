#pragma once

#include <string>
#include <vector>

namespace cli {

// vorex-cli bench [--threads N] [--isa scalar|sse2|avx2|avx512] [--scene NAME]... [--repeat N]
// Computes named scenes with the serial reference driver and with the parallel engine, checks that both
// give the same values and prints the times, the iterations per second and the speed-up.
int runBench(const std::vector<std::string>& args);

}  // namespace cli
