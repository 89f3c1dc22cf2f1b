#include "session/link_ports.h"

#include <algorithm>

#include "base/cformat.h"
#include "link/command_frames.h"
#include "link/line_choices.h"
#include "session/live_format.h"
#include "session/pc_logger_setup.h"

namespace cvh {

LinkPorts::LinkPorts(SerialBackend& backend, Operator& notices, ChangeMarks& marks,
                     Watched<MainWindowView>& main)
    : backend_(backend),
      notices_(notices),
      marks_(marks),
      main_(main),
      ports_(std::make_unique<SerialPortTable>(backend, notices)),
      receive_(std::make_unique<ReceiveLoop>(*ports_, notices)),
      portManager_(
          std::make_unique<PortManager>(*ports_, receive_->framer(), receive_->statistics())),
      realTime_(marks, Area::RealTime),
      stats_(marks, Area::PortTools) {}

// --- logger port -------------------------------------------------------------------------------

void LinkPorts::loggerPortChange(int comNumber, int lineChoice) {
    selectLoggerPort(comNumber, lineChoice);
    portManager_->onLoggerPortChange();
    main_.edit().COMStatus.caption = describePort(comNumber, lineChoice);
    syncPortView();
}

void LinkPorts::selectLoggerPort(int comNumber, int lineChoice) {
    auto& state = portManager_->state();
    state.loggerPortIndex = comNumber;
    state.loggerSetupIndex = lineChoice;
    marks_.mark(Area::Window);
}

std::vector<LinkPorts::PortItem> LinkPorts::loggerPortItems() const {
    std::vector<PortItem> items{{comBoxItemText(0), "", false}};
    for (int com = 1; com < kComBoxItemCount; ++com) {
        PortItem item;
        item.device = ports_->names().name(com);
        item.present = backend_.exists(item.device);
        item.text = comBoxItemText(com) + "   " + item.device + (item.present ? "" : "  (absent)");
        items.push_back(std::move(item));
    }
    return items;
}

void LinkPorts::showLoggerPortPanel() {
    portManager_->showLoggerPortSetup();
    syncPortView();
}

void LinkPorts::hideLoggerPortPanel() {
    portManager_->hideLoggerPortSetup();
    syncPortView();
}

void LinkPorts::toggleLoggerPortPanel() {
    portManager_->toggleLoggerPortSetup();
    syncPortView();
}

void LinkPorts::toggleAutoBaud() {
    portManager_->toggleAutoBaud();
    syncPortView();
}

void LinkPorts::closeLoggerPort() {
    auto& state = portManager_->state();
    portManager_->closeChosenPort(kLoggerSlot, state.loggerPortIndex, state.loggerSetupIndex);
    syncPortView();
}

void LinkPorts::closeDeckPort(int slot, int& portBox, int setupBox) {
    portManager_->closeChosenPort(slot, portBox, setupBox);
}

// The port manager keeps the logger-port panel's state; the menu shows two of its values.
void LinkPorts::syncPortView() {
    auto& state = portManager_->state();
    const LoggerPortView v = presentLoggerPort(state);
    auto& main = main_.edit();
    main.item(MenuItem::ShowLoggerPortSetup).caption = v.showLoggerPortSetupCaption;
    main.item(MenuItem::AutoBaudRateDetection).checked = v.autoBaudChecked;
    if (state.setupShownChanged) {
        state.setupShownChanged = false;
        marks_.mark(Area::Layout);
    }
}

// --- live display ------------------------------------------------------------------------------

void LinkPorts::rawPortChange(int source, int port, int loggerId) {
    auto& rt = realTime_.edit();
    rt.RawSourceCB = source;
    rt.RawPortCB = port;
    rt.RawMuxIDUD = loggerId;
    rt.RawMuxIDLB.caption = formatLoggerIdCaption(loggerId);
    rt.selectorsVisible = source <= 0;
    syncRawDisplay();
}

void LinkPorts::displayRawClick() {
    auto& rt = realTime_.edit();
    rt.displayEnabled = !rt.displayEnabled;
    rt.BTDisplayRaw = rt.displayEnabled ? "Stop Display" : "Display Data";
    syncRawDisplay();
}

void LinkPorts::stopDisplay() {
    auto& rt = realTime_.edit();
    rt.displayEnabled = false;
    rt.BTDisplayRaw = "Display Data";
    syncRawDisplay();
}

// The receive loop copies data for display by these settings.
void LinkPorts::syncRawDisplay() {
    auto& d = receive_->rawDisplay;
    d.on = realTime_->displayEnabled;
    d.source = realTime_->RawSourceCB;
    d.unit = realTime_->RawMuxIDUD;
    d.port = realTime_->RawPortCB;
}

void LinkPorts::editSendText(const std::string& text) {
    realTime_.edit().EditSendText = text;
}

void LinkPorts::sendEditText(bool withLineEnd) {
    auto& rt = realTime_.edit();
    const std::string text = rt.EditSendText;
    rt.EditSendText.clear();
    rt.Memo1.append(kLineEnd);
    commands().sendText(text);
    rt.Memo1.append(text);
    if (withLineEnd)
        commands().sendText(kLineEnd);
    rt.Memo1.append(kLineEnd);
}

void LinkPorts::resetCounters() {
    receive_->resetUnitCounters();
    marks_.mark(Area::RealTime);
}

void LinkPorts::appendDisplayText(std::span<const std::uint8_t> bytes) {
    realTime_.edit().Memo1.append(bytes);
}

void LinkPorts::appendDisplayText(const std::string& text) {
    realTime_.edit().Memo1.append(text);
}

// --- port statistics window ------------------------------------------------------------------

void LinkPorts::hostPortStatsClick() {
    auto& stats = stats_.edit();
    stats.closeStats();
    stats.openStats(kLoggerSlot, StatsWindow::kLineCount, "Logger Port Statistics");
    // The count line is otherwise written only when the count moves; show it at once.
    LinkMonitor::showPacketCount(statistics(), stats);
    showDroppedBytes();
}

void LinkPorts::showDroppedBytes() {
    auto& stats = stats_.edit();
    const int slot = stats.boundSlot();
    if (slot < 0)
        return;
    stats.setStatsLine(slot, StatsWindow::kOverrunLine,
                       cformat("Overrun: %llu bytes",
                               static_cast<unsigned long long>(ports_->overrunBytes(slot))));
    stats.setStatsLine(slot, StatsWindow::kWriteOverflowLine,
                       cformat("Write Overflow: %llu bytes",
                               static_cast<unsigned long long>(ports_->unwrittenBytes(slot))));
}

void LinkPorts::closeStats() {
    stats_.edit().closeStats();
}

// --- ticks -----------------------------------------------------------------------------------

bool LinkPorts::receiveTick(RecordMode recordMode, std::int64_t nowMilliseconds, int mvpScroll) {
    // The wake test's label changes on the step that ends it.
    if (receive_->wakeRunning())
        marks_.mark(Area::SetupPages);
    receive_->wakeStep(nowMilliseconds, mvpScroll);
    auto& counters = statistics();
    if (counters.packetCount != lastTickPacketCount_) {
        lastTickPacketCount_ = counters.packetCount;
        LinkMonitor::showPacketCount(counters, stats_.edit());
    }
    ++counters.loops;
    if (receive_->receiveStep(recordMode) != kReceivedPacket)
        return false;
    reloadWatchdogs();
    portManager_->onPacketRecognised();
    syncPortView();
    return true;
}

void LinkPorts::flushDisplayBuffers() {
    const PendingDisplay pending = receive_->takePendingDisplay();
    if (pending.empty())
        return;
    auto& rt = realTime_.edit();
    rt.Memo1.append(pending.portText);
    rt.Memo1.append(pending.rawLoggerText);
}

void LinkPorts::reloadWatchdogs() {
    auto& counters = statistics();
    counters.noDataTimer = 2;
    counters.badDataTimer = 3;
}

void LinkPorts::watchDevices() {
    ports_->checkDevices();
    std::vector<int> justLost;
    for (const LostPort& lost : ports_->takeLostPorts()) {
        justLost.push_back(lost.slot);
        const std::string what = lost.slot == kLoggerSlot ? std::string("The logger port")
                                                          : cformat("PC port %1d", lost.slot);
        notices_.notice(cformat("COM%1d Lost", lost.comNumber),
                        cformat("%s COM%1d (%s) has gone away.\n"
                                "It is opened again as soon as the device is back.",
                                what.c_str(), lost.comNumber, lost.device.c_str()),
                        true);
    }
    auto& port = portManager_->state();
    for (int slot = kLoggerSlot; slot <= kPcSlotCount; ++slot) {
        // A device lost on this tick gets its first try a second later.
        if (!ports_->isPortLost(slot) ||
            std::find(justLost.begin(), justLost.end(), slot) != justLost.end() ||
            !ports_->reopenLost(slot))
            continue;
        if (slot != kLoggerSlot)
            continue;
        // Half a packet from before the loss must not be joined to the new device's bytes.
        receive_->framer().flush();
        reloadWatchdogs();
        port.portSilent = false;
        port.linkSuspect = false;
    }
    // A lost logger port reads as a silent, suspect link until its device is back.
    if (ports_->isPortLost(kLoggerSlot)) {
        port.portSilent = true;
        port.linkSuspect = true;
    }
}

std::string LinkPorts::loggerPortCaption() const {
    const int com = portManager_->state().loggerPortIndex;
    return cformat("Logger Port: COM%1d", com) + (ports_->isPortLost(kLoggerSlot) ? " LOST" : "");
}

void LinkPorts::secondTick() {
    watchDevices();
    auto& counters = statistics();
    auto& port = portManager_->state();
    auto& stats = stats_.edit();
    const std::uint32_t packets = monitor_.countPackets(counters, stats);
    if (packets > 0 && !ports_->isPortLost(kLoggerSlot)) {
        port.lineGarbled = false;
        port.linkSuspect = false;
    }
    auto& main = main_.edit();
    main.PLoggerPort.visible = port.loggerPortIndex > 0 && main.COMStatus.visible;
    main.COMStatus.caption = describePort(port.loggerPortIndex, port.loggerSetupIndex);
    main.PLoggerPort.caption = loggerPortCaption();
    monitor_.showPacketRate(packets, stats);
    monitor_.countBytes(counters, stats);
    monitor_.showPayloadAndTimers(counters, stats);
    portManager_->linkWatchdog();
    syncPortView();
    monitor_.showModErrors(counters, stats);
    auto& rt = realTime_.edit();
    rt.LBTimeUnit.caption =
        cformat("Time Unit: %lu", static_cast<unsigned long>(counters.unitPackets[0]));
    for (int u = 1; u <= 4; ++u) {
        const auto i = static_cast<std::size_t>(u);
        rt.LBUnit[i - 1].caption = formatUnitLine(
            u, counters.unitPackets[i], counters.unitGapEvents[i], counters.unitLastGap[i]);
    }
    monitor_.showLoops(counters, stats);
    showDroppedBytes();
}

}  // namespace cvh
