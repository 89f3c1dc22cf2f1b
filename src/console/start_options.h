// The command line of cvhost: a recording or replay started at start-up, as if its button had
// been pressed and the dialog confirmed with the given path, so a deck PC that restarts after
// a power cut goes on recording without anyone at the keyboard.
//
//   --record continuous:PATH | hourly:BASE | daily:BASE | raw:PATH
//   --replay PATH [--continuous] [--speed N]
#pragma once

#include <QStringList>
#include <optional>
#include <string>

#include "base/clock.h"
#include "link/record_mode.h"

namespace cvh {

class HostSession;

struct StartOptions {
    RecordMode mode = RecordMode::Off;  // Off: nothing to start
    std::string path;
    int replaySpeed = 0;  // 1..10; 0 keeps the speed the host setup file left
    bool operator==(const StartOptions&) const = default;
};

struct ParsedStartOptions {
    enum class Outcome { Run, Help, Invalid };
    Outcome outcome = Outcome::Run;
    StartOptions options;
    std::string text;  // Help: the help text; Invalid: what is wrong
};

// The arguments as QCoreApplication::arguments() gives them, program name first. No I/O.
ParsedStartOptions parseStartOptions(const QStringList& arguments);

// Opens the file as the start will (and closes it again): empty when it can be used, else
// "path: reason".
std::string probeStartFile(const StartOptions& options, const Clock& clock);

// Parses and probes; prints the help (status 0) or the fault (status 2) and returns the status
// when the program must end before any window opens.
std::optional<int> readStartOptions(const QStringList& arguments, StartOptions& options);

// Starts what the options ask for; run after start-up, so --speed wins over the host setup
// file's speed.
void applyStartOptions(HostSession& session, const StartOptions& options);

}  // namespace cvh
