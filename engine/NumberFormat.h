#pragma once

#include <cstdint>
#include <string>

namespace engine {

// Shortest decimal form with at most `digits` significant digits. Fixed notation while the value is
// at least 1e-5 in magnitude and has no more than `digits` integer digits, else "1.5E-7" style.
std::string formatGeneral(double value, int digits);

// Scientific form with `digits` significant digits and at least `exponentDigits` exponent digits,
// the sign of the exponent always shown: formatScientific(0.005, 16, 4) == "5.000000000000000E-0003".
std::string formatScientific(double value, int digits, int exponentDigits);

// Thousands separated with ",": "#,#" gives "" for 0, "#,0" gives "0".
std::string formatThousands(uint64_t value, bool emptyForZero);

}  // namespace engine
