#pragma once

#include <string>
#include <vector>

namespace cli {

// vorex-cli bench [--threads N] [--isa scalar|sse2|avx2|avx512] [--scene NAME]... [--repeat N] [--digest]
// Computes named scenes with the serial reference driver and with the parallel engine, checks that both
// give the same values and prints the times, the iterations per second and the speed-up. With --digest,
// each scene is computed once on each side, untimed, and the line shows the FNV-1a 64 digest of each
// side's values (row by row, each value as two little-endian bytes) instead of the times.
// Returns 0 when both sides gave the same values for every scene, 1 otherwise.
int runBench(const std::vector<std::string>& args);

}  // namespace cli
