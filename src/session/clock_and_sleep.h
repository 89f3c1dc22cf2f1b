// The clock and sleep controller: the host clock shown each second, the logger's clock checked
// against it from every status record (setting it when asked to or when it drifted), the time
// synchronisation menu and the sleep window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "base/clock.h"
#include "base/operator.h"
#include "config/logger_clock.h"
#include "config/sleep_request.h"
#include "files/clock_audit_log.h"
#include "link/command_frames.h"
#include "session/change_marks.h"
#include "session/console_views.h"
#include "session/host_clock.h"
#include "session/session_key.h"

namespace cvh {

class ClockAndSleep {
public:
    ClockAndSleep(const Clock& clock, LoggerCommands& commands, Operator& notices,
                  ChangeMarks& marks, Watched<MainWindowView>& main);

    const HostClock& hostClock() const { return hostClock_; }
    HostClock& hostClock() { return hostClock_; }
    const TimeSyncMenu& timeSync() const { return *timeSync_; }
    const SleepWindow& sleepWindow() const { return *sleepWindow_; }
    const SleepClockView& sleepClock() const { return *sleepClock_; }

    // The 10 ms tick: the host clock's labels change once a second.
    void refreshHostClock();
    // Compares the logger's clock (local form) with the PC's, shows both and the drift, and
    // sets the logger's clock when asked to or when it is more than 5 s off. Drift and every
    // setting go to "clock.log" once its directory is known.
    void checkLoggerClock(std::uint32_t loggerClock, std::int32_t serialNumber = 0);
    // The start directory, where "clock.log" is kept; empty keeps no log.
    void setClockLogDirectory(const std::filesystem::path& directory);
    // A status record was shown: the logger clock label goes stale unless another follows.
    void restartLoggerClockCountdown() { hostClock_.restartLoggerClockCountdown(); }

    void menuAutoTimeUpdateClick();
    void menuUpdateTimeNowClick();
    // "Moored Time Source": returns whether TimeSourceLB and TimeSourceCB are now shown.
    bool mooredTimeUpdatesClick();
    // The two ticks a host setup file restores.
    void restoreAutoTimeUpdate(bool checked);
    void restoreMooredTimeUpdate(bool checked);

    void sleepClick();                            // BTSleep: shows the sleep window
    void sleepButtonClick();                      // SleepButton: requestSleep
    void sleepCancelClick();                      // CancelButton
    void editSleepTime(const std::string& text);  // METime typed
    void editSleepDate(const std::string& text);  // MEDate typed

    // The menu ticks and the sleep window for a loaded host setup file and tests.
    TimeSyncMenu& editTimeSync(SessionKey) { return timeSync_.edit(); }
    SleepWindow& editSleepWindow(SessionKey) { return sleepWindow_.edit(); }

private:
    void syncTimeSyncMenu();
    void logClockCheck(const ClockCheck& check);

    const Clock& clock_;
    LoggerCommands& commands_;
    Operator& notices_;
    Watched<MainWindowView>& main_;
    HostClock hostClock_;
    Watched<TimeSyncMenu> timeSync_;
    Watched<SleepWindow> sleepWindow_;
    Watched<SleepClockView> sleepClock_;
    std::optional<ClockAuditLog> clockLog_;
    bool clockLogFailing_ = false;  // reported once until a line is written again
};

}  // namespace cvh
