// The main window (TForm1): menu bar, the ten pages in Tabs, and the left column of panels and
// groups. It builds the widgets, forwards operator events and timer ticks to the session, and
// copies the session's state into the widgets.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <array>

#include "session/change_marks.h"
#include "session/host_modes.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;

namespace cvh {

class HostSession;
class DataStatusPage;
class RealTimePage;
class TestPortForm;
class StatsForm;
class MuxIdForm;
class WarningForm;
class SleepForm;
class AnnotationForm;
class PcLoggerBinding;
class RecordingBinding;
class AnnotationBinding;
class HostSetupBinding;
class SetupBinding;
class FactoryBinding;
class SleepBinding;
class UploadBinding;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(HostSession& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The small windows, created by the application after the main window, in order.
    void createSmallWindows();
    // Enables the four timers in the order Timer10ms, Timer1000ms, Timer475ms, TTimeout.
    void startTimers();
    // Copies the session's state into the widgets of every area that changed.
    void refreshView();

    QTabWidget* tabs() const { return tabs_; }
    QAction* action(MenuItem item) const {
        return actions_[static_cast<std::size_t>(menuIndex(item))];
    }
    HostSession& session() { return session_; }

    // Ends the program as a confirmed exit does, without the question (signals). When
    // "last.cvh" cannot be stored the path and reason go to standard error and the program's
    // exit status is 1; no box, as nobody may be there to close it.
    void confirmedExit();

    QTimer Timer10ms;
    QTimer Timer1000ms;
    QTimer Timer475ms;
    QTimer TTimeout;
    // Looks for an exit signal. Its own timer, which never opens a box, so it runs whatever
    // box the other handlers have open.
    QTimer ExitWatch;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QWidget* buildLeftColumn();
    QGroupBox* buildHostStatusGroup(QWidget* column);
    QGroupBox* buildLoggerPortGroup(QWidget* column);
    QGroupBox* buildLoggerStatusGroup(QWidget* column);
    void buildPages();
    void connectPages();
    void menuTriggered(MenuItem item);
    // After a tick or an event: deferred notices, then the view (now, or within 50 ms).
    void afterTick(bool now = true);
    void deliverNotices();
    void refreshLoggerPortItems();
    void bindPortTools();
    // TTimeout runs exactly while the upload wants it (once the timers have started).
    void syncTimeoutTimer();
    void refreshWindow();
    void refreshLoggerStatus();
    void refreshSmallWindows(const ChangeSet& changed);

    HostSession& session_;
    std::array<QAction*, kMenuItemCount> actions_{};
    QTabWidget* tabs_ = nullptr;
    std::array<QWidget*, kPageCount> pages_{};
    DataStatusPage* dataStatus_ = nullptr;
    RealTimePage* realTime_ = nullptr;

    QPushButton* PStore_ = nullptr;
    QLabel* FlashPanel_ = nullptr;
    QLabel* RemoteHostPanel_ = nullptr;
    QGroupBox* HostStatusGB_ = nullptr;
    QGroupBox* LoggerPortGB_ = nullptr;
    QGroupBox* LoggerStatusGB_ = nullptr;
    QWidget* loggerStatusBody_ = nullptr;
    QLabel* HostMode_ = nullptr;
    QLabel* LoggerMode_ = nullptr;
    QLabel* LBHostDandT_ = nullptr;
    QLabel* PLoggerPort_ = nullptr;
    QLabel* COMStatus_ = nullptr;
    QComboBox* LoggerPortCB_ = nullptr;
    QComboBox* LoggerSetupCB_ = nullptr;

    TestPortForm* testPort_ = nullptr;
    StatsForm* stats_ = nullptr;
    MuxIdForm* muxId_ = nullptr;
    WarningForm* warning_ = nullptr;
    SleepForm* sleep_ = nullptr;
    AnnotationForm* annotation_ = nullptr;
    PcLoggerBinding* pcLoggerBinding_ = nullptr;
    AnnotationBinding* annotationBinding_ = nullptr;
    HostSetupBinding* hostSetupBinding_ = nullptr;
    SetupBinding* setupBinding_ = nullptr;
    FactoryBinding* factoryBinding_ = nullptr;
    SleepBinding* sleepBinding_ = nullptr;
    RecordingBinding* recordingBinding_ = nullptr;
    UploadBinding* uploadBinding_ = nullptr;

    std::array<QLabel*, 13> statusLabels_{};
    QLabel* warningText_ = nullptr;
    std::array<std::string, kMenuItemCount> shownCaptions_;

    // Areas changed but not yet painted (a window made after the session's marks were taken).
    ChangeSet pendingChanges_ = ChangeSet::all();
    bool deliveryQueued_ = false;
    bool refreshQueued_ = false;
    bool exiting_ = false;
};

}  // namespace cvh
