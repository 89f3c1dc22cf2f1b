#include "config/logger_clock.h"

#include "base/cformat.h"

namespace cvh {

std::string driftText(std::int64_t drift) {
    const long d = static_cast<long>(drift < 0 ? -drift : drift);
    const long hours = d / 3600;
    const long minutes = (d - hours * 3600) / 60;
    const long seconds = d % 60;
    return cformat(
        drift > 0 ? "Drift:  %02ld:%02ld:%02ld Fast " : "Drift:  %02ld:%02ld:%02ld Slow ", hours,
        minutes, seconds);
}

LoggerClockUpdate checkLoggerClock(std::uint32_t loggerClock, const Clock& clock,
                                   TimeSyncMenu& menu) {
    LoggerClockUpdate u;
    const std::int64_t pcTime = clock.utcSeconds();
    const bool dstNow = clock.localTime(pcTime).daylightSaving;
    u.loggerUtc = fromLoggerTime(clock, loggerClock, dstNow);
    const std::int64_t drift = u.loggerUtc - pcTime;

    if (menu.MenuUpdateTimeNow || (menu.MenuAutoTimeUpdate && (drift > 5 || drift < -5))) {
        menu.MenuUpdateTimeNow = false;
        const std::int64_t localForm = pcTime - clock.timezoneOffsetSeconds() + (dstNow ? 3600 : 0);
        u.setTime = CommandRequest{CommandCode::SetTime, static_cast<std::uint32_t>(localForm), 0};
    }

    const CalendarTime t = clock.localTime(u.loggerUtc);
    u.LBDandT = cformat("%02d/%02d/%02d   %02d:%02d:%02d", t.month, t.day, t.year % 100, t.hour,
                        t.minute, t.second);
    u.SleepTime = cformat("%02d:%02d:%02d", t.hour, t.minute, t.second);
    u.SleepDate = cformat("%02d/%02d/%02d", t.month, t.day, t.year % 100);

    u.LBDriftVisible = drift >= 5 || drift <= -5;
    if (u.LBDriftVisible)
        u.LBDrift = driftText(drift);
    return u;
}

}  // namespace cvh
