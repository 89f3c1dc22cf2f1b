#include "config/hardware_config.h"

#include <algorithm>

namespace cvh {

namespace {

int listIndex(std::uint16_t value, int count) {
    return value < count ? value : -1;
}

}  // namespace

LoggerIdentity hardwareIdentity(const HardwareConfig& record) {
    return {std::max(0, static_cast<int>(static_cast<std::int16_t>(record.serialNumber))),
            static_cast<std::int16_t>(record.deviceType)};
}

HardwareForm hardwareFormFrom(const HardwareConfig& record) {
    HardwareForm f;
    f.deviceType = listIndex(record.deviceType, kDeviceTypeCount);
    f.serialNumber = std::min(hardwareIdentity(record).serialNumber, kSerialNumberMax);
    f.statusLed = listIndex(record.statusLed, kStatusLedCount);
    f.runStopSwitch = listIndex(record.runStopSwitch, kRunStopSwitchCount);
    for (int e = 0; e < kRelayEntryCount; ++e)
        f.relay[e] = isRelayPortEntry(e) ? listIndex(record.relay[e], kRelayChoiceCount) : 0;
    return f;
}

HardwareConfig hardwareConfigFrom(const HardwareForm& form) {
    HardwareConfig h;
    h.deviceType = static_cast<std::uint16_t>(form.deviceType);
    h.serialNumber = static_cast<std::uint16_t>(form.serialNumber);
    h.statusLed = static_cast<std::uint16_t>(form.statusLed);
    h.runStopSwitch = static_cast<std::uint16_t>(form.runStopSwitch);
    for (int e = 0; e < kRelayEntryCount; ++e)
        h.relay[e] = isRelayPortEntry(e) ? static_cast<std::uint16_t>(form.relay[e]) : 0;
    return h;
}

}  // namespace cvh
