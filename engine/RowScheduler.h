#pragma once

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "engine/ComputeDriver.h"
#include "engine/LanePlan.h"

// The parallel engine's rows: which thread computes which row, and how rows computed out of order and
// from an assumed carry become final in serial order.
namespace engine {

struct Region {
    int rowFirst, rowLast, colFirst, colLast;
    double leftX, topY, step;
    double cr(int c) const { return double(c) * step + leftX; }
    double ci(int r) const { return topY - double(r) * step; }
};

// Hands out rows, takes them back in any order, and makes them final in row order: a row is final
// once every row before it is final and its start agrees with the state the previous row ended in.
// A row is handed to the hook (coloured) by the thread that computed it, as soon as it is complete; the
// thread that makes it final hands it again only when putting it right changed a value, and reports it,
// outside the lock.
class RowScheduler final {
public:
    RowScheduler(FractalCore& f, const Region& g, const Plan& plan, int threads, RowHook* hook, ComputeObserver* obs)
        : m_f(f), m_g(g), m_carry(plan.carry), m_hook(hook), m_obs(obs), m_threads(threads), m_next(g.rowFirst),
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
        if (m_hook)
            for (int r = first; r < first + count; ++r)
                m_hook->rowComputed(r);
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

    bool running() const { return m_f.Run.keepGoing(); }

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

    FractalCore& m_f;
    const Region m_g;
    const Carry m_carry;
    RowHook* const m_hook;
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
        if (m_hook)
            for (int r = first; r < last; ++r)
                if (!final || m_rows[size_t(r - m_g.rowFirst)].recolour)
                    m_hook->rowComputed(r);
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

// One computing thread: the lanes when a vectorised kernel applies, else the scalar kernel with saved-orbit
// arrays of the thread's own. A thread that cannot get its arrays leaves the rows to the others.
void computeThreadRows(FractalCore& f, const Region& g, const Plan& plan, simd::LaneRunner runner, RowScheduler& sched);

// Rows with the scalar kernel on the calling thread, in bands of consecutive rows: within a band the
// state runs on from one row to the next as in serial order, so only a band's first row starts from an
// assumption. `st` brings the thread's saved-orbit arrays.
void scalarRows(FractalCore& f, const Region& g, const Plan& plan, RowScheduler& sched, KernelState st);

}  // namespace engine
