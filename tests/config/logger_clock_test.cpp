#include <gtest/gtest.h>

#include "config/logger_clock.h"

namespace cvh {
namespace {

// Sydney in summer: ten hours east of UTC, daylight saving in force.
FixedClock sydneySummer() {
    FixedClock c;
    c.now = daysFromCivil(2024, 12, 8) * 86400 + 3600;
    c.zoneWestSeconds = -36000;
    c.dst = true;
    return c;
}

std::uint32_t loggerClockAt(const Clock& c, std::int64_t utc) {
    return static_cast<std::uint32_t>(toLoggerTime(c, utc));
}

TEST(LoggerClock, DriftOfFiveSecondsIsShownButNotCorrected) {
    FixedClock c = sydneySummer();
    TimeSyncMenu menu;
    auto u = checkLoggerClock(loggerClockAt(c, c.now + 5), c, menu);
    EXPECT_TRUE(u.LBDriftVisible);
    EXPECT_EQ(u.LBDrift, "Drift:  00:00:05 Fast ");
    EXPECT_FALSE(u.setTime);
    u = checkLoggerClock(loggerClockAt(c, c.now - 4), c, menu);
    EXPECT_FALSE(u.LBDriftVisible);
    u = checkLoggerClock(loggerClockAt(c, c.now - 6), c, menu);
    ASSERT_TRUE(u.setTime);
    EXPECT_EQ(u.setTime->code, CommandCode::SetTime);
    EXPECT_EQ(u.setTime->argumentA, loggerClockAt(c, c.now));
    EXPECT_EQ(u.LBDrift, "Drift:  00:00:06 Slow ");
}

TEST(LoggerClock, LargeDriftFillsHoursMinutesSecondsAndLabelsShowLocalTime) {
    FixedClock c = sydneySummer();
    TimeSyncMenu menu;
    menu.MenuAutoTimeUpdate = false;
    const auto u = checkLoggerClock(loggerClockAt(c, c.now + 3725), c, menu);
    EXPECT_EQ(u.LBDrift, "Drift:  01:02:05 Fast ");
    EXPECT_FALSE(u.setTime);
    // 01:00 UTC + 11 h + 3725 s = 13:02:05 local.
    EXPECT_EQ(u.LBDandT, "12/08/24   13:02:05");
    EXPECT_EQ(u.SleepTime, "13:02:05");
    EXPECT_EQ(u.SleepDate, "12/08/24");
}

TEST(LoggerClock, SynchronizeNowSendsOnceWithTheNextRecord) {
    FixedClock c = sydneySummer();
    TimeSyncMenu menu;
    menu.MenuAutoTimeUpdate = false;
    menu.MenuUpdateTimeNow = true;
    EXPECT_TRUE(checkLoggerClock(loggerClockAt(c, c.now), c, menu).setTime);
    EXPECT_FALSE(menu.MenuUpdateTimeNow);
    EXPECT_FALSE(checkLoggerClock(loggerClockAt(c, c.now), c, menu).setTime);
}

}  // namespace
}  // namespace cvh
