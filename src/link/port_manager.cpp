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
    reopenPort(kLoggerPortSlot, view_.loggerPortIndex, view_.loggerSetupIndex);
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
        if (view_.loggerPortIndex > 0) {
            showLoggerPortSetup();
            view_.loggerPortColour = Colour::Red;
            view_.pLoggerPortColour = Colour::Red;
        }
    }
    // Bytes but no packets: flag the line setting and, when asked to, try the next one.
    if (stats_.badDataTimer < 0) {
        stats_.noDataTimer = kNoDataReload;
        stats_.badDataTimer = kBadDataReload;
        showLoggerPortSetup();
        view_.loggerSetupColour = Colour::Red;
        view_.pLoggerPortColour = Colour::Red;
        if (view_.autoBaudChecked) {
            const int current = view_.loggerSetupIndex;
            const int next =
                current >= 2 && current < kLineChoiceCount ? current - 1 : kFastestChoice;
            view_.loggerSetupIndex = next;
            reopenPort(kLoggerPortSlot, view_.loggerPortIndex, next);
            drainLoggerPort();
            stats_.badDataTimer = kAutoBaudReload;
        }
    }
}

void PortManager::toggleAutoBaud() {
    if (view_.autoBaudChecked) {
        view_.autoBaudChecked = false;
        return;
    }
    view_.autoBaudChecked = true;
    stats_.badDataTimer = kAutoBaudReload;
    // Shown only; the first setting tried is the one below it, when the timer runs out.
    view_.loggerSetupIndex = kFastestChoice;
    showLoggerPortSetup();
}

void PortManager::showLoggerPortSetup() {
    view_.loggerPortGroupVisible = true;
    view_.showLoggerPortSetupCaption = kHideLoggerPortSetupCaption;
    view_.layoutRequested = true;
}

void PortManager::hideLoggerPortSetup() {
    view_.loggerPortGroupVisible = false;
    view_.showLoggerPortSetupCaption = kShowLoggerPortSetupCaption;
    view_.layoutRequested = true;
}

void PortManager::toggleLoggerPortSetup() {
    if (view_.loggerPortGroupVisible)
        hideLoggerPortSetup();
    else
        showLoggerPortSetup();
}

void PortManager::onPacketRecognised() {
    stats_.noDataTimer = kNoDataReload;
    stats_.badDataTimer = kBadDataReload;
    view_.loggerPortColour = Colour::Window;
    view_.loggerSetupColour = Colour::Window;
    view_.pLoggerPortColour = Colour::ButtonFace;
    view_.autoBaudChecked = false;
}

}  // namespace cvh
