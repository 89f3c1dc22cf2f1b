#include "session/host_modes.h"

#include <algorithm>

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

// Columns of the tables: -1, 1 Analog, 2 Moored, 3 Profile, 4 Real Time, 5 Advanced, 8 PC-Logger.
// Page order: Port Setup, Logger Control, Plot Setup, Analog Calibration, Hardware
// Configuration, PC-Logger, Recording, Real Time Data, Upload Logger Data, Data Status.
// Menu order: as kModeMenuItems.
// clang-format off
constexpr std::array<ModeLayout, 7> kModeLayouts = {{
    {-1, false, false, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false,
     {0, false}, {0, false}, {0, false}, {0, false},
     false, false, false, false, true, true,
     {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {1, true, false, {1, 1, 0, 0, 0, 0, 1, 1, 0, 0}, true,
     {3, false}, {0, false}, {3, false}, {0, false},
     true, false, false, false, true, true,
     {1, 1, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0}},
    {2, true, false, {1, 1, 0, 0, 0, 0, 0, 0, 1, 1}, false,
     {1, false}, {1, false}, {0, false}, {0, false},
     true, true, false, false, true, true,
     {1, 1, 1, 1, 0, 1, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0}},
    {3, true, false, {1, 1, 0, 0, 0, 0, 0, 0, 1, 1}, false,
     {0, false}, {1, false}, {0, false}, {0, false},
     true, true, true, false, true, true,
     {1, 1, 1, 1, 0, 1, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0, 0, 0}},
    {4, false, false, {1, 1, 0, 0, 0, 1, 1, 1, 0, 1}, false,
     {2, false}, {0, false}, {1, false}, {0, false},
     true, false, false, false, true, true,
     {1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 1, 1, 1, 1, 1, 0}},
    {5, false, false, {1, 1, 0, 0, 0, 1, 1, 1, 1, 1}, false,
     {ComboSetting::kKeep, true}, {0, true}, {1, true}, {0, false},
     true, true, true, true, true, true,
     {1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}},
    {8, false, true, {0, 0, 0, 0, 0, 1, 1, 1, 0, 0}, false,
     {2, true}, {0, true}, {1, true}, {0, false},
     false, false, false, false, false, false,
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
}};
// clang-format on

}  // namespace

bool ModeLayout::menuShown(MenuItem m) const {
    const auto it = std::find(kModeMenuItems.begin(), kModeMenuItems.end(), m);
    if (it == kModeMenuItems.end())
        return false;
    return menu[static_cast<std::size_t>(it - kModeMenuItems.begin())];
}

std::optional<ModeLayout> modeLayout(int mode) {
    for (ModeLayout layout : kModeLayouts)
        if (layout.mode == mode) {
            layout.pages[pageIndex(Page::LivePlot)] = layout.pages[pageIndex(Page::RealTime)];
            return layout;
        }
    return std::nullopt;
}

const char* hostModeCaption(int mode) {
    switch (mode) {
        case -1:
        case 7:
            return "No Mode Selected";
        case 1:
            return "Analog Output";
        case 2:
            return "Moored Logging";
        case 3:
            return "Profile Logging";
        case 4:
            return "Real Time Data";
        case 5:
            return "Advanced User";
        case 8:
            return "PC Logger";
        default:
            return "Invalid Mode";
    }
}

int modeOfMenuItem(MenuItem m) {
    switch (m) {
        case MenuItem::MenuAnalog:
            return 1;
        case MenuItem::MenuMoored:
            return 2;
        case MenuItem::MenuProfile:
            return 3;
        case MenuItem::MenuRealTimeOutput:
            return 4;
        case MenuItem::MenuAdvanced:
            return 5;
        case MenuItem::MenuPHI3:
            return 6;
        case MenuItem::Menukb5PassThru:
            return 7;
        case MenuItem::PCLogger:
            return 8;
        default:
            return 0;
    }
}

}  // namespace cvh
