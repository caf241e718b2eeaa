#pragma once

#include <optional>
#include <string>

#include "cli/Args.h"
#include "document/Fractal.h"
#include "storage/Workspace.h"

namespace cli {

// Options every computing command accepts.
struct CommonOptions {
    bool quiet = false;
    int threads = 0;  // computing threads; 0: one per core
};
// Consumes a common option; false when `opt` is not one.
bool parseCommonOption(const std::string& opt, Args& args, CommonOptions& out);

// Loads a document (with the buffers of `parts`); prints "Error reading file" or "Not enough memory to
// open file" and returns false on failure.
bool loadOrReport(document::TFractal& f, const std::string& path,
                  storage::ImageParts parts = storage::ImageParts::ValuesAndBitmap);

struct ComputeJob {
    bool fromStart = false;
    std::optional<engine::PixelRect> touchUp;  // touch up this rectangle instead of computing
    uint16_t touchUpIter = 0;
    bool saveWhenInterrupted = true;  // false: Ctrl-C writes nothing
    std::string label;                // the progress line's label; default "Computing" or "Touching up"
};

// Computes (or touches up) and saves to `output`. Ctrl-C stops the computation cleanly; the partial
// document, with the row to resume from, is then saved when job.saveWhenInterrupted. A computation stopped
// before its first row was finished is saved with ResumeLine = Height (not a row of the image: the next
// run starts from row 0), so that a saved ResumeLine of 0 always means that every row was computed.
int computeAndSave(document::TFractal& f, const ComputeJob& job, const std::string& output, const CommonOptions& common);

}  // namespace cli
