#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

// Helper threads kept from one computation to the next, so that a small computation does not pay for
// starting and joining threads. One pool per process (WorkerPool::instance()), used by one computation at
// a time; created lazily, grown to the largest number of helpers asked for, joined at process exit.
//
// On Linux the nice value belongs to each thread and a new thread inherits its creator's: the pool's
// threads are created by a caller, and when a later caller runs at another nice value the pool retires
// them and creates new ones from that caller. Its helpers so always compute at the caller's nice value.
namespace engine {

class WorkerPool {
public:
    static WorkerPool& instance();

    WorkerPool() = default;
    ~WorkerPool();  // ends and joins the threads; no run may be in progress
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Runs task() on the calling thread and on up to `helpers` threads of the pool, and returns once
    // every thread that began it has returned. A helper that had not begun when the caller's own call
    // returned does not run it, and a helper may run it twice: the task takes its work from a queue
    // that every call shares, and a call that finds the queue empty returns. Returns false, running
    // nothing, when another computation holds the pool; the caller then starts threads of its own.
    // Fewer helpers when threads cannot be created.
    template <class Task>
    bool run(int helpers, Task& task)
    {
        return runErased(helpers, [](void* t) { (*static_cast<Task*>(t))(); }, &task);
    }

    // Threads in the pool now (for tests).
    int size() const;

private:
    using Erased = void (*)(void*);

    bool runErased(int helpers, Erased fn, void* context);
    void grow(int helpers);   // under m_ownerMutex, from the caller
    void retire();            // under m_ownerMutex: ends and joins every thread
    void serve();             // a pool thread's loop

    std::mutex m_ownerMutex;  // held by the computation using the pool
    std::vector<std::thread> m_threads;  // changed only under m_ownerMutex and m_mutex
    int m_nice = 0;  // the nice value m_threads were created with

    mutable std::mutex m_mutex;  // guards the fields below
    std::condition_variable m_wake;  // to the pool threads: a ticket or the end
    std::condition_variable m_idle;  // to the caller: m_running fell to 0
    Erased m_fn = nullptr;
    void* m_context = nullptr;
    int m_tickets = 0;   // calls of the current task still to begin
    int m_running = 0;   // pool threads in a call of the task
    bool m_retiring = false;
};

}  // namespace engine
