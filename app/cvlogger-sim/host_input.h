// Turns the bytes the host writes to the logger into requests: command frames and the three
// configuration records through the link's packet framer (a command frame is laid out like a
// type-2 packet), and, beside it, the port-test frame and the texts the logger listens for
// ("BREAK", "STOP7E1", "WAKE", "SLEEP").
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "link/command_frames.h"
#include "link/packet_framer.h"

namespace cvh::sim {

struct PortTestRequest {
    int port = 0;  // 1..8, or 9 for the analog ports
    std::uint32_t testBaud = 0;
    std::uint32_t hostBaud = 0;
};

struct HostRequest {
    enum class Kind {
        Command,      // code, argumentA, argumentB
        Setup,        // record: 192 bytes
        Hardware,     // record: 58 bytes
        Calibration,  // record: 44 bytes
        PortTest,     // portTest
        StopText,     // "BREAK" or "STOP7E1"
        WakeText,
        SleepText,
    };
    Kind kind = Kind::Command;
    std::uint16_t code = 0;
    std::uint32_t argumentA = 0;
    std::uint16_t argumentB = 0;
    std::vector<std::uint8_t> record;
    PortTestRequest portTest;
};

struct HostInputCounters {
    std::uint64_t bytes = 0;
    std::uint64_t requests = 0;
    std::uint64_t checksumFailures = 0;  // records and frames thrown away
    std::uint64_t ignoredPackets = 0;    // intact packets the host has no reason to send
    std::uint64_t droppedBytes = 0;      // bytes that started no packet
};

class HostInput {
public:
    void feed(Bytes bytes, std::vector<HostRequest>& out);
    const HostInputCounters& counters() const { return counters_; }

private:
    void feedFramer(std::uint8_t byte, std::vector<HostRequest>& out);
    void feedText(std::uint8_t byte, std::vector<HostRequest>& out);
    void feedPortTest(std::uint8_t byte, std::vector<HostRequest>& out);

    PacketFramer framer_;
    std::string text_;                           // the printable run that ends at the newest byte
    std::optional<HostRequest::Kind> lastText_;  // the word already taken from this run
    std::array<std::uint8_t, kPortTestFrameLength> window_{};
    std::size_t windowFill_ = 0;
    HostInputCounters counters_;
};

}  // namespace cvh::sim
