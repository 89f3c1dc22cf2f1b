// The test-port and logger-ID windows: the frames they write and the notices they raise.
#include <gtest/gtest.h>

#include <vector>

#include "session_fixture.h"

namespace cvh::test {
namespace {

struct Tools : SessionFixture {
    std::shared_ptr<FakeLine> line;
    Tools() {
        line = addLoggerLine(1);
        s().startUp(dir());
        s().linkPorts().loggerPortChange(1, 6);
        line->written.clear();
    }
};

std::uint16_t be16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]);
}
std::uint32_t be32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(be16(b, at)) << 16 | be16(b, at + 2);
}

TEST(PortTools, AnalogPortsAt4800SevenEvenWithTheHostAt9600) {
    Tools t;
    t.s().modeMenuClick(MenuItem::MenuMoored);
    t.s().portTools().showTestPortWindow();
    t.s().portTools().chooseTestPort(8);       // "Analog Ports"
    t.s().portTools().chooseTestPortSetup(5);  // "4800,7,E,1"
    t.s().portTools().chooseHostPortSetup(6);  // "9600"
    t.s().portTools().startPortTest();
    const auto& w = t.line->written;
    ASSERT_EQ(w.size(), 24u);
    EXPECT_EQ(w[0], 10);
    EXPECT_EQ(w[1], 10);
    EXPECT_EQ(be16(w, 2), 9);
    EXPECT_EQ(be32(w, 4), 4800u);
    EXPECT_EQ(be32(w, 8), 9600u);
    EXPECT_EQ(be16(w, 12), 2);
    EXPECT_EQ(be16(w, 14), 0);
    EXPECT_EQ(be16(w, 16), 7);
    EXPECT_EQ(be16(w, 18), 8);
    EXPECT_EQ(be16(w, 20), 0);
    unsigned sum = 0;
    for (std::size_t i = 0; i < 22; ++i)
        sum += w[i];
    EXPECT_EQ(w[22], sum & 0xFF);
    EXPECT_EQ(w[23], (sum >> 8) & 0xFF);
    // The passed-through text shows on the Real Time Data page as raw logger data.
    EXPECT_TRUE(t.s().main().page(Page::RealTime));
    EXPECT_EQ(t.s().main().activePage, pageIndex(Page::RealTime));
    EXPECT_EQ(t.s().linkPorts().realTime().RawSourceCB, 1);
    EXPECT_FALSE(t.s().linkPorts().realTime().selectorsVisible);
    // Closing the window in moored mode hides the page again.
    t.s().portTools().closeTestPortWindow(t.s().activeHostMode());
    EXPECT_FALSE(t.s().main().page(Page::RealTime));
}

TEST(PortTools, NoPortChosenTestsPortOne) {
    Tools t;
    t.s().portTools().chooseTestPort(-1);
    t.s().portTools().startPortTest();
    ASSERT_EQ(t.line->written.size(), 24u);
    EXPECT_EQ(t.line->written[2], 0);
    EXPECT_EQ(t.line->written[3], 1);
    EXPECT_EQ(t.s().portTools().testPort().CBTestPort, 0);
}

TEST(PortTools, OffSettingsAreRefusedWithTheirNotice) {
    Tools t;
    t.s().portTools().chooseTestPortSetup(0);
    t.s().portTools().startPortTest();
    t.s().portTools().chooseTestPortSetup(6);
    t.s().portTools().chooseHostPortSetup(0);
    t.s().portTools().startPortTest();
    EXPECT_TRUE(t.line->written.empty());
    const auto n = t.op.notices();
    ASSERT_EQ(n.size(), 2u);
    EXPECT_EQ(n[0].caption, "Test Port Error");
    EXPECT_EQ(n[0].text, "Please a Test Port Setup");
    EXPECT_EQ(n[1].text, "Please a Host Port Setup");
    EXPECT_EQ(t.op.beeps, 2);
}

TEST(PortTools, StopTestSendsTheStopSequence) {
    Tools t;
    SessionTestAccess::setup(t.s()).portSetup.CBHostPortSetup.index = 6;
    t.s().portTools().stopPortTest();
    ASSERT_EQ(t.line->written.size(), 12u + 19u);
    EXPECT_EQ(t.line->written[2], 0xA1);
    t.line->written.clear();
    SessionTestAccess::setup(t.s()).portSetup.CBHostPortSetup.index = 7;
    t.s().portTools().stopPortTest();
    EXPECT_EQ(std::string(t.line->written.begin(), t.line->written.end()), "    STOP7E1STOP7E1");
}

TEST(PortTools, LoggerIdWindowSendsTheSpinnerPosition) {
    Tools t;
    EXPECT_EQ(t.s().portTools().muxId().LBNewMuxID, "002");
    EXPECT_EQ(t.s().portTools().muxId().LBCurrentMuxID, "Current Logger ID:  XXX");
    t.s().portTools().muxIdClick(3);
    EXPECT_EQ(t.s().portTools().muxId().LBNewMuxID, "  3");
    t.s().portTools().muxIdClick(9);
    EXPECT_EQ(t.s().portTools().muxId().UDMuxID, 4);
    t.s().portTools().sendMuxId();
    const auto& w = t.line->written;
    ASSERT_EQ(w.size(), 12u);
    EXPECT_EQ(w[2], 0xA6);
    EXPECT_EQ(w[3], 0xA6);
    EXPECT_EQ(w[8], 4);
    EXPECT_EQ(w[9], 0);
}

TEST(PortTools, StatisticsMenuOpensSlotZeroWithNineLines) {
    Tools t;
    t.s().linkPorts().hostPortStatsClick();
    EXPECT_EQ(t.s().linkPorts().stats().boundSlot(), 0);
    EXPECT_EQ(t.s().linkPorts().stats().caption(), "Logger Port Statistics");
    EXPECT_TRUE(t.s().linkPorts().stats().line(9).visible);
}

}  // namespace
}  // namespace cvh::test
