#pragma once

#include <string>

namespace document {

// The progress of a computation as its rows are done: the percentage and an estimate of the time left
// at the pace so far. Times are seconds on any steady clock. Reports are rate-limited: due() is true at
// most once per interval (and always for the last row).
class ComputeProgress {
public:
    static constexpr double DefaultInterval = 0.25;    // seconds between two reports
    static constexpr double EstimateAfter = 0.5;       // no estimate of the time left before this

    explicit ComputeProgress(double interval = DefaultInterval) : m_interval(interval) {}

    // A computation of `rows` rows starts at `now`.
    void start(int rows, double now);
    // `count` more rows are done at `now`.
    void rowsDone(int count, double now);
    int rows() const { return m_rows; }
    int done() const { return m_done; }
    // 0..100, rounded down (100 only when every row is done).
    int percent() const;
    // Seconds left at the pace so far; negative while unknown (nothing done yet, or too early to say).
    double secondsLeft(double now) const;
    // A report is due at `now`: the first one, one at least `interval` after the last, or the end. A due
    // report counts as made.
    bool due(double now);

private:
    int m_rows = 0, m_done = 0;
    double m_start = 0, m_lastReport = 0;
    bool m_reported = false;
    double m_interval;
};

// "12 s", "1:05", "2:03:09": a duration rounded up to the second.
std::string formatDuration(double seconds);

}  // namespace document
