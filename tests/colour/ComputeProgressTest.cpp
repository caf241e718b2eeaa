// The progress of a computation: percentage, time left at the pace so far, the rate of reports and
// how durations read.
#include <gtest/gtest.h>

#include "document/ComputeProgress.h"

TEST(ComputeProgress, PercentAndTimeLeftFollowTheRows)
{
    document::ComputeProgress p;
    p.start(480, 10.0);
    EXPECT_EQ(p.percent(), 0);
    EXPECT_LT(p.secondsLeft(10.0), 0);  // nothing done yet
    p.rowsDone(120, 10.2);
    EXPECT_EQ(p.percent(), 25);
    EXPECT_LT(p.secondsLeft(10.2), 0);  // too early to say
    // 120 rows in 2 s: 360 left take 6 s.
    EXPECT_DOUBLE_EQ(p.secondsLeft(12.0), 6.0);
    p.rowsDone(119, 12.5);
    EXPECT_EQ(p.percent(), 49);  // rounded down
    p.rowsDone(1000, 13.0);      // more than the rows: held at the end
    EXPECT_EQ(p.done(), 480);
    EXPECT_EQ(p.percent(), 100);
    EXPECT_DOUBLE_EQ(p.secondsLeft(13.0), 0.0);

    // A touch-up of a few rows: its own count.
    p.start(7, 20.0);
    EXPECT_EQ(p.done(), 0);
    p.rowsDone(3, 21.0);
    EXPECT_EQ(p.percent(), 42);
    EXPECT_DOUBLE_EQ(p.secondsLeft(21.0), 4.0 / 3.0);
}

TEST(ComputeProgress, ReportsAtMostFourTimesASecondAndAtTheEnd)
{
    document::ComputeProgress p;
    p.start(100, 0.0);
    const struct { double now; int rows; bool due; } steps[] = {
        {0.01, 1, true},   // the first
        {0.10, 1, false}, {0.20, 1, false},
        {0.27, 1, true},   // a quarter of a second after the first
        {0.30, 1, false}, {0.50, 1, false},
        {0.53, 1, true},
        {0.54, 93, true},  // the last row
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.now);
        p.rowsDone(s.rows, s.now);
        EXPECT_EQ(p.due(s.now), s.due);
    }
}

TEST(ComputeProgress, DurationsReadAsSecondsMinutesHours)
{
    const struct { double seconds; const char* text; } rows[] = {
        {-1, "0 s"}, {0, "0 s"}, {0.2, "1 s"}, {12, "12 s"}, {59.5, "1:00"}, {65, "1:05"},
        {3599, "59:59"}, {3600, "1:00:00"}, {7389, "2:03:09"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.seconds);
        EXPECT_EQ(document::formatDuration(r.seconds), r.text);
    }
}
