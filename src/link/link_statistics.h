// Counters of the logger link, kept by the receive loop and shown once a second.
#pragma once

#include <array>
#include <cstdint>

namespace cvh {

inline constexpr int kUnitCount = 5;            // units 0..4 send data
inline constexpr int kSequenceMemoryUnits = 9;  // sequence memory covers units 0..8

struct LinkStatistics {
    std::uint32_t totalInputBytes = 0;
    std::uint32_t packetCount = 0;
    std::uint32_t loops = 0;           // 10 ms ticks since the last 1 s tick
    std::uint32_t gapTotal = 0;        // "Mod Errors"
    std::uint32_t largestPayload = 0;  // this second
    std::uint32_t largestPayloadEver = 0;
    std::array<std::uint32_t, kUnitCount> unitPackets{};
    std::array<std::uint32_t, kUnitCount> unitGapEvents{};
    std::array<std::uint32_t, kUnitCount> unitLastGap{};
    // Data packets set aside before reaching the per-unit counters.
    std::uint32_t duplicatePackets = 0;
    std::uint32_t keepAlivePackets = 0;
    std::uint32_t badUnitPackets = 0;    // unit 5 or above: "Mux ID Error"
    std::uint32_t malformedRecords = 0;  // header unreadable or payload longer than the record
    std::uint32_t segmentsOutsidePayload = 0;  // counts adding up past the payload: not copied
    // Link watchdogs: a quiet start gives the operator 15 s (no bytes) or 20 s (no packets)
    // before the port setup is flagged; afterwards they reload to 2 and 3.
    std::int32_t noDataTimer = 15;
    std::int32_t badDataTimer = 20;
};

}  // namespace cvh
