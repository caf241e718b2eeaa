#include "engine/WorkerPool.h"

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <system_error>

namespace engine {
namespace {

// The calling thread's nice value (on Linux PRIO_PROCESS with 0 names the calling thread).
int currentNice()
{
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    return errno == 0 ? nice : 0;
}

}  // namespace

WorkerPool& WorkerPool::instance()
{
    static WorkerPool pool;  // destroyed at exit, after main: joins its threads
    return pool;
}

WorkerPool::~WorkerPool()
{
    std::lock_guard own(m_ownerMutex);
    retire();
}

int WorkerPool::size() const
{
    std::lock_guard lock(m_mutex);
    return int(m_threads.size());
}

bool WorkerPool::runErased(int helpers, Erased fn, void* context)
{
    std::unique_lock own(m_ownerMutex, std::try_to_lock);
    if (!own.owns_lock())
        return false;
    if (helpers > 0) {
        const int nice = currentNice();
        if (nice != m_nice) {
            retire();
            m_nice = nice;
        }
        grow(helpers);
    }
    int tickets;
    {
        std::lock_guard lock(m_mutex);
        tickets = std::clamp(helpers, 0, int(m_threads.size()));
        m_fn = fn;
        m_context = context;
        m_tickets = tickets;
    }
    for (int i = 0; i < tickets; ++i)
        m_wake.notify_one();

    // The helpers use the caller's context: they must have returned before this does, even if fn throws.
    struct Join {
        WorkerPool& pool;
        ~Join()
        {
            // The work queue is empty: helpers that have not begun yet have nothing to do.
            std::unique_lock lock(pool.m_mutex);
            pool.m_tickets = 0;
            pool.m_idle.wait(lock, [this] { return pool.m_running == 0; });
            pool.m_fn = nullptr;
            pool.m_context = nullptr;
        }
    } join{*this};
    fn(context);
    return true;
}

void WorkerPool::grow(int helpers)
{
    if (int(m_threads.size()) >= helpers)
        return;
    try {
        std::lock_guard lock(m_mutex);
        m_threads.reserve(size_t(helpers));
    } catch (const std::bad_alloc&) {
        return;
    }
    while (int(m_threads.size()) < helpers) {
        std::thread t;
        try {
            t = std::thread(&WorkerPool::serve, this);  // inherits the caller's nice value
        } catch (const std::system_error&) {
            return;  // fewer helpers
        }
        std::lock_guard lock(m_mutex);
        m_threads.push_back(std::move(t));  // reserved: does not throw
    }
}

void WorkerPool::retire()
{
    std::vector<std::thread> old;
    {
        std::lock_guard lock(m_mutex);
        if (m_threads.empty())
            return;
        m_retiring = true;
        old.swap(m_threads);
    }
    m_wake.notify_all();
    for (std::thread& t : old)
        t.join();
    std::lock_guard lock(m_mutex);
    m_retiring = false;
}

void WorkerPool::serve()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_retiring || m_tickets > 0; });
        if (m_retiring)
            return;
        --m_tickets;
        ++m_running;
        const Erased fn = m_fn;
        void* const context = m_context;
        lock.unlock();
        fn(context);
        lock.lock();
        if (--m_running == 0)
            m_idle.notify_one();
    }
}

}  // namespace engine
