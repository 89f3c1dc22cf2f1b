// The host session: everything the main window owns, without a window. It holds the serial-port
// slots, the command sender, the forms and views, and the four timer handlers; each rule lives in
// the layer it belongs to and the session calls it. The console shows this state and forwards
// operator events; tests drive the same methods directly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/operator.h"
#include "config/logger_clock.h"
#include "config/logger_setup.h"
#include "config/logger_status_view.h"
#include "config/pc_logger_setup.h"
#include "config/setup_exchange_forms.h"
#include "config/sleep_request.h"
#include "link/command_frames.h"
#include "link/link_statistics.h"
#include "link/port_manager.h"
#include "link/receive_loop.h"
#include "link/record_mode.h"
#include "link/serial_port_table.h"
#include "session/console_views.h"
#include "session/host_clock.h"
#include "session/host_modes.h"
#include "session/host_setup_controls.h"
#include "session/link_monitor.h"
#include "session/notice_queue.h"
#include "session/setup_flow.h"
#include "session/stats_window.h"

namespace cvh {

class HostSession;
class PcLoggerFlow;

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

inline constexpr double kHostVersion = 7.09;
inline constexpr char kHostVersionLetter = 'e';
// "CV Host: v7.09e"
std::string baseTitleText();

class HostSession {
public:
    HostSession(SerialBackend& backend, Operator& op, const Clock& clock);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // --- start-up and exit -------------------------------------------------------------
    // Reset every page and state to its defaults (the window's creation, before any file).
    void resetToDefaults();
    // The window's creation: defaults, title, logger-port choice, start directory, the mode
    // (-1 until a host setup file provides one), the logger-port panel.
    void startUp(const std::string& startDirectory);
    // "Program Termination": true when the operator confirmed (ports are then closed).
    bool requestExit();
    // A confirmed exit without the question (signals): closes every port.
    void shutdown();

    // --- modes and the window ------------------------------------------------------------
    void setupDisplayMode();
    void modeMenuClick(MenuItem item);  // the eight mode menu items
    void markSetup(int code);
    void showNotice(const std::string& caption, const std::string& text, bool beep = true);
    bool hasDeferredNotices() const { return notices_.hasDeferred(); }
    void deliverDeferredNotice() { notices_.deliverOne(realOperator_); }
    const NoticeQueue& notices() const { return notices_; }
    void showLoggerPortPanel();
    void hideLoggerPortPanel();
    void toggleLoggerPortPanel();  // ShowLoggerPortSetupClick and the panel's "X"
    void toggleDebug();
    void toggleAutoBaud();  // AutoBaudRateDetectionClick
    void menuAutoTimeUpdateClick();
    void menuUpdateTimeNowClick();
    // Compares the logger's clock (local form) with the PC's, shows both and the drift, and
    // sets the logger's clock when asked to or when it is more than 5 s off.
    void checkLoggerClock(std::uint32_t loggerClock);
    void colourModeLabels(int hostMode, int loggerMode);

    // --- timers ----------------------------------------------------------------------------
    void onTick10ms();
    void onTick1000ms();
    void displayRefreshTick();
    // Takes each received hardware record once, from the display refresh; the Hardware
    // Configuration page is filled from here.
    void showHardwareRecord(Bytes record);
    std::uint32_t hardwareRecordsShown = 0;
    void onTimeoutTick();
    // The upload's idle-tick counter; at kTimeoutStop the TTimeout timer stops.
    static constexpr std::int32_t kTimeoutStop = 999999;
    std::int32_t timeoutTicks = 0;
    bool timeoutTimerEnabled = true;
    bool extractionRunning = false;

    // --- logger port -------------------------------------------------------------------
    void loggerPortChange(int comNumber, int lineChoice);  // LoggerPortCBChange
    // What the logger-port boxes list: "No Port Selected", then "COM 1".."COM 255", each
    // with the device behind the number and whether it exists now.
    struct PortItem {
        std::string text;
        std::string device;
        bool present = false;
    };
    std::vector<PortItem> loggerPortItems() const;

    // --- live display --------------------------------------------------------------------
    void rawPortChange(int source, int port, int loggerId);  // RawPortCBChange, RawMuxIDUDClick
    void displayRawClick();                                  // BTDisplayRawClick
    void tabsChange(int page);                               // TabsChange
    void sendEditText(bool withLineEnd);  // Enter in EditSendText / BTSendTextClick
    void resetCounters();                 // BTResetCounters
    void appendDisplayText(std::span<const std::uint8_t> bytes);

    // --- port tools ----------------------------------------------------------------------
    void hostPortStatsClick();
    void showTestPortWindow();
    void startPortTest();
    void stopPortTest();
    void closeTestPortWindow();
    void showMuxIdWindow();
    void muxIdClick(int position);
    void sendMuxId();
    void closeMuxIdWindow();
    void stopClick();  // BTStop: the stop sequence

    // --- setup exchange and sleep (setup_flow.cpp) --------------------------------------------
    void getSetupClick();     // BTGetSetup1, BTGetSetup2
    void sendSetupClick();    // BTSendSetup1, BTSendSetup2
    void beginSampleClick();  // BTBegin
    void pStoreClick();       // PStore: re-reads the setup while the logger stands by
    void polledWakeClick();   // Button1, Button3
    void polledSleepClick();  // Button2, Button4
    // An operator edit of a setup control, after its value was stored into `setup`.
    void setupEdited(SetupEdit edit);
    void sleepClick();         // BTSleep: shows the sleep window
    void sleepButtonClick();   // SleepButton: requestSleep
    void sleepCancelClick();   // CancelButton
    void mooredTimeUpdatesClick();  // "Moored Time Source"

    // --- state owned by the main window ---------------------------------------------------
    std::int16_t requestedHostMode = 0;
    std::int16_t activeHostMode = -1;
    int loggerModeIndex = -1;
    std::string startDirectory;
    std::string titleText;
    bool debugFileEnabled = false;
    std::uint16_t loggerOperationCode = 0;
    std::string loggerDeviceName = "???";

    MainWindowView main;
    LoggerStatusView loggerStatus;
    WarningView warning;
    TimeSyncMenu timeSync;
    SetupSnapshot setupSnapshot;
    StatusMemory statusMemory;
    std::int16_t loggerSerialNumber = 0;
    std::int16_t loggerDeviceType = 0;
    // Captions of BTClearMemory and BTGetDirectory on the Upload page, by device type.
    std::string clearMemoryCaption;
    std::string getDirectoryCaption;
    SetupForms setup;
    DataStatusView dataStatus;
    RealTimeView realTime;
    StatsWindow stats;
    TestPortView testPort;
    MuxIdView muxId;
    SleepClockView sleepClock;
    // Window geometry, extraction choice, replay speed and DandTCB (the host setup file).
    HostSetupControls hostControls;
    // The sleep window's visibility and its two edits (its clock lines are sleepClock).
    SleepWindow sleepWindow;
    // PC-logger input bytes of this second per deck slot 1..8 (index 0 unused), filled by
    // the PC logger's packet builder.
    std::array<int, kDeckSlotCount> pcBytesIn{};
    // The recorder's mode, which the receive loop consults.
    RecordMode recordMode = RecordMode::Off;
    // Position of MVPScroll: 10 ms ticks between "      WAKE" and " WAKE".
    int mvpScroll = 1;

    SerialPortTable& ports() { return *ports_; }
    LoggerCommands& commands() { return receive_->commands(); }
    ReceiveLoop& receiveLoop() { return *receive_; }
    LinkStatistics& link() { return receive_->statistics(); }
    PortManager& portManager() { return *portManager_; }
    LoggerPortView& portView() { return portManager_->view(); }
    const LoggerPortView& portView() const { return portManager_->view(); }
    PcLoggerSetup& pcLogger() { return *pcLogger_; }
    // The PC logger's clock, packet builder and the annotation window's state.
    PcLoggerFlow& pcLoggerFlow() { return *pcFlow_; }
    DeckRouting& deckRouting() { return receive_->deckRouting(); }
    Operator& noticeOperator() { return sessionOperator_; }
    HostClock& hostClock() { return hostClock_; }
    // Layout needs recomputing (a panel was shown or hidden); the console clears it.
    bool layoutDirty = true;
    // Revision of everything shown; bumped whenever a tick or an event changed a view.
    unsigned revision = 0;

private:
    // Notices raised while a tick runs wait until it has returned.
    struct TickScope {
        explicit TickScope(HostSession& s) : session(s) { ++session.tickDepth_; }
        ~TickScope() { --session.tickDepth_; }
        HostSession& session;
    };
    void applyModeLayout(const ModeLayout& layout);
    void closeChosenPort(int slot);
    void refreshHostClock();
    void syncPortView();
    void syncRawDisplay();
    void flushDisplayBuffers();
    void showPcPortLines();
    void applyPendingSetup();
    void applyPendingHardware();
    void showLoggerStatus();
    void syncTimeSyncMenu();

    SerialBackend& backend_;
    Operator& realOperator_;
    SessionOperator sessionOperator_;
    const Clock& clock_;
    std::unique_ptr<SerialPortTable> ports_;
    std::unique_ptr<ReceiveLoop> receive_;
    std::unique_ptr<PortManager> portManager_;
    std::unique_ptr<PcLoggerSetup> pcLogger_;
    std::unique_ptr<PcLoggerFlow> pcFlow_;
    NoticeQueue notices_;
    HostClock hostClock_;
    LinkMonitor monitor_;
    int tickDepth_ = 0;
    std::uint32_t lastTickPacketCount_ = 0;
};

}  // namespace cvh
