// The helper threads of the parallel engine: the process-wide pool, the nice value its threads compute
// at, and computations that run at the same time from different threads.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "document/Computation.h"
#include "EngineTestUtil.h"
#include "engine/ParallelEngine.h"
#include "engine/WorkerPool.h"

using namespace engine;
using document::TFractal;
using namespace std::chrono_literals;

namespace {

int threadNice()
{
    return getpriority(PRIO_PROCESS, 0);  // on Linux, the calling thread's
}

// Work items taken from a shared counter, as the engine takes rows.
struct Queue {
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    int count = 0;
    void operator()()
    {
        while (next.fetch_add(1) < count) {
            std::this_thread::sleep_for(50us);
            done.fetch_add(1);
        }
    }
};

// Records the thread and its nice value at every report.
struct NiceRecorder : ComputeObserver {
    std::mutex m;
    std::set<std::thread::id> threads;
    std::set<int> nices;
    void rowsReady(int, int) override
    {
        std::lock_guard lock(m);
        threads.insert(std::this_thread::get_id());
        nices.insert(threadNice());
    }
};

enginetest::Scene tallScene()
{
    enginetest::Scene s;
    s.type = 0;
    s.width = 64;  // bands of 64 rows at most: a few bands per thread
    s.height = 2000;  // enough rows for both threads to take some and to make some final
    s.maxIter = 200;
    s.periodicity = true;
    return s;
}

struct Report {
    size_t threads = 0;
    std::set<int> nices;
};

// Computes the tall scene with two threads on the calling thread until two threads have reported rows
// (the scheduler decides which thread reports, and each run takes one of the pool's helpers; a few runs
// at most in practice).
Report computeAndRecord(Isa isa)
{
    NiceRecorder rec;
    for (int run = 0; run < 100 && rec.threads.size() < 2; ++run) {
        TFractal f;
        enginetest::configure(f, tallScene());
        const ParallelEngine engine(2, isa);
        EXPECT_EQ(document::ComputeCommand(f, true, &rec, engine), ComputeEnd::Completed);
    }
    return {rec.threads.size(), rec.nices};
}

std::vector<uint16_t> serialValues(const enginetest::Scene& s)
{
    TFractal ref;
    enginetest::configure(ref, s);
    enginetest::computeAll(ref);
    return enginetest::values(ref);
}

}  // namespace

TEST(WorkerPool, EveryCallEndsBeforeRunReturns)
{
    WorkerPool& pool = WorkerPool::instance();
    for (int helpers : {0, 1, 3, 2}) {
        SCOPED_TRACE("helpers " + std::to_string(helpers));
        Queue q;
        q.count = 200;
        std::set<std::thread::id> seen;
        std::mutex m;
        auto task = [&] {
            {
                std::lock_guard lock(m);
                seen.insert(std::this_thread::get_id());
            }
            q();
        };
        ASSERT_TRUE(pool.run(helpers, task));
        EXPECT_EQ(q.done.load(), q.count);
        EXPECT_LE(seen.size(), size_t(helpers) + 1);
        EXPECT_GE(pool.size(), helpers);
    }
}

TEST(WorkerPool, ASecondCallerIsTurnedAwayWhileTheFirstRuns)
{
    WorkerPool& pool = WorkerPool::instance();
    bool nestedRan = false, nestedAccepted = true;
    std::atomic<bool> once{false};
    auto outer = [&] {
        if (once.exchange(true))
            return;  // only the first call of the task tries
        std::thread other([&] {
            auto inner = [&] { nestedRan = true; };
            nestedAccepted = pool.run(1, inner);
        });
        other.join();
    };
    ASSERT_TRUE(pool.run(1, outer));
    EXPECT_FALSE(nestedAccepted);
    EXPECT_FALSE(nestedRan);
    // Free again afterwards.
    std::atomic<bool> ran{false};  // the caller and a helper may both run it
    auto again = [&] { ran = true; };
    EXPECT_TRUE(pool.run(1, again));
    EXPECT_TRUE(ran);
}

TEST(ParallelEngine, HelpersComputeAtTheCallersNiceValue)
{
    const int base = threadNice();
    if (base > 16)
        GTEST_SKIP() << "already at nice " << base;
    for (Isa isa : {Isa::Scalar, bestIsa()}) {
        SCOPED_TRACE(std::string(isaName(isa)));
        // The pool's threads are created at the test's nice value...
        Report first = computeAndRecord(isa);
        EXPECT_GE(first.threads, 2u);  // the pool may have more helpers than a run takes
        EXPECT_EQ(first.nices, std::set<int>{base});
        // ...a caller that has lowered its priority gets helpers at its value...
        Report lowered;
        std::thread caller([&] {
            ASSERT_EQ(setpriority(PRIO_PROCESS, 0, base + 3), 0);
            lowered = computeAndRecord(isa);
        });
        caller.join();
        EXPECT_GE(lowered.threads, 2u);  // the pool may have more helpers than a run takes
        EXPECT_EQ(lowered.nices, std::set<int>{base + 3});
        // ...and the first caller gets its own value back.
        Report again = computeAndRecord(isa);
        EXPECT_GE(again.threads, 2u);  // the pool may have more helpers than a run takes
        EXPECT_EQ(again.nices, std::set<int>{base});
    }
}

TEST(ParallelEngine, ConcurrentComputationsGiveTheSerialValues)
{
    struct Job {
        enginetest::Scene scene;
        int threads;
        Isa isa;
    };
    std::vector<Job> jobs;
    {
        enginetest::Scene periodic = tallScene();
        periodic.height = 120;
        enginetest::Scene julia = periodic;
        julia.type = 1;
        enginetest::Scene distance = periodic;
        distance.algorithm = AlgDistance;
        enginetest::Scene other = periodic;
        other.type = 4;
        jobs = {{periodic, 2, bestIsa()}, {julia, 3, Isa::Scalar}, {distance, 2, Isa::Scalar}, {other, 3, bestIsa()}};
    }
    std::vector<std::vector<uint16_t>> expected;
    for (const Job& j : jobs)
        expected.push_back(serialValues(j.scene));

    // Deterministic overlap: the first computation holds the pool until the second has ended.
    {
        std::atomic<bool> secondDone{false};
        struct Holder : ComputeObserver {
            std::atomic<bool>* release = nullptr;
            void rowsReady(int, int) override
            {
                for (int i = 0; i < 5000 && !release->load(); ++i)
                    std::this_thread::sleep_for(1ms);
            }
        } holder;
        holder.release = &secondDone;
        TFractal a, b;
        enginetest::configure(a, jobs[0].scene);
        enginetest::configure(b, jobs[1].scene);
        std::thread first([&] { document::ComputeCommand(a, true, &holder, ParallelEngine(jobs[0].threads, jobs[0].isa)); });
        std::this_thread::sleep_for(20ms);
        document::ComputeCommand(b, true, nullptr, ParallelEngine(jobs[1].threads, jobs[1].isa));
        secondDone = true;
        first.join();
        EXPECT_EQ(enginetest::values(a), expected[0]);
        EXPECT_EQ(enginetest::values(b), expected[1]);
    }

    // Free running: every job on its own thread, many times.
    std::vector<std::thread> callers;
    std::vector<int> wrong(jobs.size(), 0);
    for (size_t j = 0; j < jobs.size(); ++j) {
        callers.emplace_back([&, j] {
            const ParallelEngine engine(jobs[j].threads, jobs[j].isa);
            for (int run = 0; run < 15; ++run) {
                TFractal f;
                enginetest::configure(f, jobs[j].scene);
                document::ComputeCommand(f, true, nullptr, engine);
                wrong[j] += enginetest::values(f) != expected[j];
            }
        });
    }
    for (std::thread& t : callers)
        t.join();
    for (size_t j = 0; j < jobs.size(); ++j)
        EXPECT_EQ(wrong[j], 0) << "job " << j;
}
