#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace document {
class TFractal;
}

namespace ui {

// Recolours the picture off the user-interface thread while an editor is open, so that the editor keeps
// answering however large the picture is. Each request takes a copy of the colour state as it is at that
// moment; a worker thread colours the stored values band by band into buffers of its own, and the bands
// reach the document's bitmap on the user-interface thread (which stays the only writer of the bitmap).
// The newest request wins: a newer one makes the running one stop at its next band, and bands of an older
// request that are still on their way are dropped, so the picture always ends as the last request gives it.
//
// The values must not change while a recolouring runs (the editors are modal); cancel() before anything
// else touches the values or the bitmap.
class BackgroundRecolourer : public QObject {
    Q_OBJECT
public:
    explicit BackgroundRecolourer(document::TFractal& fractal, QObject* parent = nullptr);
    ~BackgroundRecolourer() override;

    // Recolours every row with the colour state of now (the row procedure is chosen again first). Never waits.
    void request();
    // Stops the running recolouring (at its next band) and drops what it has not delivered yet. Returns once
    // the worker no longer reads the document. Rows already delivered stay.
    void cancel();
    // A recolouring was requested and its last band has not been delivered yet.
    bool busy() const { return m_busy; }
    // Requests made so far (each one replaces the previous).
    uint64_t generation() const { return m_latest; }
    // Bands the worker has coloured since it started (delivered or not): shows how much work a newer
    // request saved.
    uint64_t bandsColoured() const { return m_bandsColoured.load(); }
    // The request the worker took up last (0 before any).
    uint64_t startedGeneration() const { return m_started.load(); }
    // Rows per band for a picture of `stride` bytes per row: about 256 KB, at least one row.
    static int bandRows(size_t stride);

signals:
    // Rows first..last of the bitmap have their new colours (user-interface thread).
    void rowsRecoloured(int first, int last);
    // The last request has been delivered whole.
    void finished();

private:
    struct Job;
    struct Band;
    void workerLoop();
    void run(const Job& job);
    void deliver(const std::shared_ptr<Band>& band);
    void done(uint64_t generation);

    document::TFractal& m_fractal;
    std::thread m_worker;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::shared_ptr<const Job> m_pending;  // guarded by m_mutex
    bool m_quit = false;                   // guarded by m_mutex
    bool m_running = false;                // guarded by m_mutex: the worker holds a job
    std::condition_variable m_idle;
    std::atomic<uint64_t> m_wanted{0};     // the generation the worker must produce; others stop
    std::atomic<uint64_t> m_bandsColoured{0};
    std::atomic<uint64_t> m_started{0};
    uint64_t m_latest = 0;                 // user-interface thread: the newest request
    bool m_busy = false;
};

}  // namespace ui
