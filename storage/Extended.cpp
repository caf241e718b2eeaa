#include "storage/Extended.h"

#include <bit>
#include <cstring>

namespace storage {
namespace {

constexpr int ExtendedBias = 16383;
constexpr int DoubleBias = 1023;
constexpr uint64_t IntegerBit = uint64_t(1) << 63;
constexpr uint64_t QuietBit = uint64_t(1) << 62;  // extended NaN: the top fraction bit
constexpr uint64_t DoubleFraction = (uint64_t(1) << 52) - 1;
constexpr uint64_t DoubleQuietBit = uint64_t(1) << 51;
constexpr uint64_t DoubleSign = uint64_t(1) << 63;
constexpr uint64_t DoubleInfinity = uint64_t(0x7FF) << 52;

ExtendedBytes pack(bool negative, int exponent, uint64_t significand)
{
    ExtendedBytes out{};
    for (int i = 0; i < 8; ++i)
        out[size_t(i)] = uint8_t(significand >> (8 * i));
    const uint16_t top = uint16_t((negative ? 0x8000 : 0) | (exponent & 0x7FFF));
    out[8] = uint8_t(top);
    out[9] = uint8_t(top >> 8);
    return out;
}

// Rounds significand / 2^shift to an integer, to nearest with ties to even; shift 1..64.
uint64_t roundShift(uint64_t significand, int shift)
{
    if (shift >= 64) {
        // Only significand / 2^64 < 1 is left: 1 when above one half, or at one half never (0 is even).
        return significand > IntegerBit ? 1 : 0;
    }
    const uint64_t kept = significand >> shift;
    const uint64_t rest = significand & ((uint64_t(1) << shift) - 1);
    const uint64_t half = uint64_t(1) << (shift - 1);
    return kept + ((rest > half || (rest == half && (kept & 1))) ? 1 : 0);
}

}  // namespace

ExtendedBytes doubleToExtended(double value)
{
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const bool negative = (bits & DoubleSign) != 0;
    const int exponent = int((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & DoubleFraction;

    if (exponent == 0x7FF) {
        if (fraction == 0)
            return pack(negative, 0x7FFF, IntegerBit);
        return pack(negative, 0x7FFF, IntegerBit | QuietBit | (fraction << 11));
    }
    if (exponent == 0) {
        if (fraction == 0)
            return pack(negative, 0, 0);
        // Denormal: fraction x 2^-1074. Normalise so that the leading 1 lands on bit 63.
        const int lead = 63 - std::countl_zero(fraction);  // 0..51
        const int unbiased = -1074 + lead;
        return pack(negative, unbiased + ExtendedBias, fraction << (63 - lead));
    }
    return pack(negative, exponent - DoubleBias + ExtendedBias, IntegerBit | (fraction << 11));
}

void writeExtended(uint8_t* out, double value)
{
    const ExtendedBytes bytes = doubleToExtended(value);
    std::memcpy(out, bytes.data(), bytes.size());
}

double extendedToDouble(const uint8_t* bytes)
{
    uint64_t significand = 0;
    for (int i = 7; i >= 0; --i)
        significand = (significand << 8) | bytes[i];
    const uint16_t top = uint16_t(bytes[8] | (bytes[9] << 8));
    const bool negative = (top & 0x8000) != 0;
    const int exponent = top & 0x7FFF;
    const uint64_t sign = negative ? DoubleSign : 0;

    if (exponent == 0x7FFF) {
        if (significand == IntegerBit)
            return std::bit_cast<double>(sign | DoubleInfinity);
        const uint64_t payload = (significand >> 11) & DoubleFraction;
        return std::bit_cast<double>(sign | DoubleInfinity | DoubleQuietBit | payload);
    }
    if (significand == 0)
        return std::bit_cast<double>(sign);

    // value = significand x 2^(e - 16446), with e = 1 for exponent 0 (denormals, pseudo-denormals).
    // Normalise the significand so that its leading 1 is bit 63: value = 1.f x 2^unbiased.
    const int lz = std::countl_zero(significand);
    significand <<= lz;
    const int unbiased = (exponent == 0 ? 1 : exponent) - ExtendedBias - lz;

    if (unbiased > DoubleBias)
        return std::bit_cast<double>(sign | DoubleInfinity);
    if (unbiased >= -1022) {
        uint64_t mantissa = roundShift(significand, 11);  // 53 bits, or 2^53 after rounding up
        int e = unbiased;
        if (mantissa >> 53) {
            mantissa >>= 1;
            ++e;
        }
        if (e > DoubleBias)
            return std::bit_cast<double>(sign | DoubleInfinity);
        return std::bit_cast<double>(sign | (uint64_t(e + DoubleBias) << 52) | (mantissa & DoubleFraction));
    }
    // Denormal range: the result is round(value / 2^-1074) units of the smallest denormal, that is the
    // significand shifted right by 11 + (-1022 - unbiased) bits. Rounding up to 2^52 units gives the
    // bit pattern of the smallest normal, which is right.
    const int shift = 11 + (-1022 - unbiased);
    if (shift > 64)
        return std::bit_cast<double>(sign);
    return std::bit_cast<double>(sign | roundShift(significand, shift));
}

}  // namespace storage
