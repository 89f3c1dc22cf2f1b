// Turns the operator's port choices into open or closed slots, keeps the logger port in step
// with the logger, and watches the link: a silent link flags the port setup, a link that
// delivers bytes but no packets can step through the line settings by itself (auto-baud).
#pragma once

#include <string>

#include "link/link_statistics.h"
#include "link/packet_framer.h"
#include "link/serial_port_table.h"

namespace cvh {

inline constexpr int kComBoxItemCount = 256;  // "No Port Selected", "COM 1" .. "COM 255"
// Item text of the logger-port and deck-port lists; the index is the COM number.
std::string comBoxItemText(int index);

// What the port manager knows of the logger port: the operator's choice and how the link fares.
struct LoggerPortState {
    int loggerPortIndex = 0;   // the COM number, 0 = no port selected
    int loggerSetupIndex = 0;  // line choice 0..11, 0 = "OFF"
    // The watchdog's findings, cleared when packets arrive: no bytes at all (the port is
    // suspect), bytes but no packets (the line setting is suspect), and either of them since
    // the link last delivered.
    bool portSilent = false;
    bool lineGarbled = false;
    bool linkSuspect = false;
    bool setupShown = false;  // the logger-port setup is in front of the operator
    bool autoBaud = false;    // stepping through the line settings by itself
    // Set when setupShown changed; whoever lays the window out clears it.
    bool setupShownChanged = false;
};

class PortManager {
public:
    // Bad-data timer of an auto-baud step: with the tick on which it goes below 0, each line
    // setting gets about 6 s to show a packet.
    static constexpr std::int32_t kAutoBaudReload = 5;
    static constexpr std::size_t kDrainBytes = 4095;

    PortManager(SerialPortTable& ports, PacketFramer& framer, LinkStatistics& stats);

    LoggerPortState& state() { return state_; }
    const LoggerPortState& state() const { return state_; }
    bool autoBaud() const { return state_.autoBaud; }

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
    // The logger-port setup brought before the operator or put away; the menu item toggles.
    void showLoggerPortSetup();
    void hideLoggerPortSetup();
    void toggleLoggerPortSetup();
    // A 10 ms tick recognised a packet: the link is healthy, whatever the watchdog said.
    void onPacketRecognised();

private:
    SerialPortTable& ports_;
    PacketFramer& framer_;
    LinkStatistics& stats_;
    LoggerPortState state_;
};

}  // namespace cvh
