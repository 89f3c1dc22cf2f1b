#include "session/link_monitor.h"

#include "base/cformat.h"

namespace cvh {

namespace {
// The statistics window reports on the logger port.
constexpr int kStatsSlot = 0;
unsigned long ul(std::uint32_t v) {
    return static_cast<unsigned long>(v);
}
}  // namespace

std::uint32_t LinkMonitor::countPackets(LinkStatistics& s, StatsWindow& w) {
    const std::uint32_t packets = s.packetCount - previousPackets_;
    if (packets == 0) {
        --s.badDataTimer;
        w.setStatsColour(kStatsSlot, 3, Colour::Red);
    } else {
        s.badDataTimer = 3;
        w.setStatsColour(kStatsSlot, 3, Colour::Window);
    }
    return packets;
}

void LinkMonitor::showPacketRate(std::uint32_t packets, StatsWindow& w) {
    w.setStatsLine(kStatsSlot, 3, cformat("Packets/Sec:  %lu", ul(packets)));
    previousPackets_ += packets;
}

std::uint32_t LinkMonitor::countBytes(LinkStatistics& s, StatsWindow& w) {
    const std::uint32_t bytes = s.totalInputBytes - previousBytes_;
    if (bytes == 0) {
        --s.noDataTimer;
        w.setStatsColour(kStatsSlot, 1, Colour::Yellow);
    } else {
        s.noDataTimer = 2;
        w.setStatsColour(kStatsSlot, 1, Colour::ButtonFace);
    }
    w.setStatsLine(kStatsSlot, 1, cformat("Bytes/Sec:  %lu", ul(bytes)));
    previousBytes_ = s.totalInputBytes;
    w.setStatsLine(kStatsSlot, 2, cformat("Total Input: %lu", ul(s.totalInputBytes)));
    return bytes;
}

void LinkMonitor::showPayloadAndTimers(LinkStatistics& s, StatsWindow& w) {
    if (s.largestPayload > s.largestPayloadEver)
        s.largestPayloadEver = s.largestPayload;
    w.setStatsLine(kStatsSlot, 4,
                   cformat("Max Bytes/Packet: %d   %d", static_cast<int>(s.largestPayload),
                           static_cast<int>(s.largestPayloadEver)));
    s.largestPayload = 0;
    w.setStatsLine(kStatsSlot, 8,
                   cformat("No Data Timer: %03ld", static_cast<long>(s.noDataTimer)));
    w.setStatsLine(kStatsSlot, 9,
                   cformat("Bad Data Timer: %03ld", static_cast<long>(s.badDataTimer)));
}

void LinkMonitor::showModErrors(const LinkStatistics& s, StatsWindow& w) {
    w.setStatsLine(kStatsSlot, 6, cformat("Mod Errors:  %1lu", ul(s.gapTotal)));
}

void LinkMonitor::showLoops(LinkStatistics& s, StatsWindow& w) {
    w.setStatsLine(kStatsSlot, 7, cformat("Loops: %d ", static_cast<int>(s.loops)));
    s.loops = 0;
}

void LinkMonitor::showPacketCount(const LinkStatistics& s, StatsWindow& w) {
    w.setStatsLine(kStatsSlot, 5, cformat("Packet Count: %lu", ul(s.packetCount)));
}

}  // namespace cvh
