// The Port Setup and Logger Control pages bound to the setup exchange controller. Every control
// is looked up once, here. Operator edits arrive through the user-only signals (activated,
// clicked, a spinner's value once the operator stepped it or finished typing) and go to the
// controller, which stores them and runs their edit rule; refresh() copies the forms back with
// the widgets' signals blocked, so showing a received setup never counts as an edit. The
// buttons of both pages send their commands.
#pragma once

#include <QObject>
#include <array>
#include <functional>

#include "config/logger_setup.h"
#include "session/setup_flow.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollBar;
class QSpinBox;
class QWidget;

namespace cvh {

class HostSession;

class SetupBinding : public QObject {
    Q_OBJECT
public:
    // `window` holds both pages (TSPortSetup, TSLoggerControl); `changed` is called after each
    // operator event so the window shows the session's new state.
    SetupBinding(QWidget& window, HostSession& session, std::function<void()> changed);

    // Copies the forms and the setup marker into the controls.
    void refresh();

private:
    void bindPortSetup();
    void bindLoggerControl();
    void bindButtons();
    void addWakeDelayControls();
    void changed(SetupControl control, int row, int value);
    void refreshPortSetup();
    void refreshLoggerControl();

    struct PortRow {
        QLabel* label = nullptr;
        QComboBox* list = nullptr;
        QComboBox* line = nullptr;  // port rows only
        QCheckBox* oncePerHour = nullptr;
    };
    struct DurationRow {
        QSpinBox* number = nullptr;
        QComboBox* unit = nullptr;
        QLabel* label = nullptr;
    };

    HostSession& session_;
    std::function<void()> changed_;
    QWidget* portPage_ = nullptr;
    QWidget* controlPage_ = nullptr;
    QWidget* window_ = nullptr;
    std::array<PortRow, kLoggerPortCount> ports_{};
    std::array<PortRow, kAnalogChannelCount> analog_{};
    std::array<PortRow, kPumpPortCount> pumps_{};
    QComboBox* hostPortLine_ = nullptr;
    std::array<QLabel*, 6> oncePerHourHeaders_{};  // SOPHLB1/2, AOPHLB1/2, POPHLB1/2
    QLabel* HostType_ = nullptr;
    QLabel* LBAnalogSetup_ = nullptr;
    QLabel* LBPump_ = nullptr;
    // ModeCB, FileCB, OutputCB, TimeSourceCB with their captions ModeLB .. TimeSourceLB.
    std::array<QComboBox*, 4> lists_{};
    std::array<QLabel*, 4> listLabels_{};
    QCheckBox* CBAutoStart_ = nullptr;
    QWidget* BTSleep_ = nullptr;
    std::array<QWidget*, 4> polledButtons_{};  // Button1..Button4
    std::array<DurationRow, kDurationCount> durations_{};
    QSpinBox* UDLVCutOff_ = nullptr;
    QLabel* LBLowVoltage_ = nullptr;
    QSpinBox* UDAnalogRate_ = nullptr;
    QLabel* LBAnalogRate_ = nullptr;
    QWidget* PStore_ = nullptr;
    // A duration number typed into its edit counts as a list edit, a step of its spinner as a
    // spinner click; set by typing, used and cleared by the next value change.
    std::array<bool, kDurationCount> typed_{};
    QScrollBar* MVPScroll_ = nullptr;
    QLabel* MVPLabel_ = nullptr;
};

}  // namespace cvh
