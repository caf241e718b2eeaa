#pragma once

#include "engine/ComputeDriver.h"
#include "engine/ComputeObserver.h"
#include "engine/Isa.h"

// The compute engine of the program: rows on a pool of threads, vectorised kernels where they exist.
// It stores in Data exactly the values of the serial driver (engine/ComputeDriver.h), including with
// periodicity checking, whose PrevInside chain runs through the pixels in serial order: each row is
// computed from an assumed PrevInside at its start and put right, from its start until its values agree
// again, once the row before it is final.
namespace engine {

class ParallelEngine final : public RowEngine {
public:
    // threads < 1: one per core. An instruction set the CPU lacks is replaced by the best one it has.
    explicit ParallelEngine(int threads = 0, Isa isa = bestIsa());

    int threads() const { return m_threads; }
    Isa isa() const { return m_isa; }

    // The rows of a job, with the serial driver's values and outcome. Rows go to the hook and are reported
    // to the observer, from the computing threads, once they are final; they may finish out of order, and a
    // row is handed to the hook again when putting it right changed a value. After a stop, the first
    // incomplete row is the first that is not final; rows after it may be complete and are computed again
    // on resume. The calling thread works too and returns when every thread has ended. The other threads
    // come from the process-wide WorkerPool and run at the calling thread's nice value; while another
    // computation holds the pool, threads are started for this one. Computations from several threads at
    // once are safe, each on a document of its own. With an orbit observer (f.State.Orbit) the serial
    // driver runs, so that orbits are plotted pixel by pixel in order.
    //
    // f.State after a computation: PrevInside and LastPotential as the serial driver leaves them after
    // the last final row (after a stop, the serial driver's state at the end of the row before the first
    // incomplete one). Level+Distance without periodicity checking, where no value depends on PrevInside,
    // does not carry it across rows. Memory: a record per row, and per thread a few kilobytes of lanes or,
    // for the scalar distance kernels, saved-orbit arrays of MaxIter + 1 entries; nothing per pixel.
    RowsOutcome computeRows(FractalCore& f, const ComputeJob& job, RowHook* hook,
                            ComputeObserver* obs) const override;

private:
    int m_threads;
    Isa m_isa;
};

}  // namespace engine
