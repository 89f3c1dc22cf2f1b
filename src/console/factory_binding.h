// The Hardware Configuration and Analog Calibration pages bound to the factory settings. Every
// control is looked up once, here. Operator edits arrive through the user-only signals
// (activated, textEdited, the serial spinner's value while not being refreshed) and go to the
// controllers; refresh() copies the page views back with the widgets' signals blocked, so a
// received record never counts as an edit.
#pragma once

#include <QObject>
#include <array>
#include <functional>

#include "config/analog_calibration.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace cvh {

class HostSession;

class FactoryBinding : public QObject {
    Q_OBJECT
public:
    // `window` holds both pages (TSHardware, TSAnalog); `changed` is called after each operator
    // event so the window shows the session's new state.
    FactoryBinding(QWidget& window, HostSession& session, std::function<void()> changed);

    void refresh();

private:
    void bindHardware(const QWidget& page);
    void bindAnalog(const QWidget& page);
    // Runs an operator action, then lets the window catch up.
    template <class F>
    void connectClick(const QWidget& page, const char* name, F action);

    HostSession& session_;
    std::function<void()> changed_;
    QComboBox* DeviceTypeCB_ = nullptr;
    QSpinBox* UDSerialNumber_ = nullptr;
    QComboBox* StatusLEDCB_ = nullptr;
    QComboBox* RunStopCB_ = nullptr;
    std::array<QComboBox*, 8> RelaySP_{};
    std::array<QComboBox*, 7> RelayAP_{};
    std::array<QComboBox*, 4> RelayPP_{};
    QLineEdit* HWPassword_ = nullptr;
    QLabel* HWPasswordLB_ = nullptr;
    QLabel* HardwarePanel_ = nullptr;
    std::array<QLabel*, kCalibrationChannelCount> LBChannel_{};
    std::array<QLineEdit*, kCalibrationChannelCount> MEOffset_{};
    std::array<QLineEdit*, kCalibrationChannelCount> MEScale_{};
    QLineEdit* ALGPassword_ = nullptr;
    QLabel* ALGPasswordLB_ = nullptr;
    QLabel* AnalogPanel_ = nullptr;
};

}  // namespace cvh
