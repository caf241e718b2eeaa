#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "engine/Kernel.h"
#include "engine/Parameters.h"
#include "engine/Values.h"

namespace engine {

// Start, stop and idleness of a document's computations.
//
// Threading: start() is called on the thread that starts a computation, before any worker runs, and is the
// only thing that clears a stop request; requestStop() may be called from any thread (and from a signal
// handler) at any time, also right after start(): the computation then sees it before its first pixel.
// The idle flag is set and cleared by the starting thread (setIdle), around the work.
class RunControl {
public:
    RunControl() = default;
    RunControl(const RunControl& o) : m_stop(o.m_stop.load()), m_idle(o.m_idle.load()) {}
    RunControl& operator=(const RunControl& o)
    {
        m_stop = o.m_stop.load();
        m_idle = o.m_idle.load();
        return *this;
    }

    // A new computation: clears any stop request and marks the document busy.
    void start()
    {
        m_stop.store(false);
        m_idle.store(false);
    }
    void requestStop() { m_stop.store(true); }
    bool stopRequested() const { return m_stop.load(std::memory_order_relaxed); }
    // Read by the computing threads before every row and pixel.
    bool keepGoing() const { return !m_stop.load(std::memory_order_relaxed); }

    bool idle() const { return m_idle.load(); }
    void setIdle(bool idle) { m_idle.store(idle); }
    // A computation runs and no stop was asked for.
    bool running() const { return !idle() && !stopRequested(); }

    // The stop flag itself, for a signal handler (lock-free).
    std::atomic<bool>& stopFlag() { return m_stop; }

    friend bool operator==(const RunControl& a, const RunControl& b)
    {
        return a.stopRequested() == b.stopRequested() && a.idle() == b.idle();
    }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_idle{true};
};

// The computation state of a document: the kernel chosen for it, its inputs, the run control and where
// the next computation starts.
struct ComputeState {
    KernelFn Kernel = nullptr;
    KernelInputs Inputs;
    KernelState State;
    RunControl Run;
    bool Retouching = false;
    int32_t ResumeLine = 0;
    uint16_t RetoucheIter = 250;
    uint16_t BaseMaxIter = 250;  // MaxIter of the last full computation
    bool UniformIter = true;     // false after a touch-up
    PixelRect ZoomRect;          // the touch-up rectangle, shared with the zoom box
};

// The value field and the distance kernels' saved orbits (MaxIter + 1 each for Distance,
// Level+Distance and Color Distance, empty otherwise).
struct ValueBuffers {
    TVxWork Data;
    std::vector<double> XOrbit, YOrbit;
};

// What the computation reads and writes: the parameters, the computation state and the values.
// A document is made of these and of its colour state; the engine sees only this.
struct FractalCore : ParameterSet, ComputeState, ValueBuffers {
    // Zooms to ZoomRect (ZoomToRectangle) and refreshes the kernel inputs Step and DistThreshold.
    bool ZoomToRect();
    // Plain store used by the variables dialog when it closes with OK; also refreshes the kernel inputs
    // MaxIter, L and Periodicity.
    void SetFractalParams(TypeId type, uint8_t algorithm, bool periodicity, uint8_t bailout, uint16_t levelSq,
                          uint16_t maxIter, uint8_t function, uint8_t formula);
};

}  // namespace engine
