#pragma once

namespace engine {

// Progress of a computation. Called from the computing thread(s): implementations must be thread-safe.
class ComputeObserver {
public:
    virtual ~ComputeObserver() = default;
    // Rows firstRow..lastRow (inclusive) are final and coloured.
    virtual void rowsReady(int /*firstRow*/, int /*lastRow*/) {}
    // 0..1 over the whole job.
    virtual void progressChanged(double /*fraction*/) {}
};

}  // namespace engine
