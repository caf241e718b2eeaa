#include "storage/Extended.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

namespace {

using storage::doubleToExtended;
using storage::ExtendedBytes;
using storage::extendedToDouble;

uint64_t bitsOf(double d) { return std::bit_cast<uint64_t>(d); }

// Builds the 10 stored bytes from the sign/exponent word and the 64-bit significand.
ExtendedBytes ext(uint16_t signExponent, uint64_t significand)
{
    ExtendedBytes b{};
    for (int i = 0; i < 8; ++i)
        b[size_t(i)] = uint8_t(significand >> (8 * i));
    b[8] = uint8_t(signExponent);
    b[9] = uint8_t(signExponent >> 8);
    return b;
}

// Expected bytes worked out by hand from the x87 format (Intel SDM vol. 1, 4.2.2 and 4.8.3: bias 16383,
// explicit integer bit 63) and the IEEE double layout (bias 1023, hidden bit):
//  1.0     : exponent 0 + 16383 = 0x3FFF, significand 1.0 = 0x8000000000000000.
//  -2.5    : 1.01b x 2^1: exponent 0x4000, significand 0xA000000000000000, sign set -> 0xC000.
//  1e-310  : double 0x000012688B70E62B, a denormal 0x12688B70E62B x 2^-1074 whose leading 1 is bit 44,
//            so 2^-1030: exponent 16383 - 1030 = 0x3BF9, significand 0x12688B70E62B << 19 = 0x93445B8731580000.
//  DBL_MAX : (2 - 2^-52) x 2^1023: exponent 0x43FE, significand 53 ones then 11 zeros = 0xFFFFFFFFFFFFF800.
//  DBL_MIN : 2^-1022: exponent 16383 - 1022 = 0x3C01.
//  inf     : exponent 0x7FFF, significand 0x8000000000000000.
//  NaN     : the default quiet NaN 0x7FF8000000000000 -> integer bit + quiet bit = 0xC000000000000000.
//  0.1     : double 0x3FB999999999999A = 1.6 x 2^-4: exponent 0x3FFB, fraction 0x999999999999A << 11
//            with the integer bit = 0xCCCCCCCCCCCCD000.
TEST(ExtendedTest, DoublesToKnownBytesAndBack)
{
    const struct {
        const char* name;
        double value;
        uint16_t signExponent;
        uint64_t significand;
    } rows[] = {
        {"zero", 0.0, 0x0000, 0},
        {"negative zero", -0.0, 0x8000, 0},
        {"one", 1.0, 0x3FFF, 0x8000000000000000},
        {"minus 2.5", -2.5, 0xC000, 0xA000000000000000},
        {"denormal 1e-310", 1e-310, 0x3BF9, 0x93445B8731580000},
        {"DBL_MAX", DBL_MAX, 0x43FE, 0xFFFFFFFFFFFFF800},
        {"DBL_MIN", DBL_MIN, 0x3C01, 0x8000000000000000},
        {"infinity", std::numeric_limits<double>::infinity(), 0x7FFF, 0x8000000000000000},
        {"minus infinity", -std::numeric_limits<double>::infinity(), 0xFFFF, 0x8000000000000000},
        {"quiet NaN", std::numeric_limits<double>::quiet_NaN(), 0x7FFF, 0xC000000000000000},
        {"0.1", 0.1, 0x3FFB, 0xCCCCCCCCCCCCD000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ExtendedBytes expected = ext(row.signExponent, row.significand);
        EXPECT_EQ(doubleToExtended(row.value), expected);
        const double back = extendedToDouble(expected);
        if (std::isnan(row.value))
            EXPECT_TRUE(std::isnan(back));
        else
            EXPECT_EQ(bitsOf(back), bitsOf(row.value));
    }
}

TEST(ExtendedTest, NarrowingRoundsToNearestEven)
{
    const double minDenormal = std::numeric_limits<double>::denorm_min();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* name;
        uint16_t signExponent;
        uint64_t significand;
        double expected;
    } rows[] = {
        // 1 + 2^-53 lies halfway between 1 and 1 + 2^-52: the even one, 1, wins.
        {"tie to even down", 0x3FFF, 0x8000000000000400, 1.0},
        // 1 + 3 x 2^-53 lies halfway between 1 + 2^-52 (odd) and 1 + 2^-51 (even).
        {"tie to even up", 0x3FFF, 0x8000000000000C00, 1.0 + 0x1p-51},
        {"just above half", 0x3FFF, 0x8000000000000401, 1.0 + 0x1p-52},
        {"just below half", 0x3FFF, 0x80000000000003FF, 1.0},
        // Overflow: 2^16000 and DBL_MAX + half an ulp (a tie, DBL_MAX's last bit is odd) become inf.
        {"far too large", 0x7E7F, 0x8000000000000000, inf},
        {"far too large, negative", 0xFE7F, 0x8000000000000000, -inf},
        {"DBL_MAX + half ulp", 0x43FE, 0xFFFFFFFFFFFFFC00, inf},
        {"below DBL_MAX + half ulp", 0x43FE, 0xFFFFFFFFFFFFFBFF, DBL_MAX},
        // Underflow into denormals: units of 2^-1074.
        {"2^-1075 is a tie: 0", 0x3BCC, 0x8000000000000000, 0.0},
        {"1.5 x 2^-1075: 1 unit", 0x3BCC, 0xC000000000000000, minDenormal},
        {"1.5 x 2^-1074 is a tie: 2 units", 0x3BCD, 0xC000000000000000, 2 * minDenormal},
        {"2.5 x 2^-1074 is a tie: 2 units", 0x3BCE, 0xA000000000000000, 2 * minDenormal},
        {"2^-1080: 0", 0x3BC7, 0x8000000000000000, 0.0},
        {"negative tiny: -0", 0xBBC7, 0x8000000000000000, -0.0},
        // (2^53 - 1) x 2^-1075 is halfway between 2^52 - 1 units (odd) and 2^52 units = DBL_MIN.
        {"rounds up to DBL_MIN", 0x3C00, 0xFFFFFFFFFFFFF800, DBL_MIN},
        {"largest denormal", 0x3C00, 0xFFFFFFFFFFFFF000, DBL_MIN - minDenormal},
        {"extended denormal: 0", 0x0000, 1, 0.0},
        {"negative extended denormal: -0", 0x8000, 1, -0.0},
        // Patterns the x87 no longer produces, taken by value.
        {"pseudo-denormal 2^-16382: 0", 0x0000, 0x8000000000000000, 0.0},
        {"unnormal 0.5", 0x3FFF, 0x4000000000000000, 0.5},
        {"unnormal zero", 0x3FFF, 0, 0.0},
        {"unnormal -3", 0xC001, 0x6000000000000000, -3.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(bitsOf(extendedToDouble(ext(row.signExponent, row.significand))), bitsOf(row.expected));
    }
}

TEST(ExtendedTest, NaNPatternsStayNaNWithTheirSign)
{
    const struct {
        const char* name;
        uint16_t signExponent;
        uint64_t significand;
    } rows[] = {
        {"quiet NaN with payload", 0x7FFF, 0xC000000000000001},
        {"signalling NaN", 0x7FFF, 0x8000000000000001},
        {"negative indefinite", 0xFFFF, 0xC000000000000000},
        {"pseudo-infinity", 0x7FFF, 0x0000000000000000},
        {"pseudo-NaN", 0x7FFF, 0x4000000000000000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const double d = extendedToDouble(ext(row.signExponent, row.significand));
        EXPECT_TRUE(std::isnan(d));
        EXPECT_EQ(std::signbit(d), (row.signExponent & 0x8000) != 0);
    }
    // The payload's top bits survive a round trip through the extended form.
    const double payload = std::bit_cast<double>(uint64_t(0x7FF8000000ABCDEF));
    EXPECT_EQ(bitsOf(extendedToDouble(doubleToExtended(payload))), 0x7FF8000000ABCDEFu);
}

// xorshift64: a fixed, portable sequence of bit patterns.
uint64_t nextPattern(uint64_t& s)
{
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return s;
}

TEST(ExtendedTest, EveryDoubleSurvivesTheRoundTrip)
{
    uint64_t state = 0x9E3779B97F4A7C15;
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = nextPattern(state);
        if (i % 4 == 1)
            bits &= 0x800FFFFFFFFFFFFF;  // denormals
        const double d = std::bit_cast<double>(bits);
        if (std::isnan(d))
            continue;
        ASSERT_EQ(bitsOf(extendedToDouble(doubleToExtended(d))), bits) << std::hex << bits;
    }
}

#if (defined(__x86_64__) || defined(__i386__)) && LDBL_MANT_DIG == 64
// Cross-check with the host's own x87 arithmetic, where long double is this very format and the
// conversion to double rounds to nearest even. The hardware refuses unnormals, so they are left out.
TEST(ExtendedTest, NarrowingAgreesWithTheX87)
{
    uint64_t state = 0x0123456789ABCDEF;
    for (int i = 0; i < 20000; ++i) {
        uint64_t significand = nextPattern(state);
        // Exponents spread over the double's range and its surroundings (denormal and overflow zones).
        const uint16_t exponent = uint16_t(16383 - 1100 + int(nextPattern(state) % 2200));
        const bool negative = (i & 1) != 0;
        if (i % 3 == 0)
            significand |= 0x7FF;  // many ties and near-ties
        if (i % 5 == 0)
            significand &= ~uint64_t(0x7FF);
        significand |= uint64_t(1) << 63;
        const ExtendedBytes bytes = ext(uint16_t(exponent | (negative ? 0x8000 : 0)), significand);
        long double host;
        std::memcpy(&host, bytes.data(), 10);
        const double expected = static_cast<double>(host);
        ASSERT_EQ(bitsOf(extendedToDouble(bytes)), bitsOf(expected)) << std::hex << exponent << " " << significand;

        long double widened = static_cast<long double>(std::bit_cast<double>(nextPattern(state)));
        if (std::isnan(widened))
            continue;
        ExtendedBytes hostBytes{};
        std::memcpy(hostBytes.data(), &widened, 10);
        ASSERT_EQ(doubleToExtended(static_cast<double>(widened)), hostBytes);
    }
}
#endif

}  // namespace
