#include "ui/ComputeRunner.h"

#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>

#include "document/Computation.h"
#include "engine/ParallelEngine.h"
#include "ui/OsLoad.h"

namespace ui {

class ComputeRunner::Observer : public engine::ComputeObserver {
public:
    explicit Observer(ComputeRunner& runner) : m_runner(runner) {}

    // Worker thread.
    void rowsReady(int firstRow, int lastRow) override
    {
        bool post = false;
        {
            std::lock_guard lock(m_runner.m_mutex);
            auto& pending = m_runner.m_pending;
            if (!pending.empty() && pending.back().second + 1 == firstRow)
                pending.back().second = lastRow;
            else
                pending.emplace_back(firstRow, lastRow);
            if (!m_runner.m_posted) {
                m_runner.m_posted = true;
                post = true;
            }
        }
        if (post)
            QMetaObject::invokeMethod(&m_runner, &ComputeRunner::deliverRows, Qt::QueuedConnection);
    }

private:
    ComputeRunner& m_runner;
};

ComputeRunner::ComputeRunner(document::TFractal& f, QObject* parent)
    : QObject(parent), m_fractal(f), m_observer(std::make_unique<Observer>(*this))
{
}

ComputeRunner::~ComputeRunner()
{
    if (m_thread) {
        m_fractal.Run.requestStop();
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
}

bool ComputeRunner::startCompute(bool fromStart)
{
    if (busy())
        return false;
    const engine::PixelRect rect = document::BeginComputeCommand(m_fractal, fromStart);
    return startJob(document::BeginComputation(m_fractal, engine::ComputeKind::Full, rect));
}

engine::RetoucheResult ComputeRunner::startRetouche()
{
    engine::RetoucheResult result;
    if (busy()) {
        result.ok = false;
        return result;
    }
    result = document::PrepareRetouche(m_fractal);
    if (result.ok)
        startJob(document::BeginComputation(m_fractal, engine::ComputeKind::TouchUp, m_fractal.ZoomRect));
    return result;
}

bool ComputeRunner::startJob(const engine::ComputeJob& job)
{
    {
        std::lock_guard lock(m_mutex);
        m_pending.clear();
        m_posted = false;
    }
    m_computeJob = job;
    m_outcome = {};
    const int jobNumber = ++m_job;
    const int nice = m_nice;
    m_thread = QThread::create([this, nice] {
        applyNiceToCurrentThread(nice);
        // The rows of a full computation or a touch-up on every core, with the widest vector kernels the
        // CPU offers; the parallel engine gives the serial driver's values and outcome.
        m_outcome = document::ComputeRows(m_fractal, m_computeJob, m_observer.get(), engine::ParallelEngine());
    });
    m_thread->setObjectName(QStringLiteral("VorexCompute"));
    connect(m_thread, &QThread::finished, this, [this, jobNumber] { finishJob(jobNumber); });
    m_thread->start();
    emit started(job.rowLast - job.rowFirst + 1);
    return true;
}

void ComputeRunner::requestStop()
{
    m_fractal.Run.requestStop();
}

bool ComputeRunner::waitUntilIdle(int milliseconds)
{
    if (!m_thread)
        return true;
    if (!m_thread->wait(QDeadlineTimer(milliseconds)))
        return false;
    finishJob(m_job);
    return true;
}

void ComputeRunner::deliverRows()
{
    std::vector<std::pair<int, int>> ranges;
    {
        std::lock_guard lock(m_mutex);
        ranges.swap(m_pending);
        m_posted = false;
    }
    for (const auto& [first, last] : ranges)
        emit rowsReady(first, last);
}

void ComputeRunner::finishJob(int job)
{
    if (!m_thread || job != m_job)
        return;
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    // Rows reported just before the end are delivered first.
    deliverRows();
    const engine::ComputeEnd end = document::EndComputation(m_fractal, m_computeJob, m_outcome);
    emit finished(end);
}

}  // namespace ui
