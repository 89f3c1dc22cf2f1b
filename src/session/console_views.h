// What the main window and the port-tool windows show, as plain state. Members carry the
// component names of their controls so the console copies them into the widgets by name; a
// build without the GUI keeps the same values here.
#pragma once

#if defined(CVH_CORE_FACTS_ONLY)
#error "presentation header: link, config and files report facts, the session presents them"
#endif

#include <array>
#include <cstdint>
#include <string>

#include "session/colour.h"
#include "session/host_modes.h"
#include "session/memo_text.h"
#include "session/setup_exchange_forms.h"

namespace cvh {

struct MenuItemState {
    std::string caption;
    bool visible = true;
    bool checked = false;
};

// The main window apart from its setup pages: title, pages, menus and the left column.
struct MainWindowView {
    MainWindowView();

    std::string title;
    std::array<bool, kPageCount> pageVisible{};
    int activePage = pageIndex(Page::PortSetup);
    std::array<MenuItemState, kMenuItemCount> menu;

    LabelState HostMode{"No Mode Selected"};
    LabelState LoggerMode{"", false};
    LabelState FlashPanel{"Bad Flash Operations", false, Colour::Red};
    LabelState RemoteHostPanel{"Remote Host Is On", false, Colour::Yellow};
    bool HostStatusGB = true;
    // "Logger Status" starts yellow and collapsed until the first status record.
    LabelState LoggerStatusGB{"Logger Status", true, Colour::Yellow};
    bool loggerStatusExpanded = false;

    // The logger-port panel.
    LabelState PLoggerPort{"Logger Port: COM0", false, Colour::ButtonFace};
    LabelState COMStatus{"No Port is OFF"};

    // Logger Status group labels that the host modes show or hide.
    LabelState LBRunNumber{"Run Number:", false};
    LabelState LBRunStop{"", false};
    LabelState LBPower{"Power: ", false};

    // Clocks: host clock every second, logger clock from each status record.
    LabelState LBHostDandT;
    LabelState LBDandT{"", false};
    LabelState LBDrift{"", false};

    MenuItemState& item(MenuItem m) { return menu[static_cast<std::size_t>(menuIndex(m))]; }
    const MenuItemState& item(MenuItem m) const {
        return menu[static_cast<std::size_t>(menuIndex(m))];
    }
    bool page(Page p) const { return pageVisible[static_cast<std::size_t>(pageIndex(p))]; }
};

// The "Logger Status" group beside the pages, filled from each status record.
struct LoggerStatusView {
    LabelState LBOperation{"", true};
    LabelState LBTimeLeft;
    LabelState LBRunSize;
    LabelState LBCurrentV;
    LabelState LBStartV;
    LabelState LBEndV;
    LabelState LBFreeDisk;
    LabelState LBTotalDisk;
};

// The warning window TForm2 ("WARNING!!!"): shown without waiting for it.
struct WarningView {
    bool visible = false;
    std::string text;
};

// The Data Status page: PortRowTable (eight rows of six labels) and AnalogRowTable (seven
// channel pairs, the analog-file pair as entry 8).
struct DataStatusView {
    DataStatusView();

    struct PortRow {
        LabelState name;         // M1Label
        LabelState rateCaption;  // M1BPSLabel
        LabelState sizeCaption;  // M1FSLabel
        LabelState typeName;     // M1TypeLabel
        LabelState rate;         // M1StatusLabel
        LabelState fileSize;     // M1FileSizeLabel
    };
    struct AnalogPair {
        LabelState name;   // LBA1 / AnalogFS
        LabelState value;  // Analog1 / AnalogFileSizeLabel
    };
    std::array<PortRow, 8> PortRowTable;
    std::array<AnalogPair, 8> AnalogRowTable;
    LabelState LBSerial{"        Logger Port Inputs        "};
    LabelState LBAnalog{"     Logger Analog Inputs  - Volts     "};
    LabelState DSPCPorts{"            PC Logger            ", false};
    std::array<LabelState, 8> DSPCPort;  // DSPCPort1..DSPCPort8
    std::array<std::string, 8> PCPort;   // PCPort1..PCPort8 on the PC-Logger page
};

// The Real Time Data page and the display state the receive loop reads.
struct RealTimeView {
    MemoText Memo1;
    std::string EditSendText = "Enter Text";
    int RawSourceCB = 0;  // DisplaySource: 0 parsed, 1 raw logger, 2 raw PC logger
    int RawPortCB = 0;    // DisplayPort: 0..7 ports 1..8, 8 analog
    int RawMuxIDUD = 2;   // DisplayLoggerID
    LabelState RawMuxIDLB{"Logger ID:    2"};
    bool selectorsVisible = true;  // RawMuxIDLB, RawMuxIDUD, RawPortCB
    bool displayEnabled = false;
    std::string BTDisplayRaw = "Display Data";
    LabelState LBTimeUnit{"Time Unit: 0"};
    std::array<LabelState, 4> LBUnit;  // LBUnit1..LBUnit4
};

// The test-port window (TTestPortForm).
struct TestPortView {
    bool visible = false;
    int CBTestPort = 0;       // "Port 1".."Port 8", "Analog Ports"; -1 none
    int CBTestPortSetup = 6;  // "9600"
    int CBHostPortSetup = 6;
};

// The logger-ID window (TMuxIDForm).
struct MuxIdView {
    bool visible = false;
    int UDMuxID = 2;  // 2..4
    std::string LBNewMuxID = "002";
    std::string LBCurrentMuxID = "Current Logger ID:  XXX";
};

// The sleep window's clock labels (the rest of that window belongs to the sleep settings).
struct SleepClockView {
    std::string HostTime;
    std::string HostDate;
    std::string SleepTime;
    std::string SleepDate;
};

}  // namespace cvh
