#include "console/factory_binding.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "console/view_sync.h"
#include "console/widget_helpers.h"
#include "session/host_session.h"

namespace cvh {

namespace {

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

// Only a differing text is written: setText would move the operator's cursor.
void applyEdit(QLineEdit* edit, const std::string& text) {
    const QString t = qs(text);
    if (edit->text() != t) {
        const QSignalBlocker block(edit);
        edit->setText(t);
    }
}

}  // namespace

FactoryBinding::FactoryBinding(QWidget& window, HostSession& session, std::function<void()> changed)
    : QObject(&window), session_(session), changed_(std::move(changed)) {
    bindHardware(*require<QWidget>(window, "TSHardware"));
    bindAnalog(*require<QWidget>(window, "TSAnalog"));
}

template <class F>
void FactoryBinding::connectClick(const QWidget& page, const char* name, F action) {
    connect(require<QPushButton>(page, name), &QPushButton::clicked, this, [this, action] {
        action();
        changed_();
    });
}

void FactoryBinding::bindHardware(const QWidget& page) {
    HardwareSettings& hw = session_.factorySettings().hardware();
    auto bindList = [this](QComboBox* box, std::function<void(int)> set) {
        connect(box, &QComboBox::activated, this, [this, set = std::move(set)](int i) {
            set(i);
            changed_();
        });
        return box;
    };
    DeviceTypeCB_ =
        bindList(require<QComboBox>(page, "DeviceTypeCB"), [&hw](int i) { hw.setDeviceType(i); });
    StatusLEDCB_ =
        bindList(require<QComboBox>(page, "StatusLEDCB"), [&hw](int i) { hw.setStatusLed(i); });
    RunStopCB_ =
        bindList(require<QComboBox>(page, "RunStopCB"), [&hw](int i) { hw.setRunStopSwitch(i); });
    for (int n = 1; n <= 8; ++n)
        RelaySP_[at(n - 1)] = bindList(require<QComboBox>(page, numbered("RelaySP", n)),
                                       [&hw, n](int i) { hw.setRelay(serialRelayEntry(n), i); });
    for (int n = 1; n <= 7; ++n)
        RelayAP_[at(n - 1)] = bindList(require<QComboBox>(page, numbered("RelayAP", n)),
                                       [&hw, n](int i) { hw.setRelay(analogRelayEntry(n), i); });
    for (int n = 1; n <= 4; ++n)
        RelayPP_[at(n - 1)] = bindList(require<QComboBox>(page, numbered("RelayPP", n)),
                                       [&hw, n](int i) { hw.setRelay(pumpRelayEntry(n), i); });
    // refresh() blocks the spinner's signals, so every value change seen here is the operator's.
    UDSerialNumber_ = require<QSpinBox>(page, "UDSerialNumber");
    connect(UDSerialNumber_, &QSpinBox::valueChanged, this, [this, &hw](int v) {
        hw.setSerialNumber(v);
        changed_();
    });
    HWPassword_ = require<QLineEdit>(page, "HWPassword");
    connect(HWPassword_, &QLineEdit::textEdited, this,
            [&hw](const QString& t) { hw.setPassword(t.toStdString()); });
    HWPasswordLB_ = require<QLabel>(page, "HWPasswordLB");
    HardwarePanel_ = require<QLabel>(page, "HardwarePanel");
    connectClick(page, "BTGetHardware", [&hw] { hw.getHardware(); });
    connectClick(page, "BTSendHardwareSetup", [&hw] { hw.sendHardware(); });
    connectClick(page, "BTTQ7Defaults", [&hw] { hw.loadDefaults(); });
    connectClick(page, "BTLoadHardwareFile", [&hw] { hw.loadHardwareFile(); });
    connectClick(page, "BTSaveHardwareFile", [&hw] { hw.saveHardwareFile(); });
    connectClick(page, "BTDoneWithHardware",
                 [this] { session_.toggleFactoryPageClick(FactoryPage::Hardware); });
}

void FactoryBinding::bindAnalog(const QWidget& page) {
    AnalogSettings& alg = session_.factorySettings().analog();
    for (int ch = 0; ch < kCalibrationChannelCount; ++ch) {
        LBChannel_[at(ch)] = require<QLabel>(page, numbered("LBChannel", ch));
        MEOffset_[at(ch)] = require<QLineEdit>(page, numbered("MEOffset", ch));
        MEScale_[at(ch)] = require<QLineEdit>(page, numbered("MEScale", ch));
        connect(MEOffset_[at(ch)], &QLineEdit::textEdited, this,
                [this, &alg, ch](const QString& t) {
                    alg.setOffset(ch, t.toStdString());
                    changed_();
                });
        connect(MEScale_[at(ch)], &QLineEdit::textEdited, this, [this, &alg, ch](const QString& t) {
            alg.setScale(ch, t.toStdString());
            changed_();
        });
    }
    ALGPassword_ = require<QLineEdit>(page, "ALGPassword");
    connect(ALGPassword_, &QLineEdit::textEdited, this,
            [&alg](const QString& t) { alg.setPassword(t.toStdString()); });
    ALGPasswordLB_ = require<QLabel>(page, "ALGPasswordLB");
    AnalogPanel_ = require<QLabel>(page, "AnalogPanel");
    connectClick(page, "BTGetAnalog", [&alg] { alg.getAnalog(); });
    connectClick(page, "BTSendAnalogCalibration", [&alg] { alg.sendAnalog(); });
    connectClick(page, "BTLoadAnalogFile", [&alg] { alg.loadAnalogFile(); });
    connectClick(page, "BTSaveAnalogFile", [&alg] { alg.saveAnalogFile(); });
    connectClick(page, "BTDoneWithAnalog",
                 [this] { session_.toggleFactoryPageClick(FactoryPage::Analog); });
}

void FactoryBinding::refresh() {
    const FactorySettings& f = session_.factorySettings();
    const HardwarePageView h = presentHardwarePage(f.hardware().view());
    applyCombo(DeviceTypeCB_, h.DeviceTypeCB);
    applySpin(UDSerialNumber_, h.UDSerialNumber);
    applyCombo(StatusLEDCB_, h.StatusLEDCB);
    applyCombo(RunStopCB_, h.RunStopCB);
    for (std::size_t i = 0; i < RelaySP_.size(); ++i)
        applyCombo(RelaySP_[i], h.RelaySP[i]);
    for (std::size_t i = 0; i < RelayAP_.size(); ++i)
        applyCombo(RelayAP_[i], h.RelayAP[i]);
    for (std::size_t i = 0; i < RelayPP_.size(); ++i)
        applyCombo(RelayPP_[i], h.RelayPP[i]);
    applyEdit(HWPassword_, h.HWPassword);
    applyLabel(HWPasswordLB_, h.HWPasswordLB);
    applyLabel(HardwarePanel_, h.HardwarePanel);

    const AnalogPageView a = presentAnalogPage(f.analog().view());
    for (std::size_t ch = 0; ch < LBChannel_.size(); ++ch) {
        applyLabel(LBChannel_[ch], a.LBChannel[ch]);
        applyEdit(MEOffset_[ch], a.MEOffset[ch]);
        applyEdit(MEScale_[ch], a.MEScale[ch]);
    }
    applyEdit(ALGPassword_, a.ALGPassword);
    applyLabel(ALGPasswordLB_, a.ALGPasswordLB);
    applyLabel(AnalogPanel_, a.AnalogPanel);
}

}  // namespace cvh
