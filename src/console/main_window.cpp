#include "console/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "config/setup_exchange.h"
#include "console/annotation_binding.h"
#include "console/exit_signals.h"
#include "console/form_annotation.h"
#include "console/form_port_tools.h"
#include "console/form_sleep.h"
#include "console/form_warning.h"
#include "console/host_setup_binding.h"
#include "console/live_pages.h"
#include "console/page_analog.h"
#include "console/page_hardware.h"
#include "console/page_logger_control.h"
#include "console/page_pc_logger.h"
#include "console/page_port_setup.h"
#include "console/page_recording.h"
#include "console/page_upload.h"
#include "console/pc_logger_binding.h"
#include "console/setup_binding.h"
#include "console/sleep_binding.h"
#include "console/view_sync.h"
#include "console/widget_helpers.h"
#include "link/port_manager.h"
#include "session/host_session.h"
#include "session/host_setup_flow.h"

namespace cvh {

namespace {

// A combo box that refreshes its items just before it opens, so a USB adapter plugged in after
// start shows as present.
class PortComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

// The line choices as the host's port boxes list them (entry 7 with its blank).
QStringList hostLineChoices() {
    QStringList items;
    for (const char* t : {"OFF", "600", "1200", "2400", "4800", "4800,7,E,1", "9600", "9600, 7,E,1",
                          "19200", "38400", "57600", "115200"})
        items << QLatin1String(t);
    return items;
}

}  // namespace

MainWindow::MainWindow(HostSession& session, QWidget* parent)
    : QMainWindow(parent), session_(session) {
    setObjectName(QStringLiteral("TForm1"));
    buildMenus();
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(8);
    row->addWidget(buildLeftColumn());
    buildPages();
    row->addWidget(tabs_, 1);
    setCentralWidget(central);
    connectPages();
    findNamedControls();
    pcLoggerBinding_ = new PcLoggerBinding(*this, session_, [this] { refreshView(); });
    hostSetupBinding_ = new HostSetupBinding(*this, session_, [this] { afterTick(); });
    setupBinding_ = new SetupBinding(*this, session_, [this] { refreshView(); });

    Timer10ms.setObjectName(QStringLiteral("Timer10ms"));
    Timer1000ms.setObjectName(QStringLiteral("Timer1000ms"));
    Timer475ms.setObjectName(QStringLiteral("Timer475ms"));
    TTimeout.setObjectName(QStringLiteral("TTimeout"));
    Timer10ms.setInterval(10);
    Timer1000ms.setInterval(1000);
    Timer475ms.setInterval(1000);  // the form gives it no interval of its own
    TTimeout.setInterval(1500);
    connect(&Timer10ms, &QTimer::timeout, this, [this] {
        if (exitSignalled()) {
            confirmedExit();
            return;
        }
        session_.onTick10ms();
        afterTick(false);
    });
    connect(&Timer1000ms, &QTimer::timeout, this, [this] {
        session_.onTick1000ms();
        afterTick();
    });
    connect(&Timer475ms, &QTimer::timeout, this, [this] {
        session_.displayRefreshTick();
        afterTick();
    });
    connect(&TTimeout, &QTimer::timeout, this, [this] {
        session_.onTimeoutTick();
        if (!session_.timeoutTimerEnabled)
            TTimeout.stop();
        afterTick();
    });
    resize(1280, 800);
}

MainWindow::~MainWindow() = default;

void MainWindow::createSmallWindows() {
    warning_ = new WarningForm(this);
    sleep_ = new SleepForm(this);
    annotation_ = new AnnotationForm(this);
    annotationBinding_ =
        new AnnotationBinding(*annotation_, *this, session_, [this] { refreshView(); });
    testPort_ = new TestPortForm(this);
    stats_ = new StatsForm(this);
    muxId_ = new MuxIdForm(this);
    sleepBinding_ = new SleepBinding(*sleep_, session_, [this] { refreshView(); });
    for (QWidget* w : std::initializer_list<QWidget*>{warning_, sleep_, annotation_, testPort_,
                                                      stats_, muxId_}) {
        w->setWindowFlag(Qt::Window);
        w->hide();
    }
    findNamedControls();

    connect(testPort_->CBTestPort, &QComboBox::activated, this,
            [this](int i) { session_.testPort.CBTestPort = i; });
    connect(testPort_->CBTestPortSetup, &QComboBox::activated, this,
            [this](int i) { session_.testPort.CBTestPortSetup = i; });
    connect(testPort_->CBHostPortSetup, &QComboBox::activated, this,
            [this](int i) { session_.testPort.CBHostPortSetup = i; });
    connect(testPort_->BTTestPort, &QPushButton::clicked, this, [this] {
        session_.startPortTest();
        afterTick();
    });
    connect(testPort_->BTStopTest, &QPushButton::clicked, this,
            [this] { session_.stopPortTest(); });
    connect(testPort_, &TestPortForm::closed, this, [this] {
        session_.closeTestPortWindow();
        refreshView();
    });
    connect(stats_, &StatsForm::closed, this, [this] {
        session_.stats.closeStats();
        refreshView();
    });
    connect(muxId_->UDMuxID, &QSpinBox::valueChanged, this, [this](int v) {
        session_.muxIdClick(v);
        refreshView();
    });
    connect(muxId_->BTSendMuxID, &QPushButton::clicked, this, [this] { session_.sendMuxId(); });
    connect(muxId_, &MuxIdForm::closed, this, [this] {
        session_.closeMuxIdWindow();
        refreshView();
    });
}

void MainWindow::startTimers() {
    Timer10ms.start();
    Timer1000ms.start();
    Timer475ms.start();
    TTimeout.start();
}

// --- menus -------------------------------------------------------------------------------

void MainWindow::buildMenus() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    std::array<QMenu*, kMenuItemCount> menus{};
    for (int i = 0; i < kMenuItemCount; ++i) {
        const MenuItemInfo& info = kMenuTable[static_cast<std::size_t>(i)];
        bool hasChildren = false;
        for (const auto& other : kMenuTable)
            hasChildren = hasChildren || other.parent == i;
        QAction* action = nullptr;
        if (hasChildren) {
            auto* menu = new QMenu(QLatin1String(info.caption), this);
            menu->setObjectName(QLatin1String(info.objectName));
            menus[static_cast<std::size_t>(i)] = menu;
            action = menu->menuAction();
            if (info.parent < 0)
                menuBar()->addMenu(menu);
            else
                menus[static_cast<std::size_t>(info.parent)]->addMenu(menu);
        } else {
            action = new QAction(QLatin1String(info.caption), this);
            action->setSeparator(info.separator);
            action->setCheckable(info.checkable);
            action->setChecked(info.checkedAtStart);
            menus[static_cast<std::size_t>(info.parent)]->addAction(action);
            const MenuItem item = info.item;
            connect(action, &QAction::triggered, this, [this, item] { menuTriggered(item); });
        }
        action->setObjectName(QLatin1String(info.objectName));
        action->setVisible(info.visibleAtStart);
        actions_[static_cast<std::size_t>(i)] = action;
    }
}

void MainWindow::menuTriggered(MenuItem item) {
    if (modeOfMenuItem(item) != 0) {
        session_.modeMenuClick(item);
    } else {
        switch (item) {
            case MenuItem::Exit1:
                close();
                return;
            case MenuItem::ShowLoggerPortSetup:
                session_.toggleLoggerPortPanel();
                break;
            case MenuItem::HostPortStats:
                session_.hostPortStatsClick();
                break;
            case MenuItem::MenuTestOneSerialPort:
                session_.showTestPortWindow();
                break;
            case MenuItem::MenuMooredTimeUpdate:
                session_.mooredTimeUpdatesClick();
                break;
            case MenuItem::MenuChangeLoggerID:
                session_.showMuxIdWindow();
                break;
            case MenuItem::ToggleDebug:
                session_.toggleDebug();
                break;
            case MenuItem::AutoBaudRateDetection:
                session_.toggleAutoBaud();
                break;
            case MenuItem::MenuAutoTimeUpdate:
                session_.menuAutoTimeUpdateClick();
                break;
            case MenuItem::MenuUpdateTimeNow:
                session_.menuUpdateTimeNowClick();
                break;
            case MenuItem::ResetToMonitor:
                session_.commands().confirmResetToMonitor();
                break;
            case MenuItem::LoadDefaultFlashSetup:
                session_.commands().confirmLoadDefaultFlashSetup();
                break;
            default:
                break;  // items whose work belongs to pages not wired here
        }
    }
    afterTick();
}

// --- left column -------------------------------------------------------------------------

QWidget* MainWindow::buildLeftColumn() {
    auto* column = new QWidget(this);
    column->setObjectName(QStringLiteral("LeftColumn"));
    column->setFixedWidth(300);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(4);

    PStore_ = named(new QPushButton(QStringLiteral("Setup is ???"), column), "PStore");
    PStore_->setMinimumHeight(35);
    PStore_->hide();
    FlashPanel_ =
        panelLabel(column, QStringLiteral("FlashPanel"), QStringLiteral("Bad Flash Operations"));
    FlashPanel_->hide();
    RemoteHostPanel_ =
        panelLabel(column, QStringLiteral("RemoteHostPanel"), QStringLiteral("Remote Host Is On"));
    RemoteHostPanel_->hide();
    v->addWidget(PStore_);
    v->addWidget(FlashPanel_);
    v->addWidget(RemoteHostPanel_);

    HostStatusGB_ = named(new QGroupBox(QStringLiteral("Host Status"), column), "HostStatusGB");
    auto* hv = new QVBoxLayout(HostStatusGB_);
    HostMode_ = named(new QLabel(QStringLiteral("No Mode Selected"), HostStatusGB_), "HostMode");
    LoggerMode_ = named(new QLabel(HostStatusGB_), "LoggerMode");
    LBHostDandT_ = named(new QLabel(HostStatusGB_), "LBHostDandT");
    PLoggerPort_ = panelLabel(HostStatusGB_, QStringLiteral("PLoggerPort"),
                              QStringLiteral("Logger Port: COM0"));
    PLoggerPort_->setMinimumHeight(28);
    COMStatus_ = named(new QLabel(HostStatusGB_), "COMStatus");
    for (QLabel* l : {HostMode_, LoggerMode_}) {
        l->setAlignment(Qt::AlignCenter);
        l->setMargin(3);
        QFont f = l->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.15);
        l->setFont(f);
    }
    LoggerMode_->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{HostMode_, LoggerMode_, LBHostDandT_,
                                                      PLoggerPort_, COMStatus_})
        hv->addWidget(w);
    v->addWidget(HostStatusGB_);

    LoggerPortGB_ =
        named(new QGroupBox(QStringLiteral("Logger Port Setup"), column), "LoggerPortGB");
    auto* pg = new QGridLayout(LoggerPortGB_);
    auto* portBox = new PortComboBox(LoggerPortGB_);
    portBox->setObjectName(QStringLiteral("LoggerPortCB"));
    portBox->beforePopup = [this] { refreshLoggerPortItems(); };
    LoggerPortCB_ = portBox;
    LoggerSetupCB_ = named(new QComboBox(LoggerPortGB_), "LoggerSetupCB");
    LoggerSetupCB_->addItems(hostLineChoices());
    auto* close = named(new QToolButton(LoggerPortGB_), "CloseLoggerPortSetup");
    close->setText(QStringLiteral("X"));
    pg->addWidget(new QLabel(QStringLiteral("Port"), LoggerPortGB_), 0, 0);
    pg->addWidget(LoggerPortCB_, 0, 1);
    pg->addWidget(close, 0, 2);
    pg->addWidget(new QLabel(QStringLiteral("Setup"), LoggerPortGB_), 1, 0);
    pg->addWidget(LoggerSetupCB_, 1, 1);
    pg->setColumnStretch(1, 1);
    LoggerPortGB_->hide();
    v->addWidget(LoggerPortGB_);
    refreshLoggerPortItems();

    LoggerStatusGB_ =
        named(new QGroupBox(QStringLiteral("Logger Status"), column), "LoggerStatusGB");
    auto* sv = new QVBoxLayout(LoggerStatusGB_);
    sv->setContentsMargins(6, 4, 6, 4);
    loggerStatusBody_ = new QWidget(LoggerStatusGB_);
    auto* body = new QFormLayout(loggerStatusBody_);
    body->setContentsMargins(0, 0, 0, 0);
    body->setHorizontalSpacing(10);
    body->setVerticalSpacing(2);
    // Values with a caption beside them; the run and switch lines carry their own captions.
    const std::pair<const char*, const char*> rows[] = {{"LBOperation", "Status:"},
                                                        {"LBDandT", "Logger Clock:"},
                                                        {"LBDrift", nullptr},
                                                        {"LBTimeLeft", "Time Left:"},
                                                        {"LBRunNumber", nullptr},
                                                        {"LBRunSize", nullptr},
                                                        {"LBRunStop", nullptr},
                                                        {"LBPower", nullptr},
                                                        {"LBCurrentV", "Battery:"},
                                                        {"LBStartV", "Run Start:"},
                                                        {"LBEndV", "Run End:"},
                                                        {"LBFreeDisk", "Free Memory:"},
                                                        {"LBTotalDisk", "Total Memory:"}};
    for (const auto& [name, caption] : rows) {
        auto* l = named(new QLabel(loggerStatusBody_), name);
        l->setMargin(1);
        if (caption)
            body->addRow(new QLabel(QLatin1String(caption), loggerStatusBody_), l);
        else
            body->addRow(l);
    }
    sv->addWidget(loggerStatusBody_);
    v->addWidget(LoggerStatusGB_);
    v->addStretch(1);

    connect(PStore_, &QPushButton::clicked, this, [this] {
        session_.pStoreClick();
        afterTick();
    });
    connect(close, &QToolButton::clicked, this, [this] {
        session_.toggleLoggerPortPanel();
        refreshView();
    });
    connect(LoggerPortCB_, &QComboBox::activated, this, [this](int index) {
        session_.loggerPortChange(index, session_.portView().loggerSetupIndex);
        afterTick();
    });
    connect(LoggerSetupCB_, &QComboBox::activated, this, [this](int index) {
        session_.loggerPortChange(session_.portView().loggerPortIndex, index);
        afterTick();
    });
    return column;
}

void MainWindow::refreshLoggerPortItems() {
    const auto items = session_.loggerPortItems();
    const bool fresh = LoggerPortCB_->count() != static_cast<int>(items.size());
    const QSignalBlocker block(LoggerPortCB_);
    if (fresh) {
        LoggerPortCB_->clear();
        for (std::size_t i = 0; i < items.size(); ++i)
            LoggerPortCB_->addItem(qs(items[i].text));
    }
    auto* model = qobject_cast<QStandardItemModel*>(LoggerPortCB_->model());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int row = static_cast<int>(i);
        if (!fresh)
            LoggerPortCB_->setItemText(row, qs(items[i].text));
        if (model && i > 0)
            model->item(row)->setForeground(items[i].present ? palette().text()
                                                             : palette().placeholderText());
        LoggerPortCB_->setItemData(row, qs(items[i].device), Qt::ToolTipRole);
    }
}

// --- pages -------------------------------------------------------------------------------

void MainWindow::buildPages() {
    tabs_ = named(new QTabWidget(this), "Tabs");
    auto* plot = new QWidget(tabs_);  // kept for its place in the page order; it has no content
    plot->setObjectName(QStringLiteral("TSPlotSetup"));
    dataStatus_ = new DataStatusPage(tabs_);
    realTime_ = new RealTimePage(tabs_);
    pages_ = {new PortSetupPage(tabs_),
              new LoggerControlPage(tabs_),
              plot,
              new AnalogPage(tabs_),
              new HardwarePage(tabs_),
              new PcLoggerPage(tabs_),
              new RecordingPage(tabs_),
              realTime_,
              new UploadPage(tabs_),
              dataStatus_};
    for (int p = 0; p < kPageCount; ++p) {
        QWidget* page = pages_[static_cast<std::size_t>(p)];
        page->setObjectName(QLatin1String(kPages[static_cast<std::size_t>(p)].objectName));
        tabs_->addTab(page, QLatin1String(kPages[static_cast<std::size_t>(p)].caption));
    }
    tabs_->setTabVisible(pageIndex(Page::PlotSetup), false);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        session_.tabsChange(index);
        refreshView();
    });
}

void MainWindow::connectPages() {
    auto* r = realTime_;
    connect(r->RawSourceCB, &QComboBox::activated, this, [this](int i) {
        session_.rawPortChange(i, session_.realTime.RawPortCB, session_.realTime.RawMuxIDUD);
        refreshView();
    });
    connect(r->RawPortCB, &QComboBox::activated, this, [this](int i) {
        session_.rawPortChange(session_.realTime.RawSourceCB, i, session_.realTime.RawMuxIDUD);
        refreshView();
    });
    connect(r->RawMuxIDUD, &QSpinBox::valueChanged, this, [this](int v) {
        session_.rawPortChange(session_.realTime.RawSourceCB, session_.realTime.RawPortCB, v);
        refreshView();
    });
    connect(r->BTDisplayRaw, &QPushButton::clicked, this, [this] {
        session_.displayRawClick();
        refreshView();
    });
    connect(r->BTResetCounters, &QPushButton::clicked, this, [this] {
        session_.resetCounters();
        refreshView();
    });
    connect(r->EditSendText, &QLineEdit::textEdited, this, [this](const QString& t) {
        session_.realTime.EditSendText = t.toLatin1().toStdString();
    });
    connect(r->BTSendText, &QPushButton::clicked, this, [this] {
        session_.sendEditText(false);
        refreshView();
    });
    connect(r, &RealTimePage::enterPressed, this, [this] {
        session_.sendEditText(true);
        refreshView();
    });
    if (auto* stop = findChild<QPushButton*>(QStringLiteral("BTStop")))
        connect(stop, &QPushButton::clicked, this, [this] { session_.stopClick(); });
    if (auto* exit = findChild<QPushButton*>(QStringLiteral("BTExit")))
        connect(exit, &QPushButton::clicked, this, &QWidget::close);
}

// --- ticks and refresh -------------------------------------------------------------------

void MainWindow::afterTick(bool now) {
    if (session_.hasDeferredNotices() && !deliveryQueued_) {
        deliveryQueued_ = true;
        // The box opens from the event loop, not from inside the timer's handler, so the
        // 10 ms timer keeps draining the logger port while the box waits for OK.
        QTimer::singleShot(0, this, &MainWindow::deliverNotices);
    }
    if (now) {
        refreshView();
        return;
    }
    // Data arriving every few ticks would otherwise repaint the window as often; the eye
    // needs no more than about 20 pictures a second.
    if (session_.revision != shownRevision_ && !refreshQueued_) {
        refreshQueued_ = true;
        QTimer::singleShot(50, this, [this] {
            refreshQueued_ = false;
            refreshView();
        });
    }
}

void MainWindow::deliverNotices() {
    deliveryQueued_ = false;
    if (!session_.hasDeferredNotices())
        return;
    // One box per event; a further waiting notice gets its own event, so boxes nest as they
    // would have and the limit of ten still holds.
    if (session_.notices().deferredCount() > 1) {
        deliveryQueued_ = true;
        QTimer::singleShot(0, this, &MainWindow::deliverNotices);
    }
    session_.deliverDeferredNotice();
    refreshView();
}

void MainWindow::findNamedControls() {
    const char* combos[] = {"ModeCB", "FileCB", "OutputCB", "TimeSourceCB"};
    const char* comboLabels[] = {"ModeLB", "FileLB", "OutputLB", "TimeSourceLB"};
    for (std::size_t i = 0; i < 4; ++i) {
        setupCombos_[i] = findChild<QComboBox*>(QLatin1String(combos[i]));
        setupComboLabels_[i] = findChild<QLabel*>(QLatin1String(comboLabels[i]));
    }
    autoStart_ = findChild<QCheckBox*>(QStringLiteral("CBAutoStart"));
    btSleep_ = findChild<QWidget*>(QStringLiteral("BTSleep"));
    for (std::size_t i = 0; i < 4; ++i)
        polledButtons_[i] = findChild<QWidget*>(QStringLiteral("Button%1").arg(i + 1));
    const char* replay[] = {"ReplayArchiveBT",    "ReplaySpeedLB1", "ReplaySpeedLB2",
                            "ReplayContinuousBT", "ReplaySpeedUD",  "ReplaySpeedEdit"};
    for (std::size_t i = 0; i < 6; ++i)
        replayControls_[i] = findChild<QWidget*>(QLatin1String(replay[i]));
    const char* status[] = {"LBOperation", "LBDandT",    "LBDrift",    "LBTimeLeft", "LBRunNumber",
                            "LBRunSize",   "LBRunStop",  "LBPower",    "LBCurrentV", "LBStartV",
                            "LBEndV",      "LBFreeDisk", "LBTotalDisk"};
    for (std::size_t i = 0; i < statusLabels_.size(); ++i)
        statusLabels_[i] = loggerStatusBody_->findChild<QLabel*>(QLatin1String(status[i]));
    if (warning_)
        warningText_ = warning_->findChild<QLabel*>(QStringLiteral("Label1"));
    const char* clocks[] = {"HostTime", "HostDate", "SleepTime", "SleepDate"};
    if (sleep_)
        for (std::size_t i = 0; i < 4; ++i)
            sleepClock_[i] = sleep_->findChild<QLabel*>(QLatin1String(clocks[i]));
}

void MainWindow::refreshSetupControls() {
    const auto& lc = session_.setup.loggerControl;
    applyCombo(setupCombos_[0], lc.ModeCB);
    applyCombo(setupCombos_[1], lc.FileCB);
    applyCombo(setupCombos_[2], lc.OutputCB);
    applyCombo(setupCombos_[3], lc.TimeSourceCB);
    // A caption never stands beside the empty room of a hidden box: each label follows its box.
    const ComboState* boxes[] = {&lc.ModeCB, &lc.FileCB, &lc.OutputCB, &lc.TimeSourceCB};
    for (std::size_t i = 0; i < 4; ++i)
        setShown(setupComboLabels_[i], boxes[i]->visible);
    if (autoStart_) {
        if (autoStart_->isChecked() != lc.CBAutoStart.checked) {
            const QSignalBlocker block(autoStart_);
            autoStart_->setChecked(lc.CBAutoStart.checked);
        }
        setShown(autoStart_, lc.CBAutoStart.visible);
    }
    setShown(btSleep_, lc.BTSleepVisible);
    for (std::size_t i = 0; i < 4; ++i)
        setShown(polledButtons_[i], lc.ButtonVisible[i]);
    for (QWidget* w : replayControls_)
        setShown(w, session_.main.replayControlsVisible);
    if (setupBinding_)
        setupBinding_->refresh();
    if (sleepBinding_)
        sleepBinding_->refresh();
}

void MainWindow::refreshView() {
    if (session_.revision == shownRevision_)
        return;
    shownRevision_ = session_.revision;
    auto& s = session_;
    const auto& m = s.main;

    if (windowTitle() != qs(m.title))
        setWindowTitle(qs(m.title));
    for (int i = 0; i < kMenuItemCount; ++i) {
        QAction* a = actions_[static_cast<std::size_t>(i)];
        const MenuItemState& st = m.menu[static_cast<std::size_t>(i)];
        if (a->isVisible() != st.visible)
            a->setVisible(st.visible);
        if (a->isCheckable() && a->isChecked() != st.checked) {
            const QSignalBlocker block(a);
            a->setChecked(st.checked);
        }
        auto& shown = shownCaptions_[static_cast<std::size_t>(i)];
        if (!kMenuTable[static_cast<std::size_t>(i)].separator && shown != st.caption) {
            shown = st.caption;
            a->setText(qs(st.caption));
        }
    }
    {
        const QSignalBlocker block(tabs_);
        for (int p = 0; p < kPageCount; ++p)
            if (tabs_->isTabVisible(p) != m.pageVisible[static_cast<std::size_t>(p)])
                tabs_->setTabVisible(p, m.pageVisible[static_cast<std::size_t>(p)]);
        if (tabs_->currentIndex() != m.activePage &&
            m.pageVisible[static_cast<std::size_t>(m.activePage)])
            tabs_->setCurrentIndex(m.activePage);
    }

    setText(PStore_, s.setup.PStore.caption);
    setColour(PStore_, s.setup.PStore.colour);
    setShown(PStore_, s.setup.PStore.visible);
    applyLabel(FlashPanel_, m.FlashPanel);
    applyLabel(RemoteHostPanel_, m.RemoteHostPanel);
    applyLabel(HostMode_, m.HostMode);
    applyLabel(LoggerMode_, m.LoggerMode);
    applyLabel(LBHostDandT_, m.LBHostDandT);
    const auto& port = s.portView();
    applyLabel(PLoggerPort_, m.PLoggerPort);
    setColour(PLoggerPort_, port.pLoggerPortColour);
    applyLabel(COMStatus_, m.COMStatus);
    setShown(LoggerPortGB_, port.loggerPortGroupVisible);
    applyCombo(LoggerPortCB_, port.loggerPortIndex);
    applyCombo(LoggerSetupCB_, port.loggerSetupIndex);
    setColour(LoggerPortCB_, port.loggerPortColour);
    setColour(LoggerSetupCB_, port.loggerSetupColour);

    setShown(LoggerStatusGB_, m.LoggerStatusGB.visible);
    setColour(LoggerStatusGB_, m.LoggerStatusGB.colour);
    setShown(loggerStatusBody_, m.loggerStatusExpanded);
    const auto& ls = s.loggerStatus;
    const LabelState* status[] = {&ls.LBOperation, &m.LBDandT,    &m.LBDrift,   &ls.LBTimeLeft,
                                  &m.LBRunNumber,  &ls.LBRunSize, &m.LBRunStop, &m.LBPower,
                                  &ls.LBCurrentV,  &ls.LBStartV,  &ls.LBEndV,   &ls.LBFreeDisk,
                                  &ls.LBTotalDisk};
    for (std::size_t i = 0; i < statusLabels_.size(); ++i)
        applyLabel(statusLabels_[i], *status[i]);

    refreshSetupControls();
    dataStatus_->refresh(s);
    realTime_->refresh(s);
    if (testPort_) {
        testPort_->refresh(s);
        stats_->refresh(s.stats);
        muxId_->refresh(s);
        if (s.warning.visible) {
            setText(warningText_, s.warning.text);
            warning_->show();
            s.warning.visible = false;
        }
        const std::string* clocks[] = {&s.sleepClock.HostTime, &s.sleepClock.HostDate,
                                       &s.sleepClock.SleepTime, &s.sleepClock.SleepDate};
        for (std::size_t i = 0; i < 4; ++i)
            setText(sleepClock_[i], *clocks[i]);
    }
    if (pcLoggerBinding_)
        pcLoggerBinding_->refresh();
    if (hostSetupBinding_)
        hostSetupBinding_->refresh();
    if (annotationBinding_)
        annotationBinding_->refresh();
    s.layoutDirty = false;
}

// --- exit ----------------------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
    if (exiting_ || session_.requestExit()) {
        exiting_ = true;
        event->accept();
        QApplication::quit();
        return;
    }
    event->ignore();
}

void MainWindow::confirmedExit() {
    if (exiting_)
        return;
    exiting_ = true;
    Timer10ms.stop();
    Timer1000ms.stop();
    Timer475ms.stop();
    TTimeout.stop();
    // A signal (logout, system shutdown, Ctrl-C) ends the program as a confirmed exit would,
    // so the operator's settings are kept in "last.cvh" as well.
    storeLastHostSetup(session_);
    session_.shutdown();
    close();
    QApplication::quit();
}

}  // namespace cvh
