// The link and ports controller: the serial-port slots, the receive loop and the port manager,
// the logger-port panel, the live display of the Real Time Data page and the port-statistics
// window. The 10 ms tick drains the logger port through it; the 1 s tick runs the link monitor,
// the port watchdog and the watch over devices that went away.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/operator.h"
#include "link/link_statistics.h"
#include "link/port_manager.h"
#include "link/receive_loop.h"
#include "link/serial_port_table.h"
#include "session/change_marks.h"
#include "session/console_views.h"
#include "session/link_monitor.h"
#include "session/logger_port_view.h"
#include "session/stats_window.h"

namespace cvh {

class LinkPorts {
public:
    // The left column's port labels and menu items are written into `main`.
    LinkPorts(SerialBackend& backend, Operator& notices, ChangeMarks& marks,
              Watched<MainWindowView>& main);
    LinkPorts(const LinkPorts&) = delete;
    LinkPorts& operator=(const LinkPorts&) = delete;

    // --- the layers below, for the other controllers and for tests ------------------------
    SerialPortTable& ports() { return *ports_; }
    const SerialPortTable& ports() const { return *ports_; }
    ReceiveLoop& receiveLoop() { return *receive_; }
    LoggerCommands& commands() { return receive_->commands(); }
    LinkStatistics& statistics() { return receive_->statistics(); }
    PortManager& portManager() { return *portManager_; }
    DeckRouting& deckRouting() { return receive_->deckRouting(); }

    // --- views ---------------------------------------------------------------------------------
    LoggerPortView portView() const { return presentLoggerPort(portManager_->state()); }
    const RealTimeView& realTime() const { return *realTime_; }
    const StatsWindow& stats() const { return *stats_; }

    // --- logger port -------------------------------------------------------------------------
    // LoggerPortCBChange: the boxes now show `comNumber` and `lineChoice`; the port reopens.
    void loggerPortChange(int comNumber, int lineChoice);
    // The boxes show these without reopening the port (start-up, a loaded host setup, a
    // received setup whose line choice matches the open port).
    void selectLoggerPort(int comNumber, int lineChoice);
    // What the logger-port boxes list: "No Port Selected", then "COM 1".."COM 255", each
    // with the device behind the number and whether it exists now.
    struct PortItem {
        std::string text;
        std::string device;
        bool present = false;
    };
    std::vector<PortItem> loggerPortItems() const;
    void showLoggerPortPanel();
    void hideLoggerPortPanel();
    void toggleLoggerPortPanel();  // ShowLoggerPortSetupClick and the panel's "X"
    void toggleAutoBaud();         // AutoBaudRateDetectionClick
    // The logger port's slot closes and its box shows "No Port Selected".
    void closeLoggerPort();
    // Deck slot 1..8: closes the slot and sets `portBox` to "No Port Selected".
    void closeDeckPort(int slot, int& portBox, int setupBox);

    // Commands menu: "Reset to Monitor" and "Load Default Flash Setup", each after the
    // operator confirmed.
    void resetToMonitorClick() { commands().confirmResetToMonitor(); }
    void loadDefaultFlashSetupClick() { commands().confirmLoadDefaultFlashSetup(); }

    // --- live display ----------------------------------------------------------------------
    void rawPortChange(int source, int port, int loggerId);  // RawPortCBChange, RawMuxIDUDClick
    void displayRawClick();                                  // BTDisplayRawClick
    void stopDisplay();                                      // a page change stops the display
    void editSendText(const std::string& text);              // EditSendText typed
    void sendEditText(bool withLineEnd);  // Enter in EditSendText / BTSendTextClick
    void resetCounters();                 // BTResetCounters
    void appendDisplayText(std::span<const std::uint8_t> bytes);
    void appendDisplayText(const std::string& text);

    // --- port statistics window ------------------------------------------------------------
    void hostPortStatsClick();
    void closeStats();

    // --- ticks -----------------------------------------------------------------------------
    // The receive part of the 10 ms tick; true when a packet was recognised.
    bool receiveTick(RecordMode recordMode, std::int64_t nowMilliseconds, int mvpScroll);
    // The raw-memo texts gathered during the tick.
    void flushDisplayBuffers();
    // The link part of the 1 s tick: lost devices, monitor, watchdog, panel labels and unit
    // lines.
    void secondTick();

private:
    // Caption of PLoggerPort: "Logger Port: COM1", with " LOST" while its device is away.
    std::string loggerPortCaption() const;
    void syncPortView();
    // Tells the operator once of each device that went away and opens each lost logger or PC
    // port again when its device is back (asked once a second, with the presence check).
    void watchDevices();
    // The statistics window's overrun and write-overflow lines for the port it shows.
    void showDroppedBytes();
    // A packet or a fresh device: the link watchdog starts its count again.
    void reloadWatchdogs();
    void syncRawDisplay();

    SerialBackend& backend_;
    Operator& notices_;
    ChangeMarks& marks_;
    Watched<MainWindowView>& main_;
    std::unique_ptr<SerialPortTable> ports_;
    std::unique_ptr<ReceiveLoop> receive_;
    std::unique_ptr<PortManager> portManager_;
    Watched<RealTimeView> realTime_;
    Watched<StatsWindow> stats_;
    LinkMonitor monitor_;
    std::uint32_t lastTickPacketCount_ = 0;
};

}  // namespace cvh
