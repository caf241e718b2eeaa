#pragma once

#include <bit>
#include <cstdint>
#include <limits>

// sin, cos, sinh, cosh and exp of a double, written once with +, -, *, / and exact bit manipulations
// (exponent scaling, a fixed round-to-nearest-even rule, integer products for the largest arguments),
// so that every caller -- the serial kernels, the parallel engine, a vectorised lane -- gets the same
// bits on every machine and with every C library. Nothing here calls the C library.
//
// sin and cos follow the classic methods of fdlibm (notice below): minimax polynomials on a reduced
// argument carried as a head and a tail. exp, sinh and cosh form e^x as a head and a tail (about 2^-64
// relative, from a table of 2^(j/32): a vectorised lane gathers two entries) and round once at the end.
//
// Accuracy, measured against long double references and glibc 2.36 (tests/engine/
// ElementaryFunctionsTest.cpp): sin and cos within 0.77 ulp of the exact value; exp, sinh and cosh
// within 0.52 ulp (subnormal results of exp within 0.75 ulp). Against the C library: sin, cos and exp
// within 1 ulp; sinh and cosh within 2 ulp, because glibc's own sinh and cosh are up to 1.9 ulp away
// from the exact value.
//
// Argument reduction of sin and cos (r = x - n pi/2, |r| <= pi/4):
//   |x| <= pi/4                 none;
//   |x| <  2^20 pi/2 (1.647e6)  three-part Cody-Waite with pi/2 split into 33-bit pieces; every product
//                               n * piece is exact (n < 2^20), and a second and third piece are taken
//                               only when the first subtraction cancels many bits;
//   larger finite |x|           exact reduction with 192 bits of 2/pi taken at the argument's exponent
//                               and 64-bit integer products (no rounding until the final remainder), so
//                               sin and cos stay accurate up to the largest double (this path is scalar);
//   inf, NaN                    NaN.
// exp: +inf above 709.782712893384 (the largest double whose exponential is finite), 0 below
// -745.1332191019412, gradual underflow to subnormals in between. sinh and cosh overflow to +-inf
// for |x| > 710.4758600739439, as the C library does.
//
// The sine and cosine polynomials and the Cody-Waite reduction are derived from fdlibm:
//   Copyright (C) 1993 by Sun Microsystems, Inc. All rights reserved.
//   Developed at SunPro, a Sun Microsystems, Inc. business.
//   Permission to use, copy, modify, and distribute this software is freely granted, provided that
//   this notice is preserved.
namespace engine::elem {

namespace detail {

inline uint64_t bits(double x) { return std::bit_cast<uint64_t>(x); }
inline double fromBits(uint64_t b) { return std::bit_cast<double>(b); }
// The high 32 bits of x without its sign: compares magnitudes as fdlibm does.
inline uint32_t highMagnitude(double x) { return uint32_t(bits(x) >> 32) & 0x7fffffffu; }

// 2^k for -1022 <= k <= 1023, built from the exponent bits (exact).
inline double pow2(int k) { return fromBits(uint64_t(int64_t(k) + 1023) << 52); }

// The arithmetic below is written once as templates over the number type T: double here, a vector of
// doubles in the lanes (engine/SimdElementary.inl), whose +, -, *, / and unary minus are the same
// correctly rounded operations lane by lane. The branches on the argument stay in the callers.

// x rounded to the nearest integer, ties to even, for |x| < 2^51 (the usual 1.5 * 2^52 addition).
template <class T>
inline T roundToInteger(T x)
{
    constexpr double shifter = 0x1.8p52;
    return (x + shifter) - shifter;
}

// y * 2^k for y in [0.5, 2] and the k of exp and half exp (-1075 <= k <= 1024): exact for normal
// results, one more rounding for subnormal ones.
inline double scale(double y, int k)
{
    if (k > 1023)
        return y * 2.0 * pow2(1023);
    if (k < -1021)
        return (y * pow2(k + 1000)) * pow2(-1000);
    return y * pow2(k);
}

// sin on [-pi/4, pi/4] of the reduced argument x + y (y the tail, |y| < ulp(x) / 2): the polynomial
// of both forms, then the form for y = 0 and the form with a tail.
template <class T>
inline void sinPolynomial(T x, T& z, T& v, T& r)
{
    constexpr double S2 = 8.33333333332248946124e-03;
    constexpr double S3 = -1.98412698298579493134e-04;
    constexpr double S4 = 2.75573137070700676789e-06;
    constexpr double S5 = -2.50507602534068634195e-08;
    constexpr double S6 = 1.58969099521155010221e-10;
    z = x * x;
    v = z * x;
    r = S2 + z * (S3 + z * (S4 + z * (S5 + z * S6)));
}
constexpr double sinS1 = -1.66666666666666324348e-01;
template <class T>
inline T kernelSinNoTail(T x)
{
    T z, v, r;
    sinPolynomial(x, z, v, r);
    return x + v * (sinS1 + z * r);
}
template <class T>
inline T kernelSinWithTail(T x, T y)
{
    T z, v, r;
    sinPolynomial(x, z, v, r);
    return x - ((z * (0.5 * y - v * r) - y) - v * sinS1);
}
inline double kernelSin(double x, double y, bool yIsZero)
{
    return yIsZero ? kernelSinNoTail(x) : kernelSinWithTail(x, y);
}

// cos on [-pi/4, pi/4] of x + y.
template <class T>
inline T kernelCos(T x, T y)
{
    constexpr double C1 = 4.16666666666666019037e-02;
    constexpr double C2 = -1.38888888888741095749e-03;
    constexpr double C3 = 2.48015872894767294178e-05;
    constexpr double C4 = -2.75573143513906633035e-07;
    constexpr double C5 = 2.08757232129817482790e-09;
    constexpr double C6 = -1.13596475577881948265e-11;
    const T z = x * x;
    const T w = z * z;
    const T r = z * (C1 + z * (C2 + z * C3)) + w * w * (C4 + z * (C5 + z * C6));
    const T hz = 0.5 * z;
    const T one = 1.0;
    const T t = one - hz;
    return t + (((one - t) - hz) + (z * r - x * y));
}

// The reduced argument: x = n pi/2 + (head + tail), |head + tail| <= pi/4 (a little more on the
// Cody-Waite path), n taken modulo 4.
struct Reduced {
    int quadrant;
    double head, tail;
};

// The bits of 2/pi, 64 to a word, from the first bit after the binary point.
inline constexpr uint64_t twoOverPi[20] = {
    0xA2F9836E4E441529, 0xFC2757D1F534DDC0, 0xDB6295993C439041, 0xFE5163ABDEBBC561, 0xB7246E3A424DD2E0,
    0x06492EEA09D1921C, 0xFE1DEB1CB129A73E, 0xE88235F52EBB4484, 0xE99C7026B45F7E41, 0x3991D639835339F4,
    0x9C845F8BBDF9283B, 0x1FF897FFDE05980F, 0xEF2F118B5A0A6D1F, 0x6D367ECF27CB09B7, 0x4F463F669E5FEA2D,
    0x7527BAC7EBE5F17B, 0x3D0739F78A5292EA, 0x6BFB5FB11F8D5D08, 0x56033046FC7B6BAB, 0xF0CFBC209AF4361D,
};

// 64 bits of 2/pi from the bit of weight 2^-first on (first may be 0 or negative: leading zeros).
inline uint64_t twoOverPiBits(int first)
{
    const int index = first - 1;  // 0 = the bit of weight 2^-1
    if (index < 0) {
        const int zeros = -index;
        return zeros >= 64 ? 0 : twoOverPi[0] >> zeros;
    }
    const int word = index / 64, bit = index % 64;
    const uint64_t next = bit == 0 ? 0 : twoOverPi[word + 1] >> (64 - bit);
    return (twoOverPi[word] << bit) | next;
}

// Exact reduction of a finite |x| >= 2^20 pi/2. x = M 2^E with M a 53-bit integer; the bits of 2/pi
// before 2^-(E-1) add multiples of 4 to x 2/pi and are skipped, the next 192 bits W give
// x 2/pi mod 4 = (M W mod 2^192) 2^-190 to within 2^-137. The fraction, rounded to the nearest quarter
// turn, is multiplied by pi/2 in 26-bit pieces whose products are exact.
inline Reduced reduceLarge(double x)
{
    const uint64_t b = bits(x);
    const bool negative = (b >> 63) != 0;
    const int exponent = int((b >> 52) & 0x7ff);
    const uint64_t mantissa = (b & ((uint64_t(1) << 52) - 1)) | (uint64_t(1) << 52);
    const int first = exponent - 1075 - 1;  // E - 1

    const uint64_t w0 = twoOverPiBits(first), w1 = twoOverPiBits(first + 64), w2 = twoOverPiBits(first + 128);
    using u128 = unsigned __int128;
    const u128 p2 = u128(mantissa) * w2;
    const u128 p1 = u128(mantissa) * w1 + uint64_t(p2 >> 64);
    const u128 p0 = u128(mantissa) * w0 + uint64_t(p1 >> 64);
    const uint64_t r0 = uint64_t(p2), r1 = uint64_t(p1), r2 = uint64_t(p0);

    int n = int(r2 >> 62);
    // The fraction in [0, 1) as 192 bits f2 f1 f0.
    uint64_t f2 = (r2 << 2) | (r1 >> 62), f1 = (r1 << 2) | (r0 >> 62), f0 = r0 << 2;
    bool flip = false;
    if (f2 >> 63) {  // above one half: the next quarter turn, and the remainder is negative
        n += 1;
        flip = true;
        f0 = ~f0 + 1;
        f1 = ~f1 + (f0 == 0 ? 1 : 0);
        f2 = ~f2 + ((f0 == 0 && f1 == 0) ? 1 : 0);
    }
    int shift = 0;  // left shift that brings the leading one to bit 191
    while (f2 == 0 && shift < 192) {
        f2 = f1;
        f1 = f0;
        f0 = 0;
        shift += 64;
    }
    if (f2 == 0)
        return {negative ? -n & 3 : n & 3, 0.0, 0.0};
    const int lead = std::countl_zero(f2);
    if (lead > 0) {
        f2 = (f2 << lead) | (f1 >> (64 - lead));
        f1 = (f1 << lead) | (f0 >> (64 - lead));
    }
    shift += lead;
    constexpr uint64_t mask26 = (uint64_t(1) << 26) - 1;
    const double a0 = double(f2 >> 38) * pow2(-26 - shift);
    const double a1 = double((f2 >> 12) & mask26) * pow2(-52 - shift);
    const double a2 = double(((f2 & 0xfff) << 14) | (f1 >> 50)) * pow2(-78 - shift);
    // pi/2 in four pieces of at most 26 bits.
    constexpr double q0 = 0x1.921fb5p+0, q1 = 0x1.110b46p-26, q2 = 0x1.1a6262p-54, q3 = 0x1.3145cp-78;
    const double t0 = a0 * q0;
    const double t1 = a0 * q1 + a1 * q0;
    const double t2 = (a0 * q2 + a1 * q1) + a2 * q0;
    const double t3 = (a0 * q3 + a1 * q2) + a2 * q1;
    const double low = (t3 + t2) + t1;
    double head = t0 + low;
    double tail = low - (head - t0);
    if (flip != negative) {
        head = -head;
        tail = -tail;
    }
    return {negative ? -n & 3 : n & 3, head, tail};
}

// The first step of the Cody-Waite reduction: fn = x 2/pi rounded, r - w = x - fn pi/2 with the first
// 33 bits of pi/2 (r exact for |fn| < 2^20), y0 = r - w rounded. Enough unless y0 cancels many bits.
template <class T>
inline void reduceFirst(T x, T& fn, T& r, T& w, T& y0)
{
    constexpr double invPio2 = 6.36619772367581382433e-01;
    constexpr double pio2_1 = 1.57079632673412561417e+00;   // first 33 bits of pi/2
    constexpr double pio2_1t = 6.07710050650619224932e-11;  // pi/2 - pio2_1
    fn = roundToInteger(x * invPio2);
    r = x - fn * pio2_1;
    w = fn * pio2_1t;
    y0 = r - w;
}
// The tail of the reduced argument y0 + (r - y0) - w.
template <class T>
inline T reducedTail(T r, T w, T y0)
{
    return (r - y0) - w;
}

// Reduction of a finite x with |x| > pi/4.
inline Reduced reduce(double x)
{
    if (highMagnitude(x) >= 0x413921fbu)  // |x| >= 2^20 pi/2
        return reduceLarge(x);
    double fn, r, w, y0;
    reduceFirst(x, fn, r, w, y0);
    constexpr double pio2_2 = 6.07710050630396597660e-11;   // second 33 bits
    constexpr double pio2_2t = 2.02226624879595063154e-21;  // pi/2 - (pio2_1 + pio2_2)
    constexpr double pio2_3 = 2.02226624871116645580e-21;   // third 33 bits
    constexpr double pio2_3t = 8.47842766036889956997e-32;  // pi/2 - (pio2_1 + pio2_2 + pio2_3)
    const int n = int(fn);
    const int ex = int(highMagnitude(x) >> 20);
    if (ex - int(highMagnitude(y0) >> 20) > 16) {  // cancellation: use the second piece
        double t = r;
        w = fn * pio2_2;
        r = t - w;
        w = fn * pio2_2t - ((t - r) - w);
        y0 = r - w;
        if (ex - int(highMagnitude(y0) >> 20) > 49) {  // more cancellation: the third piece
            t = r;
            w = fn * pio2_3;
            r = t - w;
            w = fn * pio2_3t - ((t - r) - w);
            y0 = r - w;
        }
    }
    return {n & 3, y0, reducedTail(r, w, y0)};
}

// Exact sum and product of two doubles as head + tail (Knuth's two-sum; Dekker's product with
// Veltkamp's split, valid while |a|, |b| < 2^995).
template <class T>
inline void twoSum(T a, T b, T& s, T& e)
{
    s = a + b;
    const T bv = s - a;
    const T av = s - bv;
    e = (a - av) + (b - bv);
}
template <class T>
inline void split(T a, T& hi, T& lo)
{
    const T c = 134217729.0 * a;  // 2^27 + 1
    hi = c - (c - a);
    lo = a - hi;
}
template <class T>
inline void twoProduct(T a, T b, T& p, T& e)
{
    p = a * b;
    T ah, al, bh, bl;
    split(a, ah, al);
    split(b, bh, bl);
    e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}

// 2^(j/32) for j = 0..31 as head + tail (the tail within 2^-106 of the rest).
inline constexpr double expTable[32][2] = {
    {0x1.0000000000000p+0, 0x0.0p+0},
    {0x1.059b0d3158574p+0, 0x1.d73e2a475b465p-55},
    {0x1.0b5586cf9890fp+0, 0x1.8a62e4adc610bp-54},
    {0x1.11301d0125b51p+0, -0x1.6c51039449b3ap-54},
    {0x1.172b83c7d517bp+0, -0x1.19041b9d78a76p-55},
    {0x1.1d4873168b9aap+0, 0x1.e016e00a2643cp-54},
    {0x1.2387a6e756238p+0, 0x1.9b07eb6c70573p-54},
    {0x1.29e9df51fdee1p+0, 0x1.612e8afad1255p-55},
    {0x1.306fe0a31b715p+0, 0x1.6f46ad23182e4p-55},
    {0x1.371a7373aa9cbp+0, -0x1.63aeabf42eae2p-54},
    {0x1.3dea64c123422p+0, 0x1.ada0911f09ebcp-55},
    {0x1.44e086061892dp+0, 0x1.89b7a04ef80d0p-59},
    {0x1.4bfdad5362a27p+0, 0x1.d4397afec42e2p-56},
    {0x1.5342b569d4f82p+0, -0x1.07abe1db13cadp-55},
    {0x1.5ab07dd485429p+0, 0x1.6324c054647adp-54},
    {0x1.6247eb03a5585p+0, -0x1.383c17e40b497p-54},
    {0x1.6a09e667f3bcdp+0, -0x1.bdd3413b26456p-54},
    {0x1.71f75e8ec5f74p+0, -0x1.16e4786887a99p-55},
    {0x1.7a11473eb0187p+0, -0x1.41577ee04992fp-55},
    {0x1.82589994cce13p+0, -0x1.d4c1dd41532d8p-54},
    {0x1.8ace5422aa0dbp+0, 0x1.6e9f156864b27p-54},
    {0x1.93737b0cdc5e5p+0, -0x1.75fc781b57ebcp-57},
    {0x1.9c49182a3f090p+0, 0x1.c7c46b071f2bep-56},
    {0x1.a5503b23e255dp+0, -0x1.d2f6edb8d41e1p-54},
    {0x1.ae89f995ad3adp+0, 0x1.7a1cd345dcc81p-54},
    {0x1.b7f76f2fb5e47p+0, -0x1.5584f7e54ac3bp-56},
    {0x1.c199bdd85529cp+0, 0x1.11065895048ddp-55},
    {0x1.cb720dcef9069p+0, 0x1.503cbd1e949dbp-56},
    {0x1.d5818dcfba487p+0, 0x1.2ed02d75b3707p-55},
    {0x1.dfc97337b9b5fp+0, -0x1.1a5cd4f184b5cp-54},
    {0x1.ea4afa2a490dap+0, -0x1.e9c23179c2893p-54},
    {0x1.f50765b6e4540p+0, 0x1.9d3e12dd8a18bp-54},
};

// e^x = 2^k (hi + lo) for a finite x in [-746, 711], hi + lo within about 2^-64 of e^x / 2^k, which
// lies in [1, 2). x = (32 k + j) ln2/32 + r with r as head + tail (|r| <= ln2/64);
// e^x / 2^k = 2^(j/32) (1 + r + q), q = r^2/2 + ... + r^7/7! (truncation below 2^-67); the product
// 2^(j/32) r is formed exactly.
// In three steps: m = 32 k + j (expIndex), the table entry 2^(j/32) = th + tl, and expCore.
template <class T>
inline T expIndex(T x)
{
    constexpr double thirtyTwoOverLn2 = 0x1.71547652b82fep+5;
    return roundToInteger(thirtyTwoOverLn2 * x);
}
template <class T>
inline void expCore(T x, T md, T th, T tl, T& hi, T& lo)
{
    constexpr double ln2Hi = 0x1.62e42fee00000p-6;  // ln2/32 to 32 bits: m ln2Hi is exact for |m| < 2^21
    constexpr double ln2Lo = 0x1.a39ef35793c76p-38;  // ln2/32 - ln2Hi
    const T rh = x - md * ln2Hi;  // exact
    T r, rl;
    twoSum(rh, -(md * ln2Lo), r, rl);
    constexpr double c2 = 0.5, c3 = 1.0 / 6, c4 = 1.0 / 24, c5 = 0.008333333333333333,
                     c6 = 0.001388888888888889, c7 = 0.0001984126984126984;
    const T q = (r * r) * (c2 + r * (c3 + r * (c4 + r * (c5 + r * (c6 + r * c7)))));
    const T p = q + (rl + r * rl);  // e^(r + rl) = e^r (1 + rl + ...)
    T a, ae;
    twoProduct(th, r, a, ae);
    const T low = ae + (th * p + (tl + tl * r));
    const T s = th + a;  // |a| < th: exact error below
    const T se = a - (s - th);
    const T total = se + low;
    hi = s + total;
    lo = total - (hi - s);
}
inline void expParts(double x, int& k, double& hi, double& lo)
{
    const double md = expIndex(x);
    const int m = int(md);
    k = m >> 5;  // floor(m / 32)
    expCore(x, md, expTable[m & 31][0], expTable[m & 31][1], hi, lo);
}

// e^a and e^-a for 0 <= a < 22, each as head + tail, from e^a = 2^k (hi + lo) with p2k = 2^k (exact
// products: k <= 31). 1 / e as ih + il: ih = 1 / eh, il = ih (1 - eh ih - el ih) with eh ih formed exactly.
template <class T>
inline void expAndInverseCore(T hi, T lo, T p2k, T& eh, T& el, T& ih, T& il)
{
    eh = hi * p2k;
    el = lo * p2k;
    ih = 1.0 / eh;
    T ph, pl;
    twoProduct(eh, ih, ph, pl);
    il = ih * (((1.0 - ph) - pl) - el * ih);
}
struct ExpPair {
    double eh, el, ih, il;
};
inline ExpPair expAndInverse(double a)
{
    int k;
    double hi, lo;
    expParts(a, k, hi, lo);
    ExpPair p;
    expAndInverseCore(hi, lo, pow2(k), p.eh, p.el, p.ih, p.il);
    return p;
}

// (e^a + e^-a) / 2 (plus) or (e^a - e^-a) / 2, rounded once.
template <bool Plus, class T>
inline T halfSum(T eh, T el, T ih, T il)
{
    T sh, sl;
    twoSum(eh, Plus ? ih : -ih, sh, sl);
    const T low = sl + (Plus ? el + il : el - il);
    return 0.5 * (sh + low);
}
inline double halfSum(const ExpPair& p, bool plus)
{
    return plus ? halfSum<true>(p.eh, p.el, p.ih, p.il) : halfSum<false>(p.eh, p.el, p.ih, p.il);
}

// sinh a for 2^-26 <= a < 0.35: a + a^3 Q(a^2), Q the Taylor polynomial of degree 7 in a^2
// (truncation below 2^-63).
template <class T>
inline T sinhSmall(T a)
{
    constexpr double d3 = 1.0 / 6, d5 = 0.008333333333333333, d7 = 0.0001984126984126984,
                     d9 = 2.7557319223985893e-06, d11 = 2.505210838544172e-08, d13 = 1.6059043836821613e-10,
                     d15 = 7.647163731819816e-13, d17 = 2.8114572543455206e-15;
    const T z = a * a;
    const T q = d3 + z * (d5 + z * (d7 + z * (d9 + z * (d11 + z * (d13 + z * (d15 + z * d17))))));
    return a + (z * a) * q;
}

// e^a / 2 for 22 <= a <= 710.4758600739439 (e^-a is below the last bit), +inf above.
inline double halfExpLarge(double a)
{
    if (!(a <= 7.10475860073943863426e+02))
        return std::numeric_limits<double>::infinity();
    int k;
    double hi, lo;
    expParts(a, k, hi, lo);
    return scale(hi + lo, k - 1);
}

inline bool isFinite(double x) { return highMagnitude(x) < 0x7ff00000u; }

}  // namespace detail

// sin and cos of one argument from one reduction; the same bits as sin(x) and cos(x).
inline void sincos(double x, double& s, double& c)
{
    if (!detail::isFinite(x)) {
        s = c = x - x;  // NaN for inf and NaN
        return;
    }
    if (detail::highMagnitude(x) < 0x3e500000u) {  // |x| < 2^-26: sin x = x (keeps -0), cos x = 1
        s = x;
        c = 1.0;
        return;
    }
    if (detail::highMagnitude(x) <= 0x3fe921fbu) {  // |x| <= pi/4: no reduction
        s = detail::kernelSin(x, 0.0, true);
        c = detail::kernelCos(x, 0.0);
        return;
    }
    const detail::Reduced r = detail::reduce(x);
    const double ks = detail::kernelSin(r.head, r.tail, false);
    const double kc = detail::kernelCos(r.head, r.tail);
    switch (r.quadrant) {
    case 0: s = ks, c = kc; break;
    case 1: s = kc, c = -ks; break;
    case 2: s = -ks, c = -kc; break;
    default: s = -kc, c = ks; break;
    }
}

inline double sin(double x)
{
    double s, c;
    sincos(x, s, c);
    return s;
}

inline double cos(double x)
{
    double s, c;
    sincos(x, s, c);
    return c;
}

inline double exp(double x)
{
    constexpr double overflow = 7.09782712893383973096e+02;  // the largest x with a finite e^x
    constexpr double underflow = -7.45133219101941108420e+02;  // below: e^x rounds to 0
    if (x != x)
        return x + x;
    if (x > overflow)
        return std::numeric_limits<double>::infinity();
    if (x < underflow)
        return 0.0;
    if (detail::highMagnitude(x) < 0x3c900000u)  // |x| < 2^-54
        return 1.0 + x;
    int k;
    double hi, lo;
    detail::expParts(x, k, hi, lo);
    return detail::scale(hi + lo, k);
}

// sinh and cosh of one argument from one evaluation of e^|x|; the same bits as sinh(x) and cosh(x).
// |x| < 2^-26: x and 1; |x| < 0.35: sinh by its Taylor series; |x| < 22: (e^|x| -+ e^-|x|) / 2 in
// head + tail arithmetic; above: e^|x| / 2, infinite beyond 710.4758600739439.
inline void sinhcosh(double x, double& sh, double& ch)
{
    const uint32_t ix = detail::highMagnitude(x);
    if (ix >= 0x7ff00000u) {  // inf or NaN
        sh = x + x;
        ch = x * x;
        return;
    }
    if (ix < 0x3e500000u) {  // |x| < 2^-26: sinh x = x (keeps -0)
        sh = x;
        ch = 1.0;
        return;
    }
    const bool negative = x < 0;
    const double ax = negative ? -x : x;
    double s;
    if (ix < 0x40360000u) {  // |x| < 22
        const detail::ExpPair p = detail::expAndInverse(ax);
        s = ax < 0.35 ? detail::sinhSmall(ax) : detail::halfSum(p, false);
        ch = detail::halfSum(p, true);
    } else {
        s = ch = detail::halfExpLarge(ax);
    }
    sh = negative ? -s : s;
}

inline double sinh(double x)
{
    const uint32_t ix = detail::highMagnitude(x);
    if (ix >= 0x7ff00000u)
        return x + x;
    if (ix < 0x3e500000u)
        return x;
    const bool negative = x < 0;
    const double ax = negative ? -x : x;
    double s;
    if (ax < 0.35)
        s = detail::sinhSmall(ax);
    else if (ix < 0x40360000u)
        s = detail::halfSum(detail::expAndInverse(ax), false);
    else
        s = detail::halfExpLarge(ax);
    return negative ? -s : s;
}

inline double cosh(double x)
{
    const uint32_t ix = detail::highMagnitude(x);
    if (ix >= 0x7ff00000u)
        return x * x;
    if (ix < 0x3e500000u)
        return 1.0;
    const double ax = x < 0 ? -x : x;
    if (ix < 0x40360000u)
        return detail::halfSum(detail::expAndInverse(ax), true);
    return detail::halfExpLarge(ax);
}

}  // namespace engine::elem
