// Sends one stored run to the host in 1024-byte blocks. Each block waits for the host's
// acknowledgement of its number; a block whose acknowledgement does not come in time is sent
// again, and a run ends with a block of no data. An acknowledgement asking to cancel ends the
// run early with that empty block.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "link/run_directory_record.h"
#include "logger_records.h"

namespace cvh::sim {

class UploadSender {
public:
    struct Settings {
        std::int64_t ackTimeoutMs = 1500;
        int maxResends = 8;  // then the logger gives up on this host
    };
    enum class Outcome { None, Active, Complete, Cancelled, GaveUp };

    UploadSender() = default;
    explicit UploadSender(Settings settings) : settings_(settings) {}

    // Starts sending `file` from its first block; returns that block.
    Packet begin(std::vector<std::uint8_t> file, std::int64_t nowMs);
    // The host's acknowledgement (argument A 1, or 2 to cancel; B the block number). Returns
    // the next block to send, if any. Acknowledgements of other blocks are ignored.
    std::optional<Packet> onAck(std::uint32_t argumentA, std::uint16_t blockNumber,
                                std::int64_t nowMs);
    // Resends the block in flight when its acknowledgement is overdue.
    std::optional<Packet> onTimer(std::int64_t nowMs);
    void abandon() { outcome_ = Outcome::None; }

    bool active() const { return outcome_ == Outcome::Active; }
    Outcome outcome() const { return outcome_; }
    std::optional<std::int64_t> deadlineMs() const;
    std::uint16_t currentBlock() const { return blockNumber_; }
    std::uint32_t resends() const { return resendTotal_; }
    std::size_t bytesSent() const { return offset_; }

private:
    Packet buildCurrent();
    Packet sendNext(std::int64_t nowMs);

    Settings settings_;
    std::vector<std::uint8_t> file_;
    std::size_t offset_ = 0;        // bytes of the file in blocks acknowledged or in flight
    std::size_t inFlightSize_ = 0;  // data bytes of the block in flight
    std::uint16_t blockNumber_ = 0;
    bool finalInFlight_ = false;
    bool cancelled_ = false;
    std::int64_t sentAtMs_ = 0;
    int resends_ = 0;
    std::uint32_t resendTotal_ = 0;
    Outcome outcome_ = Outcome::None;
};

}  // namespace cvh::sim
