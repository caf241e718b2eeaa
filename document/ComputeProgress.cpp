#include "document/ComputeProgress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace document {

void ComputeProgress::start(int rows, double now)
{
    m_rows = std::max(rows, 0);
    m_done = 0;
    m_start = now;
    m_lastReport = now;
    m_reported = false;
}

void ComputeProgress::rowsDone(int count, double now)
{
    (void)now;
    m_done = std::clamp(m_done + std::max(count, 0), 0, m_rows);
}

int ComputeProgress::percent() const
{
    if (m_rows <= 0)
        return 100;
    return int(int64_t(m_done) * 100 / m_rows);
}

double ComputeProgress::secondsLeft(double now) const
{
    const double elapsed = now - m_start;
    if (m_done <= 0 || elapsed < EstimateAfter)
        return -1.0;
    return elapsed * double(m_rows - m_done) / double(m_done);
}

bool ComputeProgress::due(double now)
{
    const bool end = m_rows > 0 && m_done >= m_rows;
    if (m_reported && !end && now - m_lastReport < m_interval)
        return false;
    m_reported = true;
    m_lastReport = now;
    return true;
}

std::string formatDuration(double seconds)
{
    const long long s = seconds <= 0 ? 0 : (long long)std::ceil(seconds);
    char text[48];
    if (s < 60)
        std::snprintf(text, sizeof text, "%lld s", s);
    else if (s < 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

}  // namespace document
