#include "session/host_session.h"

#include <algorithm>

#include "base/cformat.h"
#include "config/setup_exchange.h"
#include "session/host_setup_flow.h"
#include "session/live_format.h"
#include "session/pc_logger_flow.h"

namespace cvh {

namespace {

constexpr int kDeckSlots = 8;

bool underCommandsMenu(int index) {
    for (int p = kMenuTable[static_cast<std::size_t>(index)].parent; p >= 0;
         p = kMenuTable[static_cast<std::size_t>(p)].parent) {
        if (p == menuIndex(MenuItem::CommandsMenu))
            return true;
    }
    return false;
}

}  // namespace

std::string baseTitleText() {
    return cformat("CV Host: v%4.2f%c", kHostVersion, kHostVersionLetter);
}

void SessionOperator::notice(const std::string& caption, const std::string& text, bool beep) {
    session_.showNotice(caption, text, beep);
}

HostSession::HostSession(SerialBackend& backend, Operator& op, const Clock& clock)
    : backend_(backend),
      realOperator_(op),
      sessionOperator_(*this, op),
      clock_(clock),
      ports_(std::make_unique<SerialPortTable>(backend, sessionOperator_)),
      receive_(std::make_unique<ReceiveLoop>(*ports_, sessionOperator_)),
      portManager_(
          std::make_unique<PortManager>(*ports_, receive_->framer(), receive_->statistics())),
      pcLogger_(std::make_unique<PcLoggerSetup>(receive_->deckRouting(), *ports_, *portManager_)),
      pcFlow_(std::make_unique<PcLoggerFlow>(clock, *ports_, *receive_, sessionOperator_)),
      hostClock_(clock) {
    titleText = baseTitleText();
    main.title = titleText;
}

HostSession::~HostSession() = default;

// --- start-up and exit -----------------------------------------------------------------

void HostSession::resetToDefaults() {
    pcBytesIn.fill(0);
    deckRouting().pcBytesOut.fill(0);
    ports_->resetToDefaults();
    for (int k = 0; k < 6; ++k)
        pcLogger_->form.rows[static_cast<std::size_t>(k)].DeckSetupCB = 6;
    pcFlow_->reset();
    for (auto& c : setup.portSetup.CBAnalog)
        c.index = 0;
    for (auto& c : setup.portSetup.CBPump)
        c.index = 0;
    setup.loggerControl.TimeSourceCB.index = 0;
    main.activePage = pageIndex(Page::PortSetup);
    realTime.RawPortCB = 0;
    realTime.RawSourceCB = 0;
    rawPortChange(0, 0, realTime.RawMuxIDUD);
    markSetup(0);
    dataStatus = DataStatusView();
    applyOncePerHourColumn(setup.portSetup, false);
    ++revision;
}

void HostSession::startUp(const std::string& directory) {
    setup.loggerControl.BTSleepVisible = false;
    resetToDefaults();
    titleText = baseTitleText();
    main.title = titleText;
    main.LoggerStatusGB.colour = Colour::Yellow;
    main.loggerStatusExpanded = false;
    portView().loggerPortIndex = 0;
    portView().loggerSetupIndex = 6;
    startDirectory = directory.substr(0, 260);
    // "last.cvh" selects the mode and reopens the logger port; without it there is no mode.
    if (!loadLastHostSetup(*this)) {
        requestedHostMode = -1;
        setupDisplayMode();
    }
    if ((portView().loggerPortIndex == 0 || portView().loggerSetupIndex == 0) &&
        !portView().loggerPortGroupVisible)
        showLoggerPortPanel();
    main.COMStatus.caption = describePort(portView().loggerPortIndex, portView().loggerSetupIndex);
    layoutDirty = true;
}

bool HostSession::requestExit() {
    if (realOperator_.askOkCancel("Program Termination", "EXIT Program?", Icon::Question, true) !=
        Answer::Ok)
        return false;
    storeLastHostSetup(*this);
    shutdown();
    return true;
}

void HostSession::shutdown() {
    ports_->closeAll();
}

// --- modes -----------------------------------------------------------------------------

void HostSession::modeMenuClick(MenuItem item) {
    const int mode = modeOfMenuItem(item);
    if (mode == 0)
        return;
    requestedHostMode = static_cast<std::int16_t>(mode);
    markSetup(0);
    setupDisplayMode();
}

void HostSession::setupDisplayMode() {
    const int mode = requestedHostMode;
    if (mode == 0)
        showNotice("HD", "Disp Done");
    if (const auto layout = modeLayout(mode))
        applyModeLayout(*layout);
    main.HostMode.caption = hostModeCaption(mode);
    colourModeLabels(mode, loggerModeIndex);
    activeHostMode = static_cast<std::int16_t>(mode);
    requestedHostMode = 0;
    // The moored layout and the polled buttons follow the logger mode chosen in ModeCB.
    applyMooredLayout(setup);
    layoutDirty = true;
    ++revision;
}

void HostSession::applyModeLayout(const ModeLayout& layout) {
    if (layout.closesPcPorts)
        for (int k = 1; k <= kDeckSlots; ++k)
            closeChosenPort(k);
    if (layout.closesLoggerPort)
        closeChosenPort(kLoggerSlot);

    for (int p = 0; p < kPageCount; ++p)
        main.pageVisible[static_cast<std::size_t>(p)] = layout.pages[static_cast<std::size_t>(p)];

    auto& lc = setup.loggerControl;
    lc.CBAutoStart.visible = true;
    lc.CBAutoStart.checked = layout.autoStartChecked;
    auto applyCombo = [](ComboState& box, const ComboSetting& s, int whenNone) {
        if (s.index != ComboSetting::kKeep)
            box.index = s.index;
        else if (box.index < 0)
            box.index = whenNone;
        box.visible = s.visible;
    };
    applyCombo(lc.ModeCB, layout.modeCB, 2);  // "Real Time Mode" when none chosen yet
    applyCombo(lc.FileCB, layout.fileCB, 0);
    applyCombo(lc.OutputCB, layout.outputCB, 0);
    applyCombo(lc.TimeSourceCB, layout.timeSourceCB, 0);

    setup.PStore.visible = layout.pStore;
    main.LBRunNumber.visible = layout.lbRunNumber;
    main.LBRunStop.visible = layout.lbRunStop;
    main.LBPower.visible = layout.lbPower;

    main.COMStatus.visible = layout.loggerPortPanel;
    if (!layout.loggerPortPanel)
        main.PLoggerPort.visible = false;
    main.item(MenuItem::MenuLoggerPortSetup).visible = layout.loggerPortPanel;
    if (layout.loggerPortPanel)
        showLoggerPortPanel();
    else
        hideLoggerPortPanel();
    main.LoggerStatusGB.visible = layout.loggerStatusGB;

    main.replayControlsVisible = false;
    main.FlashPanel.visible = false;
    main.RemoteHostPanel.visible = false;
    main.item(MenuItem::Menukb5PassThru).visible = false;
    for (int i = 0; i < kMenuItemCount; ++i)
        if (underCommandsMenu(i))
            main.menu[static_cast<std::size_t>(i)].visible =
                layout.menuShown(kMenuTable[static_cast<std::size_t>(i)].item);
}

void HostSession::closeChosenPort(int slot) {
    if (slot == kLoggerSlot) {
        portManager_->closeChosenPort(slot, portView().loggerPortIndex,
                                      portView().loggerSetupIndex);
        return;
    }
    auto& row = pcLogger_->form.rows[static_cast<std::size_t>(slot - 1)];
    portManager_->closeChosenPort(slot, row.DeckPortCB, row.DeckSetupCB);
}

void HostSession::markSetup(int code) {
    cvh::markSetup(setup.PStore, code);
    layoutDirty = true;
    ++revision;
}

void HostSession::showNotice(const std::string& caption, const std::string& text, bool beep) {
    notices_.show(realOperator_, caption, text, beep, tickDepth_ > 0);
}

void HostSession::showLoggerPortPanel() {
    portManager_->showLoggerPortSetup();
    syncPortView();
}

void HostSession::hideLoggerPortPanel() {
    portManager_->hideLoggerPortSetup();
    syncPortView();
}

void HostSession::toggleLoggerPortPanel() {
    portManager_->toggleLoggerPortSetup();
    syncPortView();
}

void HostSession::toggleAutoBaud() {
    portManager_->toggleAutoBaud();
    syncPortView();
}

// The port manager keeps the logger-port panel's state; the menu shows two of its values.
void HostSession::syncPortView() {
    auto& v = portView();
    main.item(MenuItem::ShowLoggerPortSetup).caption = v.showLoggerPortSetupCaption;
    main.item(MenuItem::AutoBaudRateDetection).checked = v.autoBaudChecked;
    if (v.layoutRequested) {
        v.layoutRequested = false;
        layoutDirty = true;
    }
    ++revision;
}

void HostSession::toggleDebug() {
    debugFileEnabled = !debugFileEnabled;
    main.item(MenuItem::ToggleDebug).checked = debugFileEnabled;
    ++revision;
}

void HostSession::colourModeLabels(int hostMode, int loggerMode) {
    cvh::colourModeLabels({main.HostMode, main.LoggerMode, loggerModeIndex}, hostMode, loggerMode);
}

// --- timers ------------------------------------------------------------------------------

void HostSession::refreshHostClock() {
    if (!hostClock_.refresh())
        return;
    const auto& l = hostClock_.labels();
    main.LBHostDandT.caption = l.LBHostDandT;
    sleepClock.HostTime = l.HostTime;
    sleepClock.HostDate = l.HostDate;
    if (hostClock_.loggerClockStale())
        main.LBDandT.colour = Colour::Yellow;
    ++revision;
}

void HostSession::onTick10ms() {
    TickScope scope(*this);
    refreshHostClock();
    receive_->wakeStep(clock_.milliseconds(), mvpScroll);
    auto& counters = link();
    if (counters.packetCount != lastTickPacketCount_) {
        lastTickPacketCount_ = counters.packetCount;
        LinkMonitor::showPacketCount(counters, stats);
    }
    ++counters.loops;
    if (receive_->receiveStep(recordMode) == kReceivedPacket) {
        counters.noDataTimer = 2;
        counters.badDataTimer = 3;
        portManager_->onPacketRecognised();
        syncPortView();
    }
    const std::string pcRaw = pcFlow_->tick(pcLogger_->form, pcLogger_->pcCycleMs(),
                                            receive_->rawDisplay, recordMode);
    if (!pcRaw.empty()) {
        realTime.Memo1.append(pcRaw);
        ++revision;
    }
    flushDisplayBuffers();
}

void HostSession::flushDisplayBuffers() {
    const PendingDisplay pending = receive_->takePendingDisplay();
    if (pending.empty())
        return;
    realTime.Memo1.append(pending.portText);
    realTime.Memo1.append(pending.rawLoggerText);
    ++revision;
}

void HostSession::onTick1000ms() {
    TickScope scope(*this);
    auto& counters = link();
    auto& port = portView();
    const std::uint32_t packets = monitor_.countPackets(counters, stats);
    if (packets > 0) {
        port.loggerSetupColour = Colour::Window;
        port.pLoggerPortColour = Colour::ButtonFace;
    }
    main.PLoggerPort.visible = port.loggerPortIndex > 0 && main.COMStatus.visible;
    main.COMStatus.caption = describePort(port.loggerPortIndex, port.loggerSetupIndex);
    main.PLoggerPort.caption = cformat("Logger Port: COM%1d", port.loggerPortIndex);
    monitor_.showPacketRate(packets, stats);
    monitor_.countBytes(counters, stats);
    monitor_.showPayloadAndTimers(counters, stats);
    portManager_->linkWatchdog();
    syncPortView();
    monitor_.showModErrors(counters, stats);
    realTime.LBTimeUnit.caption =
        cformat("Time Unit: %lu", static_cast<unsigned long>(counters.unitPackets[0]));
    for (int u = 1; u <= 4; ++u) {
        const auto i = static_cast<std::size_t>(u);
        realTime.LBUnit[i - 1].caption = formatUnitLine(
            u, counters.unitPackets[i], counters.unitGapEvents[i], counters.unitLastGap[i]);
    }
    monitor_.showLoops(counters, stats);
    showPcPortLines();
    ++revision;
}

void HostSession::showPcPortLines() {
    auto& routing = deckRouting();
    const auto bytesIn = pcFlow_->packet.takeBytesIn();
    for (int k = 1; k <= kDeckSlots; ++k)
        pcBytesIn[static_cast<std::size_t>(k)] += bytesIn[static_cast<std::size_t>(k)];
    bool anyOpen = false;
    for (int k = 1; k <= kDeckSlots; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const bool open = ports_->isPortOpen(k);
        anyOpen = anyOpen || open;
        const std::string text =
            formatPcPortLine(k, routing.pcFunction[i], pcBytesIn[i], routing.pcBytesOut[i]);
        dataStatus.DSPCPort[i - 1].caption = text;
        dataStatus.DSPCPort[i - 1].visible = open;
        dataStatus.PCPort[i - 1] = text;
    }
    // The group caption shows while any deck port is open (not only the last one examined).
    dataStatus.DSPCPorts.visible = anyOpen;
    pcBytesIn.fill(0);
    routing.pcBytesOut.fill(0);
}

void HostSession::onTimeoutTick() {
    if (timeoutTicks == kTimeoutStop) {
        timeoutTimerEnabled = false;
        timeoutTicks = 0;
        return;
    }
    if (!extractionRunning)
        ++timeoutTicks;
}

// --- logger port ---------------------------------------------------------------------------

void HostSession::loggerPortChange(int comNumber, int lineChoice) {
    portView().loggerPortIndex = comNumber;
    portView().loggerSetupIndex = lineChoice;
    portManager_->onLoggerPortChange();
    main.COMStatus.caption = describePort(comNumber, lineChoice);
    syncPortView();
}

std::vector<HostSession::PortItem> HostSession::loggerPortItems() const {
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

// --- live display --------------------------------------------------------------------------

void HostSession::rawPortChange(int source, int port, int loggerId) {
    realTime.RawSourceCB = source;
    realTime.RawPortCB = port;
    realTime.RawMuxIDUD = loggerId;
    realTime.RawMuxIDLB.caption = formatLoggerIdCaption(loggerId);
    realTime.selectorsVisible = source <= 0;
    syncRawDisplay();
}

void HostSession::displayRawClick() {
    realTime.displayEnabled = !realTime.displayEnabled;
    realTime.BTDisplayRaw = realTime.displayEnabled ? "Stop Display" : "Display Data";
    syncRawDisplay();
}

void HostSession::tabsChange(int page) {
    main.activePage = page;
    realTime.displayEnabled = false;
    realTime.BTDisplayRaw = "Display Data";
    syncRawDisplay();
}

// The receive loop copies data for display by these settings.
void HostSession::syncRawDisplay() {
    auto& d = receive_->rawDisplay;
    d.on = realTime.displayEnabled;
    d.source = realTime.RawSourceCB;
    d.unit = realTime.RawMuxIDUD;
    d.port = realTime.RawPortCB;
    ++revision;
}

void HostSession::appendDisplayText(std::span<const std::uint8_t> bytes) {
    realTime.Memo1.append(bytes);
    ++revision;
}

void HostSession::sendEditText(bool withLineEnd) {
    const std::string text = realTime.EditSendText;
    realTime.EditSendText.clear();
    realTime.Memo1.append(kLineEnd);
    commands().sendText(text);
    realTime.Memo1.append(text);
    if (withLineEnd)
        commands().sendText(kLineEnd);
    realTime.Memo1.append(kLineEnd);
    ++revision;
}

void HostSession::resetCounters() {
    receive_->resetUnitCounters();
    ++revision;
}

// --- port tools ------------------------------------------------------------------------------

void HostSession::hostPortStatsClick() {
    stats.closeStats();
    stats.openStats(kLoggerSlot, StatsWindow::kLineCount, "Logger Port Statistics");
    // The count line is otherwise written only when the count moves; show it at once.
    LinkMonitor::showPacketCount(link(), stats);
    ++revision;
}

void HostSession::showTestPortWindow() {
    testPort.visible = true;
    ++revision;
}

void HostSession::startPortTest() {
    if (testPort.CBTestPort < 0)
        testPort.CBTestPort = 0;
    const int port = testPort.CBTestPort + 1;
    const auto test = lineChoiceParameters(testPort.CBTestPortSetup);
    if (!test || test->baud == 0) {
        showNotice("Test Port Error", "Please a Test Port Setup");
        return;
    }
    const auto host = lineChoiceParameters(testPort.CBHostPortSetup);
    if (!host || host->baud == 0) {
        showNotice("Test Port Error", "Please a Host Port Setup");
        return;
    }
    const auto frame = buildPortTestFrame(port, testPort.CBTestPortSetup, testPort.CBHostPortSetup);
    if (!frame)
        return;
    main.pageVisible[static_cast<std::size_t>(pageIndex(Page::RealTime))] = true;
    main.activePage = pageIndex(Page::RealTime);
    rawPortChange(1, realTime.RawPortCB, realTime.RawMuxIDUD);
    commands().sendRecord(Bytes(frame->data(), frame->size()));
    ++revision;
}

void HostSession::stopPortTest() {
    stopClick();
}

void HostSession::stopClick() {
    commands().sendStop(setup.portSetup.CBHostPortSetup.index);
}

void HostSession::closeTestPortWindow() {
    testPort.visible = false;
    if (activeHostMode == 2 || activeHostMode == 3)
        main.pageVisible[static_cast<std::size_t>(pageIndex(Page::RealTime))] = false;
    ++revision;
}

void HostSession::showMuxIdWindow() {
    muxId.visible = true;
    ++revision;
}

void HostSession::muxIdClick(int position) {
    muxId.UDMuxID = std::clamp(position, 2, 4);
    muxId.LBNewMuxID = cformat("%3d", muxId.UDMuxID);
    ++revision;
}

void HostSession::closeMuxIdWindow() {
    muxId.visible = false;
    ++revision;
}

void HostSession::sendMuxId() {
    commands().sendCommand(CommandCode::SetLoggerId, 0, static_cast<std::uint16_t>(muxId.UDMuxID));
}

}  // namespace cvh
