// Tests set up a session's state directly where driving it through the operations would only
// repeat them; the console has no such access. Every edit marks its area as the controllers'
// own setters do.
#pragma once

#include "session/host_session.h"

namespace cvh {

struct SessionTestAccess {
    static MainWindowView& main(HostSession& s) { return s.main_.edit(); }
    static SetupForms& setup(HostSession& s) { return s.setup_.edit(SessionKey()); }
    static HostSetupControls& hostControls(HostSession& s) {
        return s.hostSetup_.edit(SessionKey());
    }
    static TimeSyncMenu& timeSync(HostSession& s) {
        return s.clockAndSleep_.editTimeSync(SessionKey());
    }
    static SleepWindow& sleepWindow(HostSession& s) {
        return s.clockAndSleep_.editSleepWindow(SessionKey());
    }
    static std::array<int, kDeckSlotCount>& pcBytesIn(HostSession& s) {
        return s.pcLogger_.bytesIn(SessionKey());
    }
    static ReplayControlsVisibility& replayControls(HostSession& s) {
        return s.replayControls_.edit();
    }
    static void colourModeLabels(HostSession& s, HostMode hostMode, LoggerMode loggerMode) {
        s.colourModeLabels(hostMode, loggerMode);
    }
};

}  // namespace cvh
