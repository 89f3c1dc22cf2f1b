#include "session/silence_watch.h"

#include <gtest/gtest.h>

namespace cvh {
namespace {

// Port 2 a CTD ("ASCII") every 5 s, port 3 a GPS, analog channel 1 on; the rest off.
LoggerSetup sampledSetup() {
    LoggerSetup s;
    s.intervalSeconds = 5;
    s.baud[2] = 9600;
    s.meterType[2] = 3;
    s.baud[3] = 4800;
    s.meterType[3] = 6;
    s.baud[4] = 9600;  // a pump port: no data expected
    s.meterType[4] = 7;
    s.analogSetting[1] = 1;
    s.analogSetting[2] = 2;  // "Pump ON"
    return s;
}

class SilenceWatchTest : public ::testing::Test {
protected:
    SilenceWatchTest() {
        watch.setSetup(sampledSetup());
        watch.setSampling(true, 0);
    }
    // Port 2 and the analog block speak every second up to `until`; port 3 only at t = 1.
    void run(std::int64_t from, std::int64_t until) {
        for (std::int64_t t = from; t <= until; ++t) {
            watch.onPortData(2, t);
            watch.onAnalogData(t);
            if (t == 1)
                watch.onPortData(3, t);
            alarms(t);
        }
    }
    std::vector<SilenceAlarm> alarms(std::int64_t t) {
        auto a = watch.check(t);
        raised.insert(raised.end(), a.begin(), a.end());
        return a;
    }
    SilenceWatch watch;
    std::vector<SilenceAlarm> raised;
};

TEST_F(SilenceWatchTest, AStoppedPortIsFlaggedOnceAfterThreeIntervals) {
    EXPECT_EQ(watch.thresholdSeconds(), 15);
    run(0, 16);  // port 3 silent since t = 1: 15 s is not yet too long
    EXPECT_TRUE(raised.empty());
    run(17, 40);
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].channel, 2);
    EXPECT_EQ(raised[0].caption, "Silent Instrument");
    EXPECT_EQ(raised[0].text, "Port 3 (GPS) has sent no data for 16 seconds");
    EXPECT_TRUE(watch.channel(2).flagged);
    EXPECT_EQ(watch.channel(2).silentSeconds, 39);
    // Ports never heard in this run, switched off, or pumps are never flagged.
    for (int c : {0, 3, 4, 5, 6, 7, analogWatchChannel(2), analogWatchChannel(3)})
        EXPECT_FALSE(watch.channel(c).flagged) << c;
}

TEST_F(SilenceWatchTest, DataClearsTheFlagAndANewSilenceAlarmsAgain) {
    run(0, 20);
    ASSERT_EQ(raised.size(), 1u);
    watch.onPortData(3, 21);
    EXPECT_FALSE(watch.channel(2).flagged);
    run(21, 40);
    EXPECT_EQ(raised.size(), 2u);
}

TEST_F(SilenceWatchTest, NothingIsFlaggedOutsideSamplingAndANewRunStartsUnheard) {
    run(0, 5);
    watch.setSampling(false, 6);
    EXPECT_TRUE(alarms(100).empty());
    watch.setSampling(true, 200);
    EXPECT_TRUE(alarms(300).empty());  // nothing heard in this run yet
    watch.onAnalogData(301);
    EXPECT_TRUE(alarms(316).empty());
    EXPECT_EQ(alarms(317).size(), 1u);
    EXPECT_EQ(raised.back().text, "Analog channel 1 has sent no data for 16 seconds");
}

TEST_F(SilenceWatchTest, ShortIntervalsWaitAtLeastTenSeconds) {
    LoggerSetup fast = sampledSetup();
    fast.intervalSeconds = 1;
    watch.setSetup(fast);
    EXPECT_EQ(watch.thresholdSeconds(), 10);
}

TEST_F(SilenceWatchTest, AFlaggedPortThatTheNewSetupSwitchesOffIsCleared) {
    run(0, 20);
    ASSERT_TRUE(watch.channel(2).flagged);
    LoggerSetup off = sampledSetup();
    off.baud[3] = 0;
    watch.setSetup(off);
    EXPECT_FALSE(watch.channel(2).flagged);
    for (const auto& a : alarms(60))
        EXPECT_NE(a.channel, 2);
}

}  // namespace
}  // namespace cvh
