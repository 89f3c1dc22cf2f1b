#include "logger_records.h"

#include "base/checksum.h"
#include "link/command_frames.h"

namespace cvh::sim {

Packet buildFlashStatus(std::int16_t indicator) {
    const auto code = static_cast<CommandCode>(static_cast<std::uint16_t>(indicator));
    return packetOf(buildCommandFrame(code));
}

HardwareRecord defaultHardwareRecord(int deviceType, int serialNumber) {
    HardwareRecord r{};
    r[0] = r[1] = 7;
    writeLe16(r, hardware_offset::kSerialNumber, static_cast<std::uint16_t>(serialNumber));
    writeLe16(r, hardware_offset::kDeviceType, static_cast<std::uint16_t>(deviceType));
    writeLe16(r, hardware_offset::kStatusLed, 2);      // direct status LED
    writeLe16(r, hardware_offset::kRunStopSwitch, 0);  // no switch
    // Serial ports on relays 1..8, the analog inputs self powered, pumps on no relay.
    for (int port = 1; port <= 8; ++port) {
        writeLe16(r, hardware_offset::kRelay + 2 * port, static_cast<std::uint16_t>(port));
    }
    for (int entry = 10; entry <= 16; ++entry)
        writeLe16(r, hardware_offset::kRelay + 2 * entry, 9);
    storeChecksum(r);
    return r;
}

CalibrationRecord defaultCalibrationRecord() {
    CalibrationRecord r{};
    r[0] = r[1] = 6;
    writeLe16(r, 2, 15);  // channel count field, as every calibration carries
    writeLe32(r, 4, 1);
    for (int ch = 0; ch < 8; ++ch) {
        writeLe16(r, 8 + 2 * ch, ch == 0 ? 200 : 150);    // counts at 0 V
        writeLe16(r, 24 + 2 * ch, ch == 0 ? 790 : 5325);  // counts per volt
    }
    storeChecksum(r);
    return r;
}

}  // namespace cvh::sim
