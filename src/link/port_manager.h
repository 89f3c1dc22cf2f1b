// Turns the operator's port choices into open or closed slots, keeps the logger port in step
// with the logger, and watches the link: a silent link flags the port setup, a link that
// delivers bytes but no packets can step through the line settings by itself (auto-baud).
#pragma once

#include <string>

#include "base/colour.h"
#include "link/link_statistics.h"
#include "link/packet_framer.h"
#include "link/serial_port_table.h"

namespace cvh {

inline constexpr int kComBoxItemCount = 256;  // "No Port Selected", "COM 1" .. "COM 255"
// Item text of LoggerPortCB and DeckPort1CB..DeckPort8CB; the index is the COM number.
std::string comBoxItemText(int index);

inline constexpr const char* kShowLoggerPortSetupCaption = "Show Logger Port Setup";
inline constexpr const char* kHideLoggerPortSetupCaption = "Hide Logger Port Setup";

// What the logger-port controls show; the console copies it into the widgets.
struct LoggerPortView {
    int loggerPortIndex = 0;   // LoggerPortCB: the COM number, 0 = "No Port Selected"
    int loggerSetupIndex = 0;  // LoggerSetupCB: line choice 0..11, 0 = "OFF"
    Colour loggerPortColour = Colour::Window;       // LoggerPortCB
    Colour loggerSetupColour = Colour::Window;      // LoggerSetupCB
    Colour pLoggerPortColour = Colour::ButtonFace;  // PLoggerPort
    bool loggerPortGroupVisible = false;            // LoggerPortGB "Logger Port Setup"
    std::string showLoggerPortSetupCaption = kShowLoggerPortSetupCaption;  // ShowLoggerPortSetup
    bool autoBaudChecked = false;  // AutoBaudRateDetection: the auto-baud flag itself
    // Set when a group was shown or hidden; the console lays the main window out again and
    // clears it.
    bool layoutRequested = false;
};

class PortManager {
public:
    // Bad-data timer of an auto-baud step: with the tick on which it goes below 0, each line
    // setting gets about 6 s to show a packet.
    static constexpr std::int32_t kAutoBaudReload = 5;
    static constexpr std::size_t kDrainBytes = 4095;

    PortManager(SerialPortTable& ports, PacketFramer& framer, LinkStatistics& stats);

    LoggerPortView& view() { return view_; }
    const LoggerPortView& view() const { return view_; }
    bool autoBaud() const { return view_.autoBaudChecked; }

    // Closes the slot, then opens it on `comNumber` (1..256) with `lineChoice` (1..11).
    // Returns the line choice when the port was opened, 0 when the slot stays closed.
    int reopenPort(int slot, int comNumber, int lineChoice);
    // LoggerPortCBChange: the operator, a received setup or a loaded host setup changed the
    // logger port or its line setting.
    void onLoggerPortChange();
    // Sets the port box to "No Port Selected" and leaves the slot closed.
    void closeChosenPort(int slot, int& portBox, int setupBox);
    // Throws away what waits in the logger port (up to 4095 bytes) and in the framer.
    void drainLoggerPort();
    // Once a second, after the link monitor has run the timers down.
    void linkWatchdog();
    // The menu item "Auto Baud Rate Detection".
    void toggleAutoBaud();
    // LoggerPortGB shown or hidden with its menu caption; ShowLoggerPortSetupClick toggles.
    void showLoggerPortSetup();
    void hideLoggerPortSetup();
    void toggleLoggerPortSetup();
    // A 10 ms tick recognised a packet: the link is healthy, whatever the watchdog said.
    void onPacketRecognised();

private:
    SerialPortTable& ports_;
    PacketFramer& framer_;
    LinkStatistics& stats_;
    LoggerPortView view_;
};

}  // namespace cvh
