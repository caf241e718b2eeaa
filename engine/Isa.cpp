#include "engine/Isa.h"

#include <algorithm>
#include <thread>

namespace engine {

bool isaAvailable(Isa isa)
{
    switch (isa) {
    case Isa::Scalar:
    case Isa::Sse2: return true;
    case Isa::Avx2: return __builtin_cpu_supports("avx2");
    case Isa::Avx512: return __builtin_cpu_supports("avx512f");
    }
    return false;
}

Isa bestIsa()
{
    for (Isa isa : {Isa::Avx512, Isa::Avx2})
        if (isaAvailable(isa))
            return isa;
    return Isa::Sse2;
}

std::string_view isaName(Isa isa)
{
    switch (isa) {
    case Isa::Scalar: return "scalar";
    case Isa::Sse2: return "sse2";
    case Isa::Avx2: return "avx2";
    case Isa::Avx512: return "avx512";
    }
    return "?";
}

std::optional<Isa> parseIsa(std::string_view name)
{
    for (Isa isa : {Isa::Scalar, Isa::Sse2, Isa::Avx2, Isa::Avx512})
        if (name == isaName(isa))
            return isa;
    return std::nullopt;
}

int defaultThreadCount()
{
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace engine
