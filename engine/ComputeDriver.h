#pragma once

#include <functional>
#include <string>

#include "engine/ComputeObserver.h"
#include "engine/Fractal.h"

// The serial compute driver: the reference computation. Any faster engine must store the same value
// in every pixel of Data. Runs on the calling thread; another thread may request a stop at any time by
// clearing f.Running, which the driver reads before every row and every pixel (a kernel call in
// progress always finishes).
namespace engine {

enum class ComputeEnd {
    Completed,  // every requested row was computed
    Stopped,    // f.Running was cleared; for a touch-up the caller redraws its rectangle
    NoKernel,   // the parameters select no kernel (unknown type, formula or function): nothing computed
};

// Computes rows rowFirst..rowLast and columns colFirst..colLast (inclusive, clamped into Data) into Data,
// colouring each row with f.ColorLine (when set) after it, even when it was cut short, and then telling
// the observer (may be null) rowsReady(r, r) and progressChanged over the requested rows.
//
// Before the rows: Idle = false, Modified = true; a full computation (touchUp false) also sets
// UniformIter = true and RetoucheIter = BaseMaxIter = MaxIter; then SelectKernel and SelectColorLine.
// A full computation keeps ResumeLine at the first row not completely computed: 0 when it completes,
// otherwise the row that was cut short or whose start saw the stop. A touch-up never changes ResumeLine.
// At the end Running = false, then Idle = true.
ComputeEnd Compute(TFractal& f, int rowFirst, int rowLast, bool touchUp, int colLast, int colFirst,
                   ComputeObserver* obs);

// The Compute commands: fromStart sets ResumeLine = 0 ("Compute from start"); otherwise the rows start at
// ResumeLine (taken as 0 when it is not a row of the image). Commits the edited parameters as the
// image's, sets Running = true and computes every column of rows ResumeLine..Height-1.
ComputeEnd ComputeCommand(TFractal& f, bool fromStart, ComputeObserver* obs);

struct RetoucheResult {
    bool ok = true;
    std::string message;  // "No Memory for Orbits" or "No Memory Color space" when refused
    ComputeEnd end = ComputeEnd::Completed;
};

// Touch-up of f.ZoomRect (corners in either order, clamped into the image) with f.RetoucheIter
// iterations. A limit above MaxIter first grows the saved-orbit arrays (algorithms 1, 2, 4) and, for a
// 24-bit image, the colour tables; when memory runs out nothing is computed, MaxIter, the orbit arrays
// and the colour tables stay as they were, and the result carries the message to show. Then MaxIter (edited and image copy) = RetoucheIter, Running = Retouching = true,
// the rectangle is computed, and Retouching = false, UniformIter = false.
RetoucheResult Retouche(TFractal& f, ComputeObserver* obs);

// The same touch-up with the rectangle computed by another engine; `computeRows` has Compute's contract.
using ComputeRowsFn = std::function<ComputeEnd(TFractal&, int rowFirst, int rowLast, bool touchUp, int colLast,
                                               int colFirst, ComputeObserver*)>;
RetoucheResult RetoucheWith(TFractal& f, ComputeObserver* obs, const ComputeRowsFn& computeRows);

}  // namespace engine
