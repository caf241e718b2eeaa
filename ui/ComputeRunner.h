#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/ComputeDriver.h"

class QThread;

namespace engine {
class TFractal;
}

namespace ui {

// Runs computations of the fractal on a worker thread so that the window stays responsive.
//
// Threading: every public function is called from the GUI thread. While busy() the worker owns
// Data, the display bitmap and the computation state of the fractal (Kernel, Inputs, State,
// ColorLine, ResumeLine, Modified, BaseMaxIter, RetoucheIter, UniformIter); the GUI thread may
// read the parameters and request a stop by clearing f.Running, and reads bitmap rows only after
// rowsReady reported them. Row reports are coalesced: at most one update is pending in the GUI
// thread's queue at any time.
class ComputeRunner : public QObject {
    Q_OBJECT
public:
    // The work of one job, run on the worker thread with the observer to report rows to.
    using Work = std::function<engine::ComputeEnd(engine::ComputeObserver*)>;

    explicit ComputeRunner(engine::TFractal& f, QObject* parent = nullptr);
    ~ComputeRunner() override;

    bool busy() const { return m_thread != nullptr; }

    // The Compute commands: fromStart restarts at row 0, otherwise at f.ResumeLine. Commits the
    // edited parameters as the image's and starts the rows on the worker. False when busy.
    bool startCompute(bool fromStart);
    // Runs `work` on the worker; the caller has prepared the fractal (Running set) on this thread.
    bool start(Work work);

    // Asks the computation to stop; it sees the request before its next pixel.
    void requestStop();
    // Waits at most `milliseconds` for the worker to end; when it has, the end is reported at once.
    bool waitUntilIdle(int milliseconds);

    // Nice value the worker threads run at (-20..19).
    void setNiceValue(int nice) { m_nice = nice; }

signals:
    // Rows first..last are final and coloured in the fractal's bitmap.
    void rowsReady(int first, int last);
    // The job ended; the fractal is idle again.
    void finished(engine::ComputeEnd end);

private:
    class Observer;
    void deliverRows();
    void finishJob(int job);

    engine::TFractal& m_fractal;
    std::unique_ptr<Observer> m_observer;
    QThread* m_thread = nullptr;
    int m_job = 0;
    engine::ComputeEnd m_end = engine::ComputeEnd::Completed;  // written by the worker before it ends
    int m_nice = 0;

    std::mutex m_mutex;                        // guards m_pending
    std::vector<std::pair<int, int>> m_pending;  // row ranges reported and not yet delivered
    bool m_posted = false;                     // an update is queued; guarded by m_mutex
};

}  // namespace ui
