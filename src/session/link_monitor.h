// The once-a-second view of the link: rates and totals from the receive loop's counters, the
// watchdog timers and the colours that tell the operator a link is quiet (yellow bytes line) or
// noisy (red packets line). The session runs these steps in order with the port watchdog,
// recorder and upload pacing in between.
#pragma once

#include <cstdint>

#include "link/link_statistics.h"
#include "session/stats_window.h"

namespace cvh {

class LinkMonitor {
public:
    struct Second {
        std::uint32_t packets = 0;
        std::uint32_t bytes = 0;
    };

    // Packets per second: a second without packets runs the bad-data timer down and turns
    // line 3 red; a packet reloads it. Returns this second's packet count.
    std::uint32_t countPackets(LinkStatistics& s, StatsWindow& w);
    // Lines 3 to 9 except 6 and 7: packets, bytes (yellow when quiet), total input, largest
    // payload, watchdog timers. Runs the no-data timer; resets this second's largest payload.
    std::uint32_t countBytes(LinkStatistics& s, StatsWindow& w);
    void showPacketRate(std::uint32_t packets, StatsWindow& w);
    void showPayloadAndTimers(LinkStatistics& s, StatsWindow& w);
    void showModErrors(const LinkStatistics& s, StatsWindow& w);
    // Line 7: 10 ms ticks in the last second; resets the count.
    void showLoops(LinkStatistics& s, StatsWindow& w);
    // Line 5, written by the 10 ms tick whenever the packet count moved.
    static void showPacketCount(const LinkStatistics& s, StatsWindow& w);

private:
    std::uint32_t previousPackets_ = 0;
    std::uint32_t previousBytes_ = 0;
};

}  // namespace cvh
