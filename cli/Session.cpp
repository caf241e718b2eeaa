#include "cli/Session.h"

#include <csignal>
#include <cstdio>

namespace cli {
namespace {

// The flag a signal clears; std::atomic<bool> is lock-free here, so storing it from a handler is safe.
std::atomic<bool>* g_stop = nullptr;
volatile std::sig_atomic_t g_interrupted = 0;
struct sigaction g_oldInt, g_oldTerm;

extern "C" void onInterrupt(int)
{
    g_interrupted = 1;
    if (g_stop)
        g_stop->store(true);
}

constexpr auto QuietPeriod = std::chrono::milliseconds(500);

}  // namespace

ProgressLine::ProgressLine(std::string label, bool quiet)
    : m_label(std::move(label)), m_quiet(quiet), m_start(std::chrono::steady_clock::now())
{
}

ProgressLine::~ProgressLine()
{
    if (m_printed.load())
        std::fputc('\n', stderr);
}

void ProgressLine::progressChanged(double fraction)
{
    if (m_quiet || std::chrono::steady_clock::now() - m_start < QuietPeriod)
        return;
    const int percent = int(fraction * 100);
    int shown = m_shown.load();
    while (percent > shown) {
        if (m_shown.compare_exchange_weak(shown, percent)) {
            std::fprintf(stderr, "\r%s %3d%%", m_label.c_str(), percent);
            std::fflush(stderr);
            m_printed.store(true);
            break;
        }
    }
}

InterruptGuard::InterruptGuard(document::TFractal& f)
{
    static_assert(std::atomic<bool>::is_always_lock_free);
    g_stop = &f.Run.stopFlag();
    g_interrupted = 0;
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &g_oldInt);
    sigaction(SIGTERM, &sa, &g_oldTerm);
}

InterruptGuard::~InterruptGuard()
{
    sigaction(SIGINT, &g_oldInt, nullptr);
    sigaction(SIGTERM, &g_oldTerm, nullptr);
    g_stop = nullptr;
}

bool InterruptGuard::interrupted()
{
    return g_interrupted != 0;
}

}  // namespace cli
