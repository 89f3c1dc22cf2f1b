// The logger clock check made with each status record: show the logger's clock and its drift
// from the PC clock, and set the logger's clock when the operator asked for it or when automatic
// synchronisation is on and the two differ by more than 5 seconds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/clock.h"
#include "link/command_frames.h"

namespace cvh {

// A command frame to send to the logger: code and its two arguments.
struct CommandRequest {
    CommandCode code;
    std::uint32_t argumentA = 0;
    std::uint16_t argumentB = 0;
    bool operator==(const CommandRequest&) const = default;
};

// The "Synchronize Logger Time" menu items and "Moored Time Source".
struct TimeSyncMenu {
    bool MenuAutoTimeUpdate = true;     // "Automatic Time Sync"
    bool MenuUpdateTimeNow = false;     // "Synchronize Time Now": a one-shot request
    bool MenuMooredTimeUpdate = false;  // "Moored Time Source"
};

struct LoggerClockUpdate {
    std::int64_t loggerUtc = 0;  // the logger clock as UTC seconds
    std::string LBDandT;         // "%m/%d/%y   %H:%M:%S", back on the button face
    std::string SleepTime;       // sleep window, "%H:%M:%S"
    std::string SleepDate;       // sleep window, "%m/%d/%y"
    bool LBDriftVisible = false;
    std::string LBDrift;                    // "Drift:  hh:mm:ss Fast " / "... Slow "
    std::optional<CommandRequest> setTime;  // 0xAEAE with the PC time in the logger's local form
};

// `loggerClock` is the status record's clock in the logger's local form. The caller refreshes
// the host clock labels first. Unticks MenuUpdateTimeNow when it sends the time.
LoggerClockUpdate checkLoggerClock(std::uint32_t loggerClock, const Clock& clock,
                                   TimeSyncMenu& menu);

// The drift label text for a drift in seconds (positive: the logger is ahead).
std::string driftText(std::int64_t driftSeconds);

}  // namespace cvh
