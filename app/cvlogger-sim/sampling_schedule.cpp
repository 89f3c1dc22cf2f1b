#include "sampling_schedule.h"

#include <algorithm>

namespace cvh::sim {

namespace {

std::int64_t ms(std::uint32_t seconds) {
    return static_cast<std::int64_t>(seconds) * 1000;
}

}  // namespace

void SamplingSchedule::start(const RunTiming& timing, std::int64_t nowMs) {
    timing_ = timing;
    running_ = true;
    cycles_ = 0;
    sleepEndMs_.reset();
    enter(LoggerState::Delay, nowMs);
    update(nowMs);
}

void SamplingSchedule::sleepUntil(const RunTiming& timing, std::int64_t nowMs,
                                  std::int64_t wakeMs) {
    timing_ = timing;
    running_ = true;
    cycles_ = 0;
    sleepEndMs_ = wakeMs;
    enter(LoggerState::Sleeping, nowMs);
    update(nowMs);
}

void SamplingSchedule::wake(std::int64_t nowMs) {
    if (running_ && phase_ == LoggerState::Sleeping)
        beginCycle(nowMs);
}

void SamplingSchedule::sleep(std::int64_t nowMs) {
    if (!running_ || timing_.mode != LoggerMode::PolledMoored)
        return;
    if (phase_ == LoggerState::Delay || phase_ == LoggerState::Sleeping)
        return;
    sleepEndMs_.reset();
    enter(LoggerState::Sleeping, nowMs);
}

void SamplingSchedule::enter(LoggerState phase, std::int64_t startMs) {
    phase_ = phase;
    phaseStartMs_ = startMs;
}

void SamplingSchedule::beginCycle(std::int64_t startMs) {
    ++cycles_;
    cycleStartMs_ = startMs;
    sleepEndMs_.reset();
    enter(LoggerState::PreFlush, startMs);
}

std::optional<std::int64_t> SamplingSchedule::phaseLengthMs(LoggerState phase) const {
    switch (phase) {
        case LoggerState::Delay:
            return ms(timing_.delaySeconds);
        case LoggerState::PreFlush:
            return ms(timing_.preFlushSeconds);
        case LoggerState::Warmup:
            return ms(timing_.warmUpSeconds);
        case LoggerState::Flush:
            return ms(timing_.flushSeconds);
        case LoggerState::Sampling:
            // A moored sample lasts at least a second, so a cycle never takes no time at all.
            if (isMooredMode(timing_.mode)) {
                return ms(std::max<std::uint32_t>(timing_.sampleSeconds, 1));
            }
            return std::nullopt;  // profile-style modes sample until stopped
        default:
            return std::nullopt;
    }
}

std::optional<std::int64_t> SamplingSchedule::deadlineMs() const {
    if (!running_)
        return std::nullopt;
    if (phase_ == LoggerState::Sleeping)
        return sleepEndMs_;
    const auto length = phaseLengthMs(phase_);
    if (!length)
        return std::nullopt;
    return phaseStartMs_ + *length;
}

std::uint32_t SamplingSchedule::timeLeftSeconds(std::int64_t nowMs) const {
    const auto deadline = deadlineMs();
    if (!deadline || *deadline <= nowMs)
        return 0;
    return static_cast<std::uint32_t>((*deadline - nowMs + 999) / 1000);
}

bool SamplingSchedule::update(std::int64_t nowMs) {
    bool changed = false;
    for (auto deadline = deadlineMs(); deadline && *deadline <= nowMs; deadline = deadlineMs()) {
        const std::int64_t at = *deadline;  // keep the run's own timing, however late we look
        changed = true;
        switch (phase_) {
            case LoggerState::Delay:
                if (timing_.mode == LoggerMode::PolledMoored) {
                    sleepEndMs_.reset();
                    enter(LoggerState::Sleeping, at);
                } else {
                    beginCycle(at);
                }
                break;
            case LoggerState::PreFlush:
                enter(LoggerState::Warmup, at);
                break;
            case LoggerState::Warmup:
                enter(LoggerState::Flush, at);
                break;
            case LoggerState::Flush:
                enter(LoggerState::Sampling, at);
                break;
            case LoggerState::Sampling:
                if (timing_.mode == LoggerMode::Moored) {
                    const std::int64_t next = cycleStartMs_ + ms(timing_.intervalSeconds);
                    if (next <= at) {
                        beginCycle(at);
                    } else {
                        sleepEndMs_ = next;
                        enter(LoggerState::Sleeping, at);
                    }
                } else {
                    sleepEndMs_.reset();
                    enter(LoggerState::Sleeping, at);
                }
                break;
            case LoggerState::Sleeping:
                beginCycle(at);
                break;
            default:
                running_ = false;
                break;
        }
    }
    return changed;
}

}  // namespace cvh::sim
