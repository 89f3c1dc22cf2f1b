// A run from Begin Sample to its end: the schedule, the recording in memory and its close, and
// the runs a freshly powered simulator already holds.
#include <algorithm>

#include "base/cformat.h"
#include "logger_limits.h"
#include "sim_logger.h"

namespace cvh::sim {

void SimLogger::beginSample() {
    if (!isIdle(state()) || portTest_) {
        say(cformat("Begin Sample ignored in %s", stateName(state()).c_str()));
        return;
    }
    const std::int64_t now = nowMs();
    say("Begin Sample");
    schedule_.start(timing(), now);
    lastPhase_ = LoggerState::Standby;  // the next update() announces the phase
    nextPacketMs_ = now;
    beginRecording();
}

void SimLogger::sleepUntil(std::uint32_t wakeLoggerSeconds) {
    const std::int64_t secondsAhead =
        static_cast<std::int64_t>(wakeLoggerSeconds) - loggerSeconds();
    if (secondsAhead <= 0 || portTest_ || clearDoneMs_) {
        say("sleep request ignored");
        return;
    }
    halt();
    const std::int64_t now = nowMs();
    say(cformat("sleeping %lld s", static_cast<long long>(secondsAhead)));
    schedule_.sleepUntil(timing(), now, now + secondsAhead * 1000);
    lastPhase_ = LoggerState::Sleeping;
    recordOnWake_ = true;
}

DirectoryEntry SimLogger::directoryEntryForNewRun() const {
    DirectoryEntry e;
    e.runKind = static_cast<std::int16_t>(setup_.mode);
    for (int p = 1; p <= 8; ++p)
        e.portTypes[p - 1] = static_cast<std::int16_t>(setup_.meterType[p]);
    for (int c = 1; c <= 7; ++c)
        e.analogStates[c - 1] = static_cast<std::int16_t>(setup_.analogSetting[c]);
    for (int i = 0; i < 4; ++i)
        e.pumpStates[i] = setup_.pumpSetting[i] != 0 ? 1 : 0;
    e.startTime = static_cast<std::int32_t>(loggerSeconds());
    e.firstValueThousandths = batteryMillivolts();
    return e;
}

void SimLogger::beginRecording() {
    recorder_.reset();
    lastRunCounts_ = {};
    lastRunOther_ = 0;
    runStartMillivolts_ = batteryMillivolts();
    runStartSeconds_ = static_cast<std::uint32_t>(loggerSeconds());
    if (setup_.fileFormat != 1) {
        runNumber_ = -1;
        return;
    }
    const auto number = memory_.nextRunNumber();
    if (!number || !memory_.fits(kRunClosingReserve)) {
        say("memory full: run not recorded");
        runNumber_ = -1;
        return;
    }
    DirectoryEntry e = directoryEntryForNewRun();
    e.runNumber = *number;
    runNumber_ = *number;
    recorder_.emplace(e, static_cast<std::uint8_t>(loggerId_));
    nextBatteryMs_ = nowMs();
    say(cformat("recording run %d", runNumber_));
}

void SimLogger::endRun(const char* why) {
    if (!schedule_.running())
        return;
    schedule_.stop();
    recordOnWake_ = false;
    runEndMillivolts_ = batteryMillivolts();
    if (recorder_) {
        lastRunCounts_ = recorder_->byteCounts();
        const SummaryRecord summary = buildSummary();
        StoredRun run = recorder_->finish(summary, runEndMillivolts_);
        lastRunOther_ = static_cast<std::uint32_t>(run.file.size());
        for (std::uint32_t c : lastRunCounts_)
            lastRunOther_ -= std::min(lastRunOther_, c);
        say(cformat("run %d stored, %zu bytes (%s)", run.entry.runNumber, run.file.size(), why));
        memory_.store(std::move(run));
        recorder_.reset();
    } else {
        say(cformat("run ended (%s)", why));
    }
    for (auto& p : pending_)
        p.clear();
    idleState_ = LoggerState::EndOfRun;
}

void SimLogger::halt() {
    if (portTest_) {
        portTest_.reset();
        idleState_ = LoggerState::Standby;
        say("port test ended");
    }
    if (upload_.active()) {
        upload_.abandon();
        idleState_ = LoggerState::Standby;
        say("upload stopped");
    }
    endRun("stopped");
}

void SimLogger::onPhaseChange(LoggerState from, LoggerState to, std::int64_t now) {
    say(cformat("%s -> %s", stateName(from).c_str(), stateName(to).c_str()));
    if (recordOnWake_ && to != LoggerState::Sleeping) {
        recordOnWake_ = false;
        beginRecording();
    }
    if (to == LoggerState::Sampling)
        restartInstruments(now);
    if (from == LoggerState::Sampling) {
        for (auto& p : pending_)
            p.clear();
    }
}

void SimLogger::storeDemoRuns(int count) {
    const std::int64_t periodMs = 1000 / config_.packetRateHz;
    for (int i = 0; i < count; ++i) {
        const auto number = memory_.nextRunNumber();
        if (!number)
            break;
        const std::int64_t seconds = 60 + 30 * i;
        DirectoryEntry e = directoryEntryForNewRun();
        e.runNumber = *number;
        e.startTime = static_cast<std::int32_t>(loggerSeconds() - (count - i) * 3600);
        RunRecorder recorder(e, static_cast<std::uint8_t>(loggerId_));
        auto instruments = makeInstruments(setup_, config_.seed + 7919 * (i + 1));
        auto analog = makeAnalog(setup_, config_.seed, config_.analogRateHz);
        for (auto& ins : instruments) {
            if (ins)
                ins->restart(0);
        }
        analog->restart(0);
        PortBacklog pending;
        DataPacketFields f;
        f.format = 1;
        f.unit = static_cast<std::uint8_t>(loggerId_);
        const auto more = [&](std::int64_t t) {
            return config_.storedRunBytes > 0 ? recorder.size() < config_.storedRunBytes
                                              : t <= seconds * 1000;
        };
        for (std::int64_t t = periodMs; more(t); t += periodMs) {
            const std::int64_t at = e.startTime + t / 1000;
            for (int p = 0; p < 8; ++p) {
                if (instruments[p])
                    instruments[p]->produce(t, at, pending[p]);
            }
            analog->produce(t, pending[8]);
            f.timeStamp = static_cast<std::uint32_t>(at);
            std::array<std::uint32_t, 9> taken{};
            const Packet packet = takeDataPacket(pending, f, kMaxPacketPayload, taken);
            if (recorder.appendDataPacket(packet))
                ++f.sequence;
            if (t % kBatteryRecordMs < periodMs) {
                recorder.appendBattery(static_cast<std::uint32_t>(at), kFreshBatteryMillivolts);
            }
        }
        if (!memory_.fits(recorder.size() + kRunClosingReserve))
            break;
        const auto savedCounts = lastRunCounts_;
        const auto savedNumber = runNumber_;
        const auto savedStart = runStartSeconds_;
        lastRunCounts_ = recorder.byteCounts();
        runNumber_ = *number;
        runStartSeconds_ = static_cast<std::uint32_t>(e.startTime);
        runStartMillivolts_ = kFreshBatteryMillivolts;
        SummaryRecord summary = buildSummary();
        summary.finalMillivolts = kFreshBatteryMillivolts - 20;
        memory_.store(recorder.finish(summary, kFreshBatteryMillivolts - 20));
        lastRunCounts_ = savedCounts;
        runNumber_ = savedNumber;
        runStartSeconds_ = savedStart;
    }
}

}  // namespace cvh::sim
