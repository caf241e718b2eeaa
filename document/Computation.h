#pragma once

#include "document/Fractal.h"
#include "engine/ComputeDriver.h"

// Computations of a document: the engine's start and end with what the document adds around them (the
// document is modified, its row procedure is chosen, and each row the engine reports is coloured into
// its bitmap).
//
// Threading: the Begin, Prepare and End functions run on the thread that owns the document (in the window,
// the user-interface thread); ComputeRows runs on any thread, and while it runs it owns Data, the bitmap
// rows and the kernel state, while the starting thread may read the parameters and request a stop.
namespace document {

// The reference engine: every pixel in serial order on the calling thread.
const engine::RowEngine& serialEngine();

// Colours each row the engine reports into the document's bitmap.
class ColourRowsHook final : public engine::RowHook {
public:
    explicit ColourRowsHook(TFractal& f) : m_f(f) {}
    void rowComputed(int row) override { m_f.ColorLine(row); }

private:
    TFractal& m_f;
};

// The start: Modified = true, the row procedure chosen, then engine::BeginCompute.
engine::ComputeJob BeginComputation(TFractal& f, engine::ComputeKind kind, const engine::PixelRect& rect);
// The rows of a begun computation on `engine`, each coloured as the engine reports it.
engine::RowsOutcome ComputeRows(TFractal& f, const engine::ComputeJob& job, engine::ComputeObserver* obs,
                                const engine::RowEngine& engine);
// The end: engine::EndCompute, and after a touch-up Retouching = false and UniformIter = false.
engine::ComputeEnd EndComputation(TFractal& f, const engine::ComputeJob& job, const engine::RowsOutcome& outcome);

// Begin, rows and end on the calling thread. The stop request is left as it is.
engine::ComputeEnd Compute(TFractal& f, engine::ComputeKind kind, const engine::PixelRect& rect,
                           engine::ComputeObserver* obs, const engine::RowEngine& engine = serialEngine());

// The Compute commands: fromStart restarts at row 0 ("Compute from start"), otherwise at ResumeLine. The
// edited parameters become the image's, a new run starts (f.Run.start()), and every column of the rows
// from there to the bottom is computed.
engine::PixelRect BeginComputeCommand(TFractal& f, bool fromStart);
engine::ComputeEnd ComputeCommand(TFractal& f, bool fromStart, engine::ComputeObserver* obs,
                                  const engine::RowEngine& engine = serialEngine());

// The preparation of a touch-up of ZoomRect with RetoucheIter iterations, on the starting thread. A limit
// above MaxIter first grows the saved-orbit arrays (algorithms 1, 2, 4) and, for a 24-bit image, the colour
// tables; when memory runs out the result is refused with its message and MaxIter, the orbit arrays and the
// tables stay as they were. Otherwise MaxIter (edited and image copy) = RetoucheIter, a new run starts and
// Retouching = true.
engine::RetoucheResult PrepareRetouche(TFractal& f);
// Prepare, compute the rectangle (kind TouchUp) and end, on the calling thread.
engine::RetoucheResult Retouche(TFractal& f, engine::ComputeObserver* obs,
                                const engine::RowEngine& engine = serialEngine());

}  // namespace document
