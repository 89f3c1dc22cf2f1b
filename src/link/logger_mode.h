// The logger's mode of operation, as the setup record, the status display and the run
// directory number it (the items of the mode list in that order). The logger may report a
// number outside the named ones; the enumeration keeps it as it came.
#pragma once

#include <cstdint>

namespace cvh {

enum class LoggerMode : int {
    None = -1,  // nothing reported yet
    Profile = 0,
    Moored = 1,
    RealTime = 2,
    Analog = 3,
    RunLoggerPort1 = 4,  // 4..11: the logger passes one port straight through
    RunLoggerPort8 = 11,
    PolledMoored = 12,
    NotRecorded = 13,  // a run directory entry of a run the logger recorded in no mode
};
inline constexpr int kLoggerModeCount = 13;

constexpr int loggerModeNumber(LoggerMode mode) {
    return static_cast<int>(mode);
}
constexpr LoggerMode loggerModeOf(int number) {
    return static_cast<LoggerMode>(number);
}

// Only the moored modes offer the sample interval, Sleep and once-per-hour sampling.
constexpr bool isMooredMode(LoggerMode mode) {
    return mode == LoggerMode::Moored || mode == LoggerMode::PolledMoored;
}

}  // namespace cvh
