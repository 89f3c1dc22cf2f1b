// What the logger reports of itself: the status record once a second, and the summary that
// closes a run.
#include <algorithm>

#include "logger_limits.h"
#include "sim_logger.h"

namespace cvh::sim {

namespace {

constexpr std::array<std::int32_t, 3> kFirmwareDate{1, 15, 26};

}  // namespace

std::int16_t SimLogger::batteryMillivolts() const {
    // A fresh pack, sagging a millivolt every five seconds of sampling.
    return static_cast<std::int16_t>(
        std::max(9000.0, kFreshBatteryMillivolts - batteryDrawnMillivolts_));
}

std::array<std::uint32_t, 9> SimLogger::runByteCounts() const {
    return recorder_ ? recorder_->byteCounts() : lastRunCounts_;
}

std::size_t SimLogger::freeMemoryBytes() const {
    const std::size_t inProgress = recorder_ ? recorder_->size() : 0;
    return memory_.freeBytes() - std::min<std::size_t>(inProgress, memory_.freeBytes());
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
    const auto counts = runByteCounts();
    for (int p = 1; p <= 8; ++p)
        s.portRunBytes[p] = static_cast<std::int32_t>(counts[p]);
    s.analogRunBytes = static_cast<std::int32_t>(counts[0]);
    s.otherRunBytes =
        static_cast<std::int32_t>(recorder_ ? recorder_->otherBytes() : lastRunOther_);
    s.freeMemoryBytes = static_cast<std::int32_t>(freeMemoryBytes());
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
    const auto counts = runByteCounts();
    for (int i = 0; i < 9; ++i)
        s.recordedBytes[i] = static_cast<std::int32_t>(counts[i]);
    s.freeDiskBytes = static_cast<std::int32_t>(freeMemoryBytes());
    s.totalDiskBytes = static_cast<std::int32_t>(memory_.totalBytes());
    s.firmwareMajor = config_.firmwareMajor;
    s.firmwareMinor = config_.firmwareMinor;
    for (int i = 0; i < 3; ++i)
        s.firmwareDate[i] = kFirmwareDate[i];
    return s;
}

}  // namespace cvh::sim
