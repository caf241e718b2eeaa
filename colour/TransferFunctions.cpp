#include "colour/TransferFunctions.h"

#include <cmath>

#include "colour/Hsv.h"

namespace colour {

long double valueFunction(int index, int64_t k, int32_t valueMult)
{
    const long double q = (long double)k / (long double)valueMult;
    switch (index) {
    case 1: return q;
    case 2: return std::log2(q);
    case 3: return std::log10(q);
    case 4: return std::sqrt(q);
    case 5: return std::sin(q);
    default: return 0;
    }
}

int64_t hueTerm(int index, int64_t k, int32_t hueMult)
{
    const long double m = hueMult;
    int64_t term;
    switch (index) {
    case 1: term = k * int64_t(hueMult); break;
    case 2: term = roundEven(std::log2((long double)(k + 1)) * m); break;
    case 3: term = roundEven(std::log10((long double)(k + 1)) * m); break;
    case 4: term = roundEven(std::sqrt((long double)(k + 1)) * m); break;
    case 5: term = roundEven(std::sin((long double)k) * m); break;
    default: term = k; break;
    }
    return term % 360;  // C++ remainder truncates towards zero: -7 stays -7
}

}  // namespace colour
