#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/ComputeDriver.h"

class QThread;

namespace document {
class TFractal;
}

namespace ui {

// Runs computations of the fractal on worker threads so that the window stays responsive.
//
// Threading: every public function is called from the GUI thread. A computation starts and ends on the
// GUI thread (the document's parameters, MaxIter, ResumeLine and the idle state are written only there);
// while busy() the workers own Data, the display bitmap rows and the kernel state, the GUI thread may read
// the parameters and request a stop at any time (also right after the start: the stop is never lost), and
// reads bitmap rows only after rowsReady reported them. Row reports are coalesced: at most one update is
// pending in the GUI thread's queue at any time.
class ComputeRunner : public QObject {
    Q_OBJECT
public:
    explicit ComputeRunner(document::TFractal& f, QObject* parent = nullptr);
    ~ComputeRunner() override;

    bool busy() const { return m_thread != nullptr; }

    // The Compute commands: fromStart restarts at row 0, otherwise at f.ResumeLine. Commits the
    // edited parameters as the image's and starts the rows on the workers. False when busy.
    bool startCompute(bool fromStart);
    // The touch-up of f.ZoomRect with f.RetoucheIter iterations: prepared here (the arrays and tables grown,
    // MaxIter set), then the rectangle on the workers. A refusal for lack of memory is returned with its
    // message and nothing starts; `ok` is false too when busy.
    engine::RetoucheResult startRetouche();

    // Asks the computation to stop; it sees the request before its next pixel.
    void requestStop();
    // Waits at most `milliseconds` for the workers to end; when they have, the end is reported at once.
    bool waitUntilIdle(int milliseconds);

    // Nice value the worker threads run at (-20..19).
    void setNiceValue(int nice) { m_nice = nice; }

signals:
    // A job of `rows` rows has started (a computation or a touch-up).
    void started(int rows);
    // Rows first..last are final and coloured in the fractal's bitmap.
    void rowsReady(int first, int last);
    // The job ended; the fractal is idle again.
    void finished(engine::ComputeEnd end);

private:
    class Observer;
    bool startJob(const engine::ComputeJob& job);
    void deliverRows();
    void finishJob(int job);

    document::TFractal& m_fractal;
    std::unique_ptr<Observer> m_observer;
    QThread* m_thread = nullptr;
    int m_job = 0;
    engine::ComputeJob m_computeJob;  // the job running; read by the worker, written before it starts
    engine::RowsOutcome m_outcome;    // written by the worker before it ends
    int m_nice = 0;

    std::mutex m_mutex;                        // guards m_pending
    std::vector<std::pair<int, int>> m_pending;  // row ranges reported and not yet delivered
    bool m_posted = false;                     // an update is queued; guarded by m_mutex
};

}  // namespace ui
