// The logger's power-up, setup and clock. Its handling of host requests, its runs, instrument
// data, status and stored-run services are in the sim_logger_*.cpp files beside this one.
#include "sim_logger.h"

#include <algorithm>

#include "base/cformat.h"
#include "logger_limits.h"

namespace cvh::sim {

namespace {

constexpr std::int64_t kPortTestPollMs = 50;

}  // namespace

LoggerSetup defaultSimSetup(std::uint32_t hostBaud) {
    LoggerSetup s;
    s.mode = 0;  // profile: samples until stopped
    s.delaySeconds = 2;
    s.preFlushSeconds = 1;
    s.warmUpSeconds = 2;
    s.flushSeconds = 1;
    s.sampleSeconds = 30;
    s.intervalSeconds = 60;
    s.dataBits.fill(8);
    s.lowVoltageCutoff.fill(65);
    s.baud[0] = hostBaud;
    const auto port = [&s](int p, int meter, std::uint32_t baud) {
        s.meterType[p] = static_cast<std::uint16_t>(meter);
        s.baud[p] = baud;
    };
    port(1, 3, 9600);   // ASCII: the CTD
    port(2, 4, 19200);  // BINARY: the current meter
    port(3, 6, 4800);   // GPS
    s.analogSetting[1] = 1;
    s.analogSetting[2] = 1;
    s.pumpSetting[0] = 1;
    s.analogRateHz = 1;
    s.outputFormat = 1;  // real-time data and status
    s.fileFormat = 1;    // archive files
    s.timeSource = 1;
    return s;
}

SimLogger::SimLogger(LoggerConfig config, const Clock& clock)
    : config_(config),
      clock_(clock),
      hardware_(defaultHardwareRecord(config.deviceType, config.serialNumber)),
      calibration_(defaultCalibrationRecord()),
      loggerId_(config.loggerId),
      clockOffsetSeconds_(config.clockOffsetSeconds),
      memory_(config.memoryBytes),
      upload_(config.upload) {
    LoggerSetup s = defaultSimSetup(config.hostBaud);
    s.autoStart = config.autoStart ? 1 : 0;
    setupSnapshot_.encode(s);
    setup_ = s;
    rebuildInstruments();
    const std::int64_t now = nowMs();
    nextStatusMs_ = nextPacketMs_ = nextBatteryMs_ = lastUpdateMs_ = batteryAccountedMs_ = now;
}

void SimLogger::say(const std::string& text) {
    if (log)
        log(text);
}

void SimLogger::sendText(const std::string& text) {
    output_.push_back({Packet(text.begin(), text.end()), false});
}

std::vector<OutChunk> SimLogger::takeOutput() {
    std::vector<OutChunk> out;
    out.swap(output_);
    return out;
}

std::int64_t SimLogger::loggerSeconds() const {
    return toLoggerTime(clock_, clock_.utcSeconds()) + clockOffsetSeconds_;
}

int SimLogger::deviceType() const {
    return readLe16(hardware_, hardware_offset::kDeviceType);
}

LoggerState SimLogger::state() const {
    if (clearDoneMs_)
        return LoggerState::ClearMemory;
    if (upload_.active())
        return LoggerState::Upload;
    if (schedule_.running())
        return schedule_.phase();
    return idleState_;
}

void SimLogger::powerOn() {
    sendText(
        cformat("\r\n*** cvlogger-sim: SIMULATED LOGGER, not a real instrument ***\r\n"
                "*** model %d  S/N %03d  logger ID %d  firmware %d.%02d ***\r\n",
                deviceType(), config_.serialNumber, loggerId_, config_.firmwareMajor,
                config_.firmwareMinor));
    send(buildFlashStatus(0));
    storeDemoRuns(config_.storedRuns);
    nextStatusMs_ = nowMs();
    if (setup_.autoStart == 1)
        beginSample();
    update();
}

// ---- Setup and instruments --------------------------------------------------------------------

void SimLogger::applySetup(const LoggerSetup& setup) {
    setup_ = setup;
    rebuildInstruments();
}

void SimLogger::rebuildInstruments() {
    instruments_ = makeInstruments(setup_, config_.seed);
    analog_ = makeAnalog(setup_, config_.seed, config_.analogRateHz);
    for (auto& p : pending_)
        p.clear();
}

void SimLogger::restartInstruments(std::int64_t now) {
    for (auto& i : instruments_) {
        if (i)
            i->restart(now);
    }
    analog_->restart(now);
    for (auto& p : pending_)
        p.clear();
}

RunTiming SimLogger::timing() const {
    RunTiming t;
    t.delaySeconds = setup_.delaySeconds;
    t.preFlushSeconds = setup_.preFlushSeconds;
    t.warmUpSeconds = setup_.warmUpSeconds;
    t.flushSeconds = setup_.flushSeconds;
    t.sampleSeconds = setup_.sampleSeconds;
    t.intervalSeconds = setup_.intervalSeconds;
    t.mode = setup_.loggerMode();
    return t;
}

// ---- The clock --------------------------------------------------------------------------------

void SimLogger::update() {
    const std::int64_t now = nowMs();
    lastUpdateMs_ = now;
    finishClearingIfDue(now);
    drawBattery(now);
    advanceSchedule(now);
    relayPortTest(now);
    sendDataIfDue(now);
    recordBatteryIfDue(now);
    serviceUpload(now);
    sendStatusIfDue(now);
}

void SimLogger::finishClearingIfDue(std::int64_t now) {
    if (!clearDoneMs_ || now < *clearDoneMs_)
        return;
    clearDoneMs_.reset();
    memory_.clear();
    runNumber_ = -1;
    lastRunCounts_ = {};
    lastRunOther_ = 0;
    idleState_ = LoggerState::Standby;
    send(buildFlashStatus(0));
    say("memory cleared");
}

void SimLogger::drawBattery(std::int64_t now) {
    if (schedule_.running()) {
        const LoggerState phase = schedule_.phase();
        if (phase != LoggerState::Sleeping && phase != LoggerState::Delay) {
            batteryDrawnMillivolts_ += static_cast<double>(now - batteryAccountedMs_) / 5000.0;
        }
    }
    batteryAccountedMs_ = now;
}

void SimLogger::advanceSchedule(std::int64_t now) {
    if (!schedule_.running())
        return;
    schedule_.update(now);
    const LoggerState phase = schedule_.phase();
    if (phase != lastPhase_) {
        const LoggerState from = lastPhase_;
        lastPhase_ = phase;
        onPhaseChange(from, phase, now);
    }
    if (phase == LoggerState::Sampling)
        collectInstrumentData(now);
}

// While a port is tested the line carries the instrument's own text.
void SimLogger::relayPortTest(std::int64_t now) {
    if (!portTest_)
        return;
    std::vector<std::uint8_t> text;
    if (portTest_->instrument)
        portTest_->instrument->produce(now, loggerSeconds(), text);
    if (portTest_->analog)
        portTest_->analog->produce(now, text);
    if (!text.empty())
        output_.push_back({std::move(text), false});
}

void SimLogger::sendDataIfDue(std::int64_t now) {
    if (now < nextPacketMs_)
        return;
    const std::int64_t periodMs = 1000 / config_.packetRateHz;
    const bool limitReached =
        config_.packetLimit != 0 && counters_.dataPackets >= config_.packetLimit;
    if (schedule_.running() && schedule_.phase() == LoggerState::Sampling && !limitReached) {
        sendDataPacket(true);
        if (config_.packetLimit != 0 && counters_.dataPackets == config_.packetLimit)
            say("packet limit reached");
    }
    nextPacketMs_ += periodMs;
    if (nextPacketMs_ <= now)
        nextPacketMs_ = now + periodMs;
}

void SimLogger::recordBatteryIfDue(std::int64_t now) {
    if (!recorder_ || now < nextBatteryMs_)
        return;
    const auto seconds = static_cast<std::uint32_t>(loggerSeconds());
    recorder_->appendBattery(seconds, batteryMillivolts());
    recorder_->appendTimeStamp(seconds);
    nextBatteryMs_ = now + kBatteryRecordMs;
}

void SimLogger::serviceUpload(std::int64_t now) {
    if (auto block = upload_.onTimer(now)) {
        say(cformat("no acknowledgement: block %u again", upload_.currentBlock()));
        send(std::move(*block));
    }
    if (upload_.outcome() == UploadSender::Outcome::GaveUp)
        finishUpload();
}

void SimLogger::sendStatusIfDue(std::int64_t now) {
    if (now < nextStatusMs_)
        return;
    sendStatus();
    // Between sampling periods the packets keep flowing, empty, once a second.
    if (schedule_.running() && schedule_.phase() != LoggerState::Sampling &&
        schedule_.phase() != LoggerState::Sleeping && setup_.outputFormat != 0) {
        sendDataPacket(false);
    }
    nextStatusMs_ += 1000;
    if (nextStatusMs_ <= now)
        nextStatusMs_ = now + 1000;
}

std::int64_t SimLogger::nextDueMs() const {
    std::int64_t due = nextStatusMs_;
    const auto consider = [&due](std::optional<std::int64_t> t) {
        if (t)
            due = std::min(due, *t);
    };
    if (schedule_.running()) {
        consider(schedule_.deadlineMs());
        if (schedule_.phase() == LoggerState::Sampling)
            consider(nextPacketMs_);
    }
    consider(upload_.deadlineMs());
    consider(clearDoneMs_);
    if (recorder_)
        consider(nextBatteryMs_);
    if (portTest_)
        consider(lastUpdateMs_ + kPortTestPollMs);
    return due;
}

}  // namespace cvh::sim
