// What one core can do at most, the yardstick of the Level loop's rate (`vorex-cli bench --scene mandel-loop`):
//  - Peak/Clock: the clock, from a chain of dependent integer additions (one per cycle);
//  - Peak/Multiplies/<isa>: independent vector multiplies, counted in lane multiplies per second (the
//    multiply peak: vector multiplies the core starts per cycle x lanes x clock);
//  - Peak/LevelStep/<isa>: the operations of one Level step (3 multiplies, 5 additions, 1 compare) on
//    six independent vectors, with nothing else: the most Level steps per second the units allow, with
//    2 zr formed by an addition ("adds") or by a multiply ("twice"). Counted in lane steps per second.
// Written in assembly so that the compiler can neither merge nor reorder the operations; x86-64 only.
#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

constexpr int64_t Rounds = 1 << 20;

bool supported(const char* isa)
{
    if (__builtin_strcmp(isa, "avx512") == 0)
        return __builtin_cpu_supports("avx512f");
    if (__builtin_strcmp(isa, "avx2") == 0)
        return __builtin_cpu_supports("avx2");
    return true;
}

void clockRate(benchmark::State& state)
{
    for (auto _ : state) {
        int64_t n = Rounds, x = 0;
        // Eight dependent additions per round: one cycle each.
        __asm__ volatile("1:\n\t"
                         "add $1, %1\n\tadd $1, %1\n\tadd $1, %1\n\tadd $1, %1\n\t"
                         "add $1, %1\n\tadd $1, %1\n\tadd $1, %1\n\tadd $1, %1\n\t"
                         "dec %0\n\tjnz 1b"
                         : "+r"(n), "+r"(x));
        benchmark::DoNotOptimize(x);
    }
    state.counters["cycles/s"] = benchmark::Counter(double(state.iterations()) * Rounds * 8, benchmark::Counter::kIsRate);
}

// The register names and lane count of each instruction set; every block below uses registers 0..15 only.
#define ONE_TO(r) "vpcmpeqd %%" r "15, %%" r "15, %%" r "15\n\t vpsrlq $54, %%" r "15, %%" r "15\n\t vpsllq $52, %%" r "15, %%" r "15\n\t"

template <int Lanes>
void multiplies(benchmark::State& state, const char* isa)
{
    if (!supported(isa)) {
        state.SkipWithError("not on this CPU");
        return;
    }
    for (auto _ : state) {
        int64_t n = Rounds;
        // Twelve independent products of x * 1.0, each waiting only on its own previous one.
#define MUL12(r, init)                                                                                          \
    __asm__ volatile(init "vmovapd %%" r "15, %%" r "0\n\t vmovapd %%" r "15, %%" r "1\n\t vmovapd %%" r "15, %%" r \
                          "2\n\t vmovapd %%" r "15, %%" r "3\n\t vmovapd %%" r "15, %%" r "4\n\t vmovapd %%" r "15, %%" r \
                          "5\n\t vmovapd %%" r "15, %%" r "6\n\t vmovapd %%" r "15, %%" r "7\n\t vmovapd %%" r "15, %%" r \
                          "8\n\t vmovapd %%" r "15, %%" r "9\n\t vmovapd %%" r "15, %%" r "10\n\t vmovapd %%" r "15, %%" r \
                          "11\n\t"                                                                              \
                          "1:\n\t"                                                                               \
                          "vmulpd %%" r "15, %%" r "0, %%" r "0\n\t vmulpd %%" r "15, %%" r "1, %%" r "1\n\t"       \
                          "vmulpd %%" r "15, %%" r "2, %%" r "2\n\t vmulpd %%" r "15, %%" r "3, %%" r "3\n\t"       \
                          "vmulpd %%" r "15, %%" r "4, %%" r "4\n\t vmulpd %%" r "15, %%" r "5, %%" r "5\n\t"       \
                          "vmulpd %%" r "15, %%" r "6, %%" r "6\n\t vmulpd %%" r "15, %%" r "7, %%" r "7\n\t"       \
                          "vmulpd %%" r "15, %%" r "8, %%" r "8\n\t vmulpd %%" r "15, %%" r "9, %%" r "9\n\t"       \
                          "vmulpd %%" r "15, %%" r "10, %%" r "10\n\t vmulpd %%" r "15, %%" r "11, %%" r "11\n\t"   \
                          "dec %0\n\t jnz 1b\n\t vzeroupper"                                                      \
                     : "+r"(n)                                                                                  \
                     :                                                                                          \
                     : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10",  \
                       "xmm11", "xmm15")
        if (Lanes == 8) {
            MUL12("zmm", "vpternlogd $0xff, %%zmm15, %%zmm15, %%zmm15\n\t vpsrlq $54, %%zmm15, %%zmm15\n\t vpsllq $52, %%zmm15, %%zmm15\n\t");
        } else if (Lanes == 4) {
            MUL12("ymm", ONE_TO("ymm"));
        } else {
            // SSE2 without the VEX forms: two operands.
            __asm__ volatile("pcmpeqd %%xmm15, %%xmm15\n\t psrlq $54, %%xmm15\n\t psllq $52, %%xmm15\n\t"
                             "movapd %%xmm15, %%xmm0\n\t movapd %%xmm15, %%xmm1\n\t movapd %%xmm15, %%xmm2\n\t"
                             "movapd %%xmm15, %%xmm3\n\t movapd %%xmm15, %%xmm4\n\t movapd %%xmm15, %%xmm5\n\t"
                             "movapd %%xmm15, %%xmm6\n\t movapd %%xmm15, %%xmm7\n\t movapd %%xmm15, %%xmm8\n\t"
                             "movapd %%xmm15, %%xmm9\n\t movapd %%xmm15, %%xmm10\n\t movapd %%xmm15, %%xmm11\n\t"
                             "1:\n\t"
                             "mulpd %%xmm15, %%xmm0\n\t mulpd %%xmm15, %%xmm1\n\t mulpd %%xmm15, %%xmm2\n\t"
                             "mulpd %%xmm15, %%xmm3\n\t mulpd %%xmm15, %%xmm4\n\t mulpd %%xmm15, %%xmm5\n\t"
                             "mulpd %%xmm15, %%xmm6\n\t mulpd %%xmm15, %%xmm7\n\t mulpd %%xmm15, %%xmm8\n\t"
                             "mulpd %%xmm15, %%xmm9\n\t mulpd %%xmm15, %%xmm10\n\t mulpd %%xmm15, %%xmm11\n\t"
                             "dec %0\n\t jnz 1b"
                             : "+r"(n)
                             :
                             : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10",
                               "xmm11", "xmm15");
        }
#undef MUL12
    }
    state.counters["mul/s"] = benchmark::Counter(double(state.iterations()) * Rounds * 12 * Lanes, benchmark::Counter::kIsRate);
}

// One Level step on six independent vectors k = 0..5: three multiplies on r<k>, four additions on r<k + 6>,
// a compare of r<k> (AVX-512: into mask k<k + 1>; AVX2: into r12, never read), and 2 zr formed either by
// a fifth addition (T) or by a multiply of r<k> by r15 (M). The values stay 1.0 (x 1.0, + 0.0), so nothing
// slows down on an infinity or a subnormal.
#define MULS(r, k) "vmulpd %%" r "15, %%" r k ", %%" r k "\n\t vmulpd %%" r "15, %%" r k ", %%" r k "\n\t vmulpd %%" r "15, %%" r k ", %%" r k "\n\t"
#define ADDS(r, a) "vaddpd %%" r "14, %%" r a ", %%" r a "\n\t vaddpd %%" r "14, %%" r a ", %%" r a "\n\t vaddpd %%" r "14, %%" r a ", %%" r a "\n\t vaddpd %%" r "14, %%" r a ", %%" r a "\n\t"
#define CMP_zmm(k, m) "vcmppd $14, %%zmm13, %%zmm" k ", %%k" m "\n\t"
#define CMP_ymm(k, m) "vcmppd $14, %%ymm13, %%ymm" k ", %%ymm12\n\t"
#define T(r, k, a) "vaddpd %%" r "14, %%" r a ", %%" r a "\n\t"
#define M(r, k, a) "vmulpd %%" r "15, %%" r k ", %%" r "12\n\t"
#define STEP(r, k, a, m, CMP, TWO) MULS(r, k) ADDS(r, a) CMP(k, m) TWO(r, k, a)
#define LOOP(r, CMP, E, O)                                                                                            \
    "vxorpd %%" r "14, %%" r "14, %%" r "14\n\t vmovapd %%" r "15, %%" r "13\n\t vmovapd %%" r "15, %%" r "0\n\t"     \
    "vmovapd %%" r "15, %%" r "1\n\t vmovapd %%" r "15, %%" r "2\n\t vmovapd %%" r "15, %%" r "3\n\t"                \
    "vmovapd %%" r "15, %%" r "4\n\t vmovapd %%" r "15, %%" r "5\n\t"                                               \
    "1:\n\t" STEP(r, "0", "6", "1", CMP, E) STEP(r, "1", "7", "2", CMP, O) STEP(r, "2", "8", "3", CMP, E)                  \
    STEP(r, "3", "9", "4", CMP, O) STEP(r, "4", "10", "5", CMP, E) STEP(r, "5", "11", "6", CMP, O)                       \
    "dec %0\n\t jnz 1b\n\t vzeroupper"
#define CLOBBERS "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15"
#define ONE_ZMM "vpternlogd $0xff, %%zmm15, %%zmm15, %%zmm15\n\t vpsrlq $54, %%zmm15, %%zmm15\n\t vpsllq $52, %%zmm15, %%zmm15\n\t"

// AVX-512 in a function of its own: its mask registers need the instruction set enabled. "Twice" forms
// 2 zr by a multiply on every other vector, as the lanes do (a 512-bit compare takes a multiplier already).
__attribute__((target("avx512f"))) void levelStep512(int64_t n, bool twice)
{
    if (twice)
        __asm__ volatile(ONE_ZMM LOOP("zmm", CMP_zmm, M, T) : "+r"(n) : : CLOBBERS, "k1", "k2", "k3", "k4", "k5", "k6");
    else
        __asm__ volatile(ONE_ZMM LOOP("zmm", CMP_zmm, T, T) : "+r"(n) : : CLOBBERS, "k1", "k2", "k3", "k4", "k5", "k6");
}

// AVX2: "twice" on every vector (compares take the adders here).
void levelStep256(int64_t n, bool twice)
{
    if (twice)
        __asm__ volatile(ONE_TO("ymm") LOOP("ymm", CMP_ymm, M, M) : "+r"(n) : : CLOBBERS);
    else
        __asm__ volatile(ONE_TO("ymm") LOOP("ymm", CMP_ymm, T, T) : "+r"(n) : : CLOBBERS);
}

template <int Lanes, bool Twice>
void levelStep(benchmark::State& state, const char* isa)
{
    if (!supported(isa)) {
        state.SkipWithError("not on this CPU");
        return;
    }
    for (auto _ : state) {
        if (Lanes == 8)
            levelStep512(Rounds, Twice);
        else
            levelStep256(Rounds, Twice);
    }
    state.counters["steps/s"] = benchmark::Counter(double(state.iterations()) * Rounds * 6 * Lanes, benchmark::Counter::kIsRate);
    state.counters["mul/s"] = benchmark::Counter(double(state.iterations()) * Rounds * 6 * Lanes * 3, benchmark::Counter::kIsRate);
}

void mulSse2(benchmark::State& s) { multiplies<2>(s, "sse2"); }
void mulAvx2(benchmark::State& s) { multiplies<4>(s, "avx2"); }
void mulAvx512(benchmark::State& s) { multiplies<8>(s, "avx512"); }
void stepAvx2Adds(benchmark::State& s) { levelStep<4, false>(s, "avx2"); }
void stepAvx2Twice(benchmark::State& s) { levelStep<4, true>(s, "avx2"); }
void stepAvx512Adds(benchmark::State& s) { levelStep<8, false>(s, "avx512"); }
void stepAvx512Twice(benchmark::State& s) { levelStep<8, true>(s, "avx512"); }

BENCHMARK(clockRate)->Name("Peak/Clock");
BENCHMARK(mulSse2)->Name("Peak/Multiplies/sse2");
BENCHMARK(mulAvx2)->Name("Peak/Multiplies/avx2");
BENCHMARK(mulAvx512)->Name("Peak/Multiplies/avx512");
BENCHMARK(stepAvx2Adds)->Name("Peak/LevelStep/avx2/adds");
BENCHMARK(stepAvx2Twice)->Name("Peak/LevelStep/avx2/twice");
BENCHMARK(stepAvx512Adds)->Name("Peak/LevelStep/avx512/adds");
BENCHMARK(stepAvx512Twice)->Name("Peak/LevelStep/avx512/twice");

}  // namespace
