// Figures the simulated logger's firmware works by, shared by its runs, its clock and its
// stored demonstration runs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cvh::sim {

// Room kept free in memory for the records that close a run.
inline constexpr std::size_t kRunClosingReserve = 512;
inline constexpr std::int16_t kFreshBatteryMillivolts = 12600;
// A run records the battery and the time this often.
inline constexpr std::int64_t kBatteryRecordMs = 60000;

}  // namespace cvh::sim
