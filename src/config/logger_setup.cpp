#include "config/logger_setup.h"

#include <algorithm>

#include "base/checksum.h"
#include "link/record_fields.h"

namespace cvh {

bool SetupSnapshot::store(Bytes packet) {
    if (packet.size() != kSetupRecordLength)
        return false;
    std::copy(packet.begin(), packet.end(), bytes_.begin());
    return true;
}

LoggerSetup SetupSnapshot::decode() const {
    LoggerSetup s;
    visitSetupLayout(s, [&](std::size_t at, auto& field) { readLeField(bytes_, at, field); });
    return s;
}

void SetupSnapshot::encode(const LoggerSetup& setup) {
    bytes_[0] = 1;
    bytes_[1] = 1;
    visitSetupLayout(setup,
                     [&](std::size_t at, const auto& field) { writeLeField(bytes_, at, field); });
    storeChecksum(bytes_);
}

std::uint16_t setupChecksum(Bytes bytes, std::size_t count) {
    return byteSum16(bytes.first(std::min(count, bytes.size())));
}

const std::array<const char*, kModeCount> kModeTexts{
    "Profile Mode",      "Moored Mode",       "Real Time Mode",    "Analog Mode",
    "Run Logger Port 1", "Run Logger Port 2", "Run Logger Port 3", "Run Logger Port 4",
    "Run Logger Port 5", "Run Logger Port 6", "Run Logger Port 7", "Run Logger Port 8",
    "Polled Moored Mode"};

const std::array<const char*, kOutputFormatCount> kOutputFormatTexts{"Status",
                                                                     "Real Time Data + Status",
                                                                     "Real Time Data",
                                                                     "Analog Data",
                                                                     "Output Logger Port 1",
                                                                     "Output Logger Port 2",
                                                                     "Output Logger Port 3",
                                                                     "Output Logger Port 4",
                                                                     "Output Logger Port 5",
                                                                     "Output Logger Port 6",
                                                                     "Output Logger Port 7",
                                                                     "Output Logger Por 8"};

const std::array<const char*, kFileFormatCount> kFileFormatTexts{"No Data Storage",
                                                                 "CV Archive Files"};

const std::array<const char*, kTimeSourceCount> kTimeSourceTexts{
    "Internal - No Time Updates", "Host PC Time", "GPS Time", "GPS Time or Host PC  "};

const std::array<const char*, kMeterTypeCount> kMeterTypeTexts{
    "OFF",  "KB5",         "RMX",       "ASCII", "BINARY",  "LUX-G2",       "GPS",
    "Pump", "Remote Host", "HYD-52 SM", "PHI-S", "CV TEST", "Wake / Binary"};

const char* meterPortLabel(int meterType) {
    static constexpr std::array<const char*, 14> kLabels{
        "Off",  "kb5",         "rmx",   "ASCII", "Binary",  "LUX-G2",      "GPS",
        "Pump", "Remote Host", "HYD40", "PHI-S", "CV-Test", "Wake-Binary", "CV-Logger"};
    if (meterType < 0 || meterType >= static_cast<int>(kLabels.size()))
        return "OFF";
    return kLabels[static_cast<std::size_t>(meterType)];
}

const std::array<const char*, kPortSetupCount> kPortSetupTexts = [] {
    std::array<const char*, kPortSetupCount> texts{};
    std::copy(kLineChoiceTexts.begin(), kLineChoiceTexts.end(), texts.begin());
    texts[kPortSetupOn] = "ON";
    return texts;
}();

int analogSettingCount() {
    return 3;
}

std::string analogSettingText(int channel, int index) {
    if (index == 0)
        return "Analog " + std::to_string(channel) + " OFF";
    if (index == 1)
        return "Analog " + std::to_string(channel) + " ON";
    return "Pump ON";
}

int pumpSettingCount(int pump) {
    return pump == 4 ? 12 : 2;
}

std::string pumpSettingText(int pump, int index) {
    if (index == 0)
        return "Pump " + std::to_string(pump) + " OFF";
    if (index == 1)
        return "Pump " + std::to_string(pump) + " ON";
    return "Purge " + std::to_string((index - 1) * 500) + " ms";
}

LineEncoding encodePortSetup(int meterType, int choice) {
    // A pump is switched, not a serial line: "ON" is baud 0 with 7 data bits.
    static constexpr LineEncoding kPumpOn{0, 7, 0};
    const LineEncoding off = *lineChoiceParameters(0);
    if (meterType == kMeterPump)
        return choice == 0 ? off : kPumpOn;
    if (choice == kPortSetupOn)
        return off;
    return lineChoiceParameters(choice).value_or(*lineChoiceParameters(kPortSetup9600));
}

int decodePortSetup(std::uint32_t baud, std::uint16_t dataBits) {
    // Baud 0 is "OFF", or with 7 data bits a pump switched on.
    if (baud == 0)
        return dataBits == 8 ? 0 : kPortSetupOn;
    return lineSettingFor(baud, dataBits).value_or(kPortSetup9600);
}

int decodeHostPortSetup(std::uint32_t baud, std::uint16_t dataBits) {
    if (baud == 0)
        return kPortSetup9600;
    return decodePortSetup(baud, dataBits);
}

const std::array<const char*, kDurationUnitCount> kDurationUnitTexts{"Seconds", "Minutes", "Hours"};

std::uint32_t unitMultiplier(int unit) {
    switch (unit) {
        case kUnitMinutes:
            return 60;
        case kUnitHours:
            return 3600;
        default:
            return 1;
    }
}

UnitValue secondsToUnitValue(std::uint32_t seconds) {
    if (seconds == 0)
        return {0, kUnitSeconds};
    if (seconds % 3600 == 0)
        return {seconds / 3600, kUnitHours};
    if (seconds % 60 == 0)
        return {seconds / 60, kUnitMinutes};
    return {seconds, kUnitSeconds};
}

const std::array<SpinRange, kDurationCount> kDurationRanges{{
    {0, 100, 5, 5},    // Delay Before Start
    {0, 300, 5, 5},    // Pre-Warm Up Flush
    {0, 10000, 5, 5},  // Meter Warm Up
    {0, 300, 5, 5},    // Meter Flush
    {1, 10000, 5, 5},  // Sample
    {1, 10000, 5, 5},  // Sample Interval
}};

const std::array<int, kDurationCount> kDurationInitialUnits{
    kUnitSeconds, kUnitSeconds, kUnitSeconds, kUnitSeconds, kUnitSeconds, kUnitMinutes};

int clampToRange(std::int64_t value, const SpinRange& range) {
    return static_cast<int>(std::clamp<std::int64_t>(value, range.min, range.max));
}

std::uint32_t& durationField(LoggerSetup& s, Duration d) {
    switch (d) {
        case Duration::Delay:
            return s.delaySeconds;
        case Duration::PreWarmUpFlush:
            return s.preFlushSeconds;
        case Duration::WarmUp:
            return s.warmUpSeconds;
        case Duration::Flush:
            return s.flushSeconds;
        case Duration::Sample:
            return s.sampleSeconds;
        case Duration::SampleInterval:
            break;
    }
    return s.intervalSeconds;
}

std::uint32_t durationField(const LoggerSetup& s, Duration d) {
    return durationField(const_cast<LoggerSetup&>(s), d);
}

}  // namespace cvh
