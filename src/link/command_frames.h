// What the host writes to the logger: 12-byte command frames, the 24-byte port-test frame,
// whole configuration records and short texts. The logger never acknowledges; the host sees
// the effect in the packets that follow.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/bytes.h"
#include "base/operator.h"
#include "link/line_choices.h"
#include "link/packet_types.h"

namespace cvh {

class SerialPortTable;

// The slot of the logger port in the port table; every command goes there.
inline constexpr int kLoggerSlot = 0;

// Command codes: one byte value written twice.
enum class CommandCode : std::uint16_t {
    Stop = 0xA1A1,
    BeginSample = 0xA2A2,
    LoadDefaultHardware = 0xA4A4,   // hardware, calibration, logger ID and host interface
    SetLoggerId = 0xA6A6,           // B: new logger ID
    Sleep = 0xA7A7,                 // A: wake-up time, logger seconds
    GetHardware = 0xA8A8,           // answered by one type-7 packet
    AcknowledgeBlock = 0xA9A9,      // A: 1, or 2 to cancel; B: block number
    GetSetup = 0xACAC,              // answered by one type-1 packet
    GetAnalogCalibration = 0xADAD,  // answered by one type-6 packet
    SetTime = 0xAEAE,               // A: PC time, logger seconds
    LoadDefaultFlashSetup = 0xAFAF,
    ResetToMonitor = 0xB6B6,
    GetDirectory = 0xB8B8,  // answered by one type-5 packet per run
    UploadRun = 0xBABA,     // B: run number; answered by type-4 blocks
    ClearMemory = 0xBDBD,   // B: 1
};

using CommandFrame = std::array<std::uint8_t, kCommandFrameLength>;
using PortTestFrame = std::array<std::uint8_t, kPortTestFrameLength>;

// Fields of a command frame, all little-endian.
namespace command_frame {
inline constexpr std::size_t kCode = 2;
inline constexpr std::size_t kArgumentA = 4;
inline constexpr std::size_t kArgumentB = 8;
inline constexpr std::size_t kChecksum = 10;
}  // namespace command_frame

// The logger's type-2 flash-status frame has the command frame's layout, with its error
// indicator (signed; 0 = no bad flash operations) where a command carries its code.
namespace flash_status_frame {
inline constexpr std::size_t kIndicator = command_frame::kCode;
}  // namespace flash_status_frame

// Fields of the port-test frame, big-endian apart from the checksum in its last two bytes.
namespace port_test_frame {
inline constexpr std::uint8_t kType = 10;  // bytes 0 and 1
inline constexpr std::size_t kPort = 2;
inline constexpr std::size_t kTestBaud = 4;
inline constexpr std::size_t kHostBaud = 8;
inline constexpr std::size_t kTestParity = 12;
inline constexpr std::size_t kHostParity = 14;
inline constexpr std::size_t kTestDataBits = 16;
inline constexpr std::size_t kHostDataBits = 18;
}  // namespace port_test_frame

CommandFrame buildCommandFrame(CommandCode code, std::uint32_t argumentA = 0,
                               std::uint16_t argumentB = 0);

// The port-test frame (big-endian fields, little-endian checksum) for logger port 1..8, or 9 for
// the analog ports, with the line choices for the port under test and for the host port.
// Nothing when the port or a choice is out of range.
std::optional<PortTestFrame> buildPortTestFrame(int port, int testChoice, int hostChoice);

// The texts the logger understands besides frames.
inline constexpr std::string_view kStop7E1Text = "    STOP7E1STOP7E1";
inline constexpr std::string_view kBreakText = "    BREAKBREAKBREAK";
inline constexpr std::string_view kPolledWakeText = "      WAKE";
inline constexpr std::string_view kWakeText = " WAKE";
inline constexpr std::string_view kSleepText = "SLEEP";
inline constexpr std::string_view kLineEnd = "\r\n";

// Everything written to the logger port (slot 0). Writes to a closed port are dropped.
class LoggerCommands {
public:
    LoggerCommands(SerialPortTable& ports, Operator& op) : ports_(ports), operator_(op) {}

    void sendCommand(CommandCode code) { sendCommand(code, 0, 0); }
    void sendCommand(CommandCode code, std::uint32_t argumentA, std::uint16_t argumentB);
    // A prebuilt record or frame, unchanged.
    void sendRecord(Bytes bytes);
    void sendText(std::string_view text);

    // "Stop" and "Stop Test". With the logger's host port on a 7-bit even-parity choice
    // (5 or 7) the logger only understands the text; otherwise the frame, then the text.
    void sendStop(int hostPortChoice);

    // The confirmed commands; each returns whether it was sent.
    bool confirmClearMemory();
    bool confirmResetToMonitor();
    bool confirmLoadDefaultFlashSetup();

private:
    SerialPortTable& ports_;
    Operator& operator_;
};

}  // namespace cvh
