// The session's ticks end to end on a fake logger port: a notice raised inside the 10 ms tick
// waits for the tick to return, parsed data reach the text view, and each status record runs the
// clock rules, checked in three time zones through the real C library conversion.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "base/bytes.h"
#include "base/checksum.h"
#include "link/data_packet.h"
#include "session_fixture.h"
#include "support/logger_packets.h"

namespace cvh::test {
namespace {

void push(FakeLine& line, const std::vector<std::uint8_t>& bytes) {
    line.incoming.insert(line.incoming.end(), bytes.begin(), bytes.end());
}

struct Ticks : SessionFixture {
    std::shared_ptr<FakeLine> line;
    Ticks() {
        line = addLoggerLine(1);
        s().startUp(dir());
        s().linkPorts().loggerPortChange(1, 6);
        line->written.clear();
    }
};

TEST(SessionTicks, MuxIdErrorWaitsUntilTheTickHasReturned) {
    Ticks t;
    push(*t.line, dataPacket(5, 0, 0, "x"));
    push(*t.line, dataPacket(1, 0, 0, "ok"));
    t.s().onTick10ms();
    EXPECT_TRUE(t.op.notices().empty());
    ASSERT_TRUE(t.s().hasDeferredNotices());
    // Reception goes on while the box waits.
    t.s().onTick10ms();
    EXPECT_EQ(t.s().link().unitPackets[1], 1u);
    t.s().deliverDeferredNotice();
    ASSERT_EQ(t.op.notices().size(), 1u);
    EXPECT_EQ(t.op.notices()[0].caption, "Mux ID Error");
    EXPECT_EQ(t.op.notices()[0].text, "\r\nSender Unit 5 5");
}

TEST(SessionTicks, ParsedDataOfTheChosenUnitAndPortReachTheTextView) {
    Ticks t;
    t.s().linkPorts().rawPortChange(0, 2, 1);  // port 3 of unit 1
    t.s().linkPorts().displayRawClick();
    push(*t.line, dataPacket(1, 0, 2, "T=12.5\r\n"));
    push(*t.line, dataPacket(2, 0, 2, "other unit\r\n"));
    push(*t.line, dataPacket(1, 1, 1, "other port\r\n"));
    for (int i = 0; i < 3; ++i)
        t.s().onTick10ms();
    const auto& lines = t.s().linkPorts().realTime().Memo1.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "T=12.5");
    // A page change stops the display.
    t.s().tabsChange(pageIndex(Page::DataStatus));
    push(*t.line, dataPacket(1, 2, 2, "hidden\r\n"));
    t.s().onTick10ms();
    EXPECT_EQ(t.s().linkPorts().realTime().Memo1.lines().size(), 1u);
}

TEST(SessionTicks, RecognisedPacketsKeepTheWatchdogsFull) {
    Ticks t;
    t.s().link().noDataTimer = -1;
    push(*t.line, dataPacket(1, 0, 0, "a"));
    t.s().onTick10ms();
    EXPECT_EQ(t.s().link().noDataTimer, 2);
    EXPECT_EQ(t.s().link().badDataTimer, 3);
}

// The real C library's zone rules at a fixed instant.
class ZoneClock : public Clock {
public:
    explicit ZoneClock(std::int64_t now) : now_(now) {}
    std::int64_t utcSeconds() const override { return now_; }
    int hundredths() const override { return 0; }
    std::int64_t milliseconds() const override { return now_ * 1000; }
    CalendarTime localTime(std::int64_t utc) const override { return real_.localTime(utc); }
    std::int64_t timezoneOffsetSeconds() const override { return real_.timezoneOffsetSeconds(); }
    bool makeUtc(const CalendarTime& local, std::int64_t& out) const override {
        return real_.makeUtc(local, out);
    }
    std::int64_t now_;

private:
    SystemClock real_;
};

struct ZoneCase {
    const char* tz;
    std::int64_t localShift;  // local form minus UTC
    const char* hostLabel;    // LBHostDandT at 2024-12-15 12:00:00 UTC
};

class ClockRules : public ::testing::TestWithParam<ZoneCase> {
protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        saved_ = old ? old : "";
        hadTz_ = old != nullptr;
        setenv("TZ", GetParam().tz, 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz_)
            setenv("TZ", saved_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    std::string saved_;
    bool hadTz_ = false;
};

constexpr std::int64_t kNoonUtc = 1734264000;  // 2024-12-15 12:00:00 UTC

TEST_P(ClockRules, LoggerClockInLocalFormAgainstThePcClock) {
    const ZoneCase zc = GetParam();
    FakeSerialBackend backend;
    ScriptedOperator op;
    ZoneClock clock(kNoonUtc);
    TempDir dir{"cvh_session"};
    HostSession s(backend, op, clock);
    auto line = backend.add(s.ports().names().name(1));
    s.startUp(dir.path());
    s.linkPorts().loggerPortChange(1, 6);
    s.onTick10ms();
    EXPECT_EQ(s.main().LBHostDandT.caption, zc.hostLabel);
    EXPECT_EQ(s.hostClock().localForm(), kNoonUtc + zc.localShift);

    // In step: no command, no drift label, the logger clock shown in local time.
    auto& rec = s.receiveLoop().records();
    auto packet = statusPacket(static_cast<std::uint32_t>(kNoonUtc + zc.localShift + 3));
    std::copy(packet.begin(), packet.end(), rec.status.begin());
    rec.statusPacketPending = true;
    s.displayRefreshTick();
    EXPECT_TRUE(line->written.empty());
    EXPECT_FALSE(s.main().LBDrift.visible);
    EXPECT_EQ(s.main().LBDandT.caption.substr(0, 8), std::string(zc.hostLabel).substr(0, 8));
    EXPECT_EQ(s.main().LBDandT.colour, Colour::ButtonFace);

    // 3725 s ahead: the Fast label and one time-set command with the PC time in local form.
    packet = statusPacket(static_cast<std::uint32_t>(kNoonUtc + zc.localShift + 3725));
    std::copy(packet.begin(), packet.end(), rec.status.begin());
    rec.statusPacketPending = true;
    s.displayRefreshTick();
    EXPECT_TRUE(s.main().LBDrift.visible);
    EXPECT_EQ(s.main().LBDrift.caption, "Drift:  01:02:05 Fast ");
    ASSERT_EQ(line->written.size(), 12u);
    EXPECT_EQ(line->written[2], 0xAE);
    EXPECT_EQ(readLe32(Bytes(line->written), 4),
              static_cast<std::uint32_t>(kNoonUtc + zc.localShift));
}

INSTANTIATE_TEST_SUITE_P(Zones, ClockRules,
                         ::testing::Values(ZoneCase{"UTC", 0, "12/15/24  12:00:00"},
                                           ZoneCase{"Asia/Tokyo", 9 * 3600, "12/15/24  21:00:00"},
                                           ZoneCase{"Australia/Sydney", 11 * 3600,
                                                    "12/15/24  23:00:00"}),
                         [](const auto& info) {
                             std::string n = info.param.tz;
                             for (char& c : n)
                                 if (c == '/')
                                     c = '_';
                             return n;
                         });

TEST(SessionTicks, StatusRecordFillsTheStatusGroupAndDataRows) {
    Ticks t;
    auto& rec = t.s().receiveLoop().records();
    const auto packet = statusPacket(static_cast<std::uint32_t>(t.clock.now));
    std::copy(packet.begin(), packet.end(), rec.status.begin());
    rec.statusPacketPending = true;
    EXPECT_EQ(t.s().main().LoggerStatusGB.colour, Colour::Yellow);
    t.s().displayRefreshTick();
    auto& s = t.s();
    EXPECT_FALSE(rec.statusPacketPending);
    EXPECT_EQ(s.main().LoggerStatusGB.colour, Colour::ButtonFace);
    EXPECT_TRUE(s.main().loggerStatusExpanded);
    EXPECT_TRUE(s.main().LBDandT.visible);
    EXPECT_EQ(s.loggerStatus().LBOperation.caption, "Standby");
    EXPECT_EQ(s.main().LBRunNumber.caption, "Run Number:  007");
    EXPECT_EQ(s.loggerStatus().LBCurrentV.caption, "12.3 V");
    EXPECT_EQ(s.main().title, "CV Host: v7.09e    TQ7-042: v7.09");
    EXPECT_EQ(s.logger().deviceName, "TQ-7");
    EXPECT_EQ(s.portTools().muxId().LBCurrentMuxID, "Current Logger ID:    2");
    EXPECT_TRUE(s.dataStatus().PortRowTable[0].name.visible);
    EXPECT_FALSE(s.dataStatus().PortRowTable[2].name.visible);
    EXPECT_EQ(s.dataStatus().PortRowTable[0].rateCaption.caption, "Bytes/Record:");
    EXPECT_EQ(s.dataStatus().PortRowTable[0].fileSize.caption, "4 K");
    EXPECT_EQ(s.dataStatus().AnalogRowTable[0].value.caption, "1.500");
    EXPECT_EQ(s.dataStatus().AnalogRowTable[7].value.caption, "2 k");
    EXPECT_TRUE(s.dataStatus().AnalogRowTable[7].name.visible);
    // Three quiet seconds turn the logger clock yellow.
    for (int i = 0; i < 3; ++i) {
        t.clock.now += 1;
        s.onTick10ms();
    }
    EXPECT_EQ(s.main().LBDandT.colour, Colour::Yellow);
}

TEST(SessionTicks, SynchronizeNowSendsOnceWithTheNextStatusRecord) {
    Ticks t;
    t.s().clockAndSleep().menuUpdateTimeNowClick();
    EXPECT_TRUE(t.s().main().item(MenuItem::MenuUpdateTimeNow).checked);
    t.s().displayRefreshTick();
    EXPECT_TRUE(t.line->written.empty());
    auto& rec = t.s().receiveLoop().records();
    const auto packet = statusPacket(static_cast<std::uint32_t>(t.clock.now));
    std::copy(packet.begin(), packet.end(), rec.status.begin());
    rec.statusPacketPending = true;
    t.s().displayRefreshTick();
    EXPECT_EQ(t.line->written.size(), 12u);
    EXPECT_FALSE(t.s().main().item(MenuItem::MenuUpdateTimeNow).checked);
    rec.statusPacketPending = true;
    t.s().displayRefreshTick();
    EXPECT_EQ(t.line->written.size(), 12u);
}

TEST(SessionTicks, BadFlashPanelFollowsTheLoggersReport) {
    Ticks t;
    t.s().displayRefreshTick();
    EXPECT_FALSE(t.s().main().FlashPanel.visible);
    t.s().receiveLoop().records().flashErrorIndicator = 3;
    t.s().displayRefreshTick();
    EXPECT_TRUE(t.s().main().FlashPanel.visible);
}

}  // namespace
}  // namespace cvh::test
