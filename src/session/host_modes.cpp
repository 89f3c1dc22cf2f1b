#include "session/host_modes.h"

namespace cvh {

const std::array<PageInfo, kPageCount> kPages = {{
    {"TSPortSetup", "Port Setup"},
    {"TSLoggerControl", "Logger Control"},
    {"TSPlotSetup", "Plot Setup"},
    {"TSAnalog", "Analog Calibration"},
    {"TSHardware", "Hardware Configuration"},
    {"TSPCLogger", "PC-Logger"},
    {"TSRecord", "Recording: OFF"},
    {"TSRealTime", "Real Time Data"},
    {"TSUpload", "Upload Logger Data"},
    {"TSDataStatus", "Data Status"},
    {"TSLivePlot", "Live Plot"},
}};

namespace {

constexpr int kBar = -1;
constexpr int kFiles = menuIndex(MenuItem::Files1);
constexpr int kModes = menuIndex(MenuItem::Modes1);
constexpr int kCommands = menuIndex(MenuItem::CommandsMenu);
constexpr int kFactory = menuIndex(MenuItem::MenuFactorySettings);
constexpr int kTimeSync = menuIndex(MenuItem::MenuLoggerTimeUpdate);
constexpr int kPortMenu = menuIndex(MenuItem::MenuLoggerPortSetup);
constexpr int kHelp = menuIndex(MenuItem::Help1);

constexpr MenuItemInfo item(MenuItem m, const char* name, const char* caption, int parent,
                            bool visible = true) {
    return {m, name, caption, parent, false, false, false, visible};
}
constexpr MenuItemInfo check(MenuItem m, const char* name, const char* caption, int parent,
                             bool checked) {
    return {m, name, caption, parent, false, true, checked, true};
}
constexpr MenuItemInfo separator(MenuItem m, const char* name, int parent) {
    return {m, name, "", parent, true, false, false, true};
}

}  // namespace

const std::array<MenuItemInfo, kMenuItemCount> kMenuTable = {{
    item(MenuItem::Files1, "Files1", "&Files", kBar),
    item(MenuItem::LoadHostSetupFile, "LoadHostSetupFile", "Open Corvane Host Setup File (CVH)",
         kFiles),
    item(MenuItem::StoreHostSetupFile, "StoreHostSetupFile", "Save Corvane Host Setup File (CVH)",
         kFiles),
    separator(MenuItem::N4, "N4", kFiles),
    item(MenuItem::Exit1, "Exit1", "E&xit", kFiles),
    item(MenuItem::Modes1, "Modes1", "&Modes", kBar),
    item(MenuItem::Menukb5PassThru, "Menukb5PassThru", "kb5 Pass Thru", kModes),
    item(MenuItem::MenuMoored, "MenuMoored", "Moored Logging", kModes),
    item(MenuItem::MenuProfile, "MenuProfile", "Profile Logging", kModes),
    item(MenuItem::MenuRealTimeOutput, "MenuRealTimeOutput", "Real Time Output", kModes),
    separator(MenuItem::N7, "N7", kModes),
    item(MenuItem::MenuAnalog, "MenuAnalog", "Analog Output", kModes),
    item(MenuItem::MenuAdvanced, "MenuAdvanced", "Advanced User", kModes),
    item(MenuItem::PCLogger, "PCLogger", "PC-Logger", kModes),
    item(MenuItem::MenuPHI3, "MenuPHI3", "PHI 3 Output", kModes, false),
    item(MenuItem::MenuReplay, "MenuReplay", "Replay Data", kModes, false),
    item(MenuItem::CommandsMenu, "CommandsMenu", "&Commands", kBar),
    item(MenuItem::MenuFactorySettings, "MenuFactorySettings", "Access Factory Settings",
         kCommands),
    item(MenuItem::ResetToMonitor, "ResetToMonitor", "Reset To Monitor", kFactory),
    separator(MenuItem::N9, "N9", kFactory),
    item(MenuItem::MenuChangeLoggerID, "MenuChangeLoggerID", "Change Logger ID", kFactory),
    separator(MenuItem::N2, "N2", kFactory),
    item(MenuItem::AnalogCal, "AnalogCal", "Show Analog Calibration", kFactory),
    item(MenuItem::HardwareConfig, "HardwareConfig", "Show Hardware Configuration", kFactory),
    separator(MenuItem::N11, "N11", kFactory),
    item(MenuItem::LoadDefaultFlashSetup, "LoadDefaultFlashSetup", "Load Default Flash Setup",
         kFactory),
    check(MenuItem::ToggleDebug, "ToggleDebug", "Write Debug File", kFactory, false),
    separator(MenuItem::N1, "N1", kCommands),
    item(MenuItem::MenuAnnotateFile, "MenuAnnotateFile", "Annotate Archive File", kCommands),
    item(MenuItem::MenuLoggerTimeUpdate, "MenuLoggerTimeUpdate", "Synchronize Logger Time",
         kCommands),
    check(MenuItem::MenuAutoTimeUpdate, "MenuAutoTimeUpdate", "Automatic Time Sync", kTimeSync,
          true),
    check(MenuItem::MenuUpdateTimeNow, "MenuUpdateTimeNow", "Synchronize Time Now", kTimeSync,
          false),
    check(MenuItem::MenuMooredTimeUpdate, "MenuMooredTimeUpdate", "Moored Time Source", kCommands,
          false),
    separator(MenuItem::N5, "N5", kCommands),
    item(MenuItem::MenuTestOneSerialPort, "MenuTestOneSerialPort", "Test One Logger Port",
         kCommands),
    item(MenuItem::MenuLoggerPortSetup, "MenuLoggerPortSetup", "&Logger_Port", kBar),
    item(MenuItem::ShowLoggerPortSetup, "ShowLoggerPortSetup", "Show Logger Port Setup", kPortMenu),
    item(MenuItem::HostPortStats, "HostPortStats", "Show Logger Port Statistics", kPortMenu),
    separator(MenuItem::N3, "N3", kPortMenu),
    check(MenuItem::AutoBaudRateDetection, "AutoBaudRateDetection", "Auto Baud Rate Detection",
          kPortMenu, false),
    item(MenuItem::Help1, "Help1", "Help", kBar),
    item(MenuItem::ShowHints, "ShowHints", "Show Hints", kHelp, false),
}};

namespace {

using P = Page;
using M = MenuItem;

constexpr ComboSetting shown(int index) {
    return {index, true};
}
constexpr ComboSetting hidden(int index) {
    return {index, false};
}
constexpr ComboSetting modeBox(LoggerMode mode, bool visible) {
    return {loggerModeNumber(mode), visible};
}

// clang-format off
const ModeLayout kModeLayouts[] = {
    {.mode = HostMode::None,
     .modeCB = modeBox(LoggerMode::Profile, false), .fileCB = hidden(0), .outputCB = hidden(0),
     .timeSourceCB = hidden(0),
     .loggerPortPanel = true, .loggerStatusGB = true,
     .menu = {M::MenuFactorySettings, M::ResetToMonitor}},
    {.mode = HostMode::Analog, .closesPcPorts = true,
     .pages = {P::PortSetup, P::LoggerControl, P::Record, P::RealTime},
     .autoStartChecked = true,
     .modeCB = modeBox(LoggerMode::Analog, false), .fileCB = hidden(0), .outputCB = hidden(3),
     .timeSourceCB = hidden(0),
     .pStore = true, .loggerPortPanel = true, .loggerStatusGB = true,
     .menu = {M::MenuFactorySettings, M::ResetToMonitor, M::MenuLoggerTimeUpdate,
              M::MenuAutoTimeUpdate, M::MenuUpdateTimeNow, M::N1, M::HardwareConfig, M::AnalogCal}},
    {.mode = HostMode::Moored, .closesPcPorts = true,
     .pages = {P::PortSetup, P::LoggerControl, P::Upload, P::DataStatus},
     .modeCB = modeBox(LoggerMode::Moored, false), .fileCB = hidden(1), .outputCB = hidden(0),
     .timeSourceCB = hidden(0),
     .pStore = true, .lbRunNumber = true, .loggerPortPanel = true, .loggerStatusGB = true,
     .menu = {M::MenuFactorySettings, M::ResetToMonitor, M::MenuTestOneSerialPort, M::N5,
              M::MenuLoggerTimeUpdate, M::MenuAutoTimeUpdate, M::MenuUpdateTimeNow, M::N1,
              M::HardwareConfig, M::AnalogCal}},
    {.mode = HostMode::Profile, .closesPcPorts = true,
     .pages = {P::PortSetup, P::LoggerControl, P::Upload, P::DataStatus},
     .modeCB = modeBox(LoggerMode::Profile, false), .fileCB = hidden(1), .outputCB = hidden(0),
     .timeSourceCB = hidden(0),
     .pStore = true, .lbRunNumber = true, .lbRunStop = true, .loggerPortPanel = true,
     .loggerStatusGB = true,
     .menu = {M::MenuFactorySettings, M::ResetToMonitor, M::MenuTestOneSerialPort, M::N5,
              M::MenuLoggerTimeUpdate, M::MenuAutoTimeUpdate, M::MenuUpdateTimeNow, M::N1,
              M::HardwareConfig, M::AnalogCal}},
    {.mode = HostMode::RealTimeOutput,
     .pages = {P::PortSetup, P::LoggerControl, P::PCLogger, P::Record, P::RealTime,
               P::DataStatus},
     .modeCB = modeBox(LoggerMode::RealTime, false), .fileCB = hidden(0), .outputCB = hidden(1),
     .timeSourceCB = hidden(0),
     .pStore = true, .loggerPortPanel = true, .loggerStatusGB = true,
     .menu = {M::MenuFactorySettings, M::ResetToMonitor, M::MenuTestOneSerialPort, M::N5,
              M::MenuLoggerTimeUpdate, M::MenuAutoTimeUpdate, M::MenuUpdateTimeNow, M::N1,
              M::MenuAnnotateFile, M::HardwareConfig, M::AnalogCal, M::N11, M::N2,
              M::MenuChangeLoggerID}},
    {.mode = HostMode::Advanced,
     .pages = {P::PortSetup, P::LoggerControl, P::PCLogger, P::Record, P::RealTime, P::Upload,
               P::DataStatus},
     .modeCB = {ComboSetting::kKeep, true}, .fileCB = shown(0), .outputCB = shown(1),
     .timeSourceCB = hidden(0),
     .pStore = true, .lbRunNumber = true, .lbRunStop = true, .lbPower = true,
     .loggerPortPanel = true, .loggerStatusGB = true,
     .menu = {M::MenuFactorySettings, M::ResetToMonitor, M::MenuTestOneSerialPort, M::N5,
              M::MenuLoggerTimeUpdate, M::MenuAutoTimeUpdate, M::MenuUpdateTimeNow, M::N1,
              M::MenuAnnotateFile, M::ToggleDebug, M::LoadDefaultFlashSetup, M::HardwareConfig,
              M::AnalogCal, M::N11, M::N2, M::MenuChangeLoggerID}},
    {.mode = HostMode::PcLogger, .closesLoggerPort = true,
     .pages = {P::PCLogger, P::Record, P::RealTime},
     .modeCB = modeBox(LoggerMode::RealTime, true), .fileCB = shown(0), .outputCB = shown(1),
     .timeSourceCB = hidden(0),
     .menu = {M::MenuAnnotateFile}},
};
// clang-format on

}  // namespace

// The live plot goes with the Real Time Data page.
std::optional<ModeLayout> modeLayout(HostMode mode) {
    for (ModeLayout layout : kModeLayouts)
        if (layout.mode == mode) {
            layout.pages.shown[pageIndex(Page::LivePlot)] = layout.pages.has(Page::RealTime);
            return layout;
        }
    return std::nullopt;
}

const char* hostModeCaption(HostMode mode) {
    switch (mode) {
        case HostMode::None:
        case HostMode::Kb5PassThru:
            return "No Mode Selected";
        case HostMode::Analog:
            return "Analog Output";
        case HostMode::Moored:
            return "Moored Logging";
        case HostMode::Profile:
            return "Profile Logging";
        case HostMode::RealTimeOutput:
            return "Real Time Data";
        case HostMode::Advanced:
            return "Advanced User";
        case HostMode::PcLogger:
            return "PC Logger";
        default:
            return "Invalid Mode";
    }
}

HostMode modeOfMenuItem(MenuItem m) {
    switch (m) {
        case MenuItem::MenuAnalog:
            return HostMode::Analog;
        case MenuItem::MenuMoored:
            return HostMode::Moored;
        case MenuItem::MenuProfile:
            return HostMode::Profile;
        case MenuItem::MenuRealTimeOutput:
            return HostMode::RealTimeOutput;
        case MenuItem::MenuAdvanced:
            return HostMode::Advanced;
        case MenuItem::MenuPHI3:
            return HostMode::Phi3;
        case MenuItem::Menukb5PassThru:
            return HostMode::Kb5PassThru;
        case MenuItem::PCLogger:
            return HostMode::PcLogger;
        default:
            return HostMode::Invalid;
    }
}

}  // namespace cvh
