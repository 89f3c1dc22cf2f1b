#include "session/host_session.h"

#include "base/cformat.h"
#include "base/version.h"
#include "session/host_setup_flow.h"
#include "session/live_format.h"
#include "session/setup_exchange.h"

namespace cvh {

namespace {

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
      main_(marks_, Area::Window),
      loggerStatus_(marks_, Area::LoggerStatus),
      dataStatus_(marks_, Area::DataStatus),
      warning_(marks_, Area::Warning),
      replayControls_(marks_, Area::Recording),
      recorder_(sessionOperator_, clock),
      link_(backend, sessionOperator_, marks_, main_),
      setup_(link_.receiveLoop(), sessionOperator_, marks_),
      clockAndSleep_(clock, link_.commands(), sessionOperator_, marks_, main_),
      pcLogger_(clock, link_, sessionOperator_, marks_),
      portTools_(link_, setup_, sessionOperator_, marks_, main_),
      hostSetup_(*this, marks_),
      factory_(link_.commands(), sessionOperator_, marks_),
      upload_(link_.commands(), sessionOperator_, clock,
              [this](const std::filesystem::path& runFile, ExtractChoice choice) {
                  extractRunFile(runFile, choice);
              }),
      liveWatch_(clock, sessionOperator_, marks_) {
    upload_.setChangeListener([this] { marks_.mark(Area::Upload); });
    titleText_ = baseTitleText();
    main_.edit().title = titleText_;
    // The one set of consumers: each call replaces the whole set.
    link_.receiveLoop().setConsumers({.recorder = &recorder_,
                                      .replay = &recorder_,
                                      .upload = &upload_,
                                      .directory = &upload_,
                                      .calibration = &factory_.analog(),
                                      .hardware = &factory_.hardware(),
                                      .data = &liveWatch_});
    // A received or loaded hardware record names the logger at once: Send Setup's port-1 rule
    // and the mode captions follow it until the next status record.
    factory_.hardware().setIdentityListener([this](const LoggerIdentity& id) {
        logger_.serialNumber = static_cast<std::int16_t>(id.serialNumber);
        logger_.deviceType = static_cast<std::int16_t>(id.deviceType);
    });
    // A replayed packet takes the number the receive loop expects next from its unit, so a
    // gap or keep-alive in the recording does not make every later packet a duplicate.
    recorder_.setNextSequence([this](std::uint8_t unit) {
        return static_cast<std::uint8_t>(link_.receiveLoop().lastSequence(unit) + 1);
    });
}

HostSession::~HostSession() = default;

// --- start-up and exit -----------------------------------------------------------------

void HostSession::resetToDefaults() {
    pcLogger_.resetToDefaults();
    link_.ports().resetToDefaults();
    auto& forms = setup_.edit(SessionKey());
    for (auto& c : forms.portSetup.CBAnalog)
        c.index = 0;
    for (auto& c : forms.portSetup.CBPump)
        c.index = 0;
    forms.loggerControl.TimeSourceCB.index = 0;
    main_.edit().activePage = pageIndex(Page::PortSetup);
    link_.rawPortChange(0, 0, link_.realTime().RawMuxIDUD);
    markSetup(0);
    dataStatus_.reset();
    applyOncePerHourColumn(forms.portSetup, false);
}

void HostSession::startUp(const std::string& directory) {
    // What start-up has to report waits for the running event loop: a box opened before the
    // timers run would hold off the exit signals until someone clicks it.
    TickScope deferNotices(*this);
    setup_.edit(SessionKey()).loggerControl.BTSleepVisible = false;
    resetToDefaults();
    titleText_ = baseTitleText();
    auto& main = main_.edit();
    main.title = titleText_;
    main.LoggerStatusGB.colour = Colour::Yellow;
    main.loggerStatusExpanded = false;
    link_.selectLoggerPort(0, 6);
    hostSetup_.setStartDirectory(directory);
    clockAndSleep_.setClockLogDirectory(hostSetup_.startDirectory());
    // "last.cvh" selects the mode and reopens the logger port; without it there is no mode.
    if (!hostSetup_.loadLast())
        selectHostMode(HostMode::None);
    const LoggerPortView& port = link_.portView();
    if ((port.loggerPortIndex == 0 || port.loggerSetupIndex == 0) && !port.loggerPortGroupVisible)
        link_.showLoggerPortPanel();
    main_.edit().COMStatus.caption = describePort(port.loggerPortIndex, port.loggerSetupIndex);
    marks_.mark(Area::Layout);
}

bool HostSession::requestExit() {
    if (realOperator_.askOkCancel("Program Termination", "EXIT Program?", Icon::Question, true) !=
        Answer::Ok)
        return false;
    // The operator is there to read why the settings were not kept; the program ends anyway.
    if (const auto error = hostSetup_.storeLast())
        realOperator_.notice("Program Termination",
                             "The host setup could not be stored:\n" + error->describe(), true);
    shutdown();
    return true;
}

std::optional<FileError> HostSession::confirmedExit() {
    // A signal (logout, system shutdown, Ctrl-C) ends the program as a confirmed exit would,
    // so the operator's settings are kept in "last.cvh" as well.
    auto error = hostSetup_.storeLast();
    shutdown();
    return error;
}

void HostSession::deferNotice(const std::string& caption, const std::string& text) {
    notices_.show(realOperator_, caption, text, true, true);
}

void HostSession::shutdown() {
    recorder_.stop();
    link_.ports().closeAll();
}

// --- modes -----------------------------------------------------------------------------

void HostSession::modeMenuClick(MenuItem item) {
    const HostMode mode = modeOfMenuItem(item);
    if (mode == HostMode::Invalid)
        return;
    markSetup(0);
    selectHostMode(mode);
}

void HostSession::selectHostMode(HostMode mode) {
    if (mode == HostMode::Invalid)
        showNotice("HD", "Disp Done");
    if (const auto layout = modeLayout(mode))
        applyModeLayout(*layout);
    main_.edit().HostMode.caption = hostModeCaption(mode);
    colourModeLabels(mode, loggerModeIndex_);
    activeHostMode_ = mode;
    // The moored layout and the polled buttons follow the logger mode chosen in ModeCB.
    applyMooredLayout(setup_.edit(SessionKey()));
    marks_.mark(Area::Layout);
}

void HostSession::applyModeLayout(const ModeLayout& layout) {
    if (layout.closesPcPorts)
        for (int k = 1; k <= kPcSlotCount; ++k)
            closeChosenPort(k);
    if (layout.closesLoggerPort)
        closeChosenPort(kLoggerSlot);

    auto& main = main_.edit();
    // A factory page the new mode hides leaves its menu item offering to show it again.
    for (const FactoryPage page : {FactoryPage::Hardware, FactoryPage::Analog}) {
        const auto index = static_cast<std::size_t>(
            pageIndex(page == FactoryPage::Hardware ? Page::Hardware : Page::Analog));
        if (main.pageVisible[index] && !layout.pages.shown[index]) {
            const FactoryPageToggle t = toggleFactoryPage(page, main.pageVisible, main.activePage);
            main.item(t.menuItem).caption = t.menuCaption;
        }
    }
    main.pageVisible = layout.pages.shown;

    auto& forms = setup_.edit(SessionKey());
    auto& lc = forms.loggerControl;
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

    forms.PStore.visible = layout.pStore;
    main.LBRunNumber.visible = layout.lbRunNumber;
    main.LBRunStop.visible = layout.lbRunStop;
    main.LBPower.visible = layout.lbPower;

    main.COMStatus.visible = layout.loggerPortPanel;
    if (!layout.loggerPortPanel)
        main.PLoggerPort.visible = false;
    main.item(MenuItem::MenuLoggerPortSetup).visible = layout.loggerPortPanel;
    if (layout.loggerPortPanel)
        link_.showLoggerPortPanel();
    else
        link_.hideLoggerPortPanel();
    main.LoggerStatusGB.visible = layout.loggerStatusGB;

    replayControls_.edit().setAll(false);
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
        link_.closeLoggerPort();
        return;
    }
    auto& row = pcLogger_.setup().form.rows[static_cast<std::size_t>(slot - 1)];
    link_.closeDeckPort(slot, row.DeckPortCB, row.DeckSetupCB);
    marks_.mark(Area::PcLogger);
}

void HostSession::tabsChange(int page) {
    main_.edit().activePage = page;
    link_.stopDisplay();
}

void HostSession::toggleFactoryPageClick(FactoryPage page) {
    auto& main = main_.edit();
    const FactoryPageToggle t = toggleFactoryPage(page, main.pageVisible, main.activePage);
    main.pageVisible = t.pageVisible;
    main.activePage = t.activePage;
    main.item(t.menuItem).caption = t.menuCaption;
}

void HostSession::toggleDebug() {
    debugFileEnabled_ = !debugFileEnabled_;
    main_.edit().item(MenuItem::ToggleDebug).checked = debugFileEnabled_;
}

void HostSession::mooredTimeUpdatesClick() {
    const bool shown = clockAndSleep_.mooredTimeUpdatesClick();
    setup_.edit(SessionKey()).loggerControl.TimeSourceCB.visible = shown;
}

void HostSession::warningShown() {
    warning_.edit().visible = false;
}

void HostSession::colourModeLabels(HostMode hostMode, LoggerMode loggerMode) {
    cvh::colourModeLabels(modeLabels(), hostMode, loggerMode);
}

ModeLabels HostSession::modeLabels() {
    auto& main = main_.edit();
    return {main.HostMode, main.LoggerMode, loggerModeIndex_};
}

void HostSession::showNotice(const std::string& caption, const std::string& text, bool beep) {
    notices_.show(realOperator_, caption, text, beep, tickDepth_ > 0);
}

// --- timers ------------------------------------------------------------------------------

void HostSession::onTick10ms() {
    TickScope scope(*this);
    clockAndSleep_.refreshHostClock();
    // The host's own PC-logger packets are recorded like the logger's.
    const RecordMode mode = recorder_.mode();
    link_.receiveTick(mode, clock_.milliseconds(), setup_.wakeDelayTicks());
    const std::string pcRaw = pcLogger_.tick(link_.receiveLoop().rawDisplay, mode);
    if (!pcRaw.empty())
        link_.appendDisplayText(pcRaw);
    // A replay that reached its end (or a short read) stops here.
    recorder_.tick10ms();
    noteRecorderChange();
    link_.flushDisplayBuffers();
}

void HostSession::onTick1000ms() {
    TickScope scope(*this);
    link_.secondTick();
    upload_.pacingStep();
    pcLogger_.showPortLines(dataStatus_.edit());
    recorder_.tick1s();
    noteRecorderChange();
    liveWatch_.secondTick();
    marks_.mark(Area::PortTools);
}

// --- upload page -------------------------------------------------------------------------

void HostSession::getDirectoryClick() {
    upload_.requestDirectory(static_cast<int>(logger_.operationCode), logger_.deviceName);
}

void HostSession::uploadClick(const std::vector<int>& selectedLines) {
    upload_.startUpload(selectedLines, hostSetup_.controls().ExtractFilesRG, logger_.serialNumber);
}

void HostSession::parseRunFilesClick() {
    const auto choice = chosenExtraction(hostSetup_.controls().ExtractFilesRG, sessionOperator_);
    if (!choice)
        return;
    const auto path = realOperator_.openFile(
        {"Extract Run File", "Run Files (Run.* run.*);;All Files (*)", "", ""});
    if (path)
        extractRunFile(*path, *choice);
}

ExtractReport HostSession::extractRunFile(const std::filesystem::path& runFile,
                                          ExtractChoice choice) {
    ExtractReport report =
        extractBesideRunFile(runFile, choice, debugFileEnabled_, extraction_, sessionOperator_);
    // A run file that cannot be read, or an output that cannot be written, must not pass
    // unnoticed: the operator learns which file and why.
    const std::string caption = cformat("Run.%03d - File Extraction Error", report.runNumber);
    if (report.inputError)
        showNotice(caption, report.inputError->describe());
    for (const FileError& e : report.unwritten)
        showNotice(caption, e.describe());
    return report;
}

}  // namespace cvh
