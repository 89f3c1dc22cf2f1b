#include "session/host_session.h"

#include <algorithm>

#include "base/cformat.h"
#include "config/setup_exchange.h"
#include "session/live_format.h"

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

// Notices raised while a tick runs wait until it has returned.
struct HostSession::TickScope {
    explicit TickScope(HostSession& s) : session(s) { ++session.tickDepth_; }
    ~TickScope() { --session.tickDepth_; }
    HostSession& session;
};

HostSession::HostSession(SerialBackend& backend, Operator& op, const Clock& clock)
    : realOperator_(op),
      sessionOperator_(*this, op),
      clock_(clock),
      ports_(std::make_unique<SerialPortTable>(backend, sessionOperator_)),
      commands_(std::make_unique<LoggerCommands>(*ports_, sessionOperator_)),
      hostClock_(clock) {
    titleText = baseTitleText();
    main.title = titleText;
}

HostSession::~HostSession() = default;

// --- start-up and exit -----------------------------------------------------------------

void HostSession::resetToDefaults() {
    pcBytesIn.fill(0);
    pcBytesOut.fill(0);
    ports_->resetToDefaults();
    for (int k = 1; k <= 6; ++k)
        DeckSetupCB[static_cast<std::size_t>(k)] = 6;
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
    LoggerPortCB = 0;
    LoggerSetupCB = 6;
    startDirectory = directory.substr(0, 260);
    // Without a host setup file the program starts with no mode.
    requestedHostMode = -1;
    setupDisplayMode();
    if ((LoggerPortCB == 0 || LoggerSetupCB == 0) && !main.LoggerPortGB)
        showLoggerPortPanel();
    main.COMStatus.caption = describePort(LoggerPortCB, LoggerSetupCB);
    layoutDirty = true;
}

bool HostSession::requestExit() {
    if (realOperator_.askOkCancel("Program Termination", "EXIT Program?", Icon::Question, true) !=
        Answer::Ok)
        return false;
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
        LoggerPortCB = 0;
        loggerPortChange(0, LoggerSetupCB);
        return;
    }
    DeckPortCB[static_cast<std::size_t>(slot)] = 0;
    ports_->closePort(slot);
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
    main.LoggerPortGB = true;
    main.item(MenuItem::ShowLoggerPortSetup).caption = "Hide Logger Port Setup";
    layoutDirty = true;
}

void HostSession::hideLoggerPortPanel() {
    main.LoggerPortGB = false;
    main.item(MenuItem::ShowLoggerPortSetup).caption = "Show Logger Port Setup";
    layoutDirty = true;
}

void HostSession::toggleLoggerPortPanel() {
    if (main.LoggerPortGB)
        hideLoggerPortPanel();
    else
        showLoggerPortPanel();
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
    if (link.packetCount != lastTickPacketCount_) {
        lastTickPacketCount_ = link.packetCount;
        LinkMonitor::showPacketCount(link, stats);
    }
    ++link.loops;
}

void HostSession::onTick1000ms() {
    TickScope scope(*this);
    const std::uint32_t packets = monitor_.countPackets(link, stats);
    if (packets > 0) {
        loggerSetupColour = Colour::Window;
        main.PLoggerPort.colour = Colour::ButtonFace;
    }
    main.PLoggerPort.visible = LoggerPortCB > 0 && main.COMStatus.visible;
    main.COMStatus.caption = describePort(LoggerPortCB, LoggerSetupCB);
    main.PLoggerPort.caption = cformat("Logger Port: COM%1d", LoggerPortCB);
    monitor_.showPacketRate(packets, stats);
    monitor_.countBytes(link, stats);
    monitor_.showPayloadAndTimers(link, stats);
    monitor_.showModErrors(link, stats);
    realTime.LBTimeUnit.caption =
        cformat("Time Unit: %lu", static_cast<unsigned long>(link.unitPackets[0]));
    for (int u = 1; u <= 4; ++u) {
        const auto i = static_cast<std::size_t>(u);
        realTime.LBUnit[i - 1].caption =
            formatUnitLine(u, link.unitPackets[i], link.unitGapEvents[i], link.unitLastGap[i]);
    }
    monitor_.showLoops(link, stats);
    showPcPortLines();
    ++revision;
}

void HostSession::showPcPortLines() {
    bool anyOpen = false;
    for (int k = 1; k <= kDeckSlots; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const bool open = ports_->isPortOpen(k);
        anyOpen = anyOpen || open;
        const std::string text = formatPcPortLine(k, pcFunction[i], pcBytesIn[i], pcBytesOut[i]);
        dataStatus.DSPCPort[i - 1].caption = text;
        dataStatus.DSPCPort[i - 1].visible = open;
        dataStatus.PCPort[i - 1] = text;
    }
    // The group caption shows while any deck port is open (not only the last one examined).
    dataStatus.DSPCPorts.visible = anyOpen;
    pcBytesIn.fill(0);
    pcBytesOut.fill(0);
}

void HostSession::displayRefreshTick() {
    TickScope scope(*this);
    main.title = titleText;
    if (flashErrorValue != shownFlashValue) {
        main.FlashPanel.visible = flashErrorValue != 0;
        shownFlashValue = flashErrorValue;
        layoutDirty = true;
    }
    ++revision;
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
    LoggerPortCB = comNumber;
    LoggerSetupCB = lineChoice;
    link.noDataTimer = 2;
    link.badDataTimer = 3;
    ports_->closePort(kLoggerSlot);
    if (ports_->setLineSettingFromChoice(kLoggerSlot, lineChoice) != 0 && comNumber >= 1 &&
        comNumber <= 256)
        ports_->openPort(kLoggerSlot, comNumber);
    main.COMStatus.caption = describePort(LoggerPortCB, LoggerSetupCB);
    ++revision;
}

std::vector<std::string> HostSession::loggerPortItems() const {
    std::vector<std::string> items{"No Port Selected"};
    for (int com = 1; com <= 255; ++com)
        items.push_back(cformat("COM %d", com));
    return items;
}

// --- live display --------------------------------------------------------------------------

void HostSession::rawPortChange(int source, int port, int loggerId) {
    realTime.RawSourceCB = source;
    realTime.RawPortCB = port;
    realTime.RawMuxIDUD = loggerId;
    realTime.RawMuxIDLB.caption = formatLoggerIdCaption(loggerId);
    realTime.selectorsVisible = source <= 0;
    ++revision;
}

void HostSession::displayRawClick() {
    realTime.displayEnabled = !realTime.displayEnabled;
    realTime.BTDisplayRaw = realTime.displayEnabled ? "Stop Display" : "Display Data";
    ++revision;
}

void HostSession::tabsChange(int page) {
    main.activePage = page;
    realTime.displayEnabled = false;
    realTime.BTDisplayRaw = "Display Data";
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
    commands_->sendText(text);
    realTime.Memo1.append(text);
    if (withLineEnd)
        commands_->sendText(kLineEnd);
    realTime.Memo1.append(kLineEnd);
    ++revision;
}

void HostSession::resetCounters() {
    link.unitPackets.fill(0);
    link.unitGapEvents.fill(0);
    link.unitLastGap.fill(0);
    ++revision;
}

// --- port tools ------------------------------------------------------------------------------

void HostSession::hostPortStatsClick() {
    stats.closeStats();
    stats.openStats(kLoggerSlot, StatsWindow::kLineCount, "Logger Port Statistics");
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
    commands_->sendRecord(Bytes(frame->data(), frame->size()));
    ++revision;
}

void HostSession::stopPortTest() {
    stopClick();
}

void HostSession::stopClick() {
    commands_->sendStop(setup.portSetup.CBHostPortSetup.index);
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

void HostSession::sendMuxId() {
    commands_->sendCommand(CommandCode::SetLoggerId, 0, static_cast<std::uint16_t>(muxId.UDMuxID));
}

}  // namespace cvh
