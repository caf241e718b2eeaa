#include "engine/ParallelEngine.h"

#include <algorithm>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/LanePlan.h"
#include "engine/RowScheduler.h"
#include "engine/WorkerPool.h"

namespace engine {

namespace {

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

}  // namespace

ParallelEngine::ParallelEngine(int threads, Isa isa)
    : m_threads(threads < 1 ? defaultThreadCount() : threads), m_isa(isa)
{
    while (!isaAvailable(m_isa))
        m_isa = Isa(uint8_t(m_isa) - 1);
}

RowsOutcome ParallelEngine::computeRows(FractalCore& f, const ComputeJob& job, RowHook* hook,
                                        ComputeObserver* obs) const
{
    if (f.State.Orbit)
        return SerialEngine().computeRows(f, job, hook, obs);

    Region g;
    g.rowFirst = job.rowFirst;
    g.rowLast = job.rowLast;
    g.colFirst = job.colFirst;
    g.colLast = job.colLast;
    g.leftX = f.LeftX;
    g.topY = f.TopY;
    g.step = f.Params.Step;
    if (g.rowFirst > g.rowLast)
        return {};
    if (g.colFirst > g.colLast) {
        // No pixel to compute: every row is handed on and reported as the serial driver does.
        for (int r = g.rowFirst; r <= g.rowLast && f.Run.keepGoing(); ++r) {
            if (hook)
                hook->rowComputed(r);
            if (obs) {
                obs->rowsReady(r, r);
                obs->progressChanged(double(r - g.rowFirst + 1) / double(g.rowLast - g.rowFirst + 1));
            }
        }
        if (!f.Run.keepGoing())
            return {false, g.rowFirst};
        return {};
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
        scheduler.emplace(f, g, plan, std::min(m_threads, g.rowLast - g.rowFirst + 1), hook, obs);
    } catch (const std::bad_alloc&) {
        return SerialEngine().computeRows(f, job, hook, obs);  // no room for the row records
    }
    RowScheduler& sched = *scheduler;
    const int rowCount = g.rowLast - g.rowFirst + 1;
    const int helpers = std::min(m_threads, rowCount) - 1;
    auto work = [&] { computeThreadRows(f, g, plan, runner, sched); };
    if (helpers <= 0)
        work();
    else if (!WorkerPool::instance().run(helpers, work))
        withOwnThreads(helpers, work);  // another computation holds the pool
    // Rows left by threads that could not start their work: this thread, with f's own arrays.
    if (sched.running())
        scalarRows(f, g, plan, sched, f.State);

    const bool complete = sched.finishUp();
    return {complete, complete ? 0 : sched.frontier()};
}

}  // namespace engine
