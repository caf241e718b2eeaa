#include "engine/ParallelEngine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <vector>

#include "colour/ColorLine.h"
#include "colour/ColourTables.h"
#include "engine/Kernels.h"
#include "engine/SelectKernel.h"
#include "engine/SimdKernels.h"
#include "engine/WorkerPool.h"

namespace engine {

bool isaAvailable(Isa isa)
{
    switch (isa) {
    case Isa::Scalar:
    case Isa::Sse2: return true;
    case Isa::Avx2: return __builtin_cpu_supports("avx2");
    case Isa::Avx512: return __builtin_cpu_supports("avx512f");
    }
    return false;
}

Isa bestIsa()
{
    for (Isa isa : {Isa::Avx512, Isa::Avx2})
        if (isaAvailable(isa))
            return isa;
    return Isa::Sse2;
}

std::string_view isaName(Isa isa)
{
    switch (isa) {
    case Isa::Scalar: return "scalar";
    case Isa::Sse2: return "sse2";
    case Isa::Avx2: return "avx2";
    case Isa::Avx512: return "avx512";
    }
    return "?";
}

std::optional<Isa> parseIsa(std::string_view name)
{
    for (Isa isa : {Isa::Scalar, Isa::Sse2, Isa::Avx2, Isa::Avx512})
        if (name == isaName(isa))
            return isa;
    return std::nullopt;
}

int defaultThreadCount()
{
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

namespace {

// What one pixel hands to the next in serial order, and so what a row needs from the rows before it.
enum class Carry {
    None,       // nothing that changes a value
    ByValue,    // PrevInside, set by every pixel to (value == 65535): the Level kernels with periodicity checking
    Opaque,     // PrevInside, set only by some pixels: Level+Distance over a Level kernel with periodicity checking
    Potential,  // the last potential formed (Potential keeps it for the pixels where none can be formed)
};

// How a computation runs: carry, and the lane job when a vectorised kernel exists for it.
struct Plan {
    Carry carry = Carry::None;
    bool guess = false;  // PrevInside assumed at the start of each row
    bool laneable = false;
    simd::LaneJob job;
};

// Mirrors SelectKernel's choice of kernel.
Plan makePlan(const TFractal& f)
{
    const FractalParams& p = f.Params;
    const TypeId type = p.FractalType;
    const int bailout = p.Bailout < BailoutCount ? int(p.Bailout) : int(BailMod);
    const bool algorithmKernel =
        p.Algorithm != AlgLevel && kernels::algorithmKernel(type, p.Algorithm, bailout) != nullptr;
    // The lanes compute z^2 + c from the three starts of the quadratic types.
    const bool quadraticType =
        type == TypeId::Mandelbrot || type == TypeId::Julia || type == TypeId::MandelbrotInverse;

    Plan plan;
    plan.job.in = &f.Inputs;
    plan.job.bailout = bailout;
    plan.job.start = type == TypeId::Mandelbrot ? simd::LaneStart::Mandelbrot
                     : type == TypeId::Julia    ? simd::LaneStart::Julia
                                                : simd::LaneStart::Inverse;
    if (algorithmKernel) {
        switch (p.Algorithm) {
        case AlgPotential:
            plan.carry = Carry::Potential;
            break;
        case AlgLevelDistance:
            plan.carry = traits(type).periodicity ? Carry::Opaque : Carry::None;
            plan.laneable = quadraticType;
            plan.job.kernel = simd::LaneKernel::LevelDistance;
            plan.job.levelFn = kernels::levelKernel(type, FormulaZ2, 0, 3, bailout);
            break;
        case AlgDistance:
            plan.laneable = quadraticType;
            plan.job.kernel = simd::LaneKernel::Distance;
            break;
        case AlgColorDistance:
            plan.laneable = quadraticType;
            plan.job.kernel = simd::LaneKernel::ColorDistance;
            break;
        case AlgBinary:
            plan.laneable = quadraticType;
            plan.job.kernel = simd::LaneKernel::Binary;
            break;
        default:
            break;
        }
    } else {
        // Mandelbrot's other formulas have fast kernels of their own, without periodicity or lanes.
        const TypeTraits& t = traits(type);
        const bool fastFormula = t.hasFormula && p.Formula != FormulaZ2;
        const bool periodicKernel = t.periodicity && !fastFormula;
        if (periodicKernel)
            plan.carry = Carry::ByValue;
        plan.laneable = quadraticType && !fastFormula;
        plan.job.kernel = simd::LaneKernel::Level;
        plan.job.periodic = plan.laneable && periodicKernel && f.Inputs.Periodicity;
    }
    // An inside pixel makes periodicity cheap for the next one: assume it at a row's start.
    plan.guess = plan.carry == Carry::ByValue;
    plan.job.guess = plan.guess;
    return plan;
}

simd::LaneRunner laneRunner(Isa isa, const simd::LaneJob& job)
{
    switch (isa) {
    case Isa::Sse2: return simd::sse2Runner(job);
    case Isa::Avx2: return simd::avx2Runner(job);
    case Isa::Avx512: return simd::avx512Runner(job);
    case Isa::Scalar: break;
    }
    return nullptr;
}

struct Region {
    int rowFirst, rowLast, colFirst, colLast;
    double leftX, topY, step;
    double cr(int c) const { return double(c) * step + leftX; }
    double ci(int r) const { return topY - double(r) * step; }
};

// Hands out rows, takes them back in any order, and makes them final in row order: a row is final
// once every row before it is final and its start agrees with the state the previous row ended in.
// A row is coloured by the thread that computed it, as soon as it is complete; the thread that makes it
// final colours it again only when putting it right changed a value, and reports it, outside the lock.
class RowScheduler final {
public:
    RowScheduler(TFractal& f, const Region& g, const Plan& plan, int threads, ComputeObserver* obs)
        : m_f(f), m_g(g), m_carry(plan.carry), m_obs(obs), m_threads(threads), m_next(g.rowFirst),
          m_rows(size_t(g.rowLast - g.rowFirst + 1)), m_frontier(g.rowFirst)
    {
        m_fixState = f.State;
        m_fixState.Orbit = nullptr;
        m_prev = f.State.PrevInside;
        m_potential = f.State.LastPotential;
    }

    // Rows not handed out yet (a snapshot) and the threads that share them.
    int rowsLeft() const { return std::max(m_g.rowLast + 1 - m_next.load(std::memory_order_relaxed), 0); }
    int threads() const { return m_threads; }

    // The first of `count` consecutive rows (fewer at the bottom), or -1.
    int takeRows(int count)
    {
        if (!running())
            return -1;
        const int r = m_next.fetch_add(count, std::memory_order_relaxed);
        return r <= m_g.rowLast ? r : -1;
    }

    // What a thread tells about one row it computed.
    struct RowResult {
        bool guess = false, prevOut = false;  // PrevInside at the row's start and end
        bool usedCarry = false;  // Potential: a pixel before firstFormed needed the previous row's value
        int firstFormed = 0;
        long double potentialOut = 0;
    };

    // Rows first .. first + count - 1, complete: coloured here, then recorded under one lock.
    void rowsDone(int first, const RowResult* results, int count)
    {
        if (m_f.ColorLine)
            for (int r = first; r < first + count; ++r)
                m_f.ColorLine(m_f, r);
        int from, to;
        {
            std::lock_guard lock(m_mutex);
            for (int i = 0; i < count; ++i) {
                Record& slot = m_rows[size_t(first + i - m_g.rowFirst)];
                slot.result = results[i];
                slot.complete = true;
            }
            from = m_frontier;
            advance();
            to = m_frontier;
        }
        if (to > from)
            publish(from, to, true);
    }

    bool running() const { return m_f.Running.load(std::memory_order_relaxed); }

    void rowDone(int row, bool guess, bool prevInsideOut)
    {
        RowResult r;
        r.guess = guess;
        r.prevOut = prevInsideOut;
        rowsDone(row, &r, 1);
    }

    // After every thread has ended: colours and reports the rows a stop left unfinished, stores the end
    // state. True when every row is final.
    bool finishUp()
    {
        const int handed = std::min(m_next.load(), m_g.rowLast + 1);
        if (m_frontier <= m_g.rowLast && handed > m_frontier)
            publish(m_frontier, handed, false);
        m_f.State.PrevInside = m_prev;
        m_f.State.LastPotential = m_potential;
        return m_frontier > m_g.rowLast;
    }

    int frontier() const { return m_frontier; }

private:
    struct Record {
        bool complete = false;
        bool recolour = false;  // made final with other values than it was coloured with
        RowResult result;
    };

    TFractal& m_f;
    const Region m_g;
    const Carry m_carry;
    ComputeObserver* const m_obs;
    const int m_threads;
    alignas(64) std::atomic<int> m_next;  // own cache line: taken by every thread, while the lines before it are only read
    alignas(64) std::mutex m_mutex;  // guards m_rows, m_frontier, the carry and m_fixState
    std::vector<Record> m_rows;
    int m_frontier;
    bool m_prev;
    long double m_potential;
    KernelState m_fixState;  // the saved-orbit arrays of f, used only under the lock
    std::mutex m_reportMutex;
    int m_reported = 0;

    // Makes final every complete row at the frontier. Under the lock.
    void advance()
    {
        while (m_frontier <= m_g.rowLast && m_rows[size_t(m_frontier - m_g.rowFirst)].complete) {
            Record& rec = m_rows[size_t(m_frontier - m_g.rowFirst)];
            rec.recolour = settle(m_frontier, rec.result);
            ++m_frontier;
        }
    }

    // Tells the observer of rows [first, last): final rows that settle changed are coloured again
    // first; rows a stop left unfinished (`final` false) are all coloured, as the serial driver colours
    // the row it cuts short.
    void publish(int first, int last, bool final)
    {
        if (m_f.ColorLine)
            for (int r = first; r < last; ++r)
                if (!final || m_rows[size_t(r - m_g.rowFirst)].recolour)
                    m_f.ColorLine(m_f, r);
        if (!m_obs)
            return;
        std::lock_guard lock(m_reportMutex);
        m_obs->rowsReady(first, last - 1);
        if (final) {
            m_reported += last - first;
            m_obs->progressChanged(double(m_reported) / double(m_rows.size()));
        }
    }

    // Makes row r final given the carry into it, and moves the carry past it. Under the lock. True when a
    // value of the row changed.
    bool settle(int r, const RowResult& rec)
    {
        uint16_t* const values = m_f.Data.row(r);
        const KernelFn kernel = m_f.Kernel;
        const KernelInputs& in = m_f.Inputs;
        const double ci = m_g.ci(r);
        bool changed = false;
        auto recompute = [&](int c) {
            const uint16_t old = values[c];
            const uint16_t v = kernel(in, m_fixState, m_g.cr(c), ci);
            values[c] = v;
            changed |= v != old;
            return old;
        };
        switch (m_carry) {
        case Carry::None:
            m_prev = rec.prevOut;
            break;
        case Carry::ByValue:
            if (in.Periodicity && rec.guess != m_prev) {
                // Recompute from the row's start until a pixel ends in the state it ended in before.
                m_fixState.PrevInside = m_prev;
                for (int c = m_g.colFirst; c <= m_g.colLast; ++c) {
                    const uint16_t old = recompute(c);
                    if ((values[c] == Inside) == (old == Inside))
                        break;
                }
            }
            m_prev = values[m_g.colLast] == Inside;
            break;
        case Carry::Opaque:
            // Some pixels leave PrevInside as it was, so the state after a pixel cannot be read from
            // the values: the whole row is computed again. Without periodicity checking no value depends
            // on it.
            if (in.Periodicity && rec.guess != m_prev) {
                m_fixState.PrevInside = m_prev;
                for (int c = m_g.colFirst; c <= m_g.colLast; ++c)
                    recompute(c);
                m_prev = m_fixState.PrevInside;
            } else {
                m_prev = rec.prevOut;
            }
            break;
        case Carry::Potential:
            // Whether a pixel forms its potential does not depend on the carry; the pixels before the
            // first one that does take the previous row's value.
            if (rec.usedCarry) {
                m_fixState.LastPotential = m_potential;
                for (int c = m_g.colFirst; c < rec.firstFormed && c <= m_g.colLast; ++c)
                    recompute(c);
            }
            if (rec.firstFormed <= m_g.colLast)
                m_potential = rec.potentialOut;
            break;
        }
        return changed;
    }
};

// One computing thread's rows: taken from the scheduler in chunks of consecutive rows, so that the
// threads meet at the shared counter seldom and each computes, and mostly colours, rows of its own.
// Chunks shrink towards the end of the image so that the threads run out of rows at about the same time.
class ThreadRows final : public simd::LaneRows {
public:
    ThreadRows(RowScheduler& sched, int rowLast, int maxChunk) : m_sched(sched), m_rowLast(rowLast), m_maxChunk(maxChunk) {}

    int takeRow() override
    {
        if (m_next > m_end) {
            const int count = std::clamp(m_sched.rowsLeft() / (4 * m_sched.threads()), 1, m_maxChunk);
            const int first = m_sched.takeRows(count);
            if (first < 0)
                return -1;
            m_next = first;
            m_end = std::min(first + count - 1, m_rowLast);
        }
        return running() ? m_next++ : -1;
    }
    bool running() const override { return m_sched.running(); }
    void rowDone(int row, bool guess, bool prevInsideOut) override { m_sched.rowDone(row, guess, prevInsideOut); }

private:
    RowScheduler& m_sched;
    const int m_rowLast;
    const int m_maxChunk;
    int m_next = 1, m_end = 0;  // the rows of the current chunk not taken yet
};

// Rows with the scalar kernel on the calling thread, in bands of consecutive rows: within a band the
// state runs on from one row to the next as in serial order, so only a band's first row starts from an
// assumption. `st` brings the thread's saved-orbit arrays.
void scalarRows(TFractal& f, const Region& g, const Plan& plan, RowScheduler& sched, KernelState st)
{
    constexpr int MaxBand = 16;
    const KernelFn kernel = f.Kernel;
    const KernelInputs& in = f.Inputs;
    st.Orbit = nullptr;
    const bool potential = plan.carry == Carry::Potential;
    const int width = g.colLast - g.colFirst + 1;
    const int maxBand = std::clamp(4096 / width, 1, MaxBand);  // a few thousand pixels per lock
    RowScheduler::RowResult results[MaxBand];
    for (;;) {
        // Smaller bands towards the end, so that the threads run out of rows at about the same time.
        const int band = std::clamp(sched.rowsLeft() / (2 * sched.threads()), 1, maxBand);
        const int first = sched.takeRows(band);
        if (first < 0)
            break;
        const int count = std::min(band, g.rowLast - first + 1);
        st.PrevInside = plan.guess;
        st.LastPotential = std::numeric_limits<long double>::quiet_NaN();  // not known yet
        for (int i = 0; i < count; ++i) {
            const int r = first + i;
            uint16_t* const values = f.Data.row(r);
            const double ci = g.ci(r);
            RowScheduler::RowResult& res = results[i];
            res = {};
            res.guess = st.PrevInside;
            // A potential once formed is right whatever came before: only a row that starts without one
            // may need the rows before the band.
            res.firstFormed = std::isnan(st.LastPotential) ? g.colLast + 1 : g.colFirst;
            for (int c = g.colFirst; c <= g.colLast; ++c) {
                if (!sched.running()) {
                    if (i > 0)
                        sched.rowsDone(first, results, i);
                    return;
                }
                const uint16_t v = kernel(in, st, g.cr(c), ci);
                values[c] = v;
                if (potential && res.firstFormed > g.colLast) {
                    if (!std::isnan(st.LastPotential))
                        res.firstFormed = c;
                    else if (v != Inside)
                        res.usedCarry = true;
                }
            }
            res.prevOut = st.PrevInside;
            res.potentialOut = st.LastPotential;
        }
        sched.rowsDone(first, results, count);
    }
}

// One computing thread: the lanes when a vectorised kernel applies, else the scalar kernel with saved-orbit
// arrays of the thread's own. A thread that cannot get its arrays leaves the rows to the others.
void worker(TFractal& f, const Region& g, const Plan& plan, simd::LaneRunner runner, RowScheduler& sched)
{
    if (runner) {
        constexpr int MaxChunk = 16;
        ThreadRows rows(sched, g.rowLast, MaxChunk);
        runner(plan.job, rows);
        return;
    }
    std::vector<double> xs, ys;
    KernelState st = f.State;
    if (usesOrbitArrays(f.Params.Algorithm) && st.XOrbit) {
        try {
            xs.assign(size_t(f.Inputs.MaxIter) + 1, 0.0);
            ys.assign(size_t(f.Inputs.MaxIter) + 1, 0.0);
        } catch (const std::bad_alloc&) {
            return;
        }
        st.XOrbit = xs.data();
        st.YOrbit = ys.data();
    }
    scalarRows(f, g, plan, sched, st);
}

// Runs work() on the calling thread and on up to `helpers` threads started for it (fewer when threads
// cannot be created), and returns once all have returned.
template <class Work>
void withOwnThreads(int helpers, Work& work)
{
    std::vector<std::thread> threads;
    try {
        threads.reserve(size_t(helpers));
    } catch (const std::bad_alloc&) {
        helpers = 0;
    }
    for (int i = 0; i < helpers; ++i) {
        try {
            threads.emplace_back([&work] { work(); });
        } catch (const std::system_error&) {
            break;  // fewer threads
        }
    }
    work();
    for (std::thread& t : threads)
        t.join();
}

void finish(TFractal& f)
{
    f.Running = false;
    f.Idle = true;
}

}  // namespace

ParallelEngine::ParallelEngine(int threads, Isa isa)
    : m_threads(threads < 1 ? defaultThreadCount() : threads), m_isa(isa)
{
    while (!isaAvailable(m_isa))
        m_isa = Isa(uint8_t(m_isa) - 1);
}

ComputeEnd ParallelEngine::compute(TFractal& f, int rowFirst, int rowLast, bool touchUp, int colLast, int colFirst,
                                   ComputeObserver* obs) const
{
    if (f.State.Orbit)
        return Compute(f, rowFirst, rowLast, touchUp, colLast, colFirst, obs);

    f.Idle = false;
    f.Modified = true;
    if (!touchUp) {
        f.UniformIter = true;
        f.RetoucheIter = f.Params.MaxIter;
        f.BaseMaxIter = f.Params.MaxIter;
    }
    SelectKernel(f);
    colour::SelectColorLine(f);
    if (!f.Kernel) {
        finish(f);
        return ComputeEnd::NoKernel;
    }

    Region g;
    g.rowFirst = std::max(rowFirst, 0);
    g.rowLast = std::min(rowLast, f.Data.height() - 1);
    g.colFirst = std::max(colFirst, 0);
    g.colLast = std::min(colLast, f.Data.width() - 1);
    g.leftX = f.LeftX;
    g.topY = f.TopY;
    g.step = f.Params.Step;
    if (g.rowFirst > g.rowLast) {
        if (!touchUp)
            f.ResumeLine = 0;
        finish(f);
        return ComputeEnd::Completed;
    }
    if (g.colFirst > g.colLast) {
        // No pixel to compute: every row is coloured and reported as the serial driver does.
        for (int r = g.rowFirst; r <= g.rowLast && f.Running; ++r) {
            if (f.ColorLine)
                f.ColorLine(f, r);
            if (obs) {
                obs->rowsReady(r, r);
                obs->progressChanged(double(r - g.rowFirst + 1) / double(g.rowLast - g.rowFirst + 1));
            }
        }
        const bool stopped = !f.Running;
        if (!touchUp)
            f.ResumeLine = stopped ? g.rowFirst : 0;
        finish(f);
        return stopped ? ComputeEnd::Stopped : ComputeEnd::Completed;
    }

    Plan plan = makePlan(f);
    plan.job.leftX = g.leftX;
    plan.job.topY = g.topY;
    plan.job.step = g.step;
    plan.job.colFirst = g.colFirst;
    plan.job.colLast = g.colLast;
    plan.job.data = f.Data.row(0);
    plan.job.stride = size_t(f.Data.width());
    const simd::LaneRunner runner = plan.laneable ? laneRunner(m_isa, plan.job) : nullptr;

    std::optional<RowScheduler> scheduler;
    try {
        scheduler.emplace(f, g, plan, std::min(m_threads, g.rowLast - g.rowFirst + 1), obs);
    } catch (const std::bad_alloc&) {
        return Compute(f, rowFirst, rowLast, touchUp, colLast, colFirst, obs);  // no room for the row records
    }
    RowScheduler& sched = *scheduler;
    const int rowCount = g.rowLast - g.rowFirst + 1;
    const int helpers = std::min(m_threads, rowCount) - 1;
    auto work = [&] { worker(f, g, plan, runner, sched); };
    if (helpers <= 0)
        work();
    else if (!WorkerPool::instance().run(helpers, work))
        withOwnThreads(helpers, work);  // another computation holds the pool
    // Rows left by threads that could not start their work: this thread, with f's own arrays.
    if (sched.running())
        scalarRows(f, g, plan, sched, f.State);

    const bool complete = sched.finishUp();
    if (!touchUp)
        f.ResumeLine = complete ? 0 : sched.frontier();
    finish(f);
    return complete ? ComputeEnd::Completed : ComputeEnd::Stopped;
}

ComputeEnd ParallelEngine::computeCommand(TFractal& f, bool fromStart, ComputeObserver* obs) const
{
    if (fromStart || f.ResumeLine < 0 || f.ResumeLine >= f.Params.Height)
        f.ResumeLine = 0;
    f.CommitImageParams();
    f.Running = true;
    return compute(f, f.ResumeLine, f.Params.Height - 1, false, f.Params.Width - 1, 0, obs);
}

RetoucheResult ParallelEngine::retouche(TFractal& f, ComputeObserver* obs) const
{
    // The preparation of engine::Retouche, then the rectangle on this engine.
    return RetoucheWith(f, obs, [this](TFractal& g, int rowFirst, int rowLast, bool touchUp, int colLast, int colFirst,
                                       ComputeObserver* o) {
        return compute(g, rowFirst, rowLast, touchUp, colLast, colFirst, o);
    });
}

}  // namespace engine
