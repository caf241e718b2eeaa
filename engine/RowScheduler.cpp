#include "engine/RowScheduler.h"

#include <cmath>
#include <limits>
#include <new>

namespace engine {

namespace {

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

}  // namespace

void scalarRows(FractalCore& f, const Region& g, const Plan& plan, RowScheduler& sched, KernelState st)
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

void computeThreadRows(FractalCore& f, const Region& g, const Plan& plan, simd::LaneRunner runner, RowScheduler& sched)
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

}  // namespace engine
