// The timing of a run as the setup gives it: Delay, then cycles of Pre-Flush, Warmup, Flush and
// Sampling. Profile-style modes sample until stopped; the moored mode sleeps until the next
// interval begins; the polled moored mode sleeps until the host wakes it.
#pragma once

#include <cstdint>
#include <optional>

#include "link/logger_mode.h"
#include "logger_state.h"

namespace cvh::sim {

struct RunTiming {
    std::uint32_t delaySeconds = 0;
    std::uint32_t preFlushSeconds = 0;
    std::uint32_t warmUpSeconds = 0;
    std::uint32_t flushSeconds = 0;
    std::uint32_t sampleSeconds = 0;
    std::uint32_t intervalSeconds = 0;
    LoggerMode mode = LoggerMode::Profile;  // mode of operation from the setup
};

class SamplingSchedule {
public:
    // Begin Sample: Delay first (phases of zero length are passed at once).
    void start(const RunTiming& timing, std::int64_t nowMs);
    // The Sleep command before a run: asleep until the wake time, then the run begins.
    void sleepUntil(const RunTiming& timing, std::int64_t nowMs, std::int64_t wakeMs);
    void stop() { running_ = false; }

    // Polled mode: "WAKE" starts a sampling cycle from sleep, "SLEEP" ends it.
    void wake(std::int64_t nowMs);
    void sleep(std::int64_t nowMs);

    // Moves through every phase whose time is up; true when the phase changed.
    bool update(std::int64_t nowMs);

    bool running() const { return running_; }
    LoggerState phase() const { return phase_; }
    // When the current phase ends; nothing for open-ended phases.
    std::optional<std::int64_t> deadlineMs() const;
    std::uint32_t timeLeftSeconds(std::int64_t nowMs) const;
    // The number of sampling cycles begun in this run.
    int cycles() const { return cycles_; }

private:
    void enter(LoggerState phase, std::int64_t startMs);
    void beginCycle(std::int64_t startMs);
    std::optional<std::int64_t> phaseLengthMs(LoggerState phase) const;
    LoggerState after(LoggerState phase) const;

    RunTiming timing_;
    bool running_ = false;
    LoggerState phase_ = LoggerState::Standby;
    std::int64_t phaseStartMs_ = 0;
    std::int64_t cycleStartMs_ = 0;
    std::optional<std::int64_t> sleepEndMs_;
    int cycles_ = 0;
};

}  // namespace cvh::sim
