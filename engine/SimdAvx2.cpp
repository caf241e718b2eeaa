// The lane engine on AVX2 (4 doubles per vector). Compiled with -mavx2 (and no FMA); called only when
// the CPU has AVX2.
#include <immintrin.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "engine/SimdKernels.h"

#define VOREX_SIMD_NS avx2

namespace engine::simd::avx2 {
namespace {

alignas(32) constexpr unsigned long long MaskTable[16][4] = {{0, 0, 0, 0}, {~0ull, 0, 0, 0}, {0, ~0ull, 0, 0}, {~0ull, ~0ull, 0, 0}, {0, 0, ~0ull, 0}, {~0ull, 0, ~0ull, 0}, {0, ~0ull, ~0ull, 0}, {~0ull, ~0ull, ~0ull, 0}, {0, 0, 0, ~0ull}, {~0ull, 0, 0, ~0ull}, {0, ~0ull, 0, ~0ull}, {~0ull, ~0ull, 0, ~0ull}, {0, 0, ~0ull, ~0ull}, {~0ull, 0, ~0ull, ~0ull}, {0, ~0ull, ~0ull, ~0ull}, {~0ull, ~0ull, ~0ull, ~0ull}};

struct Isa {
    using V = __m256d;
    using M = __m256d;
    static constexpr int W = 4;
    static V set1(double x) { return _mm256_set1_pd(x); }
    static V load(const double* p) { return _mm256_load_pd(p); }
    static void store(double* p, V v) { _mm256_store_pd(p, v); }
    static V add(V a, V b) { return _mm256_add_pd(a, b); }
    static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm256_mul_pd(a, b); }
    // Vectors v with v % TwiceEvery == 0 form 2 zr with twice() (engine/SimdLanes.inl): compares take the
    // adders here, so every vector's doubling goes to the multipliers.
    static constexpr int TwiceEvery = 1;
    // The least of the lanes (none NaN).
    static double hmin(V a)
    {
        const __m128d q = _mm_min_pd(_mm256_castpd256_pd128(a), _mm256_extractf128_pd(a, 1));
        return _mm_cvtsd_f64(_mm_min_sd(q, _mm_unpackhi_pd(q, q)));
    }
    static V div(V a, V b) { return _mm256_div_pd(a, b); }
    static V min(V a, V b) { return _mm256_min_pd(a, b); }
    static V max(V a, V b) { return _mm256_max_pd(a, b); }
    static V sqrt(V a) { return _mm256_sqrt_pd(a); }
    static M gt(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
    static M ge(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_GE_OQ); }
    static M lt(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
    static M nge(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_NGE_UQ); }  // not a >= b: true for NaN
    static M eq(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
    static M mor(M a, M b) { return _mm256_or_pd(a, b); }
    static M mand(M a, M b) { return _mm256_and_pd(a, b); }
    static M mandnot(M a, M b) { return _mm256_andnot_pd(b, a); }  // a and not b
    static M fromBits(int bits) { return _mm256_load_pd(reinterpret_cast<const double*>(MaskTable[bits])); }
    static int bits(M m) { return _mm256_movemask_pd(m); }
    // W whole numbers 0..65535 stored as 16-bit values (unaligned).
    static void storeU16(uint16_t* p, V v)
    {
        const __m128i i32 = _mm256_cvttpd_epi32(v);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi32(i32, i32));
    }
    // base[i] for the whole numbers i (as doubles, 0 <= i < 2^31) of the lanes.
    static V gather(const double* base, V index)
    {
        // The masked form: the plain one leaves its source undefined, which GCC 12 warns about.
        const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
        return _mm256_mask_i32gather_pd(_mm256_setzero_pd(), base, _mm256_cvttpd_epi32(index), all, 8);
    }
    // 2^k for the whole numbers k (as doubles, -1022 <= k <= 1023) of the lanes: the exponent field of
    // k + 1023 + 2^52's low bits, shifted into place.
    static V pow2(V k)
    {
        const __m256i t = _mm256_castpd_si256(_mm256_add_pd(k, _mm256_set1_pd(0x1p52 + 1023)));
        return _mm256_castsi256_pd(_mm256_slli_epi64(t, 52));
    }
    // m ? b : a, lane by lane.
    static V blend(M m, V a, V b) { return _mm256_blendv_pd(a, b, m); }
};

}  // namespace
}  // namespace engine::simd::avx2

#include "engine/SimdLanes.inl"
#include "engine/SimdStepLanes.inl"

namespace engine::simd {

LaneRunner avx2Runner(const LaneJob& job)
{
    if (job.recurrence != LaneStep::None)
        return avx2::stepRunnerFor<2>(job);
    // The plain Level loop is bound by the latency of its steps: six vectors in flight keep the units
    // busier. The periodicity check's state (and the other kernels') would not fit the 16 registers.
    if (job.kernel == LaneKernel::Level && !job.periodic)
        return avx2::runnerFor<6>(job);
    return avx2::runnerFor<3>(job);
}

void avx2Elementary(Elementary which, const double* x, double* a, double* b, size_t n)
{
    avx2::elementaryOver(which, x, a, b, n);
}

}  // namespace engine::simd
