#include "engine/AllocationFault.h"

#include <atomic>
#include <mutex>
#include <new>

namespace engine {
namespace {

std::atomic<bool> g_armed{false};
std::mutex g_mutex;  // guards the two below, and g_armed's changes
AllocationStep g_step = AllocationStep::Bitmap;
int g_remaining = 0;  // checks of g_step still to let through

}  // namespace

void failAllocationAt(AllocationStep step, int skip)
{
    std::lock_guard lock(g_mutex);
    g_step = step;
    g_remaining = skip < 0 ? 0 : skip;
    g_armed.store(true, std::memory_order_release);
}

void clearAllocationFailure()
{
    std::lock_guard lock(g_mutex);
    g_armed.store(false, std::memory_order_release);
}

bool allocationFailureArmed()
{
    return g_armed.load(std::memory_order_acquire);
}

void checkAllocation(AllocationStep step)
{
    if (!g_armed.load(std::memory_order_acquire))
        return;
    {
        std::lock_guard lock(g_mutex);
        if (!g_armed.load(std::memory_order_relaxed) || g_step != step)
            return;
        if (g_remaining > 0) {
            --g_remaining;
            return;
        }
        g_armed.store(false, std::memory_order_release);
    }
    throw std::bad_alloc();
}

}  // namespace engine
