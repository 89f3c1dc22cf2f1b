// The setup exchange controller: the Port Setup and Logger Control pages and the setup marker,
// Get/Send Setup, Begin Sample, the polled buttons and the operator's edits. The rules live in
// config/; this controller sends what they decide and keeps the pages current.
#pragma once

#include <cstdint>

#include "base/operator.h"
#include "config/logger_setup.h"
#include "link/receive_loop.h"
#include "session/change_marks.h"
#include "session/session_key.h"
#include "session/setup_exchange.h"
#include "session/setup_flow.h"

namespace cvh {

class SetupExchange {
public:
    SetupExchange(ReceiveLoop& receive, Operator& notices, ChangeMarks& marks);

    const SetupForms& forms() const { return *forms_; }
    const SetupSnapshot& snapshot() const { return snapshot_; }
    // Ticks of the 10 ms timer between "      WAKE" and " WAKE" (MVPScroll).
    int wakeDelayTicks() const { return wakeDelayTicks_; }

    void getSetupClick();                       // BTGetSetup1, BTGetSetup2
    void sendSetupClick(int loggerDeviceType);  // BTSendSetup1, BTSendSetup2
    void beginSampleClick();                    // BTBegin
    // PStore: re-reads the setup while the logger stands by.
    void pStoreClick(OperationCode loggerOperationCode);
    void polledWakeClick();   // Button1, Button3
    void polledSleepClick();  // Button2, Button4
    void setWakeDelayTicks(int ticks);
    // BTStop: the stop sequence at the host port's line setting.
    void stopClick();

    // An operator change of a setup control: the value is stored and its edit rule runs.
    // Choosing the list entry already shown is no edit.
    void controlChanged(SetupControl control, int row, int value);
    // Runs the rule of an edit whose value is already in the forms.
    void edited(SetupEdit edit);
    // The setup marker: 0 "Setup is Not Current", 1 "Setup is Current".
    void markSetup(int code);

    // A received setup record into the pages; false when the record was refused.
    std::optional<ReceivedSetupResult> applyReceivedSetup(Bytes record, ModeLabels modeLabels,
                                                          HostMode activeHostMode,
                                                          int loggerDeviceType);

    // The forms for the host modes and a loaded host setup file.
    SetupForms& edit(SessionKey) { return forms_.edit(); }

private:
    ReceiveLoop& receive_;
    Operator& notices_;
    ChangeMarks& marks_;
    Watched<SetupForms> forms_;
    SetupSnapshot snapshot_;
    int wakeDelayTicks_ = 1;
};

}  // namespace cvh
