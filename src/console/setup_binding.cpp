#include "console/setup_binding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include "console/view_sync.h"
#include "console/widget_helpers.h"
#include "session/host_session.h"
#include "session/live_format.h"

namespace cvh {

namespace {

// The component stems of the six durations in record order: <stem>UD, <stem>Combo, <stem>LB.
constexpr std::array<const char*, kDurationCount> kDurationStems{"Delay", "PreFlush", "Warmup",
                                                                 "Flush", "Sample",   "Interval"};

void applyCheck(QCheckBox* box, const CheckState& state) {
    if (box->isChecked() != state.checked) {
        const QSignalBlocker block(box);
        box->setChecked(state.checked);
    }
    setShown(box, state.visible);
}

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

SetupBinding::SetupBinding(QWidget& window, HostSession& session, std::function<void()> changed)
    : QObject(&window), session_(session), changed_(std::move(changed)), window_(&window) {
    portPage_ = require<QWidget>(window, "TSPortSetup");
    controlPage_ = require<QWidget>(window, "TSLoggerControl");
    PStore_ = require<QPushButton>(window, "PStore");
    bindPortSetup();
    bindLoggerControl();
    bindButtons();
    addWakeDelayControls();
}

void SetupBinding::changed(SetupControl control, int row, int value) {
    session_.setupExchange().controlChanged(control, row, value);
    changed_();
}

void SetupBinding::bindPortSetup() {
    const QWidget& page = *portPage_;
    auto bindList = [this](QComboBox* box, SetupControl control, int row) {
        connect(box, &QComboBox::activated, this,
                [this, control, row](int index) { changed(control, row, index); });
    };
    auto bindCheck = [this](QCheckBox* box, SetupControl control, int row) {
        connect(box, &QCheckBox::clicked, this,
                [this, control, row](bool checked) { changed(control, row, checked ? 1 : 0); });
    };
    for (int n = 1; n <= kLoggerPortCount; ++n) {
        PortRow& r = ports_[at(n - 1)];
        r.label = require<QLabel>(page, numbered("LBS", n));
        r.list = require<QComboBox>(page, numbered("ComboMeter", n));
        r.line = require<QComboBox>(page, numbered("CBPort", n, "Setup"));
        r.oncePerHour = require<QCheckBox>(page, numbered("SOPH", n));
        bindList(r.list, SetupControl::MeterType, n - 1);
        bindList(r.line, SetupControl::PortLine, n - 1);
        bindCheck(r.oncePerHour, SetupControl::SerialOncePerHour, n - 1);
    }
    hostPortLine_ = require<QComboBox>(page, "CBHostPortSetup");
    bindList(hostPortLine_, SetupControl::HostPortLine, 0);
    for (int n = 1; n <= kAnalogChannelCount; ++n) {
        PortRow& r = analog_[at(n - 1)];
        r.label = require<QLabel>(page, numbered("LBAnalog", n));
        r.list = require<QComboBox>(page, numbered("CBAnalog", n));
        r.oncePerHour = require<QCheckBox>(page, numbered("AOPH", n));
        bindList(r.list, SetupControl::AnalogChannel, n - 1);
        bindCheck(r.oncePerHour, SetupControl::AnalogOncePerHour, n - 1);
    }
    for (int n = 1; n <= kPumpPortCount; ++n) {
        PortRow& r = pumps_[at(n - 1)];
        r.label = require<QLabel>(page, numbered("LBPump", n));
        r.list = require<QComboBox>(page, numbered("CBPump", n));
        r.oncePerHour = require<QCheckBox>(page, numbered("POPH", n));
        bindList(r.list, SetupControl::PumpPort, n - 1);
        bindCheck(r.oncePerHour, SetupControl::PumpOncePerHour, n - 1);
    }
    const char* headers[] = {"SOPHLB", "AOPHLB", "POPHLB"};
    for (std::size_t h = 0; h < 3; ++h)
        for (int line = 1; line <= 2; ++line)
            oncePerHourHeaders_[h * 2 + at(line - 1)] =
                require<QLabel>(page, numbered(headers[h], line));
    HostType_ = require<QLabel>(page, "HostType");
    LBAnalogSetup_ = require<QLabel>(page, "LBAnalogSetup");
    LBPump_ = require<QLabel>(page, "LBPump");
}

void SetupBinding::bindLoggerControl() {
    const QWidget& page = *controlPage_;
    const std::pair<const char*, SetupControl> lists[] = {
        {"ModeCB", SetupControl::LoggerMode},
        {"FileCB", SetupControl::FileFormat},
        {"OutputCB", SetupControl::OutputFormat},
        {"TimeSourceCB", SetupControl::TimeSource}};
    const char* listLabels[] = {"ModeLB", "FileLB", "OutputLB", "TimeSourceLB"};
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        lists_[i] = require<QComboBox>(page, lists[i].first);
        listLabels_[i] = require<QLabel>(page, listLabels[i]);
        connect(lists_[i], &QComboBox::activated, this,
                [this, control = lists[i].second](int index) { changed(control, 0, index); });
    }
    CBAutoStart_ = require<QCheckBox>(page, "CBAutoStart");
    connect(CBAutoStart_, &QCheckBox::clicked, this,
            [this](bool checked) { changed(SetupControl::AutoStart, 0, checked ? 1 : 0); });
    BTSleep_ = require<QWidget>(page, "BTSleep");
    for (std::size_t i = 0; i < polledButtons_.size(); ++i)
        polledButtons_[i] = require<QWidget>(*window_, numbered("Button", int(i) + 1));

    for (int d = 0; d < kDurationCount; ++d) {
        const QString stem = QLatin1String(kDurationStems[at(d)]);
        DurationRow& row = durations_[at(d)];
        row.unit = require<QComboBox>(page, stem + QStringLiteral("Combo"));
        row.number = require<QSpinBox>(page, stem + QStringLiteral("UD"));
        row.label = require<QLabel>(page, stem + QStringLiteral("LB"));
        connect(row.unit, &QComboBox::activated, this,
                [this, d](int index) { changed(SetupControl::DurationUnit, d, index); });
        // The value counts once the operator stepped it or finished typing, not per keystroke.
        row.number->setKeyboardTracking(false);
        if (auto* edit = row.number->findChild<QLineEdit*>())
            connect(edit, &QLineEdit::textEdited, this, [this, d] { typed_[at(d)] = true; });
        // Typing the shown number again changes nothing; the next step is a step.
        connect(row.number, &QSpinBox::editingFinished, this, [this, d] { typed_[at(d)] = false; });
        connect(row.number, &QSpinBox::valueChanged, this, [this, d](int value) {
            const bool typed = typed_[at(d)];
            typed_[at(d)] = false;
            changed(typed ? SetupControl::DurationTyped : SetupControl::DurationStepped, d, value);
        });
    }
    UDLVCutOff_ = require<QSpinBox>(page, "UDLVCutOff");
    LBLowVoltage_ = require<QLabel>(page, "LBLowVoltage");
    UDAnalogRate_ = require<QSpinBox>(page, "UDAnalogRate");
    LBAnalogRate_ = require<QLabel>(page, "LBAnalogRate");
    connect(UDLVCutOff_, &QSpinBox::valueChanged, this,
            [this](int value) { changed(SetupControl::LowVoltage, 0, value); });
    connect(UDAnalogRate_, &QSpinBox::valueChanged, this,
            [this](int value) { changed(SetupControl::AnalogRate, 0, value); });
}

void SetupBinding::bindButtons() {
    auto click = [this](QWidget* w, std::function<void(HostSession&)> action) {
        connect(static_cast<QPushButton*>(w), &QPushButton::clicked, this, [this, action] {
            action(session_);
            changed_();
        });
    };
    auto getSetup = [](HostSession& s) { s.setupExchange().getSetupClick(); };
    auto sendSetup = [](HostSession& s) { s.sendSetupClick(); };
    auto wake = [](HostSession& s) { s.setupExchange().polledWakeClick(); };
    auto sleep = [](HostSession& s) { s.setupExchange().polledSleepClick(); };
    click(require<QPushButton>(*portPage_, "BTGetSetup1"), getSetup);
    click(require<QPushButton>(*portPage_, "BTSendSetup1"), sendSetup);
    click(require<QPushButton>(*controlPage_, "BTGetSetup2"), getSetup);
    click(require<QPushButton>(*controlPage_, "BTSendSetup2"), sendSetup);
    click(require<QPushButton>(*controlPage_, "BTBegin"),
          [](HostSession& s) { s.setupExchange().beginSampleClick(); });
    click(BTSleep_, [](HostSession& s) { s.clockAndSleep().sleepClick(); });
    for (std::size_t i = 0; i < polledButtons_.size(); ++i)
        click(polledButtons_[i], i % 2 == 0 ? std::function<void(HostSession&)>(wake) : sleep);
    click(PStore_, [](HostSession& s) { s.pStoreClick(); });
}

// The wake-delay test of the polled buttons: MVPScroll sets how many 10 ms ticks pass between
// the two wake texts, MVPLabel shows the delay measured. Both sit with the polled buttons.
void SetupBinding::addWakeDelayControls() {
    auto* group = require<QGroupBox>(*controlPage_, "GroupBox7");
    auto* column = qobject_cast<QVBoxLayout*>(group->layout());
    Q_ASSERT(column);
    MVPScroll_ = new QScrollBar(Qt::Horizontal, group);
    MVPScroll_->setObjectName(QStringLiteral("MVPScroll"));
    MVPScroll_->setRange(1, 500);
    MVPScroll_->setValue(session_.setupExchange().wakeDelayTicks());
    MVPLabel_ = new QLabel(group);
    MVPLabel_->setObjectName(QStringLiteral("MVPLabel"));
    MVPScroll_->hide();
    MVPLabel_->hide();
    // Above the stretch that closes the column.
    column->insertWidget(column->count() - 1, MVPScroll_);
    column->insertWidget(column->count() - 1, MVPLabel_);
    connect(MVPScroll_, &QScrollBar::valueChanged, this,
            [this](int value) { session_.setupExchange().setWakeDelayTicks(value); });
}

void SetupBinding::refresh() {
    const auto& PStore = session_.setupExchange().forms().PStore;
    auto* pStore = static_cast<QPushButton*>(PStore_);
    setText(pStore, PStore.caption);
    setColour(pStore, PStore.colour);
    setShown(pStore, PStore.visible);
    refreshPortSetup();
    refreshLoggerControl();
}

void SetupBinding::refreshPortSetup() {
    const auto& p = session_.setupExchange().forms().portSetup;
    for (std::size_t i = 0; i < ports_.size(); ++i) {
        applyLabel(ports_[i].label, p.LBS[i]);
        applyCombo(ports_[i].list, p.ComboMeter[i]);
        applyCombo(ports_[i].line, p.CBPortSetup[i]);
        applyCheck(ports_[i].oncePerHour, p.SOPH[i]);
    }
    applyCombo(hostPortLine_, p.CBHostPortSetup);
    for (std::size_t i = 0; i < analog_.size(); ++i) {
        applyLabel(analog_[i].label, p.LBAnalogRow[i]);
        applyCombo(analog_[i].list, p.CBAnalog[i]);
        applyCheck(analog_[i].oncePerHour, p.AOPH[i]);
    }
    for (std::size_t i = 0; i < pumps_.size(); ++i) {
        applyLabel(pumps_[i].label, p.LBPumpRow[i]);
        applyCombo(pumps_[i].list, p.CBPump[i]);
        applyCheck(pumps_[i].oncePerHour, p.POPH[i]);
    }
    const bool headers[] = {p.SOPHLBVisible, p.AOPHLBVisible, p.POPHLBVisible};
    for (std::size_t i = 0; i < oncePerHourHeaders_.size(); ++i)
        setShown(oncePerHourHeaders_[i], headers[i / 2]);
    applyLabel(HostType_, p.HostType);
    applyLabel(LBAnalogSetup_, p.LBAnalogSetup);
    applyLabel(LBPump_, p.LBPump);
}

void SetupBinding::refreshLoggerControl() {
    const auto& c = session_.setupExchange().forms().loggerControl;
    const ComboState* lists[] = {&c.ModeCB, &c.FileCB, &c.OutputCB, &c.TimeSourceCB};
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        applyCombo(lists_[i], *lists[i]);
        // A caption never stands beside the empty room of a hidden box: each label follows it.
        setShown(listLabels_[i], lists[i]->visible);
    }
    applyCheck(CBAutoStart_, c.CBAutoStart);
    setShown(BTSleep_, c.BTSleepVisible);
    for (std::size_t i = 0; i < polledButtons_.size(); ++i)
        setShown(polledButtons_[i], c.ButtonVisible[i]);
    for (std::size_t d = 0; d < durations_.size(); ++d) {
        const DurationState& state = c.durations[d];
        const DurationRow& row = durations_[d];
        applySpin(row.number, state.number);
        applyCombo(row.unit, ComboState{state.unit, state.visible});
        setShown(row.number, state.visible);
        setShown(row.label, state.visible);
    }
    applySpin(UDLVCutOff_, c.UDLVCutOff);
    applyLabel(LBLowVoltage_, c.LBLowVoltage);
    applySpin(UDAnalogRate_, c.UDAnalogRate);
    applyLabel(LBAnalogRate_, c.LBAnalogRate);
    const bool polled = c.ButtonVisible[2];
    setShown(MVPScroll_, polled);
    setShown(MVPLabel_, polled);
    setText(MVPLabel_, wakeTestText(session_.receiveLoop().wakeTest()));
}

}  // namespace cvh
