#include "session/clock_and_sleep.h"

namespace cvh {

ClockAndSleep::ClockAndSleep(const Clock& clock, LoggerCommands& commands, Operator& notices,
                             ChangeMarks& marks, Watched<MainWindowView>& main)
    : clock_(clock),
      commands_(commands),
      notices_(notices),
      main_(main),
      hostClock_(clock),
      timeSync_(marks, Area::Window),
      sleepWindow_(marks, Area::Sleep),
      sleepClock_(marks, Area::Sleep) {}

void ClockAndSleep::refreshHostClock() {
    if (!hostClock_.refresh())
        return;
    const auto& l = hostClock_.labels();
    auto& main = main_.edit();
    main.LBHostDandT.caption = l.LBHostDandT;
    auto& sleepClock = sleepClock_.edit();
    sleepClock.HostTime = l.HostTime;
    sleepClock.HostDate = l.HostDate;
    if (hostClock_.loggerClockStale())
        main.LBDandT.colour = Colour::Yellow;
}

void ClockAndSleep::setClockLogDirectory(const std::filesystem::path& directory) {
    if (directory.empty())
        clockLog_.reset();
    else
        clockLog_.emplace(directory / kClockLogName, clock_);
}

void ClockAndSleep::logClockCheck(const ClockCheck& check) {
    if (!clockLog_)
        return;
    const auto error = clockLog_->record(check);
    if (error && !clockLogFailing_)
        notices_.notice("Clock Log Error", error->describe(), true);
    clockLogFailing_ = error.has_value();
}

void ClockAndSleep::checkLoggerClock(std::uint32_t loggerClock, std::int32_t serialNumber) {
    refreshHostClock();
    const std::int64_t pcTime = clock_.utcSeconds();
    const LoggerClockUpdate u = cvh::checkLoggerClock(loggerClock, clock_, timeSync_.edit());
    if (u.setTime)
        commands_.sendCommand(u.setTime->code, u.setTime->argumentA, u.setTime->argumentB);
    logClockCheck(
        {pcTime, u.loggerUtc, serialNumber, u.setTime ? ClockAction::Set : ClockAction::None});
    auto& main = main_.edit();
    main.LBDandT.caption = u.LBDandT;
    main.LBDandT.colour = Colour::ButtonFace;
    hostClock_.clearStale();
    auto& sleepClock = sleepClock_.edit();
    sleepClock.SleepTime = u.SleepTime;
    sleepClock.SleepDate = u.SleepDate;
    main.LBDrift.visible = u.LBDriftVisible;
    if (u.LBDriftVisible)
        main.LBDrift.caption = u.LBDrift;
    syncTimeSyncMenu();
}

void ClockAndSleep::menuAutoTimeUpdateClick() {
    toggleAutoTimeUpdate(timeSync_.edit());
    syncTimeSyncMenu();
}

void ClockAndSleep::menuUpdateTimeNowClick() {
    requestTimeUpdateNow(timeSync_.edit());
    syncTimeSyncMenu();
}

bool ClockAndSleep::mooredTimeUpdatesClick() {
    const bool shown = toggleMooredTimeSource(timeSync_.edit());
    syncTimeSyncMenu();
    return shown;
}

void ClockAndSleep::restoreAutoTimeUpdate(bool checked) {
    timeSync_.edit().MenuAutoTimeUpdate = checked;
    main_.edit().item(MenuItem::MenuAutoTimeUpdate).checked = checked;
}

void ClockAndSleep::restoreMooredTimeUpdate(bool checked) {
    timeSync_.edit().MenuMooredTimeUpdate = checked;
    main_.edit().item(MenuItem::MenuMooredTimeUpdate).checked = checked;
}

void ClockAndSleep::syncTimeSyncMenu() {
    auto& main = main_.edit();
    main.item(MenuItem::MenuAutoTimeUpdate).checked = timeSync_->MenuAutoTimeUpdate;
    main.item(MenuItem::MenuUpdateTimeNow).checked = timeSync_->MenuUpdateTimeNow;
    main.item(MenuItem::MenuMooredTimeUpdate).checked = timeSync_->MenuMooredTimeUpdate;
}

void ClockAndSleep::sleepClick() {
    showSleepWindow(sleepWindow_.edit());
}

void ClockAndSleep::sleepButtonClick() {
    if (const auto c = requestSleep(sleepWindow_.edit(), clock_, notices_))
        commands_.sendCommand(c->code, c->argumentA, c->argumentB);
}

void ClockAndSleep::sleepCancelClick() {
    hideSleepWindow(sleepWindow_.edit());
}

void ClockAndSleep::editSleepTime(const std::string& text) {
    sleepWindow_.edit().METime = text;
}

void ClockAndSleep::editSleepDate(const std::string& text) {
    sleepWindow_.edit().MEDate = text;
}

}  // namespace cvh
