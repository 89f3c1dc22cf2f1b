#include "session/host_clock.h"

#include "base/cformat.h"

namespace cvh {

bool HostClock::refresh() {
    const std::int64_t now = clock_.utcSeconds();
    // The calendar conversion is the costly part; within one UTC second nothing can change.
    if (now == lastUtc_)
        return false;
    lastUtc_ = now;
    const CalendarTime local = clock_.localTime(now);
    pcTime_ = now;
    dst_ = local.daylightSaving;
    localForm_ = now - clock_.timezoneOffsetSeconds() + (dst_ ? 3600 : 0);
    if (local.second == lastSecond_)
        return false;
    lastSecond_ = local.second;
    const int yy = local.year % 100;
    labels_.LBHostDandT = cformat("%02d/%02d/%02d  %02d:%02d:%02d", local.month, local.day, yy,
                                  local.hour, local.minute, local.second);
    labels_.HostTime = cformat("%02d:%02d:%02d", local.hour, local.minute, local.second);
    labels_.HostDate = cformat("%02d/%02d/%02d", local.month, local.day, yy);
    if (loggerClockCountdown_ > 0)
        --loggerClockCountdown_;
    else
        stale_ = true;
    return true;
}

}  // namespace cvh
