// The setup exchange and sleep as the operator drives them: the commands of the setup pages,
// the edit handlers, Send Setup, the polled buttons, the sleep window and the moored time source
// switch. The rules live in config/; this file sends what they decide and keeps the view current.
#include "config/setup_exchange.h"
#include "config/sleep_request.h"
#include "session/host_session.h"

namespace cvh {

void HostSession::getSetupClick() {
    const CommandRequest c = getSetupCommand();
    commands().sendCommand(c.code, c.argumentA, c.argumentB);
}

void HostSession::beginSampleClick() {
    const CommandRequest c = beginSampleCommand();
    commands().sendCommand(c.code, c.argumentA, c.argumentB);
}

void HostSession::pStoreClick() {
    if (const auto c = PStoreClick(loggerOperationCode, sessionOperator_))
        commands().sendCommand(c->code, c->argumentA, c->argumentB);
}

// The record carries its own marker and checksum; no command frame goes before it. Sending
// leaves the setup marker alone: only a setup read back from the logger is "current".
void HostSession::sendSetupClick() {
    const auto frame = buildSetupFrame(setup, setupSnapshot, loggerDeviceType, sessionOperator_);
    if (frame)
        commands().sendRecord(Bytes(frame->data(), frame->size()));
    ++revision;
}

void HostSession::polledWakeClick() {
    receive_->startWake(mvpScroll);
    ++revision;
}

void HostSession::polledSleepClick() {
    commands().sendText(kSleepText);
}

void HostSession::setupEdited(SetupEdit edit) {
    switch (edit) {
        case SetupEdit::CBPort1SetupChange:
            CBPort1SetupChange(setup);
            break;
        case SetupEdit::UDAnalogRateClick:
            UDAnalogRateClick(setup);
            break;
        case SetupEdit::SamplingUDClicks:
            SamplingUDClicks(setup);
            break;
        case SetupEdit::SOPH1Click:
            SOPH1Click(setup);
            break;
        case SetupEdit::TimeSourceCBChange:
            TimeSourceCBChange(setup);
            break;
        case SetupEdit::UDLVCutOffClick:
            UDLVCutOffClick(setup);
            break;
        case SetupEdit::ModeCBChange:
            ModeCBChange(setup);
            break;
    }
    // The handlers marked the form; the session's own marker also does what the rest of the
    // window attaches to an edit, and lays the window out again.
    markSetup(0);
}

void HostSession::sleepClick() {
    BTSleepClick(sleepWindow);
    ++revision;
}

void HostSession::sleepButtonClick() {
    if (const auto c = requestSleep(sleepWindow, clock_, sessionOperator_))
        commands().sendCommand(c->code, c->argumentA, c->argumentB);
    ++revision;
}

void HostSession::sleepCancelClick() {
    CancelButtonClick(sleepWindow);
    ++revision;
}

void HostSession::mooredTimeUpdatesClick() {
    setup.loggerControl.TimeSourceCB.visible = MooredTimeUpdatesClick(timeSync);
    syncTimeSyncMenu();
}

}  // namespace cvh
