// The host acting as a logger ("PC Logger", logger ID 1): the bytes that arrive on the PC
// ports set up as meter inputs become type-8 data records of exactly the logger's kind, which
// then take the receive path of a logger packet (shown, forwarded to deck outputs, archived).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/bytes.h"
#include "files/annotation.h"
#include "files/pc_logger_packet_clock.h"
#include "link/data_packet.h"
#include "link/deck_routing.h"
#include "link/record_mode.h"
#include "link/serial_port_table.h"

namespace cvh {

class ReceiveLoop;

inline constexpr std::uint8_t kPcLoggerId = 1;
inline constexpr std::size_t kPcLoggerDataArea = kMaxDataPayload;  // 4096
inline constexpr std::size_t kPcLoggerRecordCapacity = kPcLoggerDataArea + data_record::kOverhead;
inline constexpr int kPcTextSlot = 9;  // "Port 9": the PC time or an annotation line

// Where an assembled record goes: the receive loop's handleDataPacket, which turns its header
// little-endian in place, checks the sequence, forwards and records it.
class PcLoggerPacketSink {
public:
    virtual ~PcLoggerPacketSink() = default;
    virtual void handleDataPacket(MutableBytes record, RecordMode recordMode) = 0;
};

// The sink the session installs: straight into the receive loop, counting recorded bytes in
// the same archive size counter as the logger's packets.
class ReceiveLoopPacketSink final : public PcLoggerPacketSink {
public:
    explicit ReceiveLoopPacketSink(ReceiveLoop& loop) : loop_(loop) {}
    void handleDataPacket(MutableBytes record, RecordMode recordMode) override;

private:
    ReceiveLoop& loop_;
};

class PCLoggerPacket {
public:
    // `annotation` may be null (no annotation window); `routing` holds each slot's pcFunction.
    PCLoggerPacket(PCLoggerClock& clock, SerialPortTable& ports, const DeckRouting& routing,
                   PcLoggerPacketSink& sink, WaterSampleAnnotation* annotation);

    // Starts an empty packet stamped now; with `newSequence` it takes the next sequence number
    // (the first one after start-up is 0).
    void resetPCLoggerPacket(bool newSequence);

    // Call on every 10 ms tick with "Add PC Time to Port 9 " (CBRecordPCTime), PcCycleMs and
    // the ports 1 and 8. Once `intervalMs` has passed since the packet was started it reads
    // the meter-input slots, adds the text slot, hands the record on and starts the next
    // packet. Returns true when a record was handed on; with nothing read, nothing is sent and
    // no sequence number is used.
    bool buildPCLoggerPacket(bool addPcTime, std::int64_t intervalMs, int firstPort, int lastPort,
                             RecordMode recordMode);

    // The raw display shows "Raw PC Logger Data": each record sent is also copied as text.
    bool rawDisplayOn = false;
    std::string takeRawDisplayText();

    // Bytes read per slot since the last call (1..8, and 9 for the text slot); the link monitor
    // takes them once a second.
    std::array<int, 10> takeBytesIn();
    const std::array<int, 10>& pcBytesIn() const { return pcBytesIn_; }

    std::uint8_t sequence() const { return buffer_[data_record::kSequence]; }
    // A text slot that did not fit behind a full data area waits for the next packet, which
    // keeps room for it.
    bool textDeferred() const { return textDeferred_; }

private:
    PCLoggerClock& clock_;
    SerialPortTable& ports_;
    const DeckRouting& routing_;
    PcLoggerPacketSink& sink_;
    WaterSampleAnnotation* annotation_;

    std::array<std::uint8_t, kPcLoggerRecordCapacity> buffer_{};
    std::int64_t packetStartMs_ = 0;
    std::uint8_t nextSequence_ = 0;
    bool textDeferred_ = false;
    std::string stampText_;
    std::array<int, 10> pcBytesIn_{};
    std::string rawDisplayText_;
};

}  // namespace cvh
