// The silent-instrument alarm and the clock log, driven through the session: packets on the
// logger port, setup and status records through the display-refresh tick, the 1 s tick.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "session_fixture.h"
#include "support/logger_packets.h"
#include "support/setup_record.h"

namespace cvh::test {
namespace {

struct Watching : SessionFixture {
    std::shared_ptr<FakeLine> line;
    int sequence = 0;
    Watching() {
        line = addLoggerLine(1);
        s().startUp(dir());
        s().linkPorts().loggerPortChange(1, 6);
        // Ports 1..3 and analog channel 1 on, one sample a second: silent after 10 s.
        auto setup = mooredSetupRecord();
        MutableBytes m(setup);
        writeLe32(m, 32, 1);
        storeChecksum(m);
        auto& rec = s().receiveLoop().records();
        std::copy(setup.begin(), setup.end(), rec.setup.begin());
        rec.setupPacketPending = true;
        s().displayRefreshTick();
    }
    void status(std::int16_t code, std::int64_t driftSeconds = 0) {
        const auto packet = statusPacket(
            static_cast<std::uint32_t>(toLoggerTime(clock, clock.now + driftSeconds)), code);
        auto& rec = s().receiveLoop().records();
        std::copy(packet.begin(), packet.end(), rec.status.begin());
        rec.statusPacketPending = true;
        s().displayRefreshTick();
    }
    void data(int port) {
        const auto p = dataPacket(2, sequence++ % 256, port - 1, "1 2 3\r\n");
        line->incoming.insert(line->incoming.end(), p.begin(), p.end());
        s().onTick10ms();
    }
    void deliver() {
        while (s().hasDeferredNotices())
            s().deliverDeferredNotice();
    }
};

TEST(SilenceAlarm, FollowsDataSetupAndLoggerStatusThroughTheSession) {
    Watching w;
    w.status(6);  // Sampling
    struct Step {
        int seconds;                  // the clock moves on by this much, one 1 s tick a second
        std::vector<int> heard;       // ports with data at the start of the step
        int statusCode;               // a status record first (0 = none)
        std::array<bool, 3> flagged;  // ports 1..3 after the step
        std::size_t notices;          // all so far
    };
    // Port 1 stops, port 2 never starts, port 3 speaks every step until it too stops.
    const Step steps[] = {
        {1, {1, 3}, 0, {false, false, false}, 0},
        {9, {3}, 0, {false, false, false}, 0},  // port 1 silent 10 s: not yet
        {1, {3}, 0, {true, false, false}, 1},   // 11 s: flagged, one notice
        {5, {3}, 0, {true, false, false}, 1},   // still silent: no second notice
        {1, {1}, 0, {false, false, false}, 1},  // recovers
        {11, {}, 0, {true, false, true}, 3},    // a new silence for 1 and 3
        {1, {}, 9, {false, false, false}, 3},   // Standby: no run, no flags
        {30, {}, 0, {false, false, false}, 3},
    };
    for (const Step& step : steps) {
        if (step.statusCode)
            w.status(static_cast<std::int16_t>(step.statusCode));
        for (int port : step.heard)
            w.data(port);
        for (int k = 0; k < step.seconds; ++k) {
            ++w.clock.now;
            w.s().onTick1000ms();
        }
        w.deliver();
        const auto& view = w.s().liveDataWatch().silence();
        for (int p = 0; p < 3; ++p)
            EXPECT_EQ(view.channels[static_cast<std::size_t>(p)].flagged, step.flagged[p])
                << "port " << p + 1 << " after " << &step - steps;
        EXPECT_EQ(w.op.notices().size(), step.notices) << "after step " << &step - steps;
    }
    ASSERT_GE(w.op.notices().size(), 1u);
    EXPECT_EQ(w.op.notices()[0].caption, "Silent Instrument");
    EXPECT_NE(w.op.notices()[0].text.find("Port 1 (KB5)"), std::string::npos)
        << w.op.notices()[0].text;
}

TEST(SilenceAlarm, TheDataStatusRowCarriesTheSecondsOfSilence) {
    Watching w;
    w.status(6);
    w.data(2);
    w.s().takeChanges();
    for (int k = 0; k < 12; ++k) {
        ++w.clock.now;
        w.s().onTick1000ms();
    }
    EXPECT_TRUE(w.s().takeChanges().has(Area::DataStatus));
    EXPECT_EQ(w.s().liveDataWatch().silence().channels[1].text, "silent 12 s");
}

std::vector<std::string> lines(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);)
        if (!l.empty() && l[0] != '#')
            out.push_back(l);
    return out;
}

TEST(ClockLog, TheSessionsClockChecksAndSettingsInTwoZones) {
    struct Case {
        const char* zone;
        std::int64_t zoneWest;
        bool dst;
    };
    const Case zones[] = {{"New York winter", 18000, false}, {"Sydney summer", -36000, true}};
    for (const Case& z : zones) {
        Watching w;
        w.clock.zoneWestSeconds = z.zoneWest;
        w.clock.dst = z.dst;
        SessionTestAccess::timeSync(w.s()).MenuAutoTimeUpdate = true;
        w.status(9, 0);  // on time: nothing
        w.status(9, 3);  // off, not set: "none"
        w.clock.now += 30;
        w.status(9, 3);   // again within the minute: nothing
        w.status(9, -7);  // set automatically
        w.s().clockAndSleep().menuUpdateTimeNowClick();
        w.status(9, 0);  // set from the menu
        const auto got = lines(std::filesystem::path(w.dir()) / "clock.log");
        ASSERT_EQ(got.size(), 3u) << z.zone;
        const char* tails[] = {" 42 ", "+3 none", " 42 ", "-7 set", " 42 ", "+0 set"};
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NE(got[i].find(tails[2 * i]), std::string::npos) << z.zone << ": " << got[i];
            EXPECT_TRUE(got[i].ends_with(tails[2 * i + 1])) << z.zone << ": " << got[i];
        }
    }
}

}  // namespace
}  // namespace cvh::test
