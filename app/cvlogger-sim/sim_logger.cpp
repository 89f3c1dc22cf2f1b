#include "sim_logger.h"

#include <algorithm>

#include "base/cformat.h"
#include "link/command_frames.h"
#include "link/data_packet.h"

namespace cvh::sim {

namespace {

// A run-file record holds at most 2080 bytes, and a data packet is stored whole in one, so
// the logger never puts more than this into one packet; the rest waits for the next.
constexpr std::size_t kMaxPacketPayload = 2048;
// An instrument that talks faster than the packets carry loses its oldest bytes beyond this.
constexpr std::size_t kMaxPendingPerPort = 16384;
// Room kept free in memory for the records that close a run.
constexpr std::size_t kRunClosingReserve = 512;
constexpr std::int16_t kFreshBatteryMillivolts = 12600;
constexpr std::int64_t kBatteryRecordMs = 60000;
constexpr std::int64_t kPortTestPollMs = 50;
constexpr std::array<std::int32_t, 3> kFirmwareDate{1, 15, 26};

using Pending = std::array<std::vector<std::uint8_t>, 9>;

// Takes up to `cap` bytes of the waiting port data, port 1 first and the analog slot last, into
// one data packet; the bytes taken leave `pending`.
Packet takeDataPacket(Pending& pending, const DataPacketFields& fields, std::size_t cap,
                      std::array<std::uint32_t, 9>& taken) {
    std::array<Bytes, kDataPortCount> segments;
    std::size_t room = cap;
    for (int p = 0; p < kDataPortCount; ++p) {
        const std::size_t n = std::min(room, pending[p].size());
        segments[p] = Bytes(pending[p].data(), n);
        taken[p] = static_cast<std::uint32_t>(n);
        room -= n;
    }
    Packet packet = *buildDataPacket(fields, segments);
    for (int p = 0; p < kDataPortCount; ++p) {
        pending[p].erase(pending[p].begin(), pending[p].begin() + taken[p]);
    }
    return packet;
}

// The same packet carrying only slot `keep` (0..8), for the output formats that send one port.
Packet onlyPort(const Packet& packet, int keep) {
    const auto header = readDataPacketHeader(packet);
    std::array<Bytes, kDataPortCount> segments{};
    if (header) {
        const Bytes payload = Bytes(packet).subspan(kDataHeaderLength, header->payloadLength);
        if (const auto seg = payloadSegment(payload, header->counts, keep))
            segments[keep] = *seg;
    }
    DataPacketFields f;
    if (header) {
        f.format = header->format;
        f.timeUnit = header->timeUnit;
        f.unit = header->unit;
        f.sequence = header->sequence;
        f.timeStamp = header->timeStamp;
    }
    return *buildDataPacket(f, segments);
}

std::array<std::unique_ptr<Instrument>, 8> makeInstruments(const LoggerSetup& s,
                                                           std::uint64_t seed) {
    std::array<std::unique_ptr<Instrument>, 8> out;
    for (int port = 1; port <= 8; ++port) {
        out[port - 1] = makeInstrument(s.meterType[port], s.baud[port], port, seed);
    }
    return out;
}

// `rateHz` 0: the setup's analog rate.
std::unique_ptr<AnalogChannels> makeAnalog(const LoggerSetup& s, std::uint64_t seed, int rateHz) {
    std::array<bool, 7> active{};
    for (int c = 1; c <= 7; ++c)
        active[c - 1] = s.analogSetting[c] == 1;
    return std::make_unique<AnalogChannels>(active, rateHz != 0 ? rateHz : s.analogRateHz, seed);
}

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

// ---- Requests from the host ------------------------------------------------------------------

void SimLogger::receive(Bytes bytes) {
    std::vector<HostRequest> requests;
    input_.feed(bytes, requests);
    for (const auto& r : requests)
        handle(r);
    update();
}

void SimLogger::handle(const HostRequest& r) {
    switch (r.kind) {
        case HostRequest::Kind::Command:
            handleCommand(r.code, r.argumentA, r.argumentB);
            break;
        case HostRequest::Kind::Setup:
            takeSetup(r.record);
            break;
        case HostRequest::Kind::Hardware:
            takeHardware(r.record);
            break;
        case HostRequest::Kind::Calibration:
            takeCalibration(r.record);
            break;
        case HostRequest::Kind::PortTest:
            startPortTest(r.portTest);
            break;
        case HostRequest::Kind::StopText:
            if (portTest_ || schedule_.running() || upload_.active()) {
                say("stop text");
                halt();
            }
            break;
        case HostRequest::Kind::WakeText:
            if (schedule_.running() && setup_.loggerMode() == LoggerMode::PolledMoored &&
                schedule_.phase() == LoggerState::Sleeping) {
                say("polled wake");
                schedule_.wake(nowMs());
            }
            break;
        case HostRequest::Kind::SleepText:
            if (schedule_.running() && setup_.loggerMode() == LoggerMode::PolledMoored) {
                say("polled sleep");
                schedule_.sleep(nowMs());
            }
            break;
    }
}

void SimLogger::handleCommand(std::uint16_t code, std::uint32_t a, std::uint16_t b) {
    const std::int64_t now = nowMs();
    switch (static_cast<CommandCode>(code)) {
        case CommandCode::Stop:
            say("Stop");
            halt();
            break;
        case CommandCode::BeginSample:
            beginSample();
            break;
        case CommandCode::LoadDefaultHardware:
            if (!isIdle(state()))
                break;
            say("default hardware, calibration and logger ID loaded");
            hardware_ = defaultHardwareRecord(config_.deviceType, config_.serialNumber);
            calibration_ = defaultCalibrationRecord();
            loggerId_ = config_.loggerId;
            break;
        case CommandCode::SetLoggerId:
            if (b <= 254) {
                say(cformat("logger ID %d", b));
                loggerId_ = b;
            }
            break;
        case CommandCode::Sleep:
            sleepUntil(a);
            break;
        case CommandCode::GetHardware:
            send(Packet(hardware_.begin(), hardware_.end()));
            break;
        case CommandCode::AcknowledgeBlock:
            if (auto next = upload_.onAck(a, b, now)) {
                ++counters_.uploadBlocks;
                send(std::move(*next));
            }
            if (upload_.outcome() == UploadSender::Outcome::Complete ||
                upload_.outcome() == UploadSender::Outcome::Cancelled) {
                finishUpload();
            }
            break;
        case CommandCode::GetSetup: {
            const Bytes record = setupSnapshot_.bytes();
            send(Packet(record.begin(), record.end()));
            break;
        }
        case CommandCode::GetAnalogCalibration:
            send(Packet(calibration_.begin(), calibration_.end()));
            break;
        case CommandCode::SetTime: {
            const std::int64_t before = loggerSeconds();
            clockOffsetSeconds_ =
                static_cast<std::int64_t>(a) - toLoggerTime(clock_, clock_.utcSeconds());
            say(cformat("clock set, moved %lld s",
                        static_cast<long long>(loggerSeconds() - before)));
            break;
        }
        case CommandCode::LoadDefaultFlashSetup: {
            say("default setup loaded");
            halt();
            LoggerSetup s = defaultSimSetup(config_.hostBaud);
            setupSnapshot_.encode(s);
            applySetup(s);
            idleState_ = LoggerState::Standby;
            break;
        }
        case CommandCode::ResetToMonitor:
            say("reset to monitor");
            halt();
            idleState_ = LoggerState::Standby;
            sendText("\r\n*** cvlogger-sim: SIMULATED LOGGER monitor ***\r\n");
            break;
        case CommandCode::GetDirectory:
            sendDirectory();
            break;
        case CommandCode::UploadRun:
            startUpload(b);
            break;
        case CommandCode::ClearMemory:
            clearMemory();
            break;
        default:
            say(cformat("unknown command %04x", code));
            break;
    }
}

void SimLogger::takeSetup(const std::vector<std::uint8_t>& record) {
    if (!isIdle(state()) || portTest_) {
        ++counters_.recordsRefused;
        say("setup refused: not in standby");
        return;
    }
    if (!setupSnapshot_.store(record))
        return;
    ++counters_.recordsTaken;
    applySetup(setupSnapshot_.decode());
    say(cformat("setup taken: mode %d, output format %d", setup_.mode, setup_.outputFormat));
}

void SimLogger::takeHardware(const std::vector<std::uint8_t>& record) {
    if (!isIdle(state()) || record.size() != hardware_.size()) {
        ++counters_.recordsRefused;
        return;
    }
    std::copy(record.begin(), record.end(), hardware_.begin());
    ++counters_.recordsTaken;
    say(cformat("hardware configuration taken: model %d", deviceType()));
}

void SimLogger::takeCalibration(const std::vector<std::uint8_t>& record) {
    if (!isIdle(state()) || record.size() != calibration_.size()) {
        ++counters_.recordsRefused;
        return;
    }
    std::copy(record.begin(), record.end(), calibration_.begin());
    ++counters_.recordsTaken;
    say("analog calibration taken");
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

// ---- Runs -------------------------------------------------------------------------------------

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

SummaryRecord SimLogger::buildSummary() const {
    SummaryRecord s;
    s.runNumber = runNumber_;
    s.mode = setup_.mode;
    s.meterType = deviceType();
    s.serialNumber = readLe16(hardware_, hardware_offset::kSerialNumber);
    s.fileFormat = setup_.fileFormat;
    s.outputFormat = setup_.outputFormat;
    for (int p = 0; p < 9; ++p) {
        s.portMeterTypes[p] = p == 0 ? 0 : setup_.meterType[p];
        s.baudRates[p] = static_cast<std::int32_t>(setup_.baud[p]);
        s.dataBits[p] = setup_.dataBits[p];
        s.parities[p] = setup_.parity[p];
        s.voltageTenths[p] = setup_.lowVoltageCutoff[p];
    }
    for (int c = 1; c <= 7; ++c)
        s.analogStates[c - 1] = setup_.analogSetting[c];
    for (int i = 0; i < 4; ++i)
        s.pumpStates[i] = setup_.pumpSetting[i];
    s.delayBeforeStartSeconds = static_cast<std::int32_t>(setup_.delaySeconds);
    s.preFlushSeconds = static_cast<std::int32_t>(setup_.preFlushSeconds);
    s.warmUpSeconds = static_cast<std::int32_t>(setup_.warmUpSeconds);
    s.flushSeconds = static_cast<std::int32_t>(setup_.flushSeconds);
    s.sampleSeconds = static_cast<std::int32_t>(setup_.sampleSeconds);
    s.intervalSeconds = static_cast<std::int32_t>(setup_.intervalSeconds);
    s.startTime = static_cast<std::int32_t>(runStartSeconds_);
    s.unitId = loggerId_;
    s.packetPeriodMs = 1000 / config_.packetRateHz;
    s.startMillivolts = runStartMillivolts_;
    s.finalMillivolts = batteryMillivolts();
    const auto counts = recorder_ ? recorder_->byteCounts() : lastRunCounts_;
    for (int i = 0; i < 9; ++i)
        s.recordedBytes[i] = static_cast<std::int32_t>(counts[i]);
    const std::size_t inProgress = recorder_ ? recorder_->size() : 0;
    s.freeDiskBytes = static_cast<std::int32_t>(
        memory_.freeBytes() - std::min<std::size_t>(inProgress, memory_.freeBytes()));
    s.totalDiskBytes = static_cast<std::int32_t>(memory_.totalBytes());
    s.firmwareMajor = config_.firmwareMajor;
    s.firmwareMinor = config_.firmwareMinor;
    for (int i = 0; i < 3; ++i)
        s.firmwareDate[i] = kFirmwareDate[i];
    return s;
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

void SimLogger::startPortTest(const PortTestRequest& r) {
    if (!isIdle(state()) || portTest_ || r.port < 1 || r.port > 9 || r.testBaud == 0) {
        say("port test refused");
        return;
    }
    const std::int64_t now = nowMs();
    PortTest test;
    test.port = r.port;
    if (r.port == 9) {
        std::array<bool, 7> active{};
        for (int c = 1; c <= 7; ++c)
            active[c - 1] = setup_.analogSetting[c] == 1;
        if (std::none_of(active.begin(), active.end(), [](bool x) { return x; }))
            active.fill(true);
        test.analog = std::make_unique<AnalogChannels>(
            active, std::max<int>(1, setup_.analogRateHz), config_.seed);
        test.analog->restart(now);
    } else {
        // A port with no instrument set up still gets one on the bench: the CTD.
        test.instrument =
            makeInstrument(setup_.meterType[r.port], r.testBaud, r.port, config_.seed);
        if (!test.instrument)
            test.instrument = makeInstrument(3, r.testBaud, r.port, config_.seed);
        test.instrument->restart(now);
    }
    say(cformat("port test: port %d at %u baud", r.port, r.testBaud));
    sendText(cformat("\r\nSIMULATED port test: port %d at %u baud\r\n", r.port, r.testBaud));
    portTest_ = std::move(test);
}

void SimLogger::sendDirectory() {
    if (!isIdle(state()) || portTest_) {
        say("directory request ignored: not in standby");
        return;
    }
    for (const auto& run : memory_.runs()) {
        send(packetOf(encodeDirectoryEntry(run.entry)));
        ++counters_.directoryEntries;
    }
    say(cformat("directory: %zu runs", memory_.runs().size()));
}

void SimLogger::startUpload(int runNumber) {
    // A repeated request for a run restarts it: the host starts its file again too.
    if (!(isIdle(state()) || upload_.active()) || portTest_) {
        say("upload request ignored: not in standby");
        return;
    }
    const StoredRun* run = memory_.find(runNumber);
    // An unknown run is answered with the end block at once, so the host is not left waiting.
    std::vector<std::uint8_t> file = run ? run->file : std::vector<std::uint8_t>{};
    say(cformat("upload of run %d, %zu bytes", runNumber, file.size()));
    send(upload_.begin(std::move(file), nowMs()));
    ++counters_.uploadBlocks;
}

void SimLogger::finishUpload() {
    const auto outcome = upload_.outcome();
    say(outcome == UploadSender::Outcome::Complete    ? "upload complete"
        : outcome == UploadSender::Outcome::Cancelled ? "upload cancelled"
                                                      : "upload abandoned: no acknowledgement");
    counters_.uploadResends += upload_.resends();
    upload_.abandon();
    idleState_ = LoggerState::Standby;
}

void SimLogger::clearMemory() {
    if (clearDoneMs_)
        return;
    halt();
    say("clearing memory");
    clearDoneMs_ = nowMs() + config_.clearMemoryMs;
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
        Pending pending;
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

// ---- The clock --------------------------------------------------------------------------------

std::int16_t SimLogger::batteryMillivolts() const {
    // A fresh pack, sagging a millivolt every five seconds of sampling.
    return static_cast<std::int16_t>(
        std::max(9000.0, kFreshBatteryMillivolts - batteryDrawnMillivolts_));
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

void SimLogger::collectInstrumentData(std::int64_t now) {
    const std::int64_t seconds = loggerSeconds();
    for (int p = 0; p < 8; ++p) {
        if (instruments_[p])
            instruments_[p]->produce(now, seconds, pending_[p]);
    }
    analog_->produce(now, pending_[8]);
    for (auto& p : pending_) {
        if (p.size() > kMaxPendingPerPort)
            p.erase(p.begin(), p.end() - kMaxPendingPerPort);
    }
}

void SimLogger::sendDataPacket(bool allowData) {
    DataPacketFields f;
    f.format = 1;
    f.timeUnit = 0;  // the time stamp counts seconds
    f.unit = static_cast<std::uint8_t>(loggerId_);
    f.sequence = sequence_;
    f.timeStamp = static_cast<std::uint32_t>(loggerSeconds());
    std::array<std::uint32_t, 9> taken{};
    Pending none;
    const Packet packet = takeDataPacket(allowData ? pending_ : none, f, kMaxPacketPayload, taken);
    ++sequence_;
    const bool keepAlive = packet.size() == kDataOverheadLength;
    if (keepAlive) {
        ++counters_.keepAlives;
    } else {
        ++counters_.dataPackets;
        for (int p = 0; p < 9; ++p)
            bytesThisSecond_[p] += taken[p];
        if (recorder_) {
            if (!memory_.fits(recorder_->size() + packet.size() + kRunClosingReserve)) {
                endRun("memory full");
                return;
            }
            recorder_->appendDataPacket(packet);
        }
    }
    // What goes on the line depends on the output format; the run keeps everything.
    const int format = setup_.outputFormat;
    if (format == 0)
        return;  // status only
    if (keepAlive || format == 1 || format == 2) {
        send(packet);
    } else if (format == 3) {
        send(onlyPort(packet, 8));
    } else if (format >= 4 && format <= 11) {
        send(onlyPort(packet, format - 4));
    }
}

LoggerStatus SimLogger::buildStatus() const {
    const std::int64_t now = nowMs();
    const LoggerState st = state();
    LoggerStatus s;
    s.statusCode = static_cast<std::int16_t>(st);
    s.runNumber = runNumber_;
    s.loggerClock = static_cast<std::int32_t>(loggerSeconds());
    if (clearDoneMs_) {
        s.timeLeftSeconds = static_cast<std::int32_t>(
            std::max<std::int64_t>(0, (*clearDoneMs_ - now + 999) / 1000));
    } else if (schedule_.running()) {
        s.timeLeftSeconds = static_cast<std::int32_t>(schedule_.timeLeftSeconds(now));
    }
    s.serialNumber = static_cast<std::int16_t>(readLe16(hardware_, hardware_offset::kSerialNumber));
    s.deviceType = static_cast<std::int16_t>(deviceType());
    s.loggerId = static_cast<std::int16_t>(loggerId_);
    for (int p = 1; p <= 8; ++p) {
        if (setup_.meterType[p] != 0)
            s.serialPortMask |= static_cast<std::uint16_t>(1u << (p - 1));
        if (setup_.meterType[p] == 8)
            s.serialPortMask |= 1u << 9;  // remote host on
    }
    for (int c = 1; c <= 7; ++c) {
        const auto v = setup_.analogSetting[c];
        if (v == 1 || v == 2)
            s.analogMask |= static_cast<std::uint16_t>(1u << (c - 1));
        if (v == 1)
            s.analogThousandths[c] = analog_->millivolts(c, now);
    }
    for (int i = 0; i < 4; ++i) {
        if (setup_.pumpSetting[i] != 0)
            s.pumpMask |= static_cast<std::uint16_t>(1u << i);
    }
    for (int p = 1; p <= 8; ++p)
        s.portValues[p] = ratesShown_[p - 1];
    // Relays are powered while the instruments work: from Pre-Flush to the end of Sampling.
    const bool powered = st == LoggerState::PreFlush || st == LoggerState::Warmup ||
                         st == LoggerState::Flush || st == LoggerState::Sampling;
    if (powered) {
        for (int p = 1; p <= 8; ++p) {
            if (setup_.meterType[p] == 0)
                continue;
            const int relay = readLe16(hardware_, hardware_offset::kRelay + 2 * p);
            if (relay >= 1 && relay <= 8)
                s.powerFlags |= static_cast<std::uint16_t>(1u << (relay - 1));
        }
    }
    s.voltages = {batteryMillivolts(), runStartMillivolts_, runEndMillivolts_};
    const int runStopSwitch = readLe16(hardware_, hardware_offset::kRunStopSwitch);
    s.runStopSwitch = runStopSwitch == 0 ? 0 : (schedule_.running() ? 2 : 1);
    const auto counts = recorder_ ? recorder_->byteCounts() : lastRunCounts_;
    for (int p = 1; p <= 8; ++p)
        s.portRunBytes[p] = static_cast<std::int32_t>(counts[p]);
    s.analogRunBytes = static_cast<std::int32_t>(counts[0]);
    s.otherRunBytes =
        static_cast<std::int32_t>(recorder_ ? recorder_->otherBytes() : lastRunOther_);
    const std::size_t inProgress = recorder_ ? recorder_->size() : 0;
    s.freeMemoryBytes = static_cast<std::int32_t>(
        memory_.freeBytes() - std::min<std::size_t>(inProgress, memory_.freeBytes()));
    s.totalMemoryBytes = static_cast<std::int32_t>(memory_.totalBytes());
    s.firmwareVersion = (static_cast<std::uint32_t>(config_.firmwareMajor) << 28) |
                        (static_cast<std::uint32_t>(config_.firmwareMinor) << 20);
    return s;
}

void SimLogger::sendStatus() {
    for (int p = 1; p <= 8; ++p) {
        ratesShown_[p - 1] =
            static_cast<std::int16_t>(std::min<std::uint32_t>(bytesThisSecond_[p - 1], 32767));
    }
    bytesThisSecond_ = {};
    if (portTest_)
        return;  // the line carries the instrument's own text
    const LoggerState st = state();
    // "Real Time Data" alone leaves the status out while the logger samples.
    if (setup_.outputFormat == kOutputRealTimeData && st == LoggerState::Sampling)
        return;
    const auto record = encodeStatusRecord(buildStatus());
    send(Packet(record.begin(), record.end()));
    ++counters_.statusRecords;
}

void SimLogger::update() {
    const std::int64_t now = nowMs();
    lastUpdateMs_ = now;

    if (clearDoneMs_ && now >= *clearDoneMs_) {
        clearDoneMs_.reset();
        memory_.clear();
        runNumber_ = -1;
        lastRunCounts_ = {};
        lastRunOther_ = 0;
        idleState_ = LoggerState::Standby;
        send(buildFlashStatus(0));
        say("memory cleared");
    }

    if (schedule_.running()) {
        const LoggerState phase = schedule_.phase();
        if (phase != LoggerState::Sleeping && phase != LoggerState::Delay) {
            batteryDrawnMillivolts_ += static_cast<double>(now - batteryAccountedMs_) / 5000.0;
        }
    }
    batteryAccountedMs_ = now;

    if (schedule_.running()) {
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

    if (portTest_) {
        std::vector<std::uint8_t> text;
        if (portTest_->instrument)
            portTest_->instrument->produce(now, loggerSeconds(), text);
        if (portTest_->analog)
            portTest_->analog->produce(now, text);
        if (!text.empty())
            output_.push_back({std::move(text), false});
    }

    const std::int64_t periodMs = 1000 / config_.packetRateHz;
    if (now >= nextPacketMs_) {
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

    if (recorder_ && now >= nextBatteryMs_) {
        const auto seconds = static_cast<std::uint32_t>(loggerSeconds());
        recorder_->appendBattery(seconds, batteryMillivolts());
        recorder_->appendTimeStamp(seconds);
        nextBatteryMs_ = now + kBatteryRecordMs;
    }

    if (auto block = upload_.onTimer(now)) {
        say(cformat("no acknowledgement: block %u again", upload_.currentBlock()));
        send(std::move(*block));
    }
    if (upload_.outcome() == UploadSender::Outcome::GaveUp)
        finishUpload();

    if (now >= nextStatusMs_) {
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
