// The host's operating modes: what the operator chose to do with the logger. The host setup file
// stores the value as a number, and a number read from a file may be any 16-bit value, so the
// enumeration holds values outside the named ones too (they arrange nothing).
#pragma once

#include <cstdint>

namespace cvh {

enum class HostMode : std::int16_t {
    None = -1,  // started without a host setup file
    Invalid = 0,
    Analog = 1,
    Moored = 2,
    Profile = 3,
    RealTimeOutput = 4,
    Advanced = 5,
    Phi3 = 6,
    Kb5PassThru = 7,
    PcLogger = 8,
};

constexpr int hostModeNumber(HostMode mode) {
    return static_cast<int>(mode);
}

// The moored host modes, which show the sample interval and Sleep.
constexpr bool isMooredHostMode(HostMode mode) {
    return mode == HostMode::Moored || mode == HostMode::Advanced;
}

}  // namespace cvh
