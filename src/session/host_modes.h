// The host operating modes: which pages, setup controls and menu items the operator sees in
// each mode. The tables are data so that the console, the session and the tests read the same
// rows.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "link/host_mode.h"
#include "link/logger_mode.h"

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

// A set of pages or menu items, as a flag per enumerator.
template <class Item, int Count>
struct ShownSet {
    std::array<bool, Count> shown{};
    constexpr ShownSet() = default;
    constexpr ShownSet(std::initializer_list<Item> items) {
        for (Item i : items)
            shown[static_cast<std::size_t>(i)] = true;
    }
    constexpr bool has(Item i) const { return shown[static_cast<std::size_t>(i)]; }
};
using PageSet = ShownSet<Page, kPageCount>;
using MenuSet = ShownSet<MenuItem, kMenuItemCount>;

// What one host mode arranges.
struct ModeLayout {
    HostMode mode = HostMode::None;
    bool closesPcPorts = false;
    bool closesLoggerPort = false;
    PageSet pages{};
    bool autoStartChecked = false;  // CBAutoStart is shown in every mode
    ComboSetting modeCB;            // Advanced User keeps the item, or "Real Time Mode" when none
    ComboSetting fileCB;
    ComboSetting outputCB;
    ComboSetting timeSourceCB;
    bool pStore = false;
    bool lbRunNumber = false;
    bool lbRunStop = false;
    bool lbPower = false;
    bool loggerPortPanel = false;  // PLoggerPort, COMStatus, menu MenuLoggerPortSetup, LoggerPortGB
    bool loggerStatusGB = false;
    MenuSet menu{};  // the Commands items shown; every other one is hidden

    bool menuShown(MenuItem item) const { return menu.has(item); }
};

// The layout of a mode, or nothing for the values that arrange no page (Invalid, Phi3,
// Kb5PassThru and any value outside the named ones).
std::optional<ModeLayout> modeLayout(HostMode mode);

// The caption written into the HostMode label.
const char* hostModeCaption(HostMode mode);

// The mode selected by each mode menu item, Invalid for any other item.
HostMode modeOfMenuItem(MenuItem item);

}  // namespace cvh
