// The logger status record (type 3, 132 bytes, little-endian): what the logger is doing, its
// clock, identity, port masks, voltages and the byte counts of the current run. One layout
// list drives both decoding (the console) and encoding (the simulator).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "base/bytes.h"
#include "link/packet_types.h"

namespace cvh {

using StatusRecordBytes = std::array<std::uint8_t, kStatusPacketLength>;

// What the logger is doing, as its status record says. A code not listed keeps its value; the
// status page shows it as invalid.
enum class OperationCode : std::int16_t {
    Off = 0,
    Delay = 2,
    PreFlush = 3,
    Warmup = 4,
    Flush = 5,
    Sampling = 6,
    ClearMemory = 7,
    Sleeping = 8,
    Standby = 9,
    Upload = 10,
    LowVoltage = 13,
    EightVoltLimit = 14,
    ManualSwitch = 16,
    LowPower = 17,
    ZeroVoltCutoff = 27,
    EndOfRun = 30,
};

struct LoggerStatus {
    std::int16_t statusCode = 0;   // an OperationCode; see statusCodeText
    std::int16_t runNumber = -1;   // negative: no current run
    std::int32_t loggerClock = 0;  // logger seconds since 1970 in the logger's local time
    std::int32_t timeLeftSeconds = 0;
    std::int16_t serialNumber = 0;
    std::int16_t deviceType = 0;               // 1, 2, 3: the three logger models
    std::int16_t loggerId = 0;                 // valid 1..254
    std::uint16_t serialPortMask = 0;          // bits 0..7 ports 1..8 shown, bit 9 remote host on
    std::uint16_t analogMask = 0;              // bits 0..6 analog channels 1..7 shown
    std::uint16_t pumpMask = 0;                // bits 0..3 pump ports 1..4 shown
    std::array<std::int16_t, 9> portValues{};  // index 1..8 = serial ports 1..8
    std::uint16_t powerFlags = 0;
    std::array<std::int16_t, 3> voltages{};
    std::int16_t runStopSwitch = 0;
    std::array<std::int16_t, 8> analogThousandths{};  // index 1..7 = analog channels 1..7
    std::array<std::int32_t, 9> portRunBytes{};       // index 1..8 = serial ports 1..8
    std::int32_t analogRunBytes = 0;
    std::int32_t otherRunBytes = 0;  // with the nine above: the current run's size
    std::int32_t freeMemoryBytes = 0;
    std::int32_t totalMemoryBytes = 0;
    std::uint32_t firmwareVersion = 0;  // packed bit fields

    bool operator==(const LoggerStatus&) const = default;
};

// Offsets of the fields the link itself uses.
namespace status_record {
inline constexpr std::size_t kStatusCode = 4;
inline constexpr std::size_t kLoggerClock = 8;
}  // namespace status_record

// Nothing when fewer than 132 bytes are given. Type bytes and checksum are the framer's concern.
std::optional<LoggerStatus> decodeStatusRecord(Bytes record);
// A whole type-3 packet: type bytes 3, 3, the fields, checksum; unlisted bytes are 0.
StatusRecordBytes encodeStatusRecord(const LoggerStatus& status);

// The status page's text for a status code: "OFF", "Delay", ... or "Invalid Status %02x".
std::string statusCodeText(int code);
// "Standby" and "End of Run": the idle states in which directory, tests and uploads are allowed.
bool isIdleStatus(int code);
// Standby, Upload and End of Run: the logger answers a request for its setup.
bool takesSetupRequests(OperationCode code);

}  // namespace cvh
