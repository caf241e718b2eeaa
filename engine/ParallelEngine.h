#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/ComputeDriver.h"
#include "engine/ComputeObserver.h"
#include "engine/Fractal.h"

// The compute engine of the program: rows on a pool of threads, vectorised kernels where they exist.
// It stores in Data exactly the values of the serial driver (engine/ComputeDriver.h), including with
// periodicity checking, whose PrevInside chain runs through the pixels in serial order: each row is
// computed from an assumed PrevInside at its start and put right, from its start until its values agree
// again, once the row before it is final.
namespace engine {

// Instruction sets of the vectorised kernels. Scalar uses the scalar kernels on every thread.
enum class Isa : uint8_t { Scalar = 0, Sse2 = 1, Avx2 = 2, Avx512 = 3 };

bool isaAvailable(Isa isa);        // the CPU (and OS) runs it
Isa bestIsa();                     // the widest available
std::string_view isaName(Isa isa); // "scalar", "sse2", "avx2", "avx512"
std::optional<Isa> parseIsa(std::string_view name);
int defaultThreadCount();          // one per core, at least 1

class ParallelEngine {
public:
    // threads < 1: one per core. An instruction set the CPU lacks is replaced by the best one it has.
    explicit ParallelEngine(int threads = 0, Isa isa = bestIsa());

    int threads() const { return m_threads; }
    Isa isa() const { return m_isa; }

    // Same contracts as engine::Compute, ComputeCommand and Retouche: same values in Data and the same
    // end state (Idle, Running, ResumeLine, UniformIter, RetoucheIter, BaseMaxIter, Modified, MaxIter).
    // Rows are coloured (f.ColorLine) and reported to the observer, from the computing threads, once they
    // are final; they may finish out of order. After a stop, ResumeLine is the first row that is not
    // final; rows after it may be complete and are computed again on resume. The calling thread works
    // too and returns when every thread has ended. The other threads come from the process-wide
    // WorkerPool and run at the calling thread's nice value; while another computation holds the pool,
    // threads are started for this one. Computations from several threads at once are safe, each on a
    // TFractal of its own. With an orbit observer (f.State.Orbit) the serial driver runs, so that orbits
    // are plotted pixel by pixel in order.
    //
    // f.State after a computation: PrevInside and LastPotential as the serial driver leaves them after
    // the last final row (after a stop, the serial driver's state at the end of row ResumeLine - 1).
    // Level+Distance without periodicity checking, where no value depends on PrevInside, does not carry
    // it across rows. Memory: a record per row, and per thread a few kilobytes of lanes or, for the
    // scalar distance kernels, saved-orbit arrays of MaxIter + 1 entries; nothing per pixel or per row.
    ComputeEnd compute(TFractal& f, int rowFirst, int rowLast, bool touchUp, int colLast, int colFirst,
                       ComputeObserver* obs) const;
    ComputeEnd computeCommand(TFractal& f, bool fromStart, ComputeObserver* obs) const;
    RetoucheResult retouche(TFractal& f, ComputeObserver* obs) const;

private:
    int m_threads;
    Isa m_isa;
};

}  // namespace engine
