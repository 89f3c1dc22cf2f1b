// The logger's 58-byte hardware configuration: what it is built into (device type, serial
// number, status LED, run/stop switch) and which relay powers each of its 19 ports. The same
// bytes travel as the type-7 packet, go back to the logger on Send, and make up a .hdw file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "config/config_record.h"
#include "link/packet_types.h"

namespace cvh {

inline constexpr std::size_t kHardwareRecordLength = kHardwarePacketLength;
inline constexpr int kRelayEntryCount = 21;

// Byte offsets of the record; every word little-endian u16.
namespace hardware_offset {
inline constexpr std::size_t kMarker = 0;  // 07 07
inline constexpr std::size_t kSerialNumber = 2;
inline constexpr std::size_t kDeviceType = 4;
inline constexpr std::size_t kStatusLed = 6;
inline constexpr std::size_t kRunStopSwitch = 8;
inline constexpr std::size_t kRetained10 = 10;  // 4 bytes, not interpreted; passed through
inline constexpr std::size_t kRelay = 14;       // 21 x u16
inline constexpr std::size_t kChecksum = 56;
}  // namespace hardware_offset
inline constexpr std::size_t kHardwareRetainedLength = 4;

struct HardwareConfig {
    std::uint16_t serialNumber = 0;
    std::uint16_t deviceType = 0;
    std::uint16_t statusLed = 0;
    std::uint16_t runStopSwitch = 0;
    // Relay list index per entry: 1..8 serial ports 1..8, 10..16 analog ports 9..15, 17..20 pump
    // ports 16..19; entries 0 and 9 stand for no port and are always 0.
    std::array<std::uint16_t, kRelayEntryCount> relay{};

    template <class Self, class Visitor>
    static void visitLayout(Self& h, Visitor&& visit) {
        namespace o = hardware_offset;
        visit(o::kSerialNumber, h.serialNumber);
        visit(o::kDeviceType, h.deviceType);
        visit(o::kStatusLed, h.statusLed);
        visit(o::kRunStopSwitch, h.runStopSwitch);
        visit(o::kRelay, h.relay);
    }
    bool operator==(const HardwareConfig&) const = default;
};

using HardwareRecord = ConfigRecord<HardwareConfig, kHardwareRecordLength, 7>;

// Entries of the value lists; a value at or beyond the count has no entry.
inline constexpr int kDeviceTypeCount = 4;     // "None Selected", "kb5Plus", "TQ7", "EXT Q-Span"
inline constexpr int kStatusLedCount = 3;      // "No Status LED" .. "Direct Status LED"
inline constexpr int kRunStopSwitchCount = 4;  // "No Switch" .. "Direct Input Switch"
inline constexpr int kRelayChoiceCount = 10;   // "None", "Relay 1".."Relay 8", "Self Powered"
inline constexpr int kSerialNumberMax = 1000;  // the serial number spinner's range is 0..1000

// The relay entries that carry a port, and the logger port (1..19) of each.
constexpr bool isRelayPortEntry(int entry) {
    return entry > 0 && entry < kRelayEntryCount && entry != 9;
}
constexpr int relayEntryPort(int entry) {
    return entry < 9 ? entry : entry - 1;
}
// The relay entry of serial port n (1..8), analog port n (1..7 = ports 9..15), pump n (1..4).
constexpr int serialRelayEntry(int n) {
    return n;
}
constexpr int analogRelayEntry(int n) {
    return 9 + n;
}
constexpr int pumpRelayEntry(int n) {
    return 16 + n;
}

// What the Hardware Configuration page holds: a selection per list (-1 = none) and the serial
// number spinner's position.
struct HardwareForm {
    int deviceType = -1;  // nothing chosen until a record is received, loaded or picked
    int serialNumber = 0;
    int statusLed = 0;
    int runStopSwitch = 0;
    std::array<int, kRelayEntryCount> relay{};  // indexed like HardwareConfig::relay

    bool operator==(const HardwareForm&) const = default;
};

// The identity a hardware record gives the logger: the serial number (read signed; below 0 it
// is 0) and the device type.
struct LoggerIdentity {
    int serialNumber = 0;
    int deviceType = 0;
    bool operator==(const LoggerIdentity&) const = default;
};
LoggerIdentity hardwareIdentity(const HardwareConfig& record);

// The page from a record: a value without a list entry leaves its list unselected, so Send
// refuses it rather than sending a value the operator cannot see; the serial number stands
// where its spinner can show it.
HardwareForm hardwareFormFrom(const HardwareConfig& record);
// The record from the page: each list's index (-1, unselected, as 0xFFFF, which reads back as
// unselected), the spinner's position, relay entries 0 and 9 always 0.
HardwareConfig hardwareConfigFrom(const HardwareForm& form);

}  // namespace cvh
