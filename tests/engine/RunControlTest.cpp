// Starting and stopping computations from two threads: the thread that starts a computation (the user
// interface) and the one that computes it. Meant to be run under ThreadSanitizer too (scripts/tsan.sh).
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "EngineTestUtil.h"
#include "document/Computation.h"
#include "engine/ParallelEngine.h"

namespace {

// An image that takes far longer than starting a thread, even on a loaded machine (about a second on two
// AVX-512 cores, far more on others): inside pixels at the highest limit, periodicity checking off, and
// orbits started from 1e-300 (its square vanishes: the orbits of 0), which the engine must iterate to the end.
void makeSlow(document::TFractal& f)
{
    enginetest::Scene s;
    s.width = 320;
    s.height = 240;
    s.maxIter = 65000;
    enginetest::configure(f, s);
    f.Params.CentreX = -0.2;
    f.Params.Step = 0.6 / s.height;
    f.Params.PertZr = 1e-300;
    f.UpdateCorners();
}

// The computing thread of a started computation, as the window runs it. `meanwhile` runs on this thread
// before the computing thread is created (beforeWorker) or while it starts.
engine::RowsOutcome computeOnAnotherThread(document::TFractal& f, const engine::ComputeJob& job,
                                           const engine::RowEngine& engine, const std::function<void()>& meanwhile,
                                           bool beforeWorker = false)
{
    engine::RowsOutcome outcome;
    if (beforeWorker)
        meanwhile();
    std::thread worker([&] { outcome = document::ComputeRows(f, job, nullptr, engine); });
    if (!beforeWorker)
        meanwhile();
    worker.join();
    return outcome;
}

TEST(RunControl, AStopRequestedRightAfterTheStartIsNeverLost)
{
    document::TFractal f;
    makeSlow(f);
    const engine::ParallelEngine parallel(2);
    const engine::RowEngine* engines[] = {&document::serialEngine(), &parallel};
    for (const engine::RowEngine* engine : engines) {
        for (int i = 0; i < 1000; ++i) {
            SCOPED_TRACE(i);
            const engine::PixelRect rect = document::BeginComputeCommand(f, true);
            const engine::ComputeJob job = document::BeginComputation(f, engine::ComputeKind::Full, rect);
            const engine::RowsOutcome outcome =
                computeOnAnotherThread(f, job, *engine, [&f] { f.Run.requestStop(); }, i % 2 == 0);
            ASSERT_EQ(document::EndComputation(f, job, outcome), engine::ComputeEnd::Stopped);
            ASSERT_TRUE(f.Run.idle());
            ASSERT_FALSE(f.Run.running());
            ASSERT_GE(f.ResumeLine, 0);
            ASSERT_LT(f.ResumeLine, f.Params.Height);
        }
    }
}

TEST(RunControl, AStopRequestedRightAfterATouchUpStartsIsNeverLost)
{
    document::TFractal f;
    makeSlow(f);
    f.ResumeLine = 7;
    f.ZoomRect = {319, 239, 0, 0};
    const engine::ParallelEngine parallel(2);
    for (int i = 0; i < 1000; ++i) {
        SCOPED_TRACE(i);
        f.RetoucheIter = uint16_t(64999 + i % 2);  // below and at the limit in turn
        const engine::RetoucheResult prepared = document::PrepareRetouche(f);
        ASSERT_TRUE(prepared.ok);
        const engine::ComputeJob job = document::BeginComputation(f, engine::ComputeKind::TouchUp, f.ZoomRect);
        const engine::RowsOutcome outcome =
            computeOnAnotherThread(f, job, parallel, [&f] { f.Run.requestStop(); }, i % 2 == 0);
        ASSERT_EQ(document::EndComputation(f, job, outcome), engine::ComputeEnd::Stopped);
        ASSERT_EQ(f.ResumeLine, 7);  // a touch-up never moves it
        ASSERT_FALSE(f.Retouching);
    }
}

// While a touch-up computes, the user interface reads what its menus and status line show: the
// parameters (edited and image copies), the limit, the touch-up state and where Compute would start. The
// touch-up's new limit is set before the computing thread starts, and the computing thread writes none of
// these (ThreadSanitizer reports any such write).
TEST(RunControl, MenusReadTheDocumentWhileATouchUpComputes)
{
    document::TFractal f;
    makeSlow(f);
    f.ZoomRect = {0, 0, 319, 239};
    f.RetoucheIter = 65000;
    const engine::RetoucheResult prepared = document::PrepareRetouche(f);
    ASSERT_TRUE(prepared.ok);
    EXPECT_EQ(f.Params.MaxIter, 65000);
    EXPECT_EQ(f.ImageParams.MaxIter, 65000);
    const engine::ComputeJob job = document::BeginComputation(f, engine::ComputeKind::TouchUp, f.ZoomRect);
    const engine::FractalParams edited = f.Params, image = f.ImageParams;
    const bool changed = f.ImageParamsChanged();
    std::atomic<bool> done{false};
    int reads = 0;
    engine::RowsOutcome outcome;
    std::thread worker([&] {
        outcome = document::ComputeRows(f, job, nullptr, engine::ParallelEngine(2));
        done = true;
    });
    while (!done) {
        // What refreshing the menus reads.
        EXPECT_TRUE(f.Params == edited);
        EXPECT_TRUE(f.ImageParams == image);
        EXPECT_EQ(f.ImageParamsChanged(), changed);
        EXPECT_TRUE(f.Retouching);
        EXPECT_FALSE(f.Run.idle());
        EXPECT_EQ(f.RetoucheIter, 65000);
        EXPECT_EQ(f.ResumeLine, 0);
        if (++reads == 200)
            f.Run.requestStop();
        std::this_thread::yield();
    }
    worker.join();
    document::EndComputation(f, job, outcome);
    EXPECT_GT(reads, 0);
    EXPECT_TRUE(f.Run.idle());
    EXPECT_FALSE(f.UniformIter);
}

}  // namespace
