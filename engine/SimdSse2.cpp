// The lane engine on SSE2 (2 doubles per vector), the x86-64 baseline.
#include <emmintrin.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "engine/SimdKernels.h"

#define VOREX_SIMD_NS sse2

namespace engine::simd::sse2 {
namespace {

alignas(16) constexpr unsigned long long MaskTable[4][2] = {{0, 0}, {~0ull, 0}, {0, ~0ull}, {~0ull, ~0ull}};

struct Isa {
    using V = __m128d;
    using M = __m128d;
    static constexpr int W = 2;
    static V set1(double x) { return _mm_set1_pd(x); }
    static V load(const double* p) { return _mm_load_pd(p); }
    static void store(double* p, V v) { _mm_store_pd(p, v); }
    static V add(V a, V b) { return _mm_add_pd(a, b); }
    static V sub(V a, V b) { return _mm_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm_mul_pd(a, b); }
    // Vectors v with v % TwiceEvery == 0 form 2 zr with twice() (engine/SimdLanes.inl).
    static constexpr int TwiceEvery = 2;
    // The least of the lanes (none NaN).
    static double hmin(V a) { return _mm_cvtsd_f64(_mm_min_sd(a, _mm_unpackhi_pd(a, a))); }
    static V div(V a, V b) { return _mm_div_pd(a, b); }
    static V min(V a, V b) { return _mm_min_pd(a, b); }
    static V max(V a, V b) { return _mm_max_pd(a, b); }
    static V sqrt(V a) { return _mm_sqrt_pd(a); }
    static M gt(V a, V b) { return _mm_cmpgt_pd(a, b); }
    static M ge(V a, V b) { return _mm_cmpge_pd(a, b); }
    static M lt(V a, V b) { return _mm_cmplt_pd(a, b); }
    static M nge(V a, V b) { return _mm_cmpnge_pd(a, b); }  // not a >= b: true for NaN
    static M eq(V a, V b) { return _mm_cmpeq_pd(a, b); }
    static M mor(M a, M b) { return _mm_or_pd(a, b); }
    static M mand(M a, M b) { return _mm_and_pd(a, b); }
    static M mandnot(M a, M b) { return _mm_andnot_pd(b, a); }  // a and not b
    static M fromBits(int bits) { return _mm_load_pd(reinterpret_cast<const double*>(MaskTable[bits])); }
    static int bits(M m) { return _mm_movemask_pd(m); }
    // W whole numbers 0..65535 stored as 16-bit values (unaligned).
    static void storeU16(uint16_t* p, V v)
    {
        alignas(16) double d[2];
        _mm_store_pd(d, v);
        p[0] = uint16_t(d[0]);
        p[1] = uint16_t(d[1]);
    }
    // base[i] for the whole numbers i (as doubles, 0 <= i < 2^31) of the lanes.
    static V gather(const double* base, V index)
    {
        alignas(16) double i[2];
        _mm_store_pd(i, index);
        return _mm_set_pd(base[int(i[1])], base[int(i[0])]);
    }
    // 2^k for the whole numbers k (as doubles, -1022 <= k <= 1023) of the lanes: the exponent field of
    // k + 1023 + 2^52's low bits, shifted into place.
    static V pow2(V k)
    {
        const __m128i t = _mm_castpd_si128(_mm_add_pd(k, _mm_set1_pd(0x1p52 + 1023)));
        return _mm_castsi128_pd(_mm_slli_epi64(t, 52));
    }
    // m ? b : a, lane by lane.
    static V blend(M m, V a, V b) { return _mm_or_pd(_mm_and_pd(m, b), _mm_andnot_pd(m, a)); }
};

}  // namespace
}  // namespace engine::simd::sse2

#include "engine/SimdLanes.inl"
#include "engine/SimdStepLanes.inl"

namespace engine::simd {

LaneRunner sse2Runner(const LaneJob& job)
{
    return job.recurrence != LaneStep::None ? sse2::stepRunnerFor<2>(job) : sse2::runnerFor<4>(job);
}

void sse2Elementary(Elementary which, const double* x, double* a, double* b, size_t n)
{
    sse2::elementaryOver(which, x, a, b, n);
}

}  // namespace engine::simd
