// The host clock as the logger counts time: PC seconds since 1970 in UTC, and the same instant
// in the logger's local form (UTC minus the C library's zone offset, plus 3600 while daylight
// saving is in force). Refreshed on every 10 ms tick; the labels change once a second.
#pragma once

#include <cstdint>
#include <string>

#include "base/clock.h"

namespace cvh {

struct HostClockLabels {
    std::string LBHostDandT;  // "MM/DD/YY  hh:mm:ss"
    std::string HostTime;     // sleep window
    std::string HostDate;
};

class HostClock {
public:
    explicit HostClock(const Clock& clock) : clock_(clock) {}

    // Reads the clock; returns true when the local second changed (labels rewritten).
    bool refresh();

    std::int64_t pcTime() const { return pcTime_; }
    std::int64_t localForm() const { return localForm_; }
    bool daylightSaving() const { return dst_; }
    const HostClockLabels& labels() const { return labels_; }
    const Clock& clock() const { return clock_; }

    // Logger-clock display countdown: set to 2 by each shown status record, run down once a
    // second; at 0 the logger clock label turns yellow (status records have stopped).
    void restartLoggerClockCountdown() { loggerClockCountdown_ = 2; }
    bool loggerClockStale() const { return stale_; }
    void clearStale() { stale_ = false; }
    int loggerClockCountdown() const { return loggerClockCountdown_; }

private:
    const Clock& clock_;
    std::int64_t pcTime_ = 0;
    std::int64_t localForm_ = 0;
    bool dst_ = false;
    std::int64_t lastUtc_ = -1;
    int lastSecond_ = -1;
    int loggerClockCountdown_ = 0;
    bool stale_ = false;
    HostClockLabels labels_;
};

}  // namespace cvh
