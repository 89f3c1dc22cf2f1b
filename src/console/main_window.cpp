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
#include <cstdio>

#include "console/annotation_binding.h"
#include "console/factory_binding.h"
#include "console/form_annotation.h"
#include "console/form_port_tools.h"
#include "console/form_sleep.h"
#include "console/form_warning.h"
#include "console/host_setup_binding.h"
#include "console/live_pages.h"
#include "console/page_analog.h"
#include "console/page_hardware.h"
#include "console/page_live_plot.h"
#include "console/page_logger_control.h"
#include "console/page_pc_logger.h"
#include "console/page_port_setup.h"
#include "console/page_recording.h"
#include "console/page_upload.h"
#include "console/pc_logger_binding.h"
#include "console/recording_binding.h"
#include "console/setup_binding.h"
#include "console/sleep_binding.h"
#include "console/upload_binding.h"
#include "console/view_sync.h"
#include "console/widget_helpers.h"
#include "link/line_choices.h"
#include "link/port_manager.h"
#include "platform/exit_signals.h"
#include "session/host_session.h"
#include "session/logger_status_rows.h"
#include "session/setup_exchange.h"

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
    recordingBinding_ = new RecordingBinding(*tabs_, session_, [this] { afterTick(); });
    pcLoggerBinding_ = new PcLoggerBinding(*this, session_, [this] { afterTick(); });
    hostSetupBinding_ = new HostSetupBinding(*this, session_, [this] { afterTick(); });
    setupBinding_ = new SetupBinding(*this, session_, [this] { afterTick(); });
    factoryBinding_ = new FactoryBinding(*this, session_, [this] { afterTick(); });
    uploadBinding_ =
        new UploadBinding(*require<QWidget>(*this, "TSUpload"), session_, [this] { afterTick(); });

    Timer10ms.setObjectName(QStringLiteral("Timer10ms"));
    Timer1000ms.setObjectName(QStringLiteral("Timer1000ms"));
    Timer475ms.setObjectName(QStringLiteral("Timer475ms"));
    TTimeout.setObjectName(QStringLiteral("TTimeout"));
    Timer10ms.setInterval(10);
    Timer1000ms.setInterval(1000);
    Timer475ms.setInterval(1000);  // the form gives it no interval of its own
    TTimeout.setInterval(1500);
    ExitWatch.setInterval(50);
    connect(&ExitWatch, &QTimer::timeout, this, [this] {
        if (exitSignalled())
            confirmedExit();
    });
    connect(&Timer10ms, &QTimer::timeout, this, [this] {
        if (exitSignalled())
            return;
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
        new AnnotationBinding(*annotation_, *this, session_, [this] { afterTick(); });
    testPort_ = new TestPortForm(this);
    stats_ = new StatsForm(this);
    muxId_ = new MuxIdForm(this);
    sleepBinding_ = new SleepBinding(*sleep_, session_, [this] { afterTick(); });
    for (QWidget* w : std::initializer_list<QWidget*>{warning_, sleep_, annotation_, testPort_,
                                                      stats_, muxId_}) {
        w->setWindowFlag(Qt::Window);
        w->hide();
    }
    warningText_ = require<QLabel>(*warning_, "Label1");
    bindPortTools();
    // Every window is there now: the next refresh paints them all.
    pendingChanges_.add(ChangeSet::all());
}

void MainWindow::bindPortTools() {
    PortTools& tools = session_.portTools();
    connect(testPort_->CBTestPort, &QComboBox::activated, this,
            [&tools](int i) { tools.chooseTestPort(i); });
    connect(testPort_->CBTestPortSetup, &QComboBox::activated, this,
            [&tools](int i) { tools.chooseTestPortSetup(i); });
    connect(testPort_->CBHostPortSetup, &QComboBox::activated, this,
            [&tools](int i) { tools.chooseHostPortSetup(i); });
    connect(testPort_->BTTestPort, &QPushButton::clicked, this, [this, &tools] {
        tools.startPortTest();
        afterTick();
    });
    connect(testPort_->BTStopTest, &QPushButton::clicked, this, [&tools] { tools.stopPortTest(); });
    connect(testPort_, &TestPortForm::closed, this, [this, &tools] {
        tools.closeTestPortWindow(session_.activeHostMode());
        afterTick();
    });
    connect(stats_, &StatsForm::closed, this, [this] {
        session_.linkPorts().closeStats();
        afterTick();
    });
    connect(muxId_->UDMuxID, &QSpinBox::valueChanged, this, [this, &tools](int v) {
        tools.muxIdClick(v);
        afterTick();
    });
    connect(muxId_->BTSendMuxID, &QPushButton::clicked, this, [&tools] { tools.sendMuxId(); });
    connect(muxId_, &MuxIdForm::closed, this, [this, &tools] {
        tools.closeMuxIdWindow();
        afterTick();
    });
}

void MainWindow::startTimers() {
    ExitWatch.start();
    Timer10ms.start();
    Timer1000ms.start();
    Timer475ms.start();
    if (session_.timeoutTimerEnabled())
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
    if (modeOfMenuItem(item) != HostMode::Invalid) {
        session_.modeMenuClick(item);
    } else {
        switch (item) {
            case MenuItem::Exit1:
                close();
                return;
            case MenuItem::ShowLoggerPortSetup:
                session_.linkPorts().toggleLoggerPortPanel();
                break;
            case MenuItem::HostPortStats:
                session_.linkPorts().hostPortStatsClick();
                break;
            case MenuItem::MenuTestOneSerialPort:
                session_.portTools().showTestPortWindow();
                break;
            case MenuItem::MenuMooredTimeUpdate:
                session_.mooredTimeUpdatesClick();
                break;
            case MenuItem::MenuChangeLoggerID:
                session_.portTools().showMuxIdWindow();
                break;
            case MenuItem::HardwareConfig:
                session_.toggleFactoryPageClick(FactoryPage::Hardware);
                break;
            case MenuItem::AnalogCal:
                session_.toggleFactoryPageClick(FactoryPage::Analog);
                break;
            case MenuItem::ToggleDebug:
                session_.toggleDebug();
                break;
            case MenuItem::AutoBaudRateDetection:
                session_.linkPorts().toggleAutoBaud();
                break;
            case MenuItem::MenuAutoTimeUpdate:
                session_.clockAndSleep().menuAutoTimeUpdateClick();
                break;
            case MenuItem::MenuUpdateTimeNow:
                session_.clockAndSleep().menuUpdateTimeNowClick();
                break;
            case MenuItem::ResetToMonitor:
                session_.linkPorts().resetToMonitorClick();
                break;
            case MenuItem::LoadDefaultFlashSetup:
                session_.linkPorts().loadDefaultFlashSetupClick();
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
    v->addWidget(buildHostStatusGroup(column));
    v->addWidget(buildLoggerPortGroup(column));
    v->addWidget(buildLoggerStatusGroup(column));
    v->addStretch(1);
    return column;
}

// The two mode labels, the host clock and the logger port's name and state.
QGroupBox* MainWindow::buildHostStatusGroup(QWidget* column) {
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
    return HostStatusGB_;
}

// The logger port's COM and line choice, with the close button of the panel.
QGroupBox* MainWindow::buildLoggerPortGroup(QWidget* column) {
    LoggerPortGB_ =
        named(new QGroupBox(QStringLiteral("Logger Port Setup"), column), "LoggerPortGB");
    auto* pg = new QGridLayout(LoggerPortGB_);
    auto* portBox = new PortComboBox(LoggerPortGB_);
    portBox->setObjectName(QStringLiteral("LoggerPortCB"));
    portBox->beforePopup = [this] { refreshLoggerPortItems(); };
    LoggerPortCB_ = portBox;
    LoggerSetupCB_ = named(new QComboBox(LoggerPortGB_), "LoggerSetupCB");
    LoggerSetupCB_->addItems(itemList(kPortSetupChoiceTexts));
    auto* close = named(new QToolButton(LoggerPortGB_), "CloseLoggerPortSetup");
    close->setText(QStringLiteral("X"));
    pg->addWidget(new QLabel(QStringLiteral("Port"), LoggerPortGB_), 0, 0);
    pg->addWidget(LoggerPortCB_, 0, 1);
    pg->addWidget(close, 0, 2);
    pg->addWidget(new QLabel(QStringLiteral("Setup"), LoggerPortGB_), 1, 0);
    pg->addWidget(LoggerSetupCB_, 1, 1);
    pg->setColumnStretch(1, 1);
    LoggerPortGB_->hide();
    refreshLoggerPortItems();

    LinkPorts& link = session_.linkPorts();
    connect(close, &QToolButton::clicked, this, [this, &link] {
        link.toggleLoggerPortPanel();
        afterTick();
    });
    connect(LoggerPortCB_, &QComboBox::activated, this, [this, &link](int index) {
        link.loggerPortChange(index, link.portView().loggerSetupIndex);
        afterTick();
    });
    connect(LoggerSetupCB_, &QComboBox::activated, this, [this, &link](int index) {
        link.loggerPortChange(link.portView().loggerPortIndex, index);
        afterTick();
    });
    return LoggerPortGB_;
}

// The "Logger Status" group: one label per status row, in the rows' order.
QGroupBox* MainWindow::buildLoggerStatusGroup(QWidget* column) {
    LoggerStatusGB_ =
        named(new QGroupBox(QStringLiteral("Logger Status"), column), "LoggerStatusGB");
    auto* sv = new QVBoxLayout(LoggerStatusGB_);
    sv->setContentsMargins(6, 4, 6, 4);
    loggerStatusBody_ = new QWidget(LoggerStatusGB_);
    auto* body = new QFormLayout(loggerStatusBody_);
    body->setContentsMargins(0, 0, 0, 0);
    body->setHorizontalSpacing(10);
    body->setVerticalSpacing(2);
    for (std::size_t i = 0; i < kStatusRows.size(); ++i) {
        const StatusRow& row = kStatusRows[i];
        auto* l = named(new QLabel(loggerStatusBody_), row.name);
        l->setMargin(1);
        statusLabels_[i] = l;
        if (row.caption)
            body->addRow(new QLabel(QLatin1String(row.caption), loggerStatusBody_), l);
        else
            body->addRow(l);
    }
    sv->addWidget(loggerStatusBody_);
    return LoggerStatusGB_;
}

void MainWindow::refreshLoggerPortItems() {
    const auto items = session_.linkPorts().loggerPortItems();
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
              dataStatus_,
              new LivePlotPage(session_.liveDataWatch(), tabs_)};
    for (int p = 0; p < kPageCount; ++p) {
        QWidget* page = pages_[static_cast<std::size_t>(p)];
        page->setObjectName(QLatin1String(kPages[static_cast<std::size_t>(p)].objectName));
        tabs_->addTab(page, QLatin1String(kPages[static_cast<std::size_t>(p)].caption));
    }
    tabs_->setTabVisible(pageIndex(Page::PlotSetup), false);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        session_.tabsChange(index);
        afterTick();
    });
}

void MainWindow::connectPages() {
    auto* r = realTime_;
    LinkPorts& link = session_.linkPorts();
    // Each of the three display choices changes with the other two as they stand.
    connect(r->RawSourceCB, &QComboBox::activated, this, [this, &link](int i) {
        link.rawPortChange(i, link.realTime().RawPortCB, link.realTime().RawMuxIDUD);
        afterTick();
    });
    connect(r->RawPortCB, &QComboBox::activated, this, [this, &link](int i) {
        link.rawPortChange(link.realTime().RawSourceCB, i, link.realTime().RawMuxIDUD);
        afterTick();
    });
    connect(r->RawMuxIDUD, &QSpinBox::valueChanged, this, [this, &link](int v) {
        link.rawPortChange(link.realTime().RawSourceCB, link.realTime().RawPortCB, v);
        afterTick();
    });
    connect(r->BTDisplayRaw, &QPushButton::clicked, this, [this, &link] {
        link.displayRawClick();
        afterTick();
    });
    connect(r->BTResetCounters, &QPushButton::clicked, this, [this, &link] {
        link.resetCounters();
        afterTick();
    });
    connect(r->EditSendText, &QLineEdit::textEdited, this,
            [&link](const QString& t) { link.editSendText(t.toLatin1().toStdString()); });
    connect(r->BTSendText, &QPushButton::clicked, this, [this, &link] {
        link.sendEditText(false);
        afterTick();
    });
    connect(r, &RealTimePage::enterPressed, this, [this, &link] {
        link.sendEditText(true);
        afterTick();
    });
    connect(require<QPushButton>(*this, "BTStop"), &QPushButton::clicked, this,
            [this] { session_.setupExchange().stopClick(); });
}

// --- ticks and refresh -------------------------------------------------------------------

void MainWindow::syncTimeoutTimer() {
    if (exiting_ || !Timer10ms.isActive())
        return;
    if (session_.timeoutTimerEnabled() && !TTimeout.isActive())
        TTimeout.start();
    else if (!session_.timeoutTimerEnabled() && TTimeout.isActive())
        TTimeout.stop();
}

void MainWindow::afterTick(bool now) {
    syncTimeoutTimer();
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
    if (session_.changesPending() && !refreshQueued_) {
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

// --- exit ----------------------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
    if (exiting_) {  // confirmedExit() ends the event loops with its own status
        event->accept();
        return;
    }
    if (session_.requestExit()) {
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
    ExitWatch.stop();
    const auto error = session_.confirmedExit();
    if (error)
        std::fprintf(stderr, "cvhost: the host setup could not be stored: %s\n",
                     error->describe().c_str());
    close();
    // Leaves every event loop, a box's included.
    QApplication::exit(error ? 1 : 0);
}

}  // namespace cvh
