// The logger's 192-byte setup record: its layout, the lists that give its index values their
// meaning, and the conversions between the record and what the operator edits (a line choice per
// port, durations as a number plus a unit).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/bytes.h"
#include "link/line_choices.h"
#include "link/logger_mode.h"

namespace cvh {

inline constexpr std::size_t kSetupRecordLength = 192;
inline constexpr int kSetupPortSlots = 9;  // slot 0 is the logger's host port, 1..8 logger ports
inline constexpr int kLoggerPortCount = 8;
inline constexpr int kAnalogChannelCount = 7;
inline constexpr int kPumpPortCount = 4;

// Byte offsets of the record. Multi-byte fields are little-endian.
namespace setup_offset {
inline constexpr std::size_t kMarker = 0;  // 01 01
inline constexpr std::size_t kMode = 2;
inline constexpr std::size_t kRetained04 = 4;
inline constexpr std::size_t kOncePerHourMask = 8;
inline constexpr std::size_t kDelaySeconds = 12;
inline constexpr std::size_t kPreFlushSeconds = 16;
inline constexpr std::size_t kWarmUpSeconds = 20;
inline constexpr std::size_t kFlushSeconds = 24;
inline constexpr std::size_t kSampleSeconds = 28;
inline constexpr std::size_t kIntervalSeconds = 32;
inline constexpr std::size_t kBaud = 36;               // 9 x u32
inline constexpr std::size_t kMeterType = 72;          // 9 x u16
inline constexpr std::size_t kDataBits = 90;           // 9 x u16
inline constexpr std::size_t kParity = 108;            // 9 x u16
inline constexpr std::size_t kLowVoltageCutoff = 126;  // 9 x u16, tenths of a volt
inline constexpr std::size_t kAnalogSetting = 144;     // 8 x u16, entry 0 unused
inline constexpr std::size_t kPumpSetting = 160;       // 4 x u16
inline constexpr std::size_t kRetained168 = 168;
inline constexpr std::size_t kAnalogRateHz = 170;
inline constexpr std::size_t kOutputFormat = 172;
inline constexpr std::size_t kFileFormat = 174;
inline constexpr std::size_t kRetained176 = 176;
inline constexpr std::size_t kAutoStart = 180;
inline constexpr std::size_t kRetained182 = 182;
inline constexpr std::size_t kTimeSource = 186;
inline constexpr std::size_t kRetained188 = 188;
inline constexpr std::size_t kChecksum = 190;
}  // namespace setup_offset

// Bytes the host does not interpret; they go back to the logger as it last reported them.
struct RetainedField {
    std::size_t offset;
    std::size_t size;
};
inline constexpr std::array<RetainedField, 5> kRetainedSetupFields{{
    {setup_offset::kRetained04, 4},
    {setup_offset::kRetained168, 2},
    {setup_offset::kRetained176, 4},
    {setup_offset::kRetained182, 4},
    {setup_offset::kRetained188, 2},
}};

// The interpreted fields of the record.
struct LoggerSetup {
    std::uint16_t mode = 0;
    std::uint32_t oncePerHourMask = 0;
    std::uint32_t delaySeconds = 0;
    std::uint32_t preFlushSeconds = 0;
    std::uint32_t warmUpSeconds = 0;
    std::uint32_t flushSeconds = 0;
    std::uint32_t sampleSeconds = 0;
    std::uint32_t intervalSeconds = 0;
    std::array<std::uint32_t, kSetupPortSlots> baud{};
    std::array<std::uint16_t, kSetupPortSlots> meterType{};
    std::array<std::uint16_t, kSetupPortSlots> dataBits{};
    std::array<std::uint16_t, kSetupPortSlots> parity{};
    std::array<std::uint16_t, kSetupPortSlots> lowVoltageCutoff{};
    std::array<std::uint16_t, 8> analogSetting{};  // entry 0 unused, 1..7 analog channels
    std::array<std::uint16_t, kPumpPortCount> pumpSetting{};
    std::uint16_t analogRateHz = 0;
    std::uint16_t outputFormat = 0;
    std::uint16_t fileFormat = 0;
    std::uint16_t autoStart = 0;
    std::uint16_t timeSource = 0;

    LoggerMode loggerMode() const { return loggerModeOf(mode); }
    bool operator==(const LoggerSetup&) const = default;
};

// The one layout table of the record: every interpreted field with its offset. Decoding and
// encoding both walk it, so the two directions cannot drift apart. The visitor is called as
// visit(offset, field) with a uint16_t&, uint32_t& or std::array of them (consecutive entries).
template <class Setup, class Visitor>
void visitSetupLayout(Setup& s, Visitor&& visit) {
    namespace o = setup_offset;
    visit(o::kMode, s.mode);
    visit(o::kOncePerHourMask, s.oncePerHourMask);
    visit(o::kDelaySeconds, s.delaySeconds);
    visit(o::kPreFlushSeconds, s.preFlushSeconds);
    visit(o::kWarmUpSeconds, s.warmUpSeconds);
    visit(o::kFlushSeconds, s.flushSeconds);
    visit(o::kSampleSeconds, s.sampleSeconds);
    visit(o::kIntervalSeconds, s.intervalSeconds);
    visit(o::kBaud, s.baud);
    visit(o::kMeterType, s.meterType);
    visit(o::kDataBits, s.dataBits);
    visit(o::kParity, s.parity);
    visit(o::kLowVoltageCutoff, s.lowVoltageCutoff);
    visit(o::kAnalogSetting, s.analogSetting);
    visit(o::kPumpSetting, s.pumpSetting);
    visit(o::kAnalogRateHz, s.analogRateHz);
    visit(o::kOutputFormat, s.outputFormat);
    visit(o::kFileFormat, s.fileFormat);
    visit(o::kAutoStart, s.autoStart);
    visit(o::kTimeSource, s.timeSource);
}

// The host's single copy of the record. A received setup is stored whole; building a setup to
// send overwrites only the interpreted fields, so the retained bytes go back unchanged (zeros
// before any setup was received).
class SetupSnapshot {
public:
    // Stores a received type-1 packet; refuses anything not exactly one record long.
    bool store(Bytes packet);
    LoggerSetup decode() const;
    // Marker, interpreted fields, then the checksum over bytes 0..189.
    void encode(const LoggerSetup& setup);
    Bytes bytes() const { return bytes_; }
    MutableBytes mutableBytes() { return bytes_; }

private:
    std::array<std::uint8_t, kSetupRecordLength> bytes_{};
};

// Sum of `count` unsigned bytes, 16 bits; the checksum of every configuration record.
std::uint16_t setupChecksum(Bytes bytes, std::size_t count);

// ---- Value lists ----------------------------------------------------------------------------

inline constexpr int kModeCount = kLoggerModeCount;
extern const std::array<const char*, kModeCount> kModeTexts;  // ModeCB, in LoggerMode order

inline constexpr int kOutputFormatCount = 12;
extern const std::array<const char*, kOutputFormatCount> kOutputFormatTexts;  // OutputCB
inline constexpr int kOutputRealTimeData = 2;

inline constexpr int kFileFormatCount = 2;
extern const std::array<const char*, kFileFormatCount> kFileFormatTexts;  // FileCB

inline constexpr int kTimeSourceCount = 4;
extern const std::array<const char*, kTimeSourceCount> kTimeSourceTexts;  // TimeSourceCB

inline constexpr int kMeterTypeCount = 13;  // list entries; 13 ("CV-Logger") arrives only
extern const std::array<const char*, kMeterTypeCount> kMeterTypeTexts;  // ComboMeter1..8
inline constexpr int kMeterOff = 0;
inline constexpr int kMeterKb5 = 1;
inline constexpr int kMeterRmx = 2;
inline constexpr int kMeterBinary = 4;
inline constexpr int kMeterPump = 7;
// The short label the Data Status page shows for a meter type.
const char* meterPortLabel(int meterType);

// The logger models a status record or a hardware configuration names (0: none chosen).
enum class DeviceType : std::int16_t { None = 0, Kb5Plus = 1, Tq7 = 2, ExtQSpan = 3 };
// Two models have a built-in kb5 link on port 1: it runs at 19200 and the port modes name it.
constexpr bool hasKb5LinkOnPortOne(int deviceType) {
    const auto d = static_cast<DeviceType>(deviceType);
    return d == DeviceType::Kb5Plus || d == DeviceType::ExtQSpan;
}

// Port line choices: the twelve line settings plus "ON" for pump ports.
inline constexpr int kPortSetupCount = kLineChoiceCount + 1;
inline constexpr int kHostPortSetupCount = kLineChoiceCount;
inline constexpr int kPortSetupOn = kLineChoiceCount;
inline constexpr int kPortSetupOff = 0;
inline constexpr int kPortSetup9600 = 6;
inline constexpr int kPortSetup19200 = 8;
extern const std::array<const char*, kPortSetupCount> kPortSetupTexts;

// Analog channel lists (3 entries) and pump lists (2, or 12 for pump 4); channel and pump 1-based.
int analogSettingCount();
std::string analogSettingText(int channel, int index);
int pumpSettingCount(int pump);
std::string pumpSettingText(int pump, int index);

// ---- Conversions ----------------------------------------------------------------------------

// A port slot's line fields in the record: those of a line choice, or baud 0 with 7 data bits
// for a pump switched on.
using LineEncoding = LineParameters;

// A port slot's (baud, dataBits, parity) from its meter type and line choice. A pump port that
// is not "OFF" is switched on without a serial line; "ON" on any other port means "OFF".
LineEncoding encodePortSetup(int meterType, int choice);
// The line choice of a received (baud, dataBits); parity is not consulted.
int decodePortSetup(std::uint32_t baud, std::uint16_t dataBits);
// The host port has no "OFF" or "ON": those and unknown bauds become "9600".
int decodeHostPortSetup(std::uint32_t baud, std::uint16_t dataBits);

inline constexpr int kDurationUnitCount = 3;
enum DurationUnit : int { kUnitSeconds = 0, kUnitMinutes = 1, kUnitHours = 2 };
extern const std::array<const char*, kDurationUnitCount> kDurationUnitTexts;
std::uint32_t unitMultiplier(int unit);

struct UnitValue {
    std::int64_t number = 0;
    int unit = kUnitSeconds;
    bool operator==(const UnitValue&) const = default;
};
// The largest unit that divides the value exactly; 0 is 0 seconds.
UnitValue secondsToUnitValue(std::uint32_t seconds);

// The six durations, in record order.
enum class Duration : int { Delay, PreWarmUpFlush, WarmUp, Flush, Sample, SampleInterval };
inline constexpr int kDurationCount = 6;

struct SpinRange {
    int min;
    int max;
    int step;
    int initial;
};
// Ranges of the numbers before the unit applies.
extern const std::array<SpinRange, kDurationCount> kDurationRanges;
extern const std::array<int, kDurationCount> kDurationInitialUnits;
inline constexpr SpinRange kLowVoltageRange{65, 140, 1, 65};  // tenths of a volt
inline constexpr SpinRange kAnalogRateRange{1, 20, 1, 1};     // Hz
int clampToRange(std::int64_t value, const SpinRange& range);

std::uint32_t& durationField(LoggerSetup& setup, Duration d);
std::uint32_t durationField(const LoggerSetup& setup, Duration d);

}  // namespace cvh
