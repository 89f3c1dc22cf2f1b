// The statistics window's binding, and the link monitor across quiet, noisy and healthy seconds.
#include <gtest/gtest.h>

#include "session/live_format.h"
#include "session/stats_window.h"
#include "session_fixture.h"

namespace cvh::test {
namespace {

TEST(StatsWindow, BindsToOneSlotAndIgnoresOthers) {
    StatsWindow w;
    w.setStatsLine(0, 1, "before");
    EXPECT_EQ(w.line(1).text, "");
    w.openStats(0, 9, "Logger Port Statistics");
    EXPECT_TRUE(w.visible());
    for (int i = 1; i <= 9; ++i)
        EXPECT_TRUE(w.line(i).visible);
    w.setStatsLine(0, 3, "Packets/Sec:  4");
    w.setStatsLine(1, 3, "other port");
    w.setStatsColour(1, 3, Colour::Red);
    EXPECT_EQ(w.line(3).text, "Packets/Sec:  4");
    EXPECT_EQ(w.line(3).colour, Colour::ButtonFace);
    w.setStatsLine(0, StatsWindow::kLineCount + 1, "no such line");
    w.closeStats();
    EXPECT_EQ(w.boundSlot(), -1);
    EXPECT_EQ(w.caption(), "Closed");
    for (int i = 1; i <= 9; ++i)
        EXPECT_FALSE(w.line(i).visible);
    w.openStats(0, 4, "Four");
    EXPECT_TRUE(w.line(4).visible);
    EXPECT_FALSE(w.line(5).visible);
    w.openStats(0, StatsWindow::kLineCount + 1, "Too many");
    EXPECT_FALSE(w.visible());
}

struct Monitor : SessionFixture {
    Monitor() {
        s().startUp(dir());
        s().linkPorts().hostPortStatsClick();
    }
    const StatsLine& line(int n) { return s().linkPorts().stats().line(n); }
};

TEST(LinkMonitor, QuietSecondsRunBothTimersDownAndColourTheLines) {
    Monitor m;
    auto& link = m.s().link();
    EXPECT_EQ(link.noDataTimer, 15);
    EXPECT_EQ(link.badDataTimer, 20);
    m.s().onTick1000ms();
    EXPECT_EQ(link.noDataTimer, 14);
    EXPECT_EQ(link.badDataTimer, 19);
    EXPECT_EQ(m.line(1).text, "Bytes/Sec:  0");
    EXPECT_EQ(m.line(1).colour, Colour::Yellow);
    EXPECT_EQ(m.line(3).colour, Colour::Red);
    EXPECT_EQ(m.line(8).text, "No Data Timer: 014");
    EXPECT_EQ(m.line(9).text, "Bad Data Timer: 019");
}

TEST(LinkMonitor, TheWindowShowsTheBytesThePortDroppedEachWay) {
    Monitor m;
    auto line = m.addLoggerLine();
    m.s().linkPorts().loggerPortChange(1, 6);
    line->overrun = 5000;  // came faster than read
    line->writeLimit = 0;  // the send queue takes nothing
    const std::uint8_t bytes[3] = {1, 2, 3};
    m.s().ports().writePort(0, bytes, sizeof bytes);
    m.s().onTick1000ms();
    EXPECT_EQ(m.line(StatsWindow::kOverrunLine).text, "Overrun: 5000 bytes");
    EXPECT_EQ(m.line(StatsWindow::kWriteOverflowLine).text, "Write Overflow: 3 bytes");
}

TEST(LinkMonitor, NoisySecondsKeepBytesButRunTheBadDataTimer) {
    Monitor m;
    auto& link = m.s().link();
    link.noDataTimer = 2;
    link.badDataTimer = 3;
    link.totalInputBytes += 480;
    m.s().onTick1000ms();
    EXPECT_EQ(link.noDataTimer, 2);
    EXPECT_EQ(link.badDataTimer, 2);
    EXPECT_EQ(m.line(1).text, "Bytes/Sec:  480");
    EXPECT_EQ(m.line(1).colour, Colour::ButtonFace);
    EXPECT_EQ(m.line(2).text, "Total Input: 480");
    EXPECT_EQ(m.line(3).text, "Packets/Sec:  0");
    EXPECT_EQ(m.line(3).colour, Colour::Red);
    link.totalInputBytes += 100;
    m.s().onTick1000ms();
    m.s().onTick1000ms();  // a quiet second too
    EXPECT_EQ(link.noDataTimer, 1);
    EXPECT_EQ(link.badDataTimer, 0);
    EXPECT_EQ(m.line(2).text, "Total Input: 580");
}

TEST(LinkMonitor, HealthySecondsReloadTimersAndShowRates) {
    Monitor m;
    auto& s = m.s();
    auto& link = s.link();
    s.portManager().state().lineGarbled = true;
    s.portManager().state().linkSuspect = true;
    link.totalInputBytes = 1200;
    link.packetCount = 40;
    link.largestPayload = 250;
    link.gapTotal = 3;
    link.unitPackets = {5, 40, 0, 0, 0};
    link.unitGapEvents = {0, 2, 0, 0, 0};
    link.unitLastGap = {0, 7, 0, 0, 0};
    for (int i = 0; i < 100; ++i)
        s.onTick10ms();
    EXPECT_EQ(m.line(5).text, "Packet Count: 40");
    s.onTick1000ms();
    EXPECT_EQ(link.noDataTimer, 2);
    EXPECT_EQ(link.badDataTimer, 3);
    EXPECT_EQ(s.portView().loggerSetupColour, Colour::Window);
    EXPECT_EQ(s.portView().pLoggerPortColour, Colour::ButtonFace);
    EXPECT_EQ(m.line(3).text, "Packets/Sec:  40");
    EXPECT_EQ(m.line(3).colour, Colour::Window);
    EXPECT_EQ(m.line(4).text, "Max Bytes/Packet: 250   250");
    EXPECT_EQ(m.line(6).text, "Mod Errors:  3");
    EXPECT_EQ(m.line(7).text, "Loops: 100 ");
    EXPECT_EQ(link.loops, 0u);
    EXPECT_EQ(link.largestPayload, 0u);
    EXPECT_EQ(s.linkPorts().realTime().LBTimeUnit.caption, "Time Unit: 5");
    EXPECT_EQ(s.linkPorts().realTime().LBUnit[0].caption, "Unit 1: 40 \t2 \t7");
    EXPECT_EQ(s.linkPorts().realTime().LBUnit[3].caption, "Unit 4: 0 \t0 \t0");
    link.largestPayload = 100;
    link.packetCount += 10;
    s.onTick1000ms();
    EXPECT_EQ(m.line(4).text, "Max Bytes/Packet: 100   250");
    EXPECT_EQ(m.line(3).text, "Packets/Sec:  10");
    s.linkPorts().resetCounters();
    s.onTick1000ms();
    EXPECT_EQ(s.linkPorts().realTime().LBUnit[0].caption, "Unit 1: 0 \t0 \t0");
}

TEST(LinkMonitor, PortPanelShowsTheChosenPort) {
    Monitor m;
    auto& s = m.s();
    s.onTick1000ms();
    EXPECT_FALSE(s.main().PLoggerPort.visible);
    EXPECT_EQ(s.main().COMStatus.caption, "No Port @ 9600 Baud");
    auto line = m.addLoggerLine(3);
    s.linkPorts().loggerPortChange(3, 7);
    s.onTick1000ms();
    EXPECT_TRUE(s.main().PLoggerPort.visible);
    EXPECT_EQ(s.main().PLoggerPort.caption, "Logger Port: COM3");
    EXPECT_EQ(s.main().COMStatus.caption, "COM3 @ 9600,7,E,1");
    EXPECT_EQ(line->modes.back(), "9600,E,7,1");
}

TEST(LinkMonitor, PcPortLinesFollowTheDeckPortsFunctions) {
    Monitor m;
    auto& s = m.s();
    m.backend.add(s.ports().names().name(5));
    s.ports().openPort(2, 5);
    s.deckRouting().pcFunction[2] = 3;
    SessionTestAccess::pcBytesIn(s)[2] = 12;
    s.deckRouting().pcBytesOut[2] = 345;
    s.deckRouting().pcFunction[1] = 1;
    s.onTick1000ms();
    EXPECT_EQ(s.dataStatus().DSPCPort[1].caption, "Port 2:  In   12   Out  345");
    EXPECT_TRUE(s.dataStatus().DSPCPort[1].visible);
    EXPECT_FALSE(s.dataStatus().DSPCPort[0].visible);
    EXPECT_EQ(s.dataStatus().PCPort[0], "Port 1:  In     0");
    EXPECT_TRUE(s.dataStatus().DSPCPorts.visible);
    EXPECT_EQ(s.deckRouting().pcBytesOut[2], 0);
    EXPECT_EQ(SessionTestAccess::pcBytesIn(s)[2], 0);
    EXPECT_EQ(formatPcPortLine(4, 2, 0, 7), "Port 4:  Out    7");
    EXPECT_EQ(formatPcPortLine(4, 0, 1, 7), "Port 4:");
}

TEST(DescribePort, NamesPortAndLineChoice) {
    EXPECT_EQ(describePort(0, 0), "No Port is OFF");
    EXPECT_EQ(describePort(3, 7), "COM3 @ 9600,7,E,1");
    EXPECT_EQ(describePort(12, 11), "COM12 @ 115200 Baud");
    EXPECT_EQ(describePort(1, 5), "COM1 @ 4800,7,E,1");
    EXPECT_EQ(describePort(1, 12), "COM1 @ Unknown Baud");
    EXPECT_EQ(describePort(1, -1), "COM1 @ Unknown Baud");
}

}  // namespace
}  // namespace cvh::test
