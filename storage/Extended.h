#pragma once

#include <array>
#include <cstdint>

// The 80-bit x87 extended real of documents: 10 bytes, little-endian: bytes 0..7 the 64-bit
// significand with an explicit integer bit (bit 63), bytes 8..9 the sign (bit 15) and the exponent
// (bits 14..0, bias 16383). Converted bit by bit with integer arithmetic, the same on every host.
namespace storage {

inline constexpr int ExtendedSize = 10;
using ExtendedBytes = std::array<uint8_t, ExtendedSize>;

// Exact: every double has an extended form. Signed zeros, infinities and denormals keep their value
// (a denormal double becomes a normal extended). A NaN keeps its sign and payload and comes out quiet,
// as the x87 load of a double does.
ExtendedBytes doubleToExtended(double value);
void writeExtended(uint8_t* out, double value);

// Rounds to the nearest double, ties to even: values beyond the double range become infinities,
// values below half the smallest denormal become signed zeros, others may become denormals.
// Inputs the x87 no longer produces are taken by their value: an unnormal (integer bit 0 with a
// non-zero exponent) is significand x 2^(exponent - 16446); a pseudo-denormal (exponent 0, integer
// bit 1) has the exponent of exponent 1. Exponent 0x7FFF is an infinity when the 63 fraction bits are
// 0 and the integer bit is 1; any other pattern there (NaNs, pseudo-infinities, pseudo-NaNs) is a
// quiet NaN of the same sign keeping the top 51 fraction bits of the payload.
double extendedToDouble(const uint8_t* bytes);
inline double extendedToDouble(const ExtendedBytes& bytes) { return extendedToDouble(bytes.data()); }

}  // namespace storage
