#pragma once

#include <algorithm>
#include <thread>
#include <vector>

namespace colour {

// The number of threads to use for `requested` (0 or less: one per core, at least 1).
inline int threadCount(int requested)
{
    if (requested > 0)
        return requested;
    return std::max(1, int(std::thread::hardware_concurrency()));
}

// Runs work(0) .. work(count - 1) at once, work(0) on the calling thread; returns when all are done.
// The work must not throw.
template <class Work>
void runOnThreads(int count, const Work& work)
{
    std::vector<std::thread> others;
    others.reserve(size_t(std::max(0, count - 1)));
    for (int i = 1; i < count; ++i)
        others.emplace_back([&work, i] { work(i); });
    if (count > 0)
        work(0);
    for (std::thread& t : others)
        t.join();
}

// The first item of part `part` of `count` parts of `items` items, in order; part `count` gives `items`.
inline int partStart(int items, int count, int part)
{
    return int((long long)items * part / count);
}

}  // namespace colour
