// Putting a moored logger to sleep until a wake-up time typed by the operator, and the sleep
// window that collects it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/clock.h"
#include "base/operator.h"
#include "config/logger_clock.h"

namespace cvh {

// The sleep window (TSleepForm, "Sleep Options"). The clock lines are written by the host clock
// and by the logger clock check.
struct SleepWindow {
    bool visible = false;
    std::string METime = "HH:MM:SS";
    std::string MEDate = "MM/DD/YY";
    std::string HostTime;
    std::string HostDate;
    std::string SleepTime;
    std::string SleepDate;
};

struct ParsedTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
};
struct ParsedDate {
    int month = 1;
    int day = 1;
    int year = 2000;  // full year
};
// "HH:MM:SS" with the hour 0..23 and minutes and seconds 0..59.
std::optional<ParsedTime> parseSleepTime(const std::string& text);
// "MM/DD/YY": month 1..12, day 1..31 (a day past the month's end rolls into the next month);
// the year 0..37 means 2000..2037, above 2000 it is a four-digit year, anything else is refused.
std::optional<ParsedDate> parseSleepDate(const std::string& text);

// SleepButton: checks the typed time and date, asks for confirmation and returns the Sleep
// command to send (then the window is hidden). Errors are told to the operator and leave the
// window open with the text as typed.
std::optional<CommandRequest> requestSleep(SleepWindow& window, const Clock& clock, Operator& op);

// The Sleep button shows the window; its Cancel button hides it, nothing sent.
inline void showSleepWindow(SleepWindow& window) {
    window.visible = true;
}
inline void hideSleepWindow(SleepWindow& window) {
    window.visible = false;
}

// The menu switches of the logger clock and the moored time source.
inline void toggleAutoTimeUpdate(TimeSyncMenu& menu) {
    menu.MenuAutoTimeUpdate = !menu.MenuAutoTimeUpdate;
}
// A one-shot request served by the clock check with the next status record.
inline void requestTimeUpdateNow(TimeSyncMenu& menu) {
    menu.MenuUpdateTimeNow = true;
}
// Toggles "Moored Time Source"; returns whether TimeSourceLB and TimeSourceCB are now visible.
inline bool toggleMooredTimeSource(TimeSyncMenu& menu) {
    menu.MenuMooredTimeUpdate = !menu.MenuMooredTimeUpdate;
    return menu.MenuMooredTimeUpdate;
}

}  // namespace cvh
