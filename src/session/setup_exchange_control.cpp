#include "session/setup_exchange_control.h"

namespace cvh {

namespace {

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

SetupExchange::SetupExchange(ReceiveLoop& receive, Operator& notices, ChangeMarks& marks)
    : receive_(receive), notices_(notices), marks_(marks), forms_(marks, Area::SetupPages) {}

void SetupExchange::getSetupClick() {
    const CommandRequest c = getSetupCommand();
    receive_.commands().sendCommand(c.code, c.argumentA, c.argumentB);
}

void SetupExchange::beginSampleClick() {
    const CommandRequest c = beginSampleCommand();
    receive_.commands().sendCommand(c.code, c.argumentA, c.argumentB);
}

void SetupExchange::pStoreClick(OperationCode loggerOperationCode) {
    if (const auto c = setupRereadCommand(loggerOperationCode, notices_))
        receive_.commands().sendCommand(c->code, c->argumentA, c->argumentB);
}

// The record carries its own marker and checksum; no command frame goes before it. Sending
// leaves the setup marker alone: only a setup read back from the logger is "current".
void SetupExchange::sendSetupClick(int loggerDeviceType) {
    const auto frame = buildSetupFrame(forms_.edit(), snapshot_, loggerDeviceType, notices_);
    if (frame)
        receive_.commands().sendRecord(Bytes(frame->data(), frame->size()));
}

void SetupExchange::polledWakeClick() {
    receive_.startWake(wakeDelayTicks_);
    marks_.mark(Area::SetupPages);
}

void SetupExchange::polledSleepClick() {
    receive_.commands().sendText(kSleepText);
}

void SetupExchange::setWakeDelayTicks(int ticks) {
    wakeDelayTicks_ = ticks;
}

void SetupExchange::stopClick() {
    receive_.commands().sendStop(forms_->portSetup.CBHostPortSetup.index);
}

void SetupExchange::controlChanged(SetupControl control, int row, int value) {
    auto& p = forms_.edit().portSetup;
    auto& c = forms_.edit().loggerControl;
    // A list: the entry already shown is no edit.
    auto choose = [&](ComboState& box, SetupEdit edit) {
        if (box.index == value)
            return;
        box.index = value;
        edited(edit);
    };
    auto check = [&](CheckState& box) {
        box.checked = value != 0;
        edited(SetupEdit::OncePerHourToggled);
    };
    switch (control) {
        case SetupControl::MeterType:
            return choose(p.ComboMeter[at(row)], SetupEdit::ValueChanged);
        case SetupControl::PortLine:
            return choose(p.CBPortSetup[at(row)], SetupEdit::ValueChanged);
        case SetupControl::HostPortLine:
            return choose(p.CBHostPortSetup, SetupEdit::ValueChanged);
        case SetupControl::AnalogChannel:
            return choose(p.CBAnalog[at(row)], SetupEdit::ValueChanged);
        case SetupControl::PumpPort:
            return choose(p.CBPump[at(row)], SetupEdit::ValueChanged);
        case SetupControl::SerialOncePerHour:
            return check(p.SOPH[at(row)]);
        case SetupControl::AnalogOncePerHour:
            return check(p.AOPH[at(row)]);
        case SetupControl::PumpOncePerHour:
            return check(p.POPH[at(row)]);
        case SetupControl::LoggerMode:
            return choose(c.ModeCB, SetupEdit::LoggerModeChanged);
        case SetupControl::OutputFormat:
            return choose(c.OutputCB, SetupEdit::ValueChanged);
        case SetupControl::FileFormat:
            return choose(c.FileCB, SetupEdit::ValueChanged);
        case SetupControl::TimeSource:
            return choose(c.TimeSourceCB, SetupEdit::TimeSourceChanged);
        case SetupControl::AutoStart:
            c.CBAutoStart.checked = value != 0;
            return edited(SetupEdit::ValueChanged);
        case SetupControl::DurationUnit: {
            auto& unit = c.durations[at(row)].unit;
            if (unit == value)
                return;
            unit = value;
            return edited(SetupEdit::ValueChanged);
        }
        case SetupControl::DurationStepped:
            c.durations[at(row)].number = value;
            return edited(static_cast<Duration>(row) == Duration::Delay ? SetupEdit::DelayStepped
                                                                        : SetupEdit::RateStepped);
        case SetupControl::DurationTyped:
            c.durations[at(row)].number = value;
            return edited(SetupEdit::ValueChanged);
        case SetupControl::LowVoltage:
            c.UDLVCutOff = value;
            return edited(SetupEdit::LowVoltageStepped);
        case SetupControl::AnalogRate:
            c.UDAnalogRate = value;
            return edited(SetupEdit::RateStepped);
    }
}

void SetupExchange::edited(SetupEdit edit) {
    auto& forms = forms_.edit();
    switch (edit) {
        case SetupEdit::ValueChanged:
            setupValueChanged(forms);
            break;
        case SetupEdit::RateStepped:
            rateStepped(forms);
            break;
        case SetupEdit::DelayStepped:
            delayStepped(forms);
            break;
        case SetupEdit::OncePerHourToggled:
            oncePerHourToggled(forms);
            break;
        case SetupEdit::TimeSourceChanged:
            timeSourceChanged(forms);
            break;
        case SetupEdit::LowVoltageStepped:
            lowVoltageStepped(forms);
            break;
        case SetupEdit::LoggerModeChanged:
            loggerModeChanged(forms);
            break;
    }
    // The rules marked the form; the session's own marker also lays the window out again.
    markSetup(0);
}

void SetupExchange::markSetup(int code) {
    cvh::markSetup(forms_.edit().PStore, code);
    marks_.mark(Area::Window);
    marks_.mark(Area::Layout);
}

std::optional<ReceivedSetupResult> SetupExchange::applyReceivedSetup(Bytes record,
                                                                     ModeLabels modeLabels,
                                                                     HostMode activeHostMode,
                                                                     int loggerDeviceType) {
    if (!snapshot_.store(record))
        return std::nullopt;
    return cvh::applyReceivedSetup(snapshot_, forms_.edit(), modeLabels, activeHostMode,
                                   loggerDeviceType);
}

}  // namespace cvh
