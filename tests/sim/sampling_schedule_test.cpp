#include <gtest/gtest.h>

#include "sampling_schedule.h"

namespace cvh::sim {
namespace {

RunTiming timing(LoggerMode mode) {
    RunTiming t;
    t.delaySeconds = 5;
    t.preFlushSeconds = 2;
    t.warmUpSeconds = 3;
    t.flushSeconds = 1;
    t.sampleSeconds = 10;
    t.intervalSeconds = 60;
    t.mode = mode;
    return t;
}

TEST(SamplingSchedule, ProfileRunPassesEachPhaseThenSamplesUntilStopped) {
    SamplingSchedule s;
    s.start(timing(LoggerMode::Profile), 0);
    EXPECT_EQ(s.phase(), LoggerState::Delay);
    EXPECT_EQ(s.timeLeftSeconds(0), 5u);
    s.update(4999);
    EXPECT_EQ(s.phase(), LoggerState::Delay);
    s.update(5000);
    EXPECT_EQ(s.phase(), LoggerState::PreFlush);
    s.update(7000);
    EXPECT_EQ(s.phase(), LoggerState::Warmup);
    s.update(10000);
    EXPECT_EQ(s.phase(), LoggerState::Flush);
    s.update(11000);
    EXPECT_EQ(s.phase(), LoggerState::Sampling);
    EXPECT_FALSE(s.deadlineMs());
    s.update(10'000'000);
    EXPECT_EQ(s.phase(), LoggerState::Sampling);
    EXPECT_TRUE(s.running());
}

TEST(SamplingSchedule, MooredRunSleepsUntilTheNextIntervalFromTheCycleStart) {
    SamplingSchedule s;
    s.start(timing(LoggerMode::Moored), 0);
    s.update(5000 + 2000 + 3000 + 1000 + 10000);  // end of the first sample
    EXPECT_EQ(s.phase(), LoggerState::Sleeping);
    // The cycle began at 5 s, so the next begins at 65 s.
    EXPECT_EQ(*s.deadlineMs(), 65000);
    EXPECT_EQ(s.timeLeftSeconds(21000), 44u);
    s.update(65000);
    EXPECT_EQ(s.phase(), LoggerState::PreFlush);
    EXPECT_EQ(s.cycles(), 2);
}

TEST(SamplingSchedule, LateLookCatchesUpWithoutDriftingTheCycles) {
    SamplingSchedule s;
    s.start(timing(LoggerMode::Moored), 0);
    s.update(5000 + 10 * 60000 + 500);  // ten intervals later, half a second into pre-flush
    EXPECT_EQ(s.phase(), LoggerState::PreFlush);
    EXPECT_EQ(s.cycles(), 11);
    EXPECT_EQ(*s.deadlineMs(), 5000 + 10 * 60000 + 2000);
}

TEST(SamplingSchedule, IntervalShorterThanACycleStartsTheNextCycleAtOnce) {
    RunTiming t = timing(LoggerMode::Moored);
    t.intervalSeconds = 1;
    SamplingSchedule s;
    s.start(t, 0);
    s.update(21000);
    EXPECT_EQ(s.phase(), LoggerState::PreFlush);
    EXPECT_EQ(s.cycles(), 2);
}

TEST(SamplingSchedule, ZeroLengthPhasesArePassedAtOnceAndAMooredSampleLastsASecond) {
    RunTiming t{};
    t.mode = LoggerMode::Moored;
    SamplingSchedule s;
    s.start(t, 0);
    EXPECT_EQ(s.phase(), LoggerState::Sampling);
    s.update(999);
    EXPECT_EQ(s.phase(), LoggerState::Sampling);
    s.update(1000);  // interval 0: straight into the next cycle, which samples again
    EXPECT_EQ(s.phase(), LoggerState::Sampling);
    EXPECT_EQ(s.cycles(), 2);
}

TEST(SamplingSchedule, PolledModeWaitsAsleepForWakeAndSleepEndsTheCycle) {
    SamplingSchedule s;
    s.start(timing(LoggerMode::PolledMoored), 0);
    s.update(5000);
    EXPECT_EQ(s.phase(), LoggerState::Sleeping);
    EXPECT_FALSE(s.deadlineMs());
    s.update(1'000'000);
    EXPECT_EQ(s.phase(), LoggerState::Sleeping);
    s.wake(1'000'000);
    EXPECT_EQ(s.phase(), LoggerState::PreFlush);
    s.update(1'006'000);
    EXPECT_EQ(s.phase(), LoggerState::Sampling);
    s.sleep(1'007'000);
    EXPECT_EQ(s.phase(), LoggerState::Sleeping);
    // A sample that runs its course goes back to sleep too.
    s.wake(1'100'000);
    s.update(1'100'000 + 6000 + 10000);
    EXPECT_EQ(s.phase(), LoggerState::Sleeping);
}

TEST(SamplingSchedule, SleepCommandWaitsThenBeginsACycle) {
    SamplingSchedule s;
    s.sleepUntil(timing(LoggerMode::Moored), 0, 30000);
    EXPECT_EQ(s.phase(), LoggerState::Sleeping);
    EXPECT_EQ(s.timeLeftSeconds(0), 30u);
    s.update(30000);
    EXPECT_EQ(s.phase(), LoggerState::PreFlush);
}

}  // namespace
}  // namespace cvh::sim
