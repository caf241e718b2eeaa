// The lane engine shared by the instruction-set modules. Not a header of its own: each module
// (engine/SimdSse2.cpp, SimdAvx2.cpp, SimdAvx512.cpp) includes <cmath>, <climits>, <cstdint>, <type_traits> and
// engine/SimdKernels.h, defines VOREX_SIMD_NS and, in namespace engine::simd::VOREX_SIMD_NS, a struct
// `Isa` with the vector type V, the mask type M, the width W and the operations used below; then it
// includes this file. Everything here lives in that namespace, so the modules, compiled with different
// instruction sets, never share a symbol.
//
// Scheme: NV vectors of W lanes are in flight; each lane walks a row from left to right and takes the
// next row from LaneRows when its row is done. The vectors stay in registers and iterate until a lane
// finishes (escape, limit, cycle); only a vector with finished lanes is handled: its values are formed in
// vectors and stored lane by lane, and its finished lanes start their next pixels with masked blends
// (Mandelbrot, Julia) or in scalar code (Z(1/C), and any lane at the end of its row). A lane's n is the
// shared iteration clock minus the clock at its pixel's start, so running lanes need no bookkeeping.
// Level rows of Mandelbrot and Julia are first swept: neighbouring pixels iterate side by side for a few
// dozen steps and those that escape there are stored at once (see sweep()); the lanes walk only the rest.
// Finishing a pixel costs far more in a lane than a step does, and most pixels of an image far from the
// set escape within a few steps. Mandelbrot pixels of the main cardioid and the period-2 disc are given
// 65535 without iterating where no kernel here could end them otherwise (see knownInside()).
// The operations of one step are those of the scalar kernels, in their order (engine/KernelsQuadratic.h):
// zi' = (zr + zr) * zi + ai (zr + zr is exactly 2 * zr), zr' = (zr2 - zi2) + ar, zr2 = zr' * zr',
// zi2 = zi' * zi'; the distance kernels carry dz along instead of walking a saved orbit afterwards,
// with the same operations in the same order.

namespace engine::simd::VOREX_SIMD_NS {
namespace {

using V = Isa::V;
using M = Isa::M;

constexpr uint16_t InsideValue = 65535;
constexpr double DistanceRadiusSq = 100000.0;  // fixed escape radius squared of the distance kernels
constexpr double InverseNearZero = 5e-300;     // |C|^2 at or below this: Z(1/C) gives 1 without iterating
constexpr int PeriodStartInterval = 3;         // Mandelbrot Z^2+C and Julia
constexpr int SweepIterations = 64;             // the most a row's sweep iterates
constexpr int SweepGroup = 4;                  // blocks of a sweep in step
constexpr int SweepPause = 16;                 // rows left unswept after a sweep that settled under 1/4

// The x of the W pixels from column c as every lane forms it: double(column) * step + leftX.
inline V blockX(int c, double step, double leftX)
{
    alignas(64) double offsets[Isa::W];
    for (int i = 0; i < Isa::W; ++i)
        offsets[i] = i;
    return Isa::add(Isa::mul(Isa::add(Isa::set1(double(c)), Isa::load(offsets)), Isa::set1(step)), Isa::set1(leftX));
}

// Exactly a + a, on the multipliers. The 2 passes through an empty asm statement: the compiler would turn
// a multiply by a known 2 back into that add.
inline V twice(V a)
{
    V two = Isa::set1(2.0);
    __asm__("" : "+x"(two));
    return Isa::mul(a, two);
}

// The first column from c to last whose value is `mark` (not settled by a row's sweep), last + 1 if none.
inline int firstUnsettled(const uint16_t* o, int c, int last, uint16_t mark = 0)
{
    // Sixteen values at a time (two bytes of the mask for each value)...
    const __m128i m16 = _mm_set1_epi16(short(mark));
    for (; c + 15 <= last; c += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(o + c));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(o + c + 8));
        const unsigned m = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(a, m16)))
                           | unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(b, m16))) << 16;
        if (m != 0)
            return c + __builtin_ctz(m) / 2;
    }
    // ... then four: the lowest zero 16-bit field of w (the values less the mark) is the lowest set bit of z.
    const uint64_t marks = 0x0001000100010001ull * mark;
    for (; c + 3 <= last; c += 4) {
        uint64_t w;
        __builtin_memcpy(&w, o + c, sizeof w);
        w ^= marks;
        const uint64_t z = (w - 0x0001000100010001ull) & ~w & 0x8000800080008000ull;
        if (z != 0)
            return c + __builtin_ctzll(z) / 16;
    }
    while (c <= last && o[c] != mark)
        ++c;
    return c;
}

// Stores the value 1 in p[0 .. n-1] (nothing for n <= 0), four at a time.
inline void fillOnes(uint16_t* p, int n)
{
    constexpr uint64_t Ones = 0x0001000100010001ull;
    int i = 0;
    for (; i + 4 <= n; i += 4)
        __builtin_memcpy(p + i, &Ones, sizeof Ones);
    for (; i < n; ++i)
        p[i] = 1;
}

// The bail-out tests (engine/Bailout.h) on vectors: true lanes exceed L.
struct TMod {
    static M esc(V, V, V zr2, V zi2, V L) { return Isa::gt(Isa::add(zr2, zi2), L); }
};
struct TSqrZr {
    static M esc(V, V, V zr2, V, V L) { return Isa::gt(zr2, L); }
};
struct TSqrZi {
    static M esc(V, V, V, V zi2, V L) { return Isa::gt(zi2, L); }
};
struct TEpsilon {
    static M esc(V zr, V zi, V zr2, V zi2, V L)
    {
        const V lo = Isa::set1(-0.01), hi = Isa::set1(0.01);
        const V d = Isa::sub(zr, zi);
        const V s = Isa::add(zr, zi);
        const M nearD = Isa::mand(Isa::lt(lo, d), Isa::lt(d, hi));
        const M nearS = Isa::mand(Isa::lt(lo, s), Isa::lt(s, hi));
        return Isa::mor(Isa::mor(nearD, nearS), Isa::gt(Isa::add(zr2, zi2), L));
    }
};
struct TAnd {
    static M esc(V, V, V zr2, V zi2, V L) { return Isa::mand(Isa::gt(zr2, L), Isa::gt(zi2, L)); }
};
struct TOr {
    static M esc(V, V, V zr2, V zi2, V L) { return Isa::mor(Isa::gt(zr2, L), Isa::gt(zi2, L)); }
};

enum class Algo { Level, Binary, Dist };

template <int NV, Algo A, class Test, bool Periodic>
class Lanes {
public:
    static constexpr int W = Isa::W;
    static constexpr int NL = NV * W;
    // Rows are swept first (Level, Binary, the distance kernels) but for Z(1/C).
    static constexpr bool Sweeps = true;
    // Periodic: the Level kernel checks periodicity (Level, and the Level part of Level+Distance); the
    // lanes themselves check it only for Level.
    static constexpr bool LanePeriodic = Periodic && A == Algo::Level;
    // Sweep marks: a pixel the lanes still have to compute (a value no swept kernel leaves: Level never
    // gives 0, Binary only 0, 255 and 65535; a Color Distance pixel of value 0 is simply computed again),
    // and a Level+Distance pixel whose distance passed the threshold and whose Level value is still to
    // be formed in row order (the sweep stores no Level value above SweepIterations).
    static constexpr uint16_t Unsettled = A == Algo::Binary ? 1 : 0;
    static constexpr uint16_t PendingLevel = 65534;

    Lanes(const LaneJob& job, LaneRows& rows)
        : m_job(job), m_rows(rows), m_in(*job.in), m_maxIter(job.in->MaxIter), m_skipBounded(skipsBounded(job)),
          m_escapeBound(escapeBound(job))
    {
    }

    void run()
    {
        for (int v = 0; v < NV; ++v)
            alive[v] = 0;
        for (int l = 0; l < NL; ++l) {
            alive[l / W] |= 1 << (l % W);
            ++m_live;
            if (startRow(l))
                nextPixel(l);
        }

        const V L = Isa::set1(double(m_in.L));
        const V R = Isa::set1(DistanceRadiusSq);
        const V one = Isa::set1(1.0);
        V vzr[NV], vzi[NV], vzr2[NV], vzi2[NV], var[NV], vai[NV], vdead[NV];
        V vsaved[NV], vsnap[NV], vgap[NV], vdzr[NV], vdzi[NV];
        M cyc[NV];
#pragma GCC unroll 8
        for (int v = 0; v < NV; ++v)
            load(v, vzr, vzi, vzr2, vzi2, var, vai, vdead, vsaved, vsnap, vgap, vdzr, vdzi);

        // Mandelbrot and Julia start their next pixels in vectors (the fast path); Z(1/C), whose start
        // may be the value 1 at once, lane by lane in scalar code.
        const bool fast = m_job.start != LaneStart::Inverse;
        const bool julia = m_job.start == LaneStart::Julia;
        const double sr = A == Algo::Level ? m_in.PertZr : 0.0, si = A == Algo::Level ? m_in.PertZi : 0.0;
        const V startR = Isa::set1(sr), startI = Isa::set1(si);
        const V startR2 = Isa::set1(sr * sr), startI2 = Isa::set1(si * si);
        const V zero = Isa::set1(0.0), insideV = Isa::set1(double(InsideValue));
        const V maxIterV = Isa::set1(double(m_maxIter)), intervalV = Isa::set1(double(PeriodStartInterval));
        const V nanV = Isa::set1(__builtin_nan("")), infV = Isa::set1(__builtin_inf());
        V clockV = Isa::set1(m_clock);
        // The lanes' limits are not compared in every step: the loop stops at the clock of the nearest.
        double nextDead = firstDead(vdead);
        while (m_live > 0) {
            int ev[NV];
            M doneM[NV];
            // Steps are counted in a register: the clock, a member, would go through memory on every step.
            const long long toDead = (long long)(nextDead - m_clock);
            long long steps = 0;
            for (;;) {
                if (LanePeriodic)
                    clockV = Isa::add(clockV, one);
                ++steps;
#pragma GCC unroll 8
                for (int v = 0; v < NV; ++v) {
                    // 2 zr on the multipliers where the adders are the busier units (not with the
                    // derivative's four products).
                    const bool onMultipliers = A != Algo::Dist && v % Isa::TwiceEvery == 0;
                    const V tr = onMultipliers ? twice(vzr[v]) : Isa::add(vzr[v], vzr[v]);
                    if (A == Algo::Dist) {
                        // dz' = 2 z dz + 1 with the iterate before this step, as the scalar kernel's walk
                        // over its saved orbit: ((2zr * dzr) - (2zi * dzi)) + 1, (2zr * dzi) + (2zi * dzr).
                        const V ti = Isa::add(vzi[v], vzi[v]);
                        const V ndr = Isa::add(Isa::sub(Isa::mul(tr, vdzr[v]), Isa::mul(ti, vdzi[v])), one);
                        vdzi[v] = Isa::add(Isa::mul(tr, vdzi[v]), Isa::mul(ti, vdzr[v]));
                        vdzr[v] = ndr;
                    }
                    vzi[v] = Isa::add(Isa::mul(tr, vzi[v]), vai[v]);
                    vzr[v] = Isa::add(Isa::sub(vzr2[v], vzi2[v]), var[v]);
                    vzr2[v] = Isa::mul(vzr[v], vzr[v]);
                    vzi2[v] = Isa::mul(vzi[v], vzi[v]);
                    M done;
                    if (A == Algo::Dist)
                        done = Isa::gt(Isa::add(vzr2[v], vzi2[v]), R);
                    else
                        done = Test::esc(vzr[v], vzi[v], vzr2[v], vzi2[v], L);
                    if (LanePeriodic) {
                        const V m = Isa::add(vzr2[v], vzi2[v]);
                        cyc[v] = Isa::eq(m, vsaved[v]);
                        const M snap = Isa::eq(clockV, vsnap[v]);
                        vsaved[v] = Isa::blend(snap, vsaved[v], m);
                        vsnap[v] = Isa::blend(snap, vsnap[v], Isa::add(vsnap[v], vgap[v]));
                        vgap[v] = Isa::blend(snap, vgap[v], Isa::add(vgap[v], one));
                        done = Isa::mor(done, cyc[v]);
                    }
                    doneM[v] = done;
                }
                M any = doneM[0];
#pragma GCC unroll 8
                for (int v = 1; v < NV; ++v)
                    any = Isa::mor(any, doneM[v]);
                if (Isa::bits(any) != 0 || steps >= toDead)
                    break;
            }
            m_clock += double(steps);
            if (!LanePeriodic)
                clockV = Isa::set1(m_clock);
#pragma GCC unroll 8
            for (int v = 0; v < NV; ++v) {
                doneM[v] = Isa::mor(doneM[v], Isa::ge(clockV, vdead[v]));  // n >= MaxIter
                ev[v] = Isa::bits(doneM[v]) & alive[v];
            }
#pragma GCC unroll 8
            for (int v = 0; v < NV; ++v) {
                if (ev[v] == 0)
                    continue;
                if (!fast) {
                    store(v, vzr, vzi, vzr2, vzi2, var, vai, vdead, vsaved, vsnap, vgap, vdzr, vdzi);
                    events(v, ev[v], LanePeriodic ? Isa::bits(cyc[v]) : 0);
                    load(v, vzr, vzi, vzr2, vzi2, var, vai, vdead, vsaved, vsnap, vgap, vdzr, vdzi);
                    continue;
                }
                // Values of the finished lanes, in vectors: Level n (65535 for a cycle or the limit);
                // Binary 0 for Re z = 0, else 65535 at the limit, else 0 for Im z >= 0, 255 otherwise.
                const int o = v * W;
                alignas(64) double values[W], m2[W], dr[W], di[W];
                const V startV = Isa::load(start + o);
                const M lim = Isa::ge(clockV, vdead[v]);
                int insideBits = 0;
                V value;
                if (A == Algo::Level) {
                    M inside = lim;
                    if (LanePeriodic)
                        inside = Isa::mor(inside, cyc[v]);
                    insideBits = Isa::bits(inside);
                    value = Isa::blend(inside, Isa::sub(clockV, startV), insideV);
                } else if (A == Algo::Dist) {
                    value = zero;  // formed lane by lane below
                    Isa::store(m2 , Isa::add(vzr2[v], vzi2[v]));
                    Isa::store(dr, vdzr[v]);
                    Isa::store(di, vdzi[v]);
                } else {
                    value = Isa::blend(Isa::ge(vzi[v], zero), Isa::set1(255.0), zero);
                    value = Isa::blend(lim, value, insideV);
                    value = Isa::blend(Isa::eq(vzr[v], zero), value, zero);
                }
                Isa::store(values, value);
                int refill = 0, active = 0, rowEnd = 0;
                V crV = zero;  // the refilled lanes' new columns, built in registers: a vector load right
                               // after the scalar stores to cr would wait for them
                for (int b = ev[v]; b != 0; b &= b - 1) {
                    const int i = __builtin_ctz(unsigned(b));
                    const int l = o + i;
                    out[l][col[l]] = A == Algo::Dist ? distanceValue(l, m2[i], dr[i], di[i]) : uint16_t(values[i]);
                    if (A == Algo::Level)
                        prev[l] = ((insideBits >> i) & 1) != 0;
                    if (nextColumn(l) > m_job.colLast) {
                        rowEnd |= 1 << i;
                        continue;
                    }
                    refill |= 1 << i;
                    active |= int(prev[l]) << i;
                    const double x = double(col[l]) * m_job.step + m_job.leftX;
                    cr[l] = x;
                    crV = Isa::blend(Isa::fromBits(1 << i), crV, Isa::set1(x));
                }
                if (refill != 0) {
                    // The next pixel of each lane, as nextPixel starts it.
                    const M d = Isa::fromBits(refill);
                    const V ciV = Isa::load(ci + o);
                    if (julia) {
                        vzr[v] = Isa::blend(d, vzr[v], crV);
                        vzi[v] = Isa::blend(d, vzi[v], ciV);
                        vzr2[v] = Isa::blend(d, vzr2[v], Isa::mul(crV, crV));
                        vzi2[v] = Isa::blend(d, vzi2[v], Isa::mul(ciV, ciV));
                    } else {
                        vzr[v] = Isa::blend(d, vzr[v], startR);
                        vzi[v] = Isa::blend(d, vzi[v], startI);
                        vzr2[v] = Isa::blend(d, vzr2[v], startR2);
                        vzi2[v] = Isa::blend(d, vzi2[v], startI2);
                        var[v] = Isa::blend(d, var[v], crV);
                        vai[v] = Isa::blend(d, vai[v], ciV);
                    }
                    vdead[v] = Isa::blend(d, vdead[v], Isa::add(clockV, maxIterV));
                    if (A == Algo::Dist) {
                        vdzr[v] = Isa::blend(d, vdzr[v], zero);
                        vdzi[v] = Isa::blend(d, vdzi[v], zero);
                    }
                    Isa::store(start + o, Isa::blend(d, startV, clockV));
                    if (LanePeriodic) {
                        const M act = Isa::fromBits(active);
                        vsaved[v] = Isa::blend(d, vsaved[v], Isa::blend(act, nanV, zero));
                        vsnap[v] = Isa::blend(d, vsnap[v], Isa::blend(act, infV, Isa::add(clockV, intervalV)));
                        vgap[v] = Isa::blend(d, vgap[v], intervalV);
                    }
                }
                if (rowEnd != 0) {
                    store(v, vzr, vzi, vzr2, vzi2, var, vai, vdead, vsaved, vsnap, vgap, vdzr, vdzi);
                    for (int b = rowEnd; b != 0; b &= b - 1)
                        nextPixel(o + __builtin_ctz(unsigned(b)));
                    load(v, vzr, vzi, vzr2, vzi2, var, vai, vdead, vsaved, vsnap, vgap, vdzr, vdzi);
                }
            }
            nextDead = firstDead(vdead);
            if (!m_rows.running())
                return;
        }
    }

    // The nearest clock at which a lane reaches its limit.
    static double firstDead(const V* vdead)
    {
        V least = vdead[0];
        for (int v = 1; v < NV; ++v)
            least = Isa::min(least, vdead[v]);
        return Isa::hmin(least);
    }

private:
    const LaneJob m_job;  // copies: this thread reads them on every pixel
    LaneRows& m_rows;
    const KernelInputs m_in;
    const int m_maxIter;
    const bool m_skipBounded;  // pixels that knownInside() finds get 65535 without iterating
    const double m_escapeBound;  // x^2 + y^2 beyond it: the first step escapes (see escapeBound()), 0: unused
    int m_live = 0;
    double m_clock = 0;  // iterations of the vectors so far; a lane's n is m_clock - start[l]

    // Vector state, one entry per lane; in registers while the vectors iterate.
    alignas(64) double zr[NL], zi[NL], zr2[NL], zi2[NL], ar[NL], ai[NL];
    alignas(64) double dead[NL];                         // m_clock at which n reaches MaxIter
    alignas(64) double saved[NL], snapAt[NL], gap[NL];  // periodicity: snapshot, m_clock of the next one, interval
    alignas(64) double dzr[NL], dzi[NL];                 // distance: derivative
    // Scalar state.
    int alive[NV];     // bit per lane that still has pixels
    alignas(64) double start[NL];  // m_clock when the lane's pixel started (also read as vectors)
    int row[NL], col[NL];
    bool prev[NL];     // PrevInside of the lane's sequence
    bool swept[NL];    // the lane's row was swept: its settled pixels are skipped
    int m_sweepRest = 0;  // rows still to take without a sweep
    alignas(64) double ci[NL];  // the pixel's plane coordinates (also read as vectors)
    alignas(64) double cr[NL];
    uint16_t* out[NL];

    void load(int v, V* vzr, V* vzi, V* vzr2, V* vzi2, V* var, V* vai, V* vdead, V* vsaved, V* vsnap, V* vgap,
              V* vdzr, V* vdzi)
    {
        const int o = v * W;
        vzr[v] = Isa::load(zr + o);
        vzi[v] = Isa::load(zi + o);
        vzr2[v] = Isa::load(zr2 + o);
        vzi2[v] = Isa::load(zi2 + o);
        var[v] = Isa::load(ar + o);
        vai[v] = Isa::load(ai + o);
        vdead[v] = Isa::load(dead + o);
        if (LanePeriodic) {
            vsaved[v] = Isa::load(saved + o);
            vsnap[v] = Isa::load(snapAt + o);
            vgap[v] = Isa::load(gap + o);
        }
        if (A == Algo::Dist) {
            vdzr[v] = Isa::load(dzr + o);
            vdzi[v] = Isa::load(dzi + o);
        }
    }

    void store(int v, V* vzr, V* vzi, V* vzr2, V* vzi2, V* var, V* vai, V* vdead, V* vsaved, V* vsnap, V* vgap,
               V* vdzr, V* vdzi)
    {
        const int o = v * W;
        Isa::store(zr + o, vzr[v]);
        Isa::store(zi + o, vzi[v]);
        Isa::store(zr2 + o, vzr2[v]);
        Isa::store(zi2 + o, vzi2[v]);
        Isa::store(ar + o, var[v]);
        Isa::store(ai + o, vai[v]);
        Isa::store(dead + o, vdead[v]);
        if (LanePeriodic) {
            Isa::store(saved + o, vsaved[v]);
            Isa::store(snapAt + o, vsnap[v]);
            Isa::store(gap + o, vgap[v]);
        }
        if (A == Algo::Dist) {
            Isa::store(dzr + o, vdzr[v]);
            Isa::store(dzi + o, vdzi[v]);
        }
    }

    // The lanes of vector v in `bits` ended their pixels (cycle found in `cycBits`).
    __attribute__((noinline)) void events(int v, int bits, int cycBits)
    {
        while (bits != 0) {
            const int i = __builtin_ctz(unsigned(bits));
            bits &= bits - 1;
            const int l = v * W + i;
            finish(l, int(m_clock - start[l]), ((cycBits >> i) & 1) != 0);
        }
    }

    // A lane with nothing left to do. It keeps iterating NaN, which no test, limit or cycle check ever
    // takes for an end, so the vectors need no mask of live lanes.
    void kill(int l)
    {
        alive[l / W] &= ~(1 << (l % W));
        zr[l] = zi[l] = zr2[l] = zi2[l] = ar[l] = ai[l] = __builtin_nan("");
        dead[l] = __builtin_inf();
        saved[l] = __builtin_nan("");
        snapAt[l] = __builtin_inf();
        gap[l] = 0;
        dzr[l] = dzi[l] = 0;
        --m_live;
    }

    // Takes a row for lane l; false (and the lane retired) when none is left.
    bool startRow(int l)
    {
        const int r = m_rows.takeRow();
        if (r < 0) {
            kill(l);
            return false;
        }
        row[l] = r;
        col[l] = m_job.colFirst - 1;
        prev[l] = m_job.guess;
        ci[l] = m_job.topY - double(r) * m_job.step;
        out[l] = m_job.data + size_t(r) * m_job.stride;
        swept[l] = false;
        if (Sweeps && m_job.start != LaneStart::Inverse) {
            if (m_sweepRest > 0) {
                --m_sweepRest;
            } else {
                swept[l] = true;
                const int settled = A == Algo::Level ? sweep(out[l], ci[l]) : sweepEnds(l);
                if (settled * 4 < m_job.colLast - m_job.colFirst + 1)
                    m_sweepRest = SweepPause;  // few quick pixels here: the next rows are walked alone
            }
        }
        return true;
    }

    // Whether every pixel that knownInside() finds is 65535 in this job: the orbit from z = 0 of such a
    // pixel stays within |z| < 2, so no test that needs |z| > 2 (an escape level of 2 or more, the fixed
    // radius of the distance kernels) ever ends it before the limit, and every kernel here then gives
    // 65535 (periodicity checking can only end such a pixel as inside). Not for Binary, whose value reads
    // the last iterate, nor for Epsilon, which ends orbits near the diagonals.
    static bool skipsBounded(const LaneJob& job)
    {
        if (job.start != LaneStart::Mandelbrot || A == Algo::Binary)
            return false;
        if (A == Algo::Dist)
            return true;
        return !std::is_same_v<Test, TEpsilon> && job.in->PertZr == 0 && job.in->PertZi == 0 && job.in->L >= 4;
    }

    // The main cardioid and the disc of period 2 of z^2 + c, less a margin of 1e-12 that lies far above
    // the rounding of these few operations (about 1e-15 here): a pixel found inside is inside the exact
    // region. Its orbit from 0 is drawn to an attracting fixed point or 2-cycle, and the rounding of each
    // step (about 1e-16) cannot carry it out of the basin, so it never escapes.
    static bool knownInside(double x, double y)
    {
        constexpr double Margin = 1e-12;
        const double y2 = y * y;
        const double xq = x - 0.25;
        const double q = xq * xq + y2;
        if (q * (q + xq) < 0.25 * y2 - Margin)
            return true;
        const double xb = x + 1;
        return xb * xb + y2 < 0.0625 - Margin;
    }

    // advance(), storing 65535 for the pixels on the way that knownInside() finds (as an inside pixel,
    // each leaves PrevInside true behind it for the Level kernel).
    int nextColumn(int l)
    {
        int c = advance(l);
        if (!m_skipBounded)
            return c;
        while (c <= m_job.colLast && knownInside(double(c) * m_job.step + m_job.leftX, ci[l])) {
            out[l][c] = InsideValue;
            if (A == Algo::Level)
                prev[l] = true;
            c = advance(l);
        }
        return c;
    }

    // Moves lane l to the next column its row still needs and returns it (past colLast at the row's
    // end). The pixels a sweep settled are skipped; they all escaped, so PrevInside after them is false.
    int advance(int l)
    {
        int c = col[l] + 1;
        if (swept[l] && A != Algo::Level && m_job.kernel != LaneKernel::LevelDistance) {
            // Binary and the distance kernels but Level+Distance leave PrevInside alone.
            c = firstUnsettled(out[l], c, m_job.colLast, Unsettled);
        } else if (swept[l] && A != Algo::Level) {
            // Level+Distance forms the Level values still pending in row order here, and its swept
            // Level values escaped (PrevInside false).
            uint16_t* const o = out[l];
            for (; c <= m_job.colLast && o[c] != Unsettled; ++c) {
                if (o[c] != InsideValue) {
                    if (o[c] == PendingLevel)
                        o[c] = levelAt(l, c);
                    else
                        prev[l] = false;
                }
            }
        } else if (swept[l]) {
            const uint16_t* const o = out[l];
            const int from = c;
            c = firstUnsettled(o, c, m_job.colLast);
            if (c != from)
                prev[l] = false;
        }
        col[l] = c;
        return c;
    }

    // The sweep of a row: blocks of W neighbouring pixels iterate side by side for at most SweepIterations.
    // A pixel that escapes there before MaxIter, with no cycle that a periodicity check could have seen,
    // has the same value whether the check runs or not, so whatever PrevInside it gets in serial order:
    // its value is stored at once. Every other pixel is marked 0, a value no Level kernel gives, and left to
    // the lanes. Returns the number of pixels settled.
    int sweep(uint16_t* values, double y)
    {
        int last = m_job.colLast;
        const int limit = m_maxIter - 1 < SweepIterations ? m_maxIter - 1 : SweepIterations;
        int settled = 0, c = m_job.colFirst;
        if (limit >= 1 && m_escapeBound > 0) {
            // Pixels so far out that their first step escapes, whatever the rounding, get 1 at once.
            int lo, hi;
            mayStay(y, lo, hi);
            fillOnes(values + c, lo - c);
            fillOnes(values + hi + 1, last - hi);
            c = lo;
            settled += (lo - m_job.colFirst) + (last - hi);
            last = hi;
        }
        if (limit >= 1) {
            // Blocks whose pixels all escape at the first step (most of them, away from the set) are
            // stored at once; the others iterate in groups, a few dozen blocks at a time.
            constexpr int Chunk = 64;
            int live[Chunk];
            const FirstStep first(*this, y);
            while (c + W - 1 <= last) {
                int count = 0;
                for (; count < Chunk && c + W - 1 <= last; c += W) {
                    // Without a branch: the values of a block that goes on are stored again by its group.
                    const int goesOn = first.goesOn(values, c);
                    settled += W - W * goesOn;
                    live[count] = c;
                    count += goesOn;
                }
                int i = 0;
                for (; i + SweepGroup <= count; i += SweepGroup)
                    settled += sweepBlocks<SweepGroup>(values, live + i, y, limit);
                switch (count - i) {
                case 3: settled += sweepBlocks<3>(values, live + i, y, limit); break;
                case 2: settled += sweepBlocks<2>(values, live + i, y, limit); break;
                case 1: settled += sweepBlocks<1>(values, live + i, y, limit); break;
                default: break;
                }
            }
        }
        for (; c <= last; ++c)
            values[c] = 0;
        return settled;
    }

    // The column x of every lane: double(c) * step + leftX, which never decreases as c grows.
    double columnX(int c) const { return double(c) * m_job.step + m_job.leftX; }

    // The columns [lo, hi] of the row at y that can outlast the first step (lo > hi: none). Outside them
    // x^2 + y^2 exceeds m_escapeBound, so the first iterate lies beyond the escape radius (see
    // escapeBound()).
    void mayStay(double y, int& lo, int& hi) const
    {
        const int first = m_job.colFirst, last = m_job.colLast;
        if (!(std::fabs(y) < FarCoordinate)) {
            lo = first, hi = last;
            return;
        }
        const double rest = m_escapeBound - y * y;
        if (!(rest > 0)) {
            lo = last + 1, hi = last;
            return;
        }
        const double xs = std::sqrt(rest);
        // From the nearest columns by division to the exact ones, by the lanes' own formula.
        auto nearest = [&](double x) {
            const double c = std::floor((x - m_job.leftX) / m_job.step);
            return c >= double(first) ? (c <= double(last) ? int(c) : last + 1) : first - 1;
        };
        lo = nearest(-xs);
        while (lo > first && columnX(lo - 1) >= -xs)
            --lo;
        while (lo <= last && columnX(lo) < -xs)
            ++lo;
        hi = nearest(xs);
        while (hi < last && columnX(hi + 1) <= xs)
            ++hi;
        while (hi >= first && columnX(hi) > xs)
            --hi;
        lo = lo > first ? lo : first;
        hi = hi < last ? hi : last;
    }

    static constexpr double FarCoordinate = 1e100;

    // A bound B such that a pixel with x^2 + y^2 > B escapes at the first step under |z|^2 > L, in
    // exact arithmetic and in the kernels' doubles alike; 0 where none is used. The first iterate is
    // z0^2 + k: for Julia z0 = x + iy and k the parameter, so |z1| >= |z0|^2 - |k| > sqrt(L) when
    // |z0|^2 > sqrt(L) + |k|; for Mandelbrot z0 is the start value p and k = x + iy, so |z1| >= |k| - |p|^2
    // > sqrt(L) when |k| > sqrt(L) + |p|^2. The rounding of that step is a few parts in 1e16 of |z0|^2 +
    // |k|, far inside the margin of 1e-9. Every coordinate used stays below FarCoordinate, so no square
    // overflows into an infinity that could meet another one.
    static double escapeBound(const LaneJob& job)
    {
        if (!std::is_same_v<Test, TMod> || A != Algo::Level || job.in == nullptr || !(job.step > 0))
            return 0;
        constexpr double Margin = 1 + 1e-9;
        const KernelInputs& in = *job.in;
        const double xFar = std::max(std::fabs(job.leftX), std::fabs(double(job.colLast + 1) * job.step + job.leftX));
        if (!(xFar < FarCoordinate))
            return 0;
        const double radius = std::sqrt(double(in.L));
        if (job.start == LaneStart::Julia) {
            const double k = std::hypot(in.ParamCr, in.ParamCi);
            return k < FarCoordinate ? (radius + k) * Margin : 0;
        }
        if (job.start == LaneStart::Mandelbrot) {
            const double p2 = in.PertZr * in.PertZr + in.PertZi * in.PertZi;
            if (!(p2 < FarCoordinate))
                return 0;
            const double r = (radius + p2) * Margin;
            return r * r;
        }
        return 0;
    }

    // The start value and constant of the W pixels from column c, as the sweep and its first step use them.
    void blockStart(int c, double y, V& zr, V& zi, V& ar, V& ai, bool level = A == Algo::Level) const
    {
        const V x = blockX(c, m_job.step, m_job.leftX);
        if (m_job.start == LaneStart::Julia) {
            zr = x, zi = Isa::set1(y), ar = Isa::set1(m_in.ParamCr), ai = Isa::set1(m_in.ParamCi);
        } else {
            zr = Isa::set1(level ? m_in.PertZr : 0.0), zi = Isa::set1(level ? m_in.PertZi : 0.0), ar = x, ai = Isa::set1(y);
        }
    }

    // The first step of the blocks of a row, with what the row's blocks share formed once.
    struct FirstStep {
        FirstStep(const Lanes& lanes, double y) : m_lanes(lanes), m_L(Isa::set1(double(lanes.m_in.L)))
        {
            V x;
            lanes.blockStart(lanes.m_job.colFirst, y, x, m_zi, m_ar, m_ai);
            m_julia = lanes.m_job.start == LaneStart::Julia;
            m_zr = x;
            m_zi2 = Isa::mul(m_zi, m_zi);
            if (!m_julia)
                m_zr2 = Isa::mul(m_zr, m_zr);
        }

        // Stores 1 for each pixel of the block from column c; 0 when every one escapes at the first step
        // (and none meets the first snapshot, 0, as a cycle), else 1. The sweep's limit is at least 1.
        int goesOn(uint16_t* values, int c) const
        {
            const V x = blockX(c, m_lanes.m_job.step, m_lanes.m_job.leftX);
            V zr = m_zr, zr2 = m_zr2, ar = m_ar;
            if (m_julia) {
                zr = x;
                zr2 = Isa::mul(x, x);
            } else {
                ar = x;
            }
            const V tr = Isa::add(zr, zr);
            const V nzi = Isa::add(Isa::mul(tr, m_zi), m_ai);
            const V nzr = Isa::add(Isa::sub(zr2, m_zi2), ar);
            const V nzr2 = Isa::mul(nzr, nzr), nzi2 = Isa::mul(nzi, nzi);
            M settle = Test::esc(nzr, nzi, nzr2, nzi2, m_L);
            if (Periodic)
                settle = Isa::mandnot(settle, Isa::eq(Isa::add(nzr2, nzi2), Isa::set1(0.0)));
            for (int i = 0; i < W; ++i)
                values[c + i] = 1;
            return int(Isa::bits(settle) != (1 << W) - 1);
        }

    private:
        const Lanes& m_lanes;
        V m_L, m_zr, m_zi, m_zr2 = Isa::set1(0.0), m_zi2, m_ar, m_ai;
        bool m_julia;
    };

    // G blocks from the columns cols[0..G-1], in step (G > 1 hides the latency of one step behind the
    // others).
    // `base`: values[0] is the value of column `base`.
    template <int G>
    int sweepBlocks(uint16_t* values, const int* cols, double y, int limit, int base = 0)
    {
        alignas(64) double stored[W];
        const V L = Isa::set1(double(m_in.L)), zero = Isa::set1(0.0);
        V zr[G], zi[G], zr2[G], zi2[G], ar[G], ai[G], value[G], saved[G];
        M open[G];  // lanes not settled yet, and not seen in a cycle
        const M all = Isa::fromBits((1 << W) - 1);
#pragma GCC unroll 4
        for (int g = 0; g < G; ++g) {
            blockStart(cols[g], y, zr[g], zi[g], ar[g], ai[g], true);
            zr2[g] = Isa::mul(zr[g], zr[g]);
            zi2[g] = Isa::mul(zi[g], zi[g]);
            value[g] = zero;
            saved[g] = zero;
            open[g] = all;
        }
        int snapAt = PeriodStartInterval, gap = PeriodStartInterval;
        for (int n = 1; n <= limit; ++n) {
            const V nV = Isa::set1(double(n));
            const bool snap = n == snapAt;
            M any = Isa::fromBits(0);
#pragma GCC unroll 4
            for (int g = 0; g < G; ++g) {
                if (Isa::bits(open[g]) == 0)
                    continue;  // settled: its values are final, and a slow neighbour need not keep it busy
                const V tr = g % Isa::TwiceEvery == 0 ? twice(zr[g]) : Isa::add(zr[g], zr[g]);
                zi[g] = Isa::add(Isa::mul(tr, zi[g]), ai[g]);
                zr[g] = Isa::add(Isa::sub(zr2[g], zi2[g]), ar[g]);
                zr2[g] = Isa::mul(zr[g], zr[g]);
                zi2[g] = Isa::mul(zi[g], zi[g]);
                const M esc = Test::esc(zr[g], zi[g], zr2[g], zi2[g], L);
                M settle = Isa::mand(esc, open[g]);
                M end = esc;
                if (Periodic) {
                    const V m = Isa::add(zr2[g], zi2[g]);
                    const M cyc = Isa::eq(m, saved[g]);
                    if (snap)
                        saved[g] = m;
                    settle = Isa::mandnot(settle, cyc);
                    end = Isa::mor(end, cyc);
                }
                value[g] = Isa::blend(settle, value[g], nV);
                open[g] = Isa::mandnot(open[g], end);
                any = Isa::mor(any, open[g]);
            }
            if (snap) {
                snapAt += gap;
                ++gap;
            }
            if (Isa::bits(any) == 0)
                break;
        }
        int settled = 0;
        for (int g = 0; g < G; ++g) {
            settled += W - __builtin_popcount(unsigned(Isa::bits(open[g])));
            Isa::store(stored, value[g]);
            for (int i = 0; i < W; ++i)
                values[cols[g] - base + i] = uint16_t(stored[i]);
        }
        return settled;
    }

    // The sweep of lane l's row for Binary and the distance kernels, as sweep() does for Level: pixels
    // that escape within SweepIterations get their values at once (Level+Distance: 65535 or, past the
    // threshold, its Level value when the Level sweep settles it, else PendingLevel); the others are
    // marked Unsettled. Returns the number of pixels settled.
    int sweepEnds(int l)
    {
        uint16_t* const values = out[l];
        const double y = ci[l];
        const int last = m_job.colLast;
        const int limit = m_maxIter - 1 < SweepIterations ? m_maxIter - 1 : SweepIterations;
        int settled = 0, c = m_job.colFirst;
        if (limit >= 1) {
            int cols[SweepGroup];
            int count = 0;
            for (; c + W - 1 <= last; c += W) {
                cols[count++] = c;
                if (count == SweepGroup) {
                    settled += sweepEndBlocks<SweepGroup>(values, cols, y, limit);
                    count = 0;
                }
            }
            switch (count) {
            case 3: settled += sweepEndBlocks<3>(values, cols, y, limit); break;
            case 2: settled += sweepEndBlocks<2>(values, cols, y, limit); break;
            case 1: settled += sweepEndBlocks<1>(values, cols, y, limit); break;
            default: break;
            }
        }
        for (; c <= last; ++c)
            values[c] = Unsettled;
        return settled;
    }

    template <int G>
    int sweepEndBlocks(uint16_t* values, const int* cols, double y, int limit)
    {
        const V L = Isa::set1(double(m_in.L)), R = Isa::set1(DistanceRadiusSq), zero = Isa::set1(0.0);
        const V one = Isa::set1(1.0);
        V zr[G], zi[G], zr2[G], zi2[G], ar[G], ai[G], dzr[G], dzi[G], em[G], edr[G], edi[G], ezr[G], ezi[G];
        M open[G];
        const M all = Isa::fromBits((1 << W) - 1);
#pragma GCC unroll 4
        for (int g = 0; g < G; ++g) {
            blockStart(cols[g], y, zr[g], zi[g], ar[g], ai[g]);
            zr2[g] = Isa::mul(zr[g], zr[g]);
            zi2[g] = Isa::mul(zi[g], zi[g]);
            dzr[g] = dzi[g] = em[g] = edr[g] = edi[g] = ezr[g] = ezi[g] = zero;
            open[g] = all;
        }
        for (int n = 1; n <= limit; ++n) {
            M any = Isa::fromBits(0);
#pragma GCC unroll 4
            for (int g = 0; g < G; ++g) {
                if (Isa::bits(open[g]) == 0)
                    continue;
                const V tr = Isa::add(zr[g], zr[g]);
                if (A == Algo::Dist) {
                    const V ti = Isa::add(zi[g], zi[g]);
                    const V ndr = Isa::add(Isa::sub(Isa::mul(tr, dzr[g]), Isa::mul(ti, dzi[g])), one);
                    dzi[g] = Isa::add(Isa::mul(tr, dzi[g]), Isa::mul(ti, dzr[g]));
                    dzr[g] = ndr;
                }
                zi[g] = Isa::add(Isa::mul(tr, zi[g]), ai[g]);
                zr[g] = Isa::add(Isa::sub(zr2[g], zi2[g]), ar[g]);
                zr2[g] = Isa::mul(zr[g], zr[g]);
                zi2[g] = Isa::mul(zi[g], zi[g]);
                M esc;
                if (A == Algo::Dist) {
                    const V m = Isa::add(zr2[g], zi2[g]);
                    esc = Isa::mand(Isa::gt(m, R), open[g]);
                    em[g] = Isa::blend(esc, em[g], m);
                    edr[g] = Isa::blend(esc, edr[g], dzr[g]);
                    edi[g] = Isa::blend(esc, edi[g], dzi[g]);
                } else {
                    esc = Isa::mand(Test::esc(zr[g], zi[g], zr2[g], zi2[g], L), open[g]);
                    ezr[g] = Isa::blend(esc, ezr[g], zr[g]);
                    ezi[g] = Isa::blend(esc, ezi[g], zi[g]);
                }
                open[g] = Isa::mandnot(open[g], esc);
                any = Isa::mor(any, open[g]);
            }
            if (Isa::bits(any) == 0)
                break;
        }
        int settled = 0;
        bool pending = false;
        for (int g = 0; g < G; ++g) {
            const int done = ~Isa::bits(open[g]) & ((1 << W) - 1);
            settled += __builtin_popcount(unsigned(done));
            if (A == Algo::Binary) {
                // 0 for Re z = 0, else 0 for Im z >= 0 and 255 otherwise (none reached the limit).
                V value = Isa::blend(Isa::ge(ezi[g], zero), Isa::set1(255.0), zero);
                value = Isa::blend(Isa::eq(ezr[g], zero), value, zero);
                value = Isa::blend(open[g], value, Isa::set1(double(Unsettled)));
                Isa::storeU16(values + cols[g], value);
            } else {
                // distanceOnly() in vectors, but for the logarithm, taken lane by lane only where needed.
                const V rootM = Isa::sqrt(em[g]);
                const V size = Isa::sqrt(Isa::add(Isa::mul(edr[g], edr[g]), Isa::mul(edi[g], edi[g])));
                const V thr = Isa::set1(m_in.DistThreshold);
                alignas(64) double m[W], logs[W];
                Isa::store(m, em[g]);
                int need = done;
                M pass = Isa::fromBits(0);
                if (m_job.kernel != LaneKernel::ColorDistance) {
                    // As in distanceOnly(): log(m) > 11.5 here, so a lower bound that passes is enough.
                    pass = Isa::ge(Isa::div(Isa::mul(rootM, Isa::set1(11.5)), size), thr);
                    need &= ~Isa::bits(pass);
                }
                for (int i = 0; i < W; ++i)
                    logs[i] = ((need >> i) & 1) != 0 ? std::log(m[i]) : 1.0;
                const V dist = Isa::div(Isa::mul(rootM, Isa::load(logs)), size);
                V value;
                if (m_job.kernel == LaneKernel::ColorDistance) {
                    // nearbyint of a number in [0, 2^52) by adding and taking away 2^52; anything above
                    // (and NaN) becomes 65534, as in distanceOnly().
                    const V big = Isa::set1(4503599627370496.0), top = Isa::set1(65534.0);
                    const V tenths = Isa::div(Isa::mul(Isa::set1(10.0), dist), Isa::set1(m_in.Step));
                    V rounded = Isa::sub(Isa::add(tenths, big), big);
                    rounded = Isa::blend(Isa::lt(tenths, big), top, rounded);
                    rounded = Isa::blend(Isa::lt(rounded, top), top, rounded);
                    value = Isa::blend(Isa::ge(dist, thr), zero, rounded);
                } else {
                    pass = Isa::mor(pass, Isa::ge(dist, thr));
                    const double passValue = m_job.kernel == LaneKernel::Distance ? 255.0 : double(PendingLevel);
                    value = Isa::blend(pass, Isa::set1(double(InsideValue)), Isa::set1(passValue));
                    pending |= m_job.kernel == LaneKernel::LevelDistance && (Isa::bits(pass) & done) != 0;
                }
                value = Isa::blend(Isa::fromBits(done), Isa::set1(double(Unsettled)), value);
                Isa::storeU16(values + cols[g], value);
            }
        }
        // Level+Distance: the Level values of the pixels past the threshold, where the Level sweep settles them.
        if (A == Algo::Dist && pending) {
            for (int g = 0; g < G; ++g) {
                uint16_t level[W];
                bool any = false;
                for (int i = 0; i < W; ++i)
                    any |= values[cols[g] + i] == PendingLevel;
                if (!any)
                    continue;
                sweepBlocks<1>(level, cols + g, y, limit, cols[g]);
                for (int i = 0; i < W; ++i)
                    if (values[cols[g] + i] == PendingLevel && level[i] != 0)
                        values[cols[g] + i] = level[i];
            }
        }
        return settled;
    }

    // Moves lane l to its next pixel (taking a new row at the end of its row) and loads the pixel's start.
    void nextPixel(int l)
    {
        for (;;) {
            if (nextColumn(l) > m_job.colLast) {
                m_rows.rowDone(row[l], m_job.guess, prev[l]);
                if (!startRow(l))
                    return;
                continue;
            }
            const double x = double(col[l]) * m_job.step + m_job.leftX;
            const double y = ci[l];
            cr[l] = x;
            double sr = 0, si = 0, cr0 = x, ci0 = y;
            switch (m_job.start) {
            case LaneStart::Mandelbrot:
                if (A == Algo::Level) {
                    sr = m_in.PertZr;
                    si = m_in.PertZi;
                }
                break;
            case LaneStart::Julia:
                sr = x;
                si = y;
                cr0 = m_in.ParamCr;
                ci0 = m_in.ParamCi;
                break;
            case LaneStart::Inverse: {
                const double m0 = x * x + y * y;
                if (m0 <= InverseNearZero) {
                    // Every kernel gives 1 here but Level+Distance, whose distance part is not 255.
                    out[l][col[l]] = m_job.kernel == LaneKernel::LevelDistance ? InsideValue : 1;
                    continue;
                }
                cr0 = x / m0 + m_in.PertZr;
                ci0 = y / m0 + m_in.PertZi;
                break;
            }
            }
            zr[l] = sr;
            zi[l] = si;
            zr2[l] = sr * sr;
            zi2[l] = si * si;
            ar[l] = cr0;
            ai[l] = ci0;
            start[l] = m_clock;
            dead[l] = m_clock + m_maxIter;
            if (LanePeriodic) {
                if (prev[l]) {
                    saved[l] = 0;
                    snapAt[l] = m_clock + PeriodStartInterval;
                    gap[l] = PeriodStartInterval;
                } else {
                    saved[l] = __builtin_nan("");
                    snapAt[l] = __builtin_inf();
                    gap[l] = 0;
                }
            }
            if (A == Algo::Dist)
                dzr[l] = dzi[l] = 0;
            return;
        }
    }

    uint16_t distanceFinish(int l) { return distanceValue(l, zr2[l] + zi2[l], dzr[l], dzi[l]); }

    // The value of lane l's pixel from its last |z|^2 and derivative.
    uint16_t distanceValue(int l, double m, double dzr, double dzi)
    {
        const uint16_t v = distanceOnly(m, dzr, dzi);
        return v == PendingLevel && m_job.kernel == LaneKernel::LevelDistance ? levelAt(l, col[l]) : v;
    }

    // Level+Distance: the Level value of lane l's pixel in column c, in row order.
    uint16_t levelAt(int l, int c)
    {
        KernelState st;
        st.PrevInside = prev[l];
        const uint16_t v = m_job.levelFn(m_in, st, double(c) * m_job.step + m_job.leftX, ci[l]);
        prev[l] = st.PrevInside;
        return v;
    }

    // The value from the last |z|^2 and derivative; for Level+Distance PendingLevel where the Level
    // value is to be formed.
    uint16_t distanceOnly(double m, double dzr, double dzi) const
    {
        if (!(m > DistanceRadiusSq))
            return InsideValue;
        const double rootM = std::sqrt(m), size = std::sqrt(dzr * dzr + dzi * dzi);
        if (m_job.kernel == LaneKernel::Distance) {
            // log(m) > log(100000) > 11.5 here, and rounding is monotonic: (sqrt(m) * 11.5) / |dz| never
            // exceeds the distance formed below, so when it passes the threshold the distance does too, and
            // most pixels need no logarithm.
            constexpr double LogBelowRadius = 11.5;
            if (rootM * LogBelowRadius / size >= m_in.DistThreshold)
                return 255;
        }
        const double dist = rootM * std::log(m) / size;
        switch (m_job.kernel) {
        case LaneKernel::Distance:
            return dist >= m_in.DistThreshold ? 255 : InsideValue;
        case LaneKernel::LevelDistance:
            return dist >= m_in.DistThreshold ? PendingLevel : InsideValue;
        default: {  // ColorDistance
            if (!(dist >= m_in.DistThreshold))
                return 0;
            const double tenths = std::nearbyint(10 * dist / m_in.Step);
            if (!(tenths < 65534.0))
                return 65534;
            return tenths > 0 ? uint16_t(tenths) : 0;
        }
        }
    }

    // Lane l ended its pixel after n iterations: store the value, go to the next pixel.
    void finish(int l, int n, bool cycle)
    {
        uint16_t v;
        if (A == Algo::Level) {
            v = (cycle || n >= m_maxIter) ? InsideValue : uint16_t(n);
            if (m_job.start != LaneStart::Inverse)  // as the scalar kernels: Z(1/C) keeps no PrevInside
                prev[l] = v == InsideValue;
        } else if (A == Algo::Binary) {
            if (zr[l] == 0)
                v = 0;
            else if (n >= m_maxIter)
                v = InsideValue;
            else
                v = zi[l] >= 0 ? 0 : 255;
        } else {
            v = distanceFinish(l);
        }
        out[l][col[l]] = v;
        nextPixel(l);
    }
};

template <int NV, Algo A, class Test, bool Periodic>
void runLanes(const LaneJob& job, LaneRows& rows)
{
    Lanes<NV, A, Test, Periodic> lanes(job, rows);  // a few kilobytes of stack
    lanes.run();
}

template <int NV, Algo A, bool Periodic>
LaneRunner byTest(int bailout)
{
    switch (bailout) {  // engine::Bailout: 1 SqrZr, 2 SqrZi, 3 Epsilon, 4 And, 5 Or, otherwise Mod
    case 1: return &runLanes<NV, A, TSqrZr, Periodic>;
    case 2: return &runLanes<NV, A, TSqrZi, Periodic>;
    case 3: return &runLanes<NV, A, TEpsilon, Periodic>;
    case 4: return &runLanes<NV, A, TAnd, Periodic>;
    case 5: return &runLanes<NV, A, TOr, Periodic>;
    default: return &runLanes<NV, A, TMod, Periodic>;
    }
}

template <int NV>
LaneRunner runnerFor(const LaneJob& job)
{
    if (job.in == nullptr || job.in->MaxIter < 1 || job.colFirst > job.colLast)
        return nullptr;
    switch (job.kernel) {
    case LaneKernel::Level:
        return job.periodic ? byTest<NV, Algo::Level, true>(job.bailout) : byTest<NV, Algo::Level, false>(job.bailout);
    case LaneKernel::Binary:
        return byTest<NV, Algo::Binary, false>(job.bailout);
    case LaneKernel::LevelDistance:
        if (job.levelFn == nullptr)
            return nullptr;
        // The test and the periodicity checking of its Level part.
        return job.periodic ? byTest<NV, Algo::Dist, true>(job.bailout) : byTest<NV, Algo::Dist, false>(job.bailout);
    case LaneKernel::Distance:
    case LaneKernel::ColorDistance:
        return &runLanes<NV, Algo::Dist, TMod, false>;
    }
    return nullptr;
}

}  // namespace
}  // namespace engine::simd::VOREX_SIMD_NS
