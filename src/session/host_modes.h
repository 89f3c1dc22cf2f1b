// The host operating modes: which pages, setup controls and menu items the operator sees in
// each mode. The tables are data so that the console, the session and the tests read the same
// rows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace cvh {

// The pages of the main window's page control, in their order: the ten of old, then the live
// plot, last so that stored page indexes keep their meaning.
enum class Page : int {
    PortSetup,
    LoggerControl,
    PlotSetup,
    Analog,
    Hardware,
    PCLogger,
    Record,
    RealTime,
    Upload,
    DataStatus,
    LivePlot,  // shown wherever Real Time Data is
};
inline constexpr int kPageCount = 11;

struct PageInfo {
    const char* objectName;
    const char* caption;
};
extern const std::array<PageInfo, kPageCount> kPages;

// Every item of the main menu, in menu order; top-level menus included.
enum class MenuItem : int {
    Files1,
    LoadHostSetupFile,
    StoreHostSetupFile,
    N4,
    Exit1,
    Modes1,
    Menukb5PassThru,
    MenuMoored,
    MenuProfile,
    MenuRealTimeOutput,
    N7,
    MenuAnalog,
    MenuAdvanced,
    PCLogger,
    MenuPHI3,
    MenuReplay,
    CommandsMenu,
    MenuFactorySettings,
    ResetToMonitor,
    N9,
    MenuChangeLoggerID,
    N2,
    AnalogCal,
    HardwareConfig,
    N11,
    LoadDefaultFlashSetup,
    ToggleDebug,
    N1,
    MenuAnnotateFile,
    MenuLoggerTimeUpdate,
    MenuAutoTimeUpdate,
    MenuUpdateTimeNow,
    MenuMooredTimeUpdate,
    N5,
    MenuTestOneSerialPort,
    MenuLoggerPortSetup,
    ShowLoggerPortSetup,
    HostPortStats,
    N3,
    AutoBaudRateDetection,
    Help1,
    ShowHints,
};
inline constexpr int kMenuItemCount = static_cast<int>(MenuItem::ShowHints) + 1;

struct MenuItemInfo {
    MenuItem item;
    const char* objectName;
    const char* caption;  // "" for a separator
    int parent;           // index of the enclosing menu item, -1 for the menu bar
    bool separator;
    bool checkable;
    bool checkedAtStart;
    bool visibleAtStart;  // as the window is designed
};
extern const std::array<MenuItemInfo, kMenuItemCount> kMenuTable;

constexpr int menuIndex(MenuItem item) {
    return static_cast<int>(item);
}
constexpr int pageIndex(Page page) {
    return static_cast<int>(page);
}

// A combo box set by a mode: its item index (kKeep = leave as it is) and whether it is shown.
struct ComboSetting {
    static constexpr int kKeep = -2;
    int index = kKeep;
    bool visible = false;
};

// The menu items whose visibility a mode decides; every other Commands item is hidden.
inline constexpr std::array<MenuItem, 18> kModeMenuItems = {
    MenuItem::MenuFactorySettings,
    MenuItem::ResetToMonitor,
    MenuItem::MenuTestOneSerialPort,
    MenuItem::N5,
    MenuItem::MenuMooredTimeUpdate,
    MenuItem::MenuLoggerTimeUpdate,
    MenuItem::MenuAutoTimeUpdate,
    MenuItem::MenuUpdateTimeNow,
    MenuItem::N1,
    MenuItem::MenuAnnotateFile,
    MenuItem::ToggleDebug,
    MenuItem::LoadDefaultFlashSetup,
    MenuItem::HardwareConfig,
    MenuItem::AnalogCal,
    MenuItem::N11,
    MenuItem::N2,
    MenuItem::MenuChangeLoggerID,
    MenuItem::N9,
};

// What one host mode arranges.
struct ModeLayout {
    int mode;
    bool closesPcPorts;
    bool closesLoggerPort;
    std::array<bool, kPageCount> pages;
    bool autoStartChecked;  // CBAutoStart is shown in every mode
    ComboSetting modeCB;    // Advanced User keeps the item, or "Real Time Mode" when none
    ComboSetting fileCB;
    ComboSetting outputCB;
    ComboSetting timeSourceCB;
    bool pStore;
    bool lbRunNumber;
    bool lbRunStop;
    bool lbPower;
    bool loggerPortPanel;  // PLoggerPort, COMStatus, menu MenuLoggerPortSetup, LoggerPortGB
    bool loggerStatusGB;
    std::array<bool, kModeMenuItems.size()> menu;  // in the order of kModeMenuItems

    bool menuShown(MenuItem item) const;
};

// The layout of a mode, or nothing for the values that arrange no page (0, 6, 7 and any value
// outside -1..8).
std::optional<ModeLayout> modeLayout(int mode);

// The moored host modes, which show the sample interval and Sleep.
constexpr bool isMooredHostMode(int mode) {
    return mode == 2 || mode == 5;
}

// The caption written into the HostMode label.
const char* hostModeCaption(int mode);

// The mode selected by each mode menu item, 0 for any other item.
int modeOfMenuItem(MenuItem item);

}  // namespace cvh
