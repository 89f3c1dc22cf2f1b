#include "link/command_frames.h"

#include <string>

#include "base/checksum.h"
#include "link/serial_port_table.h"

namespace cvh {

CommandFrame buildCommandFrame(CommandCode code, std::uint32_t argumentA, std::uint16_t argumentB) {
    CommandFrame frame{};
    frame[0] = 2;
    frame[1] = 2;
    writeLe16(frame, command_frame::kCode, static_cast<std::uint16_t>(code));
    writeLe32(frame, command_frame::kArgumentA, argumentA);
    writeLe16(frame, command_frame::kArgumentB, argumentB);
    storeChecksum(frame);
    return frame;
}

std::optional<PortTestFrame> buildPortTestFrame(int port, int testChoice, int hostChoice) {
    const auto test = lineChoiceParameters(testChoice);
    const auto host = lineChoiceParameters(hostChoice);
    if (port < 1 || port > 9 || !test || !host)
        return std::nullopt;
    PortTestFrame frame{};
    frame[0] = port_test_frame::kType;
    frame[1] = port_test_frame::kType;
    writeBe16(frame, port_test_frame::kPort, static_cast<std::uint16_t>(port));
    writeBe32(frame, port_test_frame::kTestBaud, test->baud);
    writeBe32(frame, port_test_frame::kHostBaud, host->baud);
    writeBe16(frame, port_test_frame::kTestParity, test->parity);
    writeBe16(frame, port_test_frame::kHostParity, host->parity);
    writeBe16(frame, port_test_frame::kTestDataBits, test->dataBits);
    writeBe16(frame, port_test_frame::kHostDataBits, host->dataBits);
    storeChecksum(frame);
    return frame;
}

void LoggerCommands::sendCommand(CommandCode code, std::uint32_t argumentA,
                                 std::uint16_t argumentB) {
    const CommandFrame frame = buildCommandFrame(code, argumentA, argumentB);
    ports_.writePort(kLoggerSlot, frame.data(), frame.size());
}

void LoggerCommands::sendRecord(Bytes bytes) {
    ports_.writePort(kLoggerSlot, bytes.data(), bytes.size());
}

void LoggerCommands::sendText(std::string_view text) {
    ports_.writePort(kLoggerSlot, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

void LoggerCommands::sendStop(int hostPortChoice) {
    if (hostPortChoice == 5 || hostPortChoice == 7) {
        sendText(kStop7E1Text);
        return;
    }
    sendCommand(CommandCode::Stop);
    sendText(kBreakText);
}

bool LoggerCommands::confirmClearMemory() {
    if (operator_.askYesNo("Clear Memory", "Are you sure you want to clear the flash memory?",
                           Icon::Exclamation, false) != Answer::Yes)
        return false;
    sendCommand(CommandCode::ClearMemory, 0, 1);
    return true;
}

bool LoggerCommands::confirmResetToMonitor() {
    if (operator_.askOkCancel(
            "Data Logger Monitor",
            "Are you sure you want cease operation and exit to the Monitor Program?",
            Icon::Exclamation, true) != Answer::Ok)
        return false;
    sendCommand(CommandCode::ResetToMonitor);
    return true;
}

bool LoggerCommands::confirmLoadDefaultFlashSetup() {
    if (operator_.askOkCancel("Reset the Data Logger to it's Default Settings",
                              "The current operation will be halted and the current settings "
                              "will be erased.\n\nAre you sure you want to Reset to the default "
                              "settings?",
                              Icon::Exclamation, true) != Answer::Ok)
        return false;
    sendCommand(CommandCode::LoadDefaultFlashSetup);
    return true;
}

}  // namespace cvh
