// Puts the faults of a bad line on the logger's packets: random bytes between packets, wrong
// checksums, lost packets and packets sent twice. Plain text passes untouched.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "sim_options.h"

namespace cvh::sim {

struct FaultCounters {
    std::uint64_t garbageBursts = 0;
    std::uint64_t corrupted = 0;
    std::uint64_t dropped = 0;
    std::uint64_t duplicated = 0;
};

// What became of one packet on the line. A packet both corrupted and sent twice is Corrupted:
// neither copy can be taken.
enum class LineFate { Sent, Corrupted, Duplicated, Dropped };

const char* lineFateName(LineFate fate);

class FaultInjector {
public:
    FaultInjector(FaultSettings settings, std::uint64_t seed);

    // Appends what the line carries for one packet (or text) to `line`.
    LineFate apply(const std::vector<std::uint8_t>& bytes, bool packet,
                   std::vector<std::uint8_t>& line);
    const FaultCounters& counters() const { return counters_; }

private:
    bool chance(double p);

    FaultSettings settings_;
    std::mt19937_64 random_;
    FaultCounters counters_;
};

}  // namespace cvh::sim
