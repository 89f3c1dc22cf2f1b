// Reading the logger's setup into the Port Setup and Logger Control pages, tracking the
// operator's edits, and building the 192-byte record that Send Setup writes back.
#pragma once

#if defined(CVH_CORE_FACTS_ONLY)
#error "presentation header: link, config and files report facts, the session presents them"
#endif

#include <array>
#include <optional>
#include <string>

#include "base/operator.h"
#include "config/logger_clock.h"
#include "config/logger_setup.h"
#include "link/status_record.h"
#include "session/logger_status_view.h"
#include "session/setup_exchange_forms.h"

namespace cvh {

// The setup marker PStore: 0 "Setup is Not Current" on yellow, 1 "Setup is Current" on silver,
// any other code changes nothing. The caller also empties the host setup file's "4 0" text on
// code 0 and lays the window out again.
void markSetup(LabelState& PStore, int code);

// ---- Commands -------------------------------------------------------------------------------

// "Get Setup" (BTGetSetup1, BTGetSetup2): answered by one setup record.
CommandRequest getSetupCommand();
// "Begin Sample" (BTBegin).
CommandRequest beginSampleCommand();
// A click on PStore re-reads the setup only while the logger stands by (Standby, Upload or
// End of Run);
// otherwise the operator is told why and nothing is sent.
std::optional<CommandRequest> setupRereadCommand(OperationCode loggerOperationCode, Operator& op);

// ---- Rules of the pages ---------------------------------------------------------------------

// LBAnalogRate: "%1d Hz  %4d ms", coloured by rate and by whether archive files are recorded.
std::string analogRateText(int hz);
Colour analogRateColour(int hz, int fileCBIndex);
void refreshAnalogRateLabel(LoggerControlForm& form);  // the spinner's rate
void showAnalogRate(LoggerControlForm& form, int hz);
// LBLowVoltage: "%4.1f V" of tenths of a volt.
std::string lowVoltageText(int tenths);

// A KB5 on an active port needs at least 2 Hz analog sampling, an RMX at least 4 Hz; the rate is
// never lowered here.
void applyAnalogRateFloors(SetupForms& forms);
// Every list the record needs has an entry selected, hidden rows included.
bool validateSetupSelections(const SetupForms& forms);
// Sample interval, Sleep and the once-per-hour column only in the moored modes; the polled
// buttons only in "Polled Moored Mode".
void applyMooredLayout(SetupForms& forms);

// ---- Edit handlers: each marks the setup not current ----------------------------------------

// Any list or number edit of a port, analog, pump, output, file or duration, and CBAutoStart.
void setupValueChanged(SetupForms& forms);
// The duration spinners (but Delay) and UDAnalogRate.
void rateStepped(SetupForms& forms);
// DelayUD.
void delayStepped(SetupForms& forms);
// The once-per-hour boxes.
void oncePerHourToggled(SetupForms& forms);
void timeSourceChanged(SetupForms& forms);
void lowVoltageStepped(SetupForms& forms);
void loggerModeChanged(SetupForms& forms);

// ---- Received setup -------------------------------------------------------------------------

struct ReceivedSetupResult {
    // The line choice of the logger's host port: LoggerSetupCB gets it and the logger port
    // follows it (see loggerPortMustReopen).
    int hostLineChoice = kPortSetup9600;
    // Data Status rows: each M<n>TypeLabel gets its port label; each rate value reads "0", each
    // file size "0 K" and Analog1..Analog7 "0.000".
    std::array<std::string, kLoggerPortCount> portTypeLabels;
};
inline constexpr const char* kResetRateText = "0";
inline constexpr const char* kResetFileSizeText = "0 K";
inline constexpr const char* kResetAnalogText = "0.000";

// Writes the setup held in `snapshot` into the pages and marks it current. An analog rate
// below 1 Hz is raised to 1 in the snapshot too.
ReceivedSetupResult applyReceivedSetup(SetupSnapshot& snapshot, SetupForms& forms,
                                       ModeLabels modeLabels, HostMode activeHostMode,
                                       int loggerDeviceType);

// Following the logger's host-port setting: reopening a port drains it and empties the framer,
// which throws away the packets that follow the setup record. Only a different COM number or
// line setting, or a closed port, needs a reopen. `openComNumber` is 0 while the port is closed.
bool loggerPortMustReopen(int openComNumber, int openLineSetting, int chosenComNumber,
                          int chosenLineChoice);

// ---- Send Setup -----------------------------------------------------------------------------

// Validates, applies the automatic corrections to the pages, and encodes the record into
// `snapshot` (its retained bytes untouched). Returns the 192 bytes to send as they are, or
// nothing after the abort notice.
std::optional<std::array<std::uint8_t, kSetupRecordLength>> buildSetupFrame(SetupForms& forms,
                                                                            SetupSnapshot& snapshot,
                                                                            int loggerDeviceType,
                                                                            Operator& op);

}  // namespace cvh
