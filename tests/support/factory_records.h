// Hardware configurations and analog calibrations as a logger sends them.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "base/bytes.h"
#include "base/checksum.h"
#include "config/analog_calibration.h"
#include "config/hardware_config.h"

namespace cvh::test {

// Valid records as a logger sends them, with random bytes where the host interprets nothing.
inline std::vector<std::uint8_t> randomHardwareRecord(std::mt19937& rng) {
    auto pick = [&](int count) { return static_cast<std::uint16_t>(rng() % count); };
    std::vector<std::uint8_t> b(kHardwareRecordLength);
    b[0] = b[1] = 7;
    writeLe16(b, hardware_offset::kSerialNumber, static_cast<std::uint16_t>(1 + rng() % 1000));
    writeLe16(b, hardware_offset::kDeviceType, pick(kDeviceTypeCount));
    writeLe16(b, hardware_offset::kStatusLed, pick(kStatusLedCount));
    writeLe16(b, hardware_offset::kRunStopSwitch, pick(kRunStopSwitchCount));
    writeLe32(b, hardware_offset::kRetained10, static_cast<std::uint32_t>(rng()));
    for (int e = 0; e < kRelayEntryCount; ++e)
        if (isRelayPortEntry(e))
            writeLe16(b, hardware_offset::kRelay + 2 * e, pick(kRelayChoiceCount));
    storeChecksum(b);
    return b;
}

inline std::vector<std::uint8_t> randomCalibrationRecord(std::mt19937& rng) {
    std::vector<std::uint8_t> b(kCalibrationRecordLength);
    b[0] = b[1] = 6;
    writeLe16(b, calibration_offset::kFixedCount, 15);
    writeLe32(b, calibration_offset::kFixedOne, 1);
    for (int ch = 0; ch < kCalibrationChannelCount; ++ch) {
        writeLe16(b, calibration_offset::kOffset + 2 * ch,
                  static_cast<std::uint16_t>(rng() % 32701));
        writeLe16(b, calibration_offset::kScale + 2 * ch,
                  static_cast<std::uint16_t>(1 + rng() % 32700));
    }
    storeChecksum(b);
    return b;
}

}  // namespace cvh::test
