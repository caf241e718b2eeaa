#pragma once

#include <cstdint>

// The six transfer functions of the calculated 24-bit tables. k is the table index (an iteration
// value, 1..MaxIter). Index 0 "Unity", 1 "Linear", 2 "Logarithmic base2", 3 "Logarithmic base10",
// 4 "Square root", 5 "Sinus"; an unknown index (a damaged document) counts as "Unity".
namespace colour {

inline constexpr int TransferFunctionCount = 6;

// x(k), from which the brightness is V = 1 - x (not clamped). Unity 0, Linear k / valueMult,
// log2, log10, square root and sine (radians) of k / valueMult. A valueMult of 0 or below gives
// infinities or NaN, which the table builder turns into black.
long double valueFunction(int index, int64_t k, int32_t valueMult);

// h(k) in degrees, the remainder of a signed 64-bit division by 360 (a negative sine term stays
// negative): Unity k, Linear k * hueMult, then round(log2(k + 1) * hueMult), round(log10(k + 1) *
// hueMult), round(sqrt(k + 1) * hueMult), round(sin(k) * hueMult), rounding ties to even.
int64_t hueTerm(int index, int64_t k, int32_t hueMult);

}  // namespace colour
