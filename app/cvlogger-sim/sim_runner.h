// The simulator's event loop: one poll() over the line and a stop pipe, woken by the line or
// by the logger's next timer; nothing spins. While no host holds the pseudo-terminal open the
// logger's output is dropped, as it would be on an unplugged cable.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "base/clock.h"
#include "fault_injector.h"
#include "line_endpoint.h"
#include "line_pacer.h"
#include "sent_log.h"
#include "sim_logger.h"

namespace cvh::sim {

// A pipe that a signal handler or another thread writes to, to end the loop.
class StopPipe {
public:
    StopPipe();
    ~StopPipe();
    StopPipe(const StopPipe&) = delete;
    StopPipe& operator=(const StopPipe&) = delete;
    // Async-signal-safe.
    void notify() const;
    int readFd() const { return fds_[0]; }
    int writeFd() const { return fds_[1]; }

private:
    int fds_[2] = {-1, -1};
};

struct RunnerCounters {
    std::uint64_t bytesIn = 0;
    std::uint64_t bytesOut = 0;
    std::uint64_t bytesDropped = 0;  // no host on the line, or the line could not keep up
    std::uint64_t hostConnects = 0;
    std::uint64_t wakeUps = 0;
};

class SimRunner {
public:
    SimRunner(SimLogger& logger, LineEndpoint& line, FaultInjector& faults, LinePacer& pacer,
              const Clock& clock, const StopPipe& stop);
    // Every data packet's fate goes to `log` when one is given.
    void setSentLog(SentLog* log) { sentLog_ = log; }
    // Runs until the stop pipe is written to.
    void run();
    const RunnerCounters& counters() const { return counters_; }

private:
    void queueOutput();
    void writeSome(std::int64_t nowMs);

    SimLogger& logger_;
    LineEndpoint& line_;
    FaultInjector& faults_;
    LinePacer& pacer_;
    const Clock& clock_;
    const StopPipe& stop_;
    std::deque<std::uint8_t> out_;
    bool hostPresent_;
    RunnerCounters counters_;
    SentLog* sentLog_ = nullptr;
};

}  // namespace cvh::sim
