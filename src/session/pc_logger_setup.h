// The "PC-Logger" page: eight PC serial-port slots, each inactive, a meter input read by the
// host's own logger (ID 1), or a logger output that passes one port of one logger on to a
// deck instrument; and the PC logger's sample rate. Edits stay on the page until "Load New
// Setup" opens the ports and makes them active.
#pragma once

#if defined(CVH_CORE_FACTS_ONLY)
#error "presentation header: link, config and files report facts, the session presents them"
#endif

#include <array>
#include <optional>
#include <string>

#include "link/deck_routing.h"
#include "link/port_manager.h"
#include "link/serial_port_table.h"
#include "session/colour.h"

namespace cvh {

inline constexpr int kPcSlotCount = 8;  // PC ports are serial-port slots 1..8

// Item index of PortType1CB..PortType8CB (-1: nothing selected, shown as "Not Selected").
enum PcPortType : int {
    kPcPortTypeNone = -1,
    kPcPortTypeInactive = 0,  // "In Active"
    kPcPortTypeMeterInput = 1,
    kPcPortTypeLoggerOutput = 2,
};
extern const std::array<const char*, 3> kPcPortTypeItems;  // "In Active" .. "Logger Output"
inline constexpr const char* kPcPortTypePlaceholder = "Not Selected";
// DeckSetup1CB..DeckSetup8CB show kPortSetupChoiceTexts; DeckPort1CB..DeckPort8CB show
// comBoxItemText (the port manager's lists).

// The controls of one slot row (n = 1..8), by their names without the number.
struct PcPortRow {
    int PortTypeCB = kPcPortTypeNone;
    int DeckPortCB = 0;   // COM number, 0 "No Port Selected"
    int DeckSetupCB = 0;  // line setting, 0 "OFF"
    bool DeckPortVisible = true;
    bool DeckSetupVisible = true;
    Colour DeckPortColour = Colour::Red;
    Colour DeckSetupColour = Colour::Red;
    int UDDeckType = 2;  // source logger ID 1..4 (1 is the PC logger itself)
    std::string LBDeckType = "Output Logger ID=2";
    bool DeckTypeVisible = false;  // LBDeckType and UDDeckType together
    int UDOutPort = 1;             // source port 1..9
    std::string PCOutPort = "Port=1";
    bool OutPortVisible = false;  // PCOutPort and UDOutPort together
    bool PCPortVisible = false;   // the slot's traffic label PCPort (captioned by the monitor)
};

// The page's controls.
struct PcLoggerForm {
    std::array<PcPortRow, kPcSlotCount> rows{};  // rows[0] is slot 1
    int UDDeckRate = 1;                          // Hz: 1, 2, 3, 4, 5, 6, 8, 10, 12, 16, 20
    std::string LBDeckRate = "Deck Rate:  1 Hz";
    std::string LBDeckInterval = "Deck Interval: 1000 ms";
    bool CBRecordPCTime = false;  // "Add PC Time to Port 9 "
    bool PCLoggerPanel = false;   // "Setup is Not Loaded" shown
    bool PCInHdr = false;         // "  PC  I/O  "
    bool PCOutHdr = false;
};

// What "Load New Setup" last made active, for "Restore Last Setup". Index = slot.
struct PcLastLoaded {
    std::array<int, kDeckSlotCount> lastFunction{};
    std::array<int, kDeckSlotCount> lastSourceId{};
    std::array<int, kDeckSlotCount> lastSourcePort{};
    std::array<int, kDeckSlotCount> lastComPort{};
    std::array<int, kDeckSlotCount> lastLineSetting{};
};

// The rate the spinner settles on after moving to `position` from `previousRate`: only
// 1, 2, 3, 4, 5, 6, 8, 10, 12, 16 and 20 Hz are offered; a move up snaps up, down snaps down,
// and the first move (no previous rate) snaps up.
int snappedDeckRate(int position, std::optional<int> previousRate);

class PcLoggerSetup {
public:
    // `routing` holds the active tables (pcFunction, pcSourceId, pcSourcePort) that the
    // packet builder and the deck forwarding read.
    PcLoggerSetup(DeckRouting& routing, SerialPortTable& ports, PortManager& portManager);

    PcLoggerForm form;
    const PcLastLoaded& lastLoaded() const { return last_; }
    // The PC logger's packet interval: 1000 / deck rate.
    int pcCycleMs() const { return pcCycleMs_; }

    // Any function, COM or line-setting box of any slot row was changed (the console has
    // already copied the new item into `form`).
    void slotRowChanged();
    // A slot's source-logger or source-port spinner moved (slot 1..8).
    void sourceIdStepped(int slot, int position);
    void sourcePortStepped(int slot, int position);
    // The deck-rate spinner moved to `position`.
    void deckRateStepped(int position) { snapDeckRate(position); }

    void refreshPcRows();
    void snapDeckRate(int position);
    // "Load New Setup": closes slots 1..8, opens each on its COM port and line setting
    // through the port manager, and makes the page's functions active.
    void loadPcSetup();
    // "Restore Last Setup": the page shows the last loaded setup again; the function, ID and
    // port shown before become the active ones. No port is opened or closed.
    void restorePcSetup();
    // "Clear Setup": every function "In Active"; ports stay open until the next load.
    void clearSetup();

private:
    PcPortRow& row(int slot) { return form.rows[static_cast<std::size_t>(slot - 1)]; }
    PcPortRow* steppedRow(int slot);

    DeckRouting& routing_;
    SerialPortTable& ports_;
    PortManager& portManager_;
    PcLastLoaded last_;
    std::optional<int> previousRate_;
    int pcCycleMs_ = 1000;
};

}  // namespace cvh
