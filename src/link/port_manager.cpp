#include "link/port_manager.h"

#include <array>

#include "base/cformat.h"

namespace cvh {

namespace {

constexpr int kLoggerPortSlot = 0;
constexpr int kHighestComNumber = 256;
constexpr int kFastestChoice = 11;  // "115200": where the auto-baud scan wraps to

// The watchdog reloads after it acted, or after a packet showed the link is fine.
constexpr std::int32_t kNoDataReload = 2;
constexpr std::int32_t kBadDataReload = 3;

}  // namespace

std::string comBoxItemText(int index) {
    if (index == 0)
        return "No Port Selected";
    if (index < 0 || index >= kComBoxItemCount)
        return {};
    return cformat("COM %d", index);
}

PortManager::PortManager(SerialPortTable& ports, PacketFramer& framer, LinkStatistics& stats)
    : ports_(ports), framer_(framer), stats_(stats) {}

int PortManager::reopenPort(int slot, int comNumber, int lineChoice) {
    ports_.closePort(slot);
    ports_.setLineSettingFromChoice(slot, lineChoice);
    // "OFF", or no valid choice at all (an unset box reads -1): the port is not used.
    if (lineChoice < 1 || lineChoice >= kLineChoiceCount)
        return 0;
    if (comNumber < 1 || comNumber > kHighestComNumber)
        return 0;
    ports_.openPort(slot, comNumber);
    return ports_.isPortOpen(slot) ? lineChoice : 0;
}

void PortManager::onLoggerPortChange() {
    stats_.noDataTimer = kNoDataReload;
    stats_.badDataTimer = kBadDataReload;
    drainLoggerPort();
    reopenPort(kLoggerPortSlot, state_.loggerPortIndex, state_.loggerSetupIndex);
}

void PortManager::closeChosenPort(int slot, int& portBox, int setupBox) {
    portBox = 0;
    reopenPort(slot, portBox, setupBox);
}

void PortManager::drainLoggerPort() {
    std::array<std::uint8_t, kDrainBytes> discard;
    std::size_t count = discard.size();
    ports_.readPort(kLoggerPortSlot, discard.data(), count);
    framer_.flush();
}

void PortManager::linkWatchdog() {
    // No bytes at all: flag the port; a baud change cannot revive a dead line. The reload
    // also keeps the bad-data step below from acting on the same tick.
    if (stats_.noDataTimer < 0) {
        stats_.noDataTimer = kNoDataReload;
        stats_.badDataTimer = kBadDataReload;
        if (state_.loggerPortIndex > 0) {
            showLoggerPortSetup();
            state_.portSilent = true;
            state_.linkSuspect = true;
        }
    }
    // Bytes but no packets: flag the line setting and, when asked to, try the next one.
    if (stats_.badDataTimer < 0) {
        stats_.noDataTimer = kNoDataReload;
        stats_.badDataTimer = kBadDataReload;
        showLoggerPortSetup();
        state_.lineGarbled = true;
        state_.linkSuspect = true;
        if (state_.autoBaud) {
            const int current = state_.loggerSetupIndex;
            const int next =
                current >= 2 && current < kLineChoiceCount ? current - 1 : kFastestChoice;
            state_.loggerSetupIndex = next;
            reopenPort(kLoggerPortSlot, state_.loggerPortIndex, next);
            drainLoggerPort();
            stats_.badDataTimer = kAutoBaudReload;
        }
    }
}

void PortManager::toggleAutoBaud() {
    if (state_.autoBaud) {
        state_.autoBaud = false;
        return;
    }
    state_.autoBaud = true;
    stats_.badDataTimer = kAutoBaudReload;
    // Shown only; the first setting tried is the one below it, when the timer runs out.
    state_.loggerSetupIndex = kFastestChoice;
    showLoggerPortSetup();
}

void PortManager::showLoggerPortSetup() {
    state_.setupShown = true;
    state_.setupShownChanged = true;
}

void PortManager::hideLoggerPortSetup() {
    state_.setupShown = false;
    state_.setupShownChanged = true;
}

void PortManager::toggleLoggerPortSetup() {
    if (state_.setupShown)
        hideLoggerPortSetup();
    else
        showLoggerPortSetup();
}

void PortManager::onPacketRecognised() {
    stats_.noDataTimer = kNoDataReload;
    stats_.badDataTimer = kBadDataReload;
    state_.portSilent = false;
    state_.lineGarbled = false;
    state_.linkSuspect = false;
    state_.autoBaud = false;
}

}  // namespace cvh
