// What the logger does with each request from the host: commands, records to take, port tests
// and the texts of the polled modes.
#include <algorithm>

#include "base/cformat.h"
#include "link/command_frames.h"
#include "sim_logger.h"

namespace cvh::sim {

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
    switch (static_cast<CommandCode>(code)) {
        case CommandCode::Stop:
            stopOnRequest();
            break;
        case CommandCode::BeginSample:
            beginSample();
            break;
        case CommandCode::LoadDefaultHardware:
            loadDefaultHardware();
            break;
        case CommandCode::SetLoggerId:
            setLoggerId(b);
            break;
        case CommandCode::Sleep:
            sleepUntil(a);
            break;
        case CommandCode::GetHardware:
            send(packetOf(hardware_));
            break;
        case CommandCode::AcknowledgeBlock:
            acknowledgeBlock(a, b);
            break;
        case CommandCode::GetSetup:
            sendSetup();
            break;
        case CommandCode::GetAnalogCalibration:
            send(packetOf(calibration_));
            break;
        case CommandCode::SetTime:
            setClock(a);
            break;
        case CommandCode::LoadDefaultFlashSetup:
            loadDefaultSetup();
            break;
        case CommandCode::ResetToMonitor:
            resetToMonitor();
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

void SimLogger::stopOnRequest() {
    say("Stop");
    halt();
}

void SimLogger::loadDefaultHardware() {
    if (!isIdle(state()))
        return;
    say("default hardware, calibration and logger ID loaded");
    hardware_ = defaultHardwareRecord(config_.deviceType, config_.serialNumber);
    calibration_ = defaultCalibrationRecord();
    loggerId_ = config_.loggerId;
}

void SimLogger::setLoggerId(std::uint16_t id) {
    if (id <= 254) {
        say(cformat("logger ID %d", id));
        loggerId_ = id;
    }
}

void SimLogger::acknowledgeBlock(std::uint32_t answer, std::uint16_t blockNumber) {
    if (auto next = upload_.onAck(answer, blockNumber, nowMs())) {
        ++counters_.uploadBlocks;
        send(std::move(*next));
    }
    if (upload_.outcome() == UploadSender::Outcome::Complete ||
        upload_.outcome() == UploadSender::Outcome::Cancelled) {
        finishUpload();
    }
}

void SimLogger::sendSetup() {
    const Bytes record = setupSnapshot_.bytes();
    send(Packet(record.begin(), record.end()));
}

void SimLogger::setClock(std::uint32_t newLoggerSeconds) {
    const std::int64_t before = loggerSeconds();
    clockOffsetSeconds_ =
        static_cast<std::int64_t>(newLoggerSeconds) - toLoggerTime(clock_, clock_.utcSeconds());
    say(cformat("clock set, moved %lld s", static_cast<long long>(loggerSeconds() - before)));
}

void SimLogger::loadDefaultSetup() {
    say("default setup loaded");
    halt();
    LoggerSetup s = defaultSimSetup(config_.hostBaud);
    setupSnapshot_.encode(s);
    applySetup(s);
    idleState_ = LoggerState::Standby;
}

void SimLogger::resetToMonitor() {
    say("reset to monitor");
    halt();
    idleState_ = LoggerState::Standby;
    sendText("\r\n*** cvlogger-sim: SIMULATED LOGGER monitor ***\r\n");
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

void SimLogger::startPortTest(const PortTestRequest& r) {
    if (!isIdle(state()) || portTest_ || r.port < 1 || r.port > 9 || r.testBaud == 0) {
        say("port test refused");
        return;
    }
    const std::int64_t now = nowMs();
    PortTest test;
    test.port = r.port;
    if (r.port == 9) {
        std::array<bool, 7> active = activeAnalogChannels(setup_);
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

}  // namespace cvh::sim
