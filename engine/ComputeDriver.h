#pragma once

#include <cstdint>
#include <string>

#include "engine/ComputeObserver.h"
#include "engine/ComputeState.h"

// The computation of a document's values, and the serial compute driver: the reference computation.
// Any faster engine must store the same value in every pixel of Data.
//
// A computation has one start and one end, shared by every engine, both run on the thread that starts
// it (in the window, the user-interface thread): BeginCompute prepares it, an engine computes the rows
// (on that thread or on workers), EndCompute records how it ended. Between the two, the engine writes
// Data, the kernel state and the saved orbits; nothing else of the parameters or the state. Another
// thread may request a stop at any time (f.Run.requestStop()); the rows read it before every row and
// every pixel, and a kernel call in progress always finishes.
namespace engine {

enum class ComputeKind : uint8_t {
    Full,     // the rows of a Compute command: ResumeLine follows the computation
    TouchUp,  // a rectangle with another iteration limit: ResumeLine stays as it is
};

enum class ComputeEnd {
    Completed,  // every requested row was computed
    Stopped,    // a stop was requested; for a touch-up the caller redraws its rectangle
    NoKernel,   // the parameters select no kernel (unknown type, formula or function): nothing computed
};

// Told about rows whose values changed, so that the caller can colour them: the serial driver calls it
// after each row (also the row a stop cut short), the parallel engine when a row is complete and again
// when putting it right changed a value. Called from the computing threads, for distinct rows at once.
class RowHook {
public:
    virtual ~RowHook() = default;
    virtual void rowComputed(int row) = 0;
};

// A computation prepared by BeginCompute: its kind and its pixels (rows and columns inclusive, clamped
// into Data; no row when rowFirst > rowLast, no column when colFirst > colLast).
struct ComputeJob {
    ComputeKind kind = ComputeKind::Full;
    int rowFirst = 0, rowLast = -1, colFirst = 0, colLast = -1;
    bool hasKernel = false;
};

// How the rows of a job ended: complete, or the first row that is not completely computed.
struct RowsOutcome {
    bool complete = true;
    int firstIncomplete = 0;
};

// Computes the rows of a prepared job into Data.
class RowEngine {
public:
    virtual ~RowEngine() = default;
    virtual RowsOutcome computeRows(FractalCore& f, const ComputeJob& job, RowHook* hook,
                                    ComputeObserver* obs) const = 0;
};

// The reference: every pixel in serial order on the calling thread, each row handed to the hook after it
// (even when cut short) and then reported to the observer (rowsReady(r, r), progressChanged over the rows).
class SerialEngine final : public RowEngine {
public:
    RowsOutcome computeRows(FractalCore& f, const ComputeJob& job, RowHook* hook,
                            ComputeObserver* obs) const override;
};

// The start of a computation of `rect` (corners in any order): Idle false; a full computation also sets
// UniformIter = true and RetoucheIter = BaseMaxIter = MaxIter; then SelectKernel. Does not touch the stop
// request: the command that starts a computation calls f.Run.start() first.
ComputeJob BeginCompute(FractalCore& f, ComputeKind kind, const PixelRect& rect);

// The end: a full computation keeps ResumeLine at the first row not completely computed (0 when it
// completed); a touch-up never changes ResumeLine; Idle true.
ComputeEnd EndCompute(FractalCore& f, const ComputeJob& job, const RowsOutcome& outcome);

// Begin, the rows on `engine`, end, all on the calling thread.
ComputeEnd Compute(FractalCore& f, ComputeKind kind, const PixelRect& rect, RowHook* hook, ComputeObserver* obs,
                   const RowEngine& engine);

// The rows of the Compute commands: every column of rows ResumeLine..Height-1 (ResumeLine = 0 when
// fromStart or when it is not a row of the image), after committing the edited parameters as the image's.
PixelRect ComputeCommandRect(FractalCore& f, bool fromStart);

struct RetoucheResult {
    bool ok = true;
    std::string message;  // "No Memory for Orbits" or "No Memory Color space" when refused
    ComputeEnd end = ComputeEnd::Completed;
};

// The engine's half of a touch-up's preparation, on the starting thread: grows the saved-orbit arrays to
// newMaxIter + 1 entries for the algorithms that use them when newMaxIter is above MaxIter. False, with
// the arrays as they were, when memory runs out ("No Memory for Orbits").
bool GrowOrbitsForTouchUp(FractalCore& f, uint16_t newMaxIter);
// Undoes a growth of the saved-orbit arrays back to MaxIter + 1 entries (when the colour tables could
// not follow).
void ShrinkOrbitsAfterRefusal(FractalCore& f);

}  // namespace engine
