// What the logger-port controls show, presented from the port manager's state; the console
// copies it into the widgets.
#pragma once

#if defined(CVH_CORE_FACTS_ONLY)
#error "presentation header: link, config and files report facts, the session presents them"
#endif

#include <string>

#include "link/port_manager.h"
#include "session/colour.h"

namespace cvh {

inline constexpr const char* kShowLoggerPortSetupCaption = "Show Logger Port Setup";
inline constexpr const char* kHideLoggerPortSetupCaption = "Hide Logger Port Setup";

struct LoggerPortView {
    int loggerPortIndex = 0;   // LoggerPortCB: the COM number, 0 = "No Port Selected"
    int loggerSetupIndex = 0;  // LoggerSetupCB: line choice 0..11, 0 = "OFF"
    Colour loggerPortColour = Colour::Window;       // LoggerPortCB
    Colour loggerSetupColour = Colour::Window;      // LoggerSetupCB
    Colour pLoggerPortColour = Colour::ButtonFace;  // PLoggerPort
    bool loggerPortGroupVisible = false;            // LoggerPortGB "Logger Port Setup"
    std::string showLoggerPortSetupCaption = kShowLoggerPortSetupCaption;  // ShowLoggerPortSetup
    bool autoBaudChecked = false;                                          // AutoBaudRateDetection
};

// A suspect port or line setting shows red, and so does the panel while either is suspect.
inline LoggerPortView presentLoggerPort(const LoggerPortState& s) {
    LoggerPortView v;
    v.loggerPortIndex = s.loggerPortIndex;
    v.loggerSetupIndex = s.loggerSetupIndex;
    v.loggerPortColour = s.portSilent ? Colour::Red : Colour::Window;
    v.loggerSetupColour = s.lineGarbled ? Colour::Red : Colour::Window;
    v.pLoggerPortColour = s.linkSuspect ? Colour::Red : Colour::ButtonFace;
    v.loggerPortGroupVisible = s.setupShown;
    v.showLoggerPortSetupCaption =
        s.setupShown ? kHideLoggerPortSetupCaption : kShowLoggerPortSetupCaption;
    v.autoBaudChecked = s.autoBaud;
    return v;
}

}  // namespace cvh
