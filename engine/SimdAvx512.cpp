// The lane engine on AVX-512F (8 doubles per vector, compares into mask registers). Compiled with
// -mavx512f; called only when the CPU has AVX-512F. The build's -ffp-contract=off keeps multiply and add
// apart, and no fused intrinsic is used.
#include <immintrin.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "engine/SimdKernels.h"

#define VOREX_SIMD_NS avx512

namespace engine::simd::avx512 {
namespace {

struct Isa {
    using V = __m512d;
    using M = __mmask8;
    static constexpr int W = 8;
    static V set1(double x) { return _mm512_set1_pd(x); }
    static V load(const double* p) { return _mm512_load_pd(p); }
    static void store(double* p, V v) { _mm512_store_pd(p, v); }
    static V add(V a, V b) { return _mm512_add_pd(a, b); }
    static V sub(V a, V b) { return _mm512_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm512_mul_pd(a, b); }
    // Vectors v with v % TwiceEvery == 0 form 2 zr with twice() (engine/SimdLanes.inl): a 512-bit compare
    // takes a multiplier, so half of them balance the adders and the multipliers.
    static constexpr int TwiceEvery = 2;
    // The least of the lanes (none NaN).
    static double hmin(V a)
    {
        // The halves in the masked forms: the plain ones warn in GCC 12 headers.
        const __m256d h = _mm256_min_pd(_mm512_maskz_extractf64x4_pd(__mmask8(0xFF), a, 0),
                                        _mm512_maskz_extractf64x4_pd(__mmask8(0xFF), a, 1));
        const __m128d q = _mm_min_pd(_mm256_castpd256_pd128(h), _mm256_extractf128_pd(h, 1));
        return _mm_cvtsd_f64(_mm_min_sd(q, _mm_unpackhi_pd(q, q)));
    }
    static V div(V a, V b) { return _mm512_div_pd(a, b); }
    static V min(V a, V b) { return _mm512_maskz_min_pd(__mmask8(0xFF), a, b); }  // the plain form warns in GCC 12 headers
    static V max(V a, V b) { return _mm512_maskz_max_pd(__mmask8(0xFF), a, b); }  // the plain form warns in GCC 12 headers
    static V sqrt(V a) { return _mm512_maskz_sqrt_pd(__mmask8(0xFF), a); }  // the plain form warns in GCC 12 headers
    static M gt(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_GT_OQ); }
    static M ge(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_GE_OQ); }
    static M lt(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
    static M nge(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_NGE_UQ); }  // not a >= b: true for NaN
    static M eq(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_EQ_OQ); }
    static M mor(M a, M b) { return M(a | b); }
    static M mand(M a, M b) { return M(a & b); }
    static M mandnot(M a, M b) { return M(a & ~b); }  // a and not b
    static M fromBits(int bits) { return M(bits); }
    static int bits(M m) { return int(m); }
    // W whole numbers 0..65535 stored as 16-bit values (unaligned).
    static void storeU16(uint16_t* p, V v)
    {
        const __m256i i32 = _mm512_maskz_cvttpd_epi32(__mmask8(0xFF), v);  // the plain form warns in GCC 12 headers
        const __m128i u16 = _mm_packus_epi32(_mm256_castsi256_si128(i32), _mm256_extracti128_si256(i32, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), u16);
    }
    // base[i] for the whole numbers i (as doubles, 0 <= i < 2^31) of the lanes.
    static V gather(const double* base, V index)
    {
        // The masked form: the plain one leaves its source undefined, which GCC 12 warns about.
        return _mm512_mask_i32gather_pd(_mm512_setzero_pd(), __mmask8(0xFF), _mm512_maskz_cvttpd_epi32(__mmask8(0xFF), index), base, 8);
    }
    // 2^k for the whole numbers k (as doubles, -1022 <= k <= 1023) of the lanes: the exponent field of
    // k + 1023 + 2^52's low bits, shifted into place.
    static V pow2(V k)
    {
        const __m512i t = _mm512_castpd_si512(_mm512_add_pd(k, _mm512_set1_pd(0x1p52 + 1023)));
        return _mm512_castsi512_pd(_mm512_maskz_slli_epi64(__mmask8(0xFF), t, 52));  // the plain form warns in GCC 12 headers
    }
    // m ? b : a, lane by lane.
    static V blend(M m, V a, V b) { return _mm512_mask_blend_pd(m, a, b); }
};

}  // namespace
}  // namespace engine::simd::avx512

#include "engine/SimdLanes.inl"
#include "engine/SimdStepLanes.inl"

namespace engine::simd {

LaneRunner avx512Runner(const LaneJob& job)
{
    if (job.recurrence != LaneStep::None)
        return avx512::stepRunnerFor<3>(job);
    // The distance kernels carry the derivative as well: their state for four vectors in flight spills
    // out of the registers, two measure faster.
    if (job.kernel == LaneKernel::Distance || job.kernel == LaneKernel::LevelDistance || job.kernel == LaneKernel::ColorDistance)
        return avx512::runnerFor<2>(job);
    // Periodicity checking's state for four vectors spills too; three measure faster.
    if (job.kernel == LaneKernel::Level && job.periodic)
        return avx512::runnerFor<3>(job);
    return avx512::runnerFor<4>(job);
}

void avx512Elementary(Elementary which, const double* x, double* a, double* b, size_t n)
{
    avx512::elementaryOver(which, x, a, b, n);
}

}  // namespace engine::simd
