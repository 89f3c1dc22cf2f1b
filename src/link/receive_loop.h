// The host's receive path, run from the 10 ms tick: drain the logger port (or take a replayed
// packet), feed the framer, dispatch at most one packet, and for data packets keep the
// per-unit sequence, show, forward to the deck ports and record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/bytes.h"
#include "base/operator.h"
#include "link/command_frames.h"
#include "link/data_packet.h"
#include "link/deck_routing.h"
#include "link/link_statistics.h"
#include "link/packet_framer.h"
#include "link/receive_consumers.h"
#include "link/record_mode.h"

namespace cvh {

class SerialPortTable;

// What the raw-data display copies.
enum RawSource : int {
    kRawSourceParsed = 0,    // one port of one unit, from accepted packets
    kRawSourceLogger = 1,    // bytes as read from the logger port
    kRawSourcePcLogger = 2,  // the PC logger's packets
};

struct RawDisplaySettings {
    bool on = false;
    int source = kRawSourceParsed;
    int unit = 1;  // logger ID 1..4
    int port = 0;  // 0..7 ports 1..8, 8 all analog data
};

// The polled-wake test: started ("      WAKE" sent), then measured when the countdown ran out
// and " WAKE" followed `delayMilliseconds` after the countdown's first tick.
struct WakeTest {
    enum class Stage { NotRun, Started, Measured };
    Stage stage = Stage::NotRun;
    int countdownTicks = 0;
    std::int64_t delayMilliseconds = 0;
};

// Texts for the raw-data memo gathered during a tick; bytes as received (may hold any value).
struct PendingDisplay {
    std::string portText;       // the selected port's data from accepted packets
    std::string rawLoggerText;  // bytes read from the logger port
    bool empty() const { return portText.empty() && rawLoggerText.empty(); }
};

// The latest copy of each record the logger sent. The display-refresh tick applies the three
// pending records once and clears their flags.
struct ReceivedRecords {
    std::array<std::uint8_t, kSetupPacketLength> setup{};
    bool setupPacketPending = false;
    std::array<std::uint8_t, kStatusPacketLength> status{};
    bool statusPacketPending = false;
    std::array<std::uint8_t, kHardwarePacketLength> hardware{};
    bool hardwarePacketPending = false;
    std::array<std::uint8_t, kCalibrationPacketLength> calibration{};
    std::array<std::uint8_t, kUploadBlockLength> uploadBlock{};
    std::array<std::uint8_t, kDirectoryEntryLength> directoryEntry{};
    std::array<std::uint8_t, kFlashStatusPacketLength> flashStatus{};
    std::int16_t flashErrorIndicator = 0;  // non-zero: the logger reports bad flash operations
};

enum ReceiveResult : int {
    kReceivedNothing = 0,  // nothing was read
    kReceivedBytes = 1,    // bytes were read, no packet completed
    kReceivedPacket = 2,   // a packet was recognised
};

class ReceiveLoop {
public:
    ReceiveLoop(SerialPortTable& ports, Operator& op);

    void setConsumers(const ReceiveConsumers& consumers) { consumers_ = consumers; }

    // One drain-and-dispatch pass; a ReceiveResult.
    int receiveStep(RecordMode recordMode);

    // One data record: the packet from byte 2 without its checksum, header still big-endian;
    // the header is turned little-endian in place. `recordedBytes` grows by the record's
    // length when the recorder wrote it. The PC-logger packet builder calls this too.
    void handleDataPacket(MutableBytes record, RecordMode recordMode, std::int64_t& recordedBytes);
    void handleDataPacket(std::size_t recordLength, RecordMode recordMode,
                          std::int64_t& recordedBytes, std::uint8_t* record) {
        handleDataPacket(MutableBytes(record, recordLength), recordMode, recordedBytes);
    }

    // "Reset Counters": per-unit packets, gap events and last gaps; the sequence memory stays.
    void resetUnitCounters();

    // "Polled-Wake": sends "      WAKE" and counts down `mvpScrollPosition` ticks.
    void startWake(int mvpScrollPosition);
    // Each 10 ms tick: measures the delay and sends " WAKE" when the countdown runs out.
    void wakeStep(std::int64_t nowMilliseconds, int mvpScrollPosition);
    bool wakeRunning() const { return wakeCountdown_ != 0; }
    const WakeTest& wakeTest() const { return wakeTest_; }

    RawDisplaySettings rawDisplay;
    // The raw-memo texts gathered since the last call; the tick hands them on and they empty.
    PendingDisplay takePendingDisplay();

    PacketFramer& framer() { return framer_; }
    LinkStatistics& statistics() { return statistics_; }
    const LinkStatistics& statistics() const { return statistics_; }
    ReceivedRecords& records() { return records_; }
    DeckRouting& deckRouting() { return deckRouting_; }
    LoggerCommands& commands() { return commands_; }
    // Last sequence number of units 0..8 (255 before their first packet). Units beyond the
    // memory never store one, so they read as not yet heard from.
    std::uint8_t lastSequence(int unit) const {
        return unit >= 0 && unit < kSequenceMemoryUnits ? lastSequence_[unit] : 255;
    }
    // Size counter of the archive written by receiveStep's data packets.
    std::int64_t& archiveBytes() { return archiveBytes_; }

private:
    void dispatch(const Frame& frame, RecordMode recordMode);
    void reportBadUnit(int unit);
    void acceptInSequence(MutableBytes record, const DataHeader& header, RecordMode recordMode,
                          std::int64_t& recordedBytes);

    SerialPortTable& ports_;
    Operator& operator_;
    LoggerCommands commands_;
    ReceiveConsumers consumers_;
    PacketFramer framer_;
    LinkStatistics statistics_;
    ReceivedRecords records_;
    DeckRouting deckRouting_;
    PendingDisplay pending_;
    std::array<std::uint8_t, kSequenceMemoryUnits> lastSequence_;
    std::array<std::uint8_t, PacketFramer::kCapacity> readBuffer_{};
    std::int64_t archiveBytes_ = 0;
    std::int32_t wakeCountdown_ = 0;
    std::int64_t wakeStartMilliseconds_ = 0;
    WakeTest wakeTest_;
};

}  // namespace cvh
