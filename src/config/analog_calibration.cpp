#include "config/analog_calibration.h"

#include <algorithm>

#include "base/cformat.h"

namespace cvh {

namespace {

// The values before any calibration is received or loaded.
constexpr int kBatteryOffset = 200;
constexpr int kBatteryScale = 790;
constexpr int kChannelOffset = 150;
constexpr int kChannelScale = 5325;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

AnalogForm::AnalogForm() {
    for (int ch = 0; ch < kCalibrationChannelCount; ++ch) {
        offset[ch] = std::to_string(ch == 0 ? kBatteryOffset : kChannelOffset);
        scale[ch] = std::to_string(ch == 0 ? kBatteryScale : kChannelScale);
    }
}

AnalogForm analogFormFrom(const AnalogCalibration& record) {
    AnalogForm f;
    for (int ch = 0; ch < kCalibrationChannelCount; ++ch) {
        f.offset[ch] = cformat("%5d", record.offset[ch]);
        f.scale[ch] = cformat("%5d", record.scale[ch]);
    }
    return f;
}

std::optional<long> parseCalibrationNumber(std::string_view text) {
    constexpr long kSaturated = 1000000000L;
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    const std::size_t firstDigit = i;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(kSaturated, value * 10 + (text[i] - '0'));
    if (i == firstDigit)
        return std::nullopt;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i != text.size())
        return std::nullopt;
    return negative ? -value : value;
}

std::string calibrationChannelName(int channel) {
    if (channel == 0)
        return "Battery Voltage";
    return cformat("Port %d: Analog %d", channel + 8, channel);
}

BuiltCalibration analogCalibrationFrom(const AnalogForm& form) {
    AnalogCalibration c;
    c.fixedCount = kCalibrationFixedCount;
    c.fixedOne = kCalibrationFixedOne;
    c.spare = 0;
    for (int ch = 0; ch < kCalibrationChannelCount; ++ch) {
        const auto offset = parseCalibrationNumber(form.offset[ch]);
        if (!offset)
            return {std::nullopt, {ch, false}};
        const auto scale = parseCalibrationNumber(form.scale[ch]);
        if (!scale)
            return {std::nullopt, {ch, true}};
        c.offset[ch] =
            static_cast<std::uint16_t>(std::clamp<long>(*offset, kOffsetMin, kCalibrationMax));
        c.scale[ch] =
            static_cast<std::uint16_t>(std::clamp<long>(*scale, kScaleMin, kCalibrationMax));
    }
    return {c, {}};
}

}  // namespace cvh
