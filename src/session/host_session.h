// The host session: everything the main window owns, without a window. It is the conductor of
// the feature controllers (link and ports, setup exchange, clock and sleep, PC logger, port
// tools, host-setup store, recorder, run upload, factory settings) and runs the four timer
// handlers through them; it keeps the host modes, the logger status display and the notices
// itself. The console reads the views and
// calls the operations; tests drive the same methods directly.
//
// Adding a controller: construct it in HostSession's constructor after what it depends on,
// offer it through an accessor beside the others, run its part of a tick from the tick method
// that owns the timer, and give its view an Area (change_marks.h) whose mark its own setters
// set; the console binds its page once and repaints that page when the area is marked.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/clock.h"
#include "base/operator.h"
#include "config/logger_setup.h"
#include "files/recorder.h"
#include "files/run_extract.h"
#include "files/run_upload.h"
#include "link/record_mode.h"
#include "session/change_marks.h"
#include "session/clock_and_sleep.h"
#include "session/console_views.h"
#include "session/factory_settings.h"
#include "session/factory_view.h"
#include "session/host_modes.h"
#include "session/host_setup_store.h"
#include "session/link_ports.h"
#include "session/live_data_watch.h"
#include "session/logger_status_view.h"
#include "session/notice_queue.h"
#include "session/pc_logger_control.h"
#include "session/port_tools.h"
#include "session/recording_view.h"
#include "session/setup_exchange_control.h"

namespace cvh {

class HostSession;

// The Operator handed to every lower layer: notices go through ShowNotice (limit and deferral),
// questions and dialogs straight to the real operator.
class SessionOperator final : public Operator {
public:
    SessionOperator(HostSession& session, Operator& real) : session_(session), real_(real) {}
    void notice(const std::string& caption, const std::string& text, bool beep) override;
    Answer askOkCancel(const std::string& caption, const std::string& text, Icon icon,
                       bool beep) override {
        return real_.askOkCancel(caption, text, icon, beep);
    }
    Answer askYesNo(const std::string& caption, const std::string& text, Icon icon,
                    bool beep) override {
        return real_.askYesNo(caption, text, icon, beep);
    }
    Answer askYesNoCancel(const std::string& caption, const std::string& text, Icon icon) override {
        return real_.askYesNoCancel(caption, text, icon);
    }
    std::optional<std::string> openFile(const FileDialogRequest& request) override {
        return real_.openFile(request);
    }
    std::optional<std::string> saveFile(const FileDialogRequest& request) override {
        return real_.saveFile(request);
    }
    void beep() override { real_.beep(); }

private:
    HostSession& session_;
    Operator& real_;
};

// "CV Host: v7.09e"
std::string baseTitleText();

// What the logger told about itself in its last status record.
struct LoggerFacts {
    OperationCode operationCode = OperationCode::Off;
    std::int16_t serialNumber = 0;
    std::int16_t deviceType = 0;
    std::string deviceName = "???";
    // Captions of BTClearMemory and BTGetDirectory on the Upload page, by device type.
    std::string clearMemoryCaption;
    std::string getDirectoryCaption;
};

class HostSession {
public:
    HostSession(SerialBackend& backend, Operator& op, const Clock& clock);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // --- controllers ---------------------------------------------------------------------
    LinkPorts& linkPorts() { return link_; }
    const LinkPorts& linkPorts() const { return link_; }
    SetupExchange& setupExchange() { return setup_; }
    const SetupExchange& setupExchange() const { return setup_; }
    ClockAndSleep& clockAndSleep() { return clockAndSleep_; }
    const ClockAndSleep& clockAndSleep() const { return clockAndSleep_; }
    PcLoggerControl& pcLoggerControl() { return pcLogger_; }
    const PcLoggerControl& pcLoggerControl() const { return pcLogger_; }
    PortTools& portTools() { return portTools_; }
    const PortTools& portTools() const { return portTools_; }
    HostSetupStore& hostSetupStore() { return hostSetup_; }
    const HostSetupStore& hostSetupStore() const { return hostSetup_; }
    FactorySettings& factorySettings() { return factory_; }
    const FactorySettings& factorySettings() const { return factory_; }
    Recorder& recorder() { return recorder_; }
    const Recorder& recorder() const { return recorder_; }
    RunUpload& runUpload() { return upload_; }
    const RunUpload& runUpload() const { return upload_; }
    LiveDataWatch& liveDataWatch() { return liveWatch_; }
    const LiveDataWatch& liveDataWatch() const { return liveWatch_; }

    // --- the conductor's own views ---------------------------------------------------------
    const MainWindowView& main() const { return *main_; }
    const LoggerStatusView& loggerStatus() const { return *loggerStatus_; }
    const DataStatusView& dataStatus() const { return *dataStatus_; }
    const WarningView& warning() const { return *warning_; }
    const LoggerFacts& logger() const { return logger_; }
    const ReplayControlsVisibility& replayControls() const { return *replayControls_; }
    // What the recording page shows (Area::Recording).
    RecordingPageView recordingPage() const {
        return presentRecording(recorder_.state(), *replayControls_);
    }
    // The areas changed since the last call; the console repaints them.
    ChangeSet takeChanges() {
        noteRecorderChange();
        return marks_.take();
    }
    bool changesPending() const { return marks_.pending().any(); }

    // --- start-up and exit -------------------------------------------------------------
    // Reset every page and state to its defaults (the window's creation, before any file).
    void resetToDefaults();
    // The window's creation: defaults, title, logger-port choice, start directory, the mode
    // (-1 until a host setup file provides one), the logger-port panel.
    void startUp(const std::string& startDirectory);
    // "Program Termination": true when the operator confirmed (ports are then closed).
    bool requestExit();
    // A confirmed exit without the question (signals): keeps "last.cvh", closes every port.
    // A failure to keep it is returned, not shown: nobody may be there to close a box.
    std::optional<FileError> confirmedExit();
    // Closes every port.
    void shutdown();

    // --- host modes --------------------------------------------------------------------
    HostMode activeHostMode() const { return activeHostMode_; }
    LoggerMode loggerModeIndex() const { return loggerModeIndex_; }
    // Arranges the window for `mode` (SetupDisplayMode).
    void selectHostMode(HostMode mode);
    void modeMenuClick(MenuItem item);  // the eight mode menu items
    void tabsChange(int page);          // TabsChange
    void toggleDebug();
    // The menu items HardwareConfig and AnalogCal and the pages' Done buttons.
    void toggleFactoryPageClick(FactoryPage page);
    bool debugFileEnabled() const { return debugFileEnabled_; }
    // "Moored Time Source": the menu tick and the time-source box together.
    void mooredTimeUpdatesClick();
    // Marks the setup (0 not current, 1 current) and lays the window out again.
    void markSetup(int code) { setup_.markSetup(code); }
    void sendSetupClick() { setup_.sendSetupClick(logger_.deviceType); }
    void pStoreClick() { setup_.pStoreClick(logger_.operationCode); }
    // The warning window was shown.
    void warningShown();

    // --- upload page ---------------------------------------------------------------------
    void getDirectoryClick();
    // "Upload Logger Data" with the LBProfiles lines selected.
    void uploadClick(const std::vector<int>& selectedLines);
    // "Parse Run Files": asks for a run file and extracts it beside itself.
    void parseRunFilesClick();
    // Extracts one run file with the extraction state the upload shares; notices tell what
    // could not be read or written.
    ExtractReport extractRunFile(const std::filesystem::path& runFile, ExtractChoice choice);

    // --- notices -------------------------------------------------------------------------
    void showNotice(const std::string& caption, const std::string& text, bool beep = true);
    // Queued until the console delivers notices after a tick (start-up reports).
    void deferNotice(const std::string& caption, const std::string& text);
    bool hasDeferredNotices() const { return notices_.hasDeferred(); }
    void deliverDeferredNotice() { notices_.deliverOne(realOperator_); }
    const NoticeQueue& notices() const { return notices_; }
    Operator& noticeOperator() { return sessionOperator_; }

    // --- timers ----------------------------------------------------------------------------
    void onTick10ms();
    void onTick1000ms();
    void displayRefreshTick();
    // The TTimeout timer (1.5 s); the console runs it exactly while timeoutTimerEnabled().
    void onTimeoutTick() { upload_.onTimeoutTick(); }
    bool timeoutTimerEnabled() const { return upload_.facts().timeoutTimerEnabled; }
    RecordMode recordMode() const { return recorder_.mode(); }

    // --- shortcuts to the layers below, for tests and the command line ----------------------
    SerialPortTable& ports() { return link_.ports(); }
    LoggerCommands& commands() { return link_.commands(); }
    ReceiveLoop& receiveLoop() { return link_.receiveLoop(); }
    LinkStatistics& link() { return link_.statistics(); }
    PortManager& portManager() { return link_.portManager(); }
    LoggerPortView portView() const { return link_.portView(); }
    PcLoggerSetup& pcLogger() { return pcLogger_.setup(); }
    PcLoggerFlow& pcLoggerFlow() { return pcLogger_.flow(); }
    DeckRouting& deckRouting() { return link_.deckRouting(); }
    HostClock& hostClock() { return clockAndSleep_.hostClock(); }

private:
    friend struct HostSetupApply;
    friend struct SessionTestAccess;
    // Notices raised while a tick runs wait until it has returned.
    struct TickScope {
        explicit TickScope(HostSession& s) : session(s) { ++session.tickDepth_; }
        ~TickScope() { --session.tickDepth_; }
        HostSession& session;
    };
    void applyModeLayout(const ModeLayout& layout);
    void closeChosenPort(int slot);
    void applyPendingSetup();
    void applyPendingHardware();
    void showLoggerStatus();
    void showStatusDisplay(const StatusDisplayUpdate& u);
    void showStatusRows(const LoggerStatus& status, const StatusDisplayUpdate& u);
    void colourModeLabels(HostMode hostMode, LoggerMode loggerMode);
    ModeLabels modeLabels();
    // The recorder keeps a change flag of its own; it becomes the recording page's mark.
    void noteRecorderChange() {
        if (recorder_.takeChanged())
            marks_.mark(Area::Recording);
    }

    SerialBackend& backend_;
    Operator& realOperator_;
    SessionOperator sessionOperator_;
    const Clock& clock_;
    ChangeMarks marks_;
    NoticeQueue notices_;
    Watched<MainWindowView> main_;
    Watched<LoggerStatusView> loggerStatus_;
    Watched<DataStatusView> dataStatus_;
    Watched<WarningView> warning_;
    Watched<ReplayControlsVisibility> replayControls_;
    Recorder recorder_;
    LinkPorts link_;
    SetupExchange setup_;
    ClockAndSleep clockAndSleep_;
    PcLoggerControl pcLogger_;
    PortTools portTools_;
    HostSetupStore hostSetup_;
    FactorySettings factory_;
    // One for the program's life: the upload and "Parse Run Files" number on from run to run.
    ExtractionState extraction_;
    RunUpload upload_;
    LiveDataWatch liveWatch_;

    HostMode activeHostMode_ = HostMode::None;
    LoggerMode loggerModeIndex_ = LoggerMode::None;
    std::string titleText_;
    bool debugFileEnabled_ = false;
    LoggerFacts logger_;
    StatusMemory statusMemory_;
    int tickDepth_ = 0;
};

}  // namespace cvh
