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
#include "session/host_session.h"

namespace cvh {

namespace {

// The component stems of the six durations in record order: <stem>UD, <stem>Edit, <stem>Combo,
// <stem>LB.
constexpr std::array<const char*, kDurationCount> kDurationStems{"Delay", "PreFlush", "Warmup",
                                                                 "Flush", "Sample",   "Interval"};

QString numbered(const char* stem, int n) {
    return QLatin1String(stem) + QString::number(n);
}

template <class W>
W* child(QWidget* page, const QString& name) {
    return page ? page->findChild<W*>(name) : nullptr;
}

void applyCheck(QCheckBox* box, const CheckState& state) {
    if (!box)
        return;
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
    : QObject(&window), session_(session), changed_(std::move(changed)) {
    portPage_ = window.findChild<QWidget*>(QStringLiteral("TSPortSetup"));
    controlPage_ = window.findChild<QWidget*>(QStringLiteral("TSLoggerControl"));
    bindPortSetup();
    bindLoggerControl();
    addWakeDelayControls();
}

void SetupBinding::edited(SetupEdit edit) {
    session_.setupEdited(edit);
    changed_();
}

void SetupBinding::bindPortSetup() {
    auto& p = session_.setup.portSetup;
    // A list edit stores the operator's choice; choosing the entry already shown is no edit.
    auto bindList = [this](QComboBox* box, ComboState& state, SetupEdit edit) {
        if (!box)
            return;
        connect(box, &QComboBox::activated, this, [this, &state, edit](int index) {
            if (state.index == index)
                return;
            state.index = index;
            edited(edit);
        });
    };
    auto bindCheck = [this](QCheckBox* box, CheckState& state) {
        if (!box)
            return;
        connect(box, &QCheckBox::clicked, this, [this, &state](bool checked) {
            state.checked = checked;
            edited(SetupEdit::SOPH1Click);
        });
    };
    for (int n = 1; n <= kLoggerPortCount; ++n) {
        bindList(child<QComboBox>(portPage_, numbered("ComboMeter", n)), p.ComboMeter[at(n - 1)],
                 SetupEdit::CBPort1SetupChange);
        bindList(child<QComboBox>(portPage_, QStringLiteral("CBPort%1Setup").arg(n)),
                 p.CBPortSetup[at(n - 1)], SetupEdit::CBPort1SetupChange);
        bindCheck(child<QCheckBox>(portPage_, numbered("SOPH", n)), p.SOPH[at(n - 1)]);
    }
    bindList(child<QComboBox>(portPage_, QStringLiteral("CBHostPortSetup")), p.CBHostPortSetup,
             SetupEdit::CBPort1SetupChange);
    for (int n = 1; n <= kAnalogChannelCount; ++n) {
        bindList(child<QComboBox>(portPage_, numbered("CBAnalog", n)), p.CBAnalog[at(n - 1)],
                 SetupEdit::CBPort1SetupChange);
        bindCheck(child<QCheckBox>(portPage_, numbered("AOPH", n)), p.AOPH[at(n - 1)]);
    }
    for (int n = 1; n <= kPumpPortCount; ++n) {
        bindList(child<QComboBox>(portPage_, numbered("CBPump", n)), p.CBPump[at(n - 1)],
                 SetupEdit::CBPort1SetupChange);
        bindCheck(child<QCheckBox>(portPage_, numbered("POPH", n)), p.POPH[at(n - 1)]);
    }

    auto button = [this](const char* name, std::function<void(HostSession&)> click) {
        for (QWidget* page : {portPage_, controlPage_})
            if (auto* b = child<QPushButton>(page, QLatin1String(name)))
                connect(b, &QPushButton::clicked, this, [this, click] {
                    click(session_);
                    changed_();
                });
    };
    button("BTGetSetup1", [](HostSession& s) { s.getSetupClick(); });
    button("BTSendSetup1", [](HostSession& s) { s.sendSetupClick(); });
    button("Button1", [](HostSession& s) { s.polledWakeClick(); });
    button("Button2", [](HostSession& s) { s.polledSleepClick(); });
    button("BTGetSetup2", [](HostSession& s) { s.getSetupClick(); });
    button("BTSendSetup2", [](HostSession& s) { s.sendSetupClick(); });
    button("BTBegin", [](HostSession& s) { s.beginSampleClick(); });
    button("BTSleep", [](HostSession& s) { s.sleepClick(); });
    button("Button3", [](HostSession& s) { s.polledWakeClick(); });
    button("Button4", [](HostSession& s) { s.polledSleepClick(); });
}

void SetupBinding::bindLoggerControl() {
    auto& c = session_.setup.loggerControl;
    auto bindList = [this](const char* name, ComboState& state, SetupEdit edit) {
        auto* box = child<QComboBox>(controlPage_, QLatin1String(name));
        if (!box)
            return;
        connect(box, &QComboBox::activated, this, [this, &state, edit](int index) {
            if (state.index == index)
                return;
            state.index = index;
            edited(edit);
        });
    };
    bindList("ModeCB", c.ModeCB, SetupEdit::ModeCBChange);
    bindList("OutputCB", c.OutputCB, SetupEdit::CBPort1SetupChange);
    bindList("FileCB", c.FileCB, SetupEdit::CBPort1SetupChange);
    bindList("TimeSourceCB", c.TimeSourceCB, SetupEdit::TimeSourceCBChange);
    if (auto* autoStart = child<QCheckBox>(controlPage_, QStringLiteral("CBAutoStart")))
        connect(autoStart, &QCheckBox::clicked, this, [this](bool checked) {
            session_.setup.loggerControl.CBAutoStart.checked = checked;
            edited(SetupEdit::CBPort1SetupChange);
        });

    for (int d = 0; d < kDurationCount; ++d) {
        const QString stem = QLatin1String(kDurationStems[at(d)]);
        DurationState& state = c.durations[at(d)];
        if (auto* unit = child<QComboBox>(controlPage_, stem + "Combo"))
            connect(unit, &QComboBox::activated, this, [this, &state](int index) {
                if (state.unit == index)
                    return;
                state.unit = index;
                edited(SetupEdit::CBPort1SetupChange);
            });
        auto* spin = child<QSpinBox>(controlPage_, stem + "UD");
        if (!spin)
            continue;
        // The value counts once the operator stepped it or finished typing, not per keystroke.
        spin->setKeyboardTracking(false);
        if (auto* edit = spin->findChild<QLineEdit*>())
            connect(edit, &QLineEdit::textEdited, this, [this, d] { typed_[at(d)] = true; });
        // Typing the shown number again changes nothing; the next step is a step.
        connect(spin, &QSpinBox::editingFinished, this, [this, d] { typed_[at(d)] = false; });
        const SetupEdit stepEdit = static_cast<Duration>(d) == Duration::Delay
                                       ? SetupEdit::SamplingUDClicks
                                       : SetupEdit::UDAnalogRateClick;
        connect(spin, &QSpinBox::valueChanged, this, [this, d, &state, stepEdit](int value) {
            state.number = value;
            const bool typed = typed_[at(d)];
            typed_[at(d)] = false;
            edited(typed ? SetupEdit::CBPort1SetupChange : stepEdit);
        });
    }

    if (auto* cutOff = child<QSpinBox>(controlPage_, QStringLiteral("UDLVCutOff")))
        connect(cutOff, &QSpinBox::valueChanged, this, [this](int value) {
            session_.setup.loggerControl.UDLVCutOff = value;
            edited(SetupEdit::UDLVCutOffClick);
        });
    if (auto* rate = child<QSpinBox>(controlPage_, QStringLiteral("UDAnalogRate")))
        connect(rate, &QSpinBox::valueChanged, this, [this](int value) {
            session_.setup.loggerControl.UDAnalogRate = value;
            edited(SetupEdit::UDAnalogRateClick);
        });
}

// The wake-delay test of the polled buttons: MVPScroll sets how many 10 ms ticks pass between
// the two wake texts, MVPLabel shows the delay measured. Both sit with the polled buttons.
void SetupBinding::addWakeDelayControls() {
    auto* group = child<QGroupBox>(controlPage_, QStringLiteral("GroupBox7"));
    auto* column = group ? qobject_cast<QVBoxLayout*>(group->layout()) : nullptr;
    if (!column)
        return;
    MVPScroll_ = new QScrollBar(Qt::Horizontal, group);
    MVPScroll_->setObjectName(QStringLiteral("MVPScroll"));
    MVPScroll_->setRange(1, 500);
    MVPScroll_->setValue(session_.mvpScroll);
    MVPLabel_ = new QLabel(group);
    MVPLabel_->setObjectName(QStringLiteral("MVPLabel"));
    MVPScroll_->hide();
    MVPLabel_->hide();
    // Above the stretch that closes the column.
    column->insertWidget(column->count() - 1, MVPScroll_);
    column->insertWidget(column->count() - 1, MVPLabel_);
    connect(MVPScroll_, &QScrollBar::valueChanged, this,
            [this](int value) { session_.mvpScroll = value; });
}

void SetupBinding::refresh() {
    refreshPortSetup();
    refreshLoggerControl();
}

void SetupBinding::refreshPortSetup() {
    const auto& p = session_.setup.portSetup;
    for (int n = 1; n <= kLoggerPortCount; ++n) {
        applyLabel(child<QLabel>(portPage_, numbered("LBS", n)), p.LBS[at(n - 1)]);
        applyCombo(child<QComboBox>(portPage_, numbered("ComboMeter", n)), p.ComboMeter[at(n - 1)]);
        applyCombo(child<QComboBox>(portPage_, QStringLiteral("CBPort%1Setup").arg(n)),
                   p.CBPortSetup[at(n - 1)]);
        applyCheck(child<QCheckBox>(portPage_, numbered("SOPH", n)), p.SOPH[at(n - 1)]);
    }
    applyCombo(child<QComboBox>(portPage_, QStringLiteral("CBHostPortSetup")), p.CBHostPortSetup);
    for (int n = 1; n <= kAnalogChannelCount; ++n) {
        applyLabel(child<QLabel>(portPage_, numbered("LBAnalog", n)), p.LBAnalogRow[at(n - 1)]);
        applyCombo(child<QComboBox>(portPage_, numbered("CBAnalog", n)), p.CBAnalog[at(n - 1)]);
        applyCheck(child<QCheckBox>(portPage_, numbered("AOPH", n)), p.AOPH[at(n - 1)]);
    }
    for (int n = 1; n <= kPumpPortCount; ++n) {
        applyLabel(child<QLabel>(portPage_, numbered("LBPump", n)), p.LBPumpRow[at(n - 1)]);
        applyCombo(child<QComboBox>(portPage_, numbered("CBPump", n)), p.CBPump[at(n - 1)]);
        applyCheck(child<QCheckBox>(portPage_, numbered("POPH", n)), p.POPH[at(n - 1)]);
    }
    const std::pair<const char*, bool> headers[] = {
        {"SOPHLB", p.SOPHLBVisible}, {"AOPHLB", p.AOPHLBVisible}, {"POPHLB", p.POPHLBVisible}};
    for (const auto& [stem, visible] : headers)
        for (int line = 1; line <= 2; ++line)
            setShown(child<QLabel>(portPage_, numbered(stem, line)), visible);
    applyLabel(child<QLabel>(portPage_, QStringLiteral("HostType")), p.HostType);
    applyLabel(child<QLabel>(portPage_, QStringLiteral("LBAnalogSetup")), p.LBAnalogSetup);
    applyLabel(child<QLabel>(portPage_, QStringLiteral("LBPump")), p.LBPump);
}

// ModeCB, OutputCB, FileCB, TimeSourceCB, CBAutoStart, BTSleep and the polled buttons are kept
// by the main window.
void SetupBinding::refreshLoggerControl() {
    const auto& c = session_.setup.loggerControl;
    for (int d = 0; d < kDurationCount; ++d) {
        const QString stem = QLatin1String(kDurationStems[at(d)]);
        const DurationState& state = c.durations[at(d)];
        auto* spin = child<QSpinBox>(controlPage_, stem + "UD");
        applySpin(spin, state.number);
        applyCombo(child<QComboBox>(controlPage_, stem + "Combo"),
                   ComboState{state.unit, state.visible});
        setShown(spin, state.visible);
        setShown(child<QLabel>(controlPage_, stem + "LB"), state.visible);
    }
    applySpin(child<QSpinBox>(controlPage_, QStringLiteral("UDLVCutOff")), c.UDLVCutOff);
    applyLabel(child<QLabel>(controlPage_, QStringLiteral("LBLowVoltage")), c.LBLowVoltage);
    applySpin(child<QSpinBox>(controlPage_, QStringLiteral("UDAnalogRate")), c.UDAnalogRate);
    applyLabel(child<QLabel>(controlPage_, QStringLiteral("LBAnalogRate")), c.LBAnalogRate);
    setShown(child<QLabel>(controlPage_, QStringLiteral("TimeSourceLB")), c.TimeSourceCB.visible);
    const bool polled = c.ButtonVisible[2];
    setShown(MVPScroll_, polled);
    setShown(MVPLabel_, polled);
    if (MVPLabel_)
        setText(MVPLabel_, session_.receiveLoop().mvpLabel());
}

}  // namespace cvh
