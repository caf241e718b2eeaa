#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "engine/ComputeObserver.h"
#include "document/Fractal.h"

namespace cli {

// Prints "label NN%" on standard error for jobs that take more than a moment. Thread-safe.
class ProgressLine : public engine::ComputeObserver {
public:
    ProgressLine(std::string label, bool quiet);
    ~ProgressLine() override;
    void progressChanged(double fraction) override;

private:
    std::string m_label;
    bool m_quiet;
    std::chrono::steady_clock::time_point m_start;
    std::atomic<int> m_shown{-1};
    std::atomic<bool> m_printed{false};
};

// While alive, Ctrl-C (SIGINT, SIGTERM) requests a stop of f's computation so that a computation stops cleanly.
class InterruptGuard {
public:
    explicit InterruptGuard(document::TFractal& f);
    ~InterruptGuard();
    static bool interrupted();
};

}  // namespace cli
