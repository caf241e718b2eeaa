#include "ui/ComputeRunner.h"

#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>

#include "engine/Fractal.h"
#include "engine/ParallelEngine.h"
#include "ui/OsLoad.h"

namespace ui {

namespace {

// The rows of a full computation, on every core with the widest vector kernels the CPU offers.
// The parallel engine gives the serial driver's values and end state.
engine::ComputeEnd ComputeRows(engine::TFractal& f, int first, int last, bool touchUp, int colLast, int colFirst,
                               engine::ComputeObserver* obs)
{
    return engine::ParallelEngine().compute(f, first, last, touchUp, colLast, colFirst, obs);
}

}  // namespace

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

ComputeRunner::ComputeRunner(engine::TFractal& f, QObject* parent)
    : QObject(parent), m_fractal(f), m_observer(std::make_unique<Observer>(*this))
{
}

ComputeRunner::~ComputeRunner()
{
    if (m_thread) {
        m_fractal.Running = false;
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
}

bool ComputeRunner::startCompute(bool fromStart)
{
    if (busy())
        return false;
    engine::TFractal& f = m_fractal;
    if (fromStart || f.ResumeLine < 0 || f.ResumeLine >= f.Params.Height)
        f.ResumeLine = 0;
    f.CommitImageParams();
    f.Running = true;
    const int first = f.ResumeLine;
    const int last = f.Params.Height - 1;
    const int colLast = f.Params.Width - 1;
    return start([&f, first, last, colLast](engine::ComputeObserver* obs) {
        return ComputeRows(f, first, last, false, colLast, 0, obs);
    });
}

bool ComputeRunner::start(Work work)
{
    if (busy())
        return false;
    // Not idle from now on, before the worker has even started.
    m_fractal.Idle = false;
    {
        std::lock_guard lock(m_mutex);
        m_pending.clear();
        m_posted = false;
    }
    const int job = ++m_job;
    const int nice = m_nice;
    m_thread = QThread::create([this, work = std::move(work), nice] {
        applyNiceToCurrentThread(nice);
        m_end = work(m_observer.get());
    });
    m_thread->setObjectName(QStringLiteral("VorexCompute"));
    connect(m_thread, &QThread::finished, this, [this, job] { finishJob(job); });
    m_thread->start();
    return true;
}

void ComputeRunner::requestStop()
{
    m_fractal.Running = false;
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
    // Compute leaves Running false and Idle true; say so again for work that did not reach it.
    m_fractal.Running = false;
    m_fractal.Idle = true;
    emit finished(m_end);
}

}  // namespace ui
