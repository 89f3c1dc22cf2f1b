// The logger's 44-byte analog calibration: for the battery voltage (channel 0) and analog
// channels 1..7 (logger ports 9..15) the count reading at 0 volts (offset) and the counts per
// volt (scale). The same bytes travel as the type-6 packet, go back to the logger on Send, and
// make up an .alg file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/config_record.h"
#include "link/packet_types.h"

namespace cvh {

inline constexpr std::size_t kCalibrationRecordLength = kCalibrationPacketLength;
inline constexpr int kCalibrationChannelCount = 8;

// Byte offsets of the record, little-endian.
namespace calibration_offset {
inline constexpr std::size_t kMarker = 0;      // 06 06
inline constexpr std::size_t kFixedCount = 2;  // u16, 15 from the host
inline constexpr std::size_t kFixedOne = 4;    // u32, 1 from the host
inline constexpr std::size_t kOffset = 8;      // 8 x u16
inline constexpr std::size_t kScale = 24;      // 8 x u16
inline constexpr std::size_t kSpare = 40;      // u16, 0 from the host
inline constexpr std::size_t kChecksum = 42;
}  // namespace calibration_offset

struct AnalogCalibration {
    std::uint16_t fixedCount = 0;
    std::uint32_t fixedOne = 0;
    std::array<std::uint16_t, kCalibrationChannelCount> offset{};
    std::array<std::uint16_t, kCalibrationChannelCount> scale{};
    std::uint16_t spare = 0;

    template <class Self, class Visitor>
    static void visitLayout(Self& c, Visitor&& visit) {
        namespace o = calibration_offset;
        visit(o::kFixedCount, c.fixedCount);
        visit(o::kFixedOne, c.fixedOne);
        visit(o::kOffset, c.offset);
        visit(o::kScale, c.scale);
        visit(o::kSpare, c.spare);
    }
    bool operator==(const AnalogCalibration&) const = default;
};

using CalibrationRecord = ConfigRecord<AnalogCalibration, kCalibrationRecordLength, 6>;

// The words the host always writes where the logger keeps its own.
inline constexpr std::uint16_t kCalibrationFixedCount = 15;
inline constexpr std::uint32_t kCalibrationFixedOne = 1;
// Limits applied when building: a scale of 0 would divide by zero in the logger.
inline constexpr int kOffsetMin = 0;
inline constexpr int kScaleMin = 1;
inline constexpr int kCalibrationMax = 32700;

// What the Analog Calibration page holds: the text of each offset and scale edit.
struct AnalogForm {
    AnalogForm();
    std::array<std::string, kCalibrationChannelCount> offset;  // MEOffset0..7
    std::array<std::string, kCalibrationChannelCount> scale;   // MEScale0..7
    bool operator==(const AnalogForm&) const = default;
};

// The edits from a record: "%5d" of each value.
AnalogForm analogFormFrom(const AnalogCalibration& record);

// An edit's number: blanks around an optionally signed run of decimal digits. Nothing when the
// text holds no digits or anything else; very long numbers saturate (the limits follow).
std::optional<long> parseCalibrationNumber(std::string_view text);

// The edit whose text is not a number.
struct CalibrationEdit {
    int channel = 0;
    bool scale = false;
};
// "Battery Voltage", "Port 9: Analog 1" .. "Port 15: Analog 7".
std::string calibrationChannelName(int channel);

// The record from the page, every value limited, the fixed words as the host writes them; or
// the first edit (channel by channel, offset before scale) that holds no number.
struct BuiltCalibration {
    std::optional<AnalogCalibration> calibration;
    CalibrationEdit badEdit;
};
BuiltCalibration analogCalibrationFrom(const AnalogForm& form);

}  // namespace cvh
