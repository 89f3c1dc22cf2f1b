// The host session as the command line runs it: the start directory's comports.txt and
// last.cvh, the logger port the options choose, and the four ticks on the real clock as the
// console's timers run them.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/clock.h"
#include "files/extract_cli.h"
#include "platform/qt_serial_backend.h"
#include "session/host_session.h"

namespace cvh {

struct GlobalOptions {
    std::string port;  // "COMn"; empty: last.cvh's
    std::string line;  // a text of the line list; empty: last.cvh's, else 9600
    double timeoutSeconds = 10;
    bool verbose = false;
};

class CliHost {
public:
    CliHost(const GlobalOptions& options, StreamOperator& op);
    ~CliHost();

    // Start-up in the current directory. With `needPort`, the logger port must be open after
    // it; otherwise the reason is printed and the usage status returned.
    std::optional<int> start(bool needPort);

    // Runs the ticks until `step` returns an exit status. `step` sees the signal that asked
    // the program to end (0: none) and the milliseconds since start.
    int run(const std::function<std::optional<int>(int signal, std::int64_t nowMs)>& step);

    // Waits for the first status record the display has applied: nothing when it came,
    // the exit status otherwise (no logger, or a signal).
    std::optional<int> waitForStatus();

    HostSession& session() { return session_; }
    std::int64_t nowMs() const;
    const GlobalOptions& options() const { return options_; }
    // "COM3" or the port the host setup file chose, for messages.
    std::string portName();

private:
    void tick();

    GlobalOptions options_;
    StreamOperator& op_;
    QtSerialBackend backend_;
    SystemClock clock_;
    HostSession session_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point next10_, nextSecond_, nextRefresh_, nextTimeout_;
    bool timeoutRunning_ = false;
};

}  // namespace cvh
