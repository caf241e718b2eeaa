#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The instruction sets of the vectorised kernels, chosen at run time from what the CPU offers.
namespace engine {

// Scalar uses the scalar kernels on every thread.
enum class Isa : uint8_t { Scalar = 0, Sse2 = 1, Avx2 = 2, Avx512 = 3 };

bool isaAvailable(Isa isa);        // the CPU (and OS) runs it
Isa bestIsa();                     // the widest available
std::string_view isaName(Isa isa); // "scalar", "sse2", "avx2", "avx512"
std::optional<Isa> parseIsa(std::string_view name);
int defaultThreadCount();          // one per core, at least 1

}  // namespace engine
