// Archive replay: reads an archive file record by record and rebuilds each record as the
// type-8 packet the logger sent, so the receive loop frames, checks and dispatches it exactly
// like live data. One packet every 19 / speed ticks; a single replay asks to stop at the end of
// the file, a continuous one starts over; a short read or an impossible length field ends
// either, without a byte read or written past the caller's buffer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>

#include "base/bytes.h"

namespace cvh {

inline constexpr int kReplaySpeedMin = 1;
inline constexpr int kReplaySpeedMax = 10;
inline constexpr int kReplaySpeedInitial = 6;

// 10 ms ticks from one replayed packet to the next: 19 at speed 1, 1 at speed 10.
int replayTicksPerPacket(int speed);

// Why the last replay asked to stop.
enum class ReplayEnd {
    None,
    EndOfFile,  // a single replay reached the end
    ShortRead,  // the file ends inside a record
    BadLength,  // a length field outside 0..4096, or a packet larger than the buffer
};

// The sequence number the receive loop expects next from `unit` (its last one plus 1).
using NextSequence = std::function<std::uint8_t(std::uint8_t unit)>;

class ArchiveReplayer {
public:
    ArchiveReplayer() = default;
    ~ArchiveReplayer() { close(); }
    ArchiveReplayer(const ArchiveReplayer&) = delete;
    ArchiveReplayer& operator=(const ArchiveReplayer&) = delete;

    // Opens the file for reading and measures its length; false when it cannot be opened.
    bool open(const std::filesystem::path& path, bool continuous);
    // Replays an archive held in memory, exactly as the same bytes in a file would be (the
    // fuzzer runs thousands of replays a second this way). The bytes must outlive the replay.
    void openBytes(Bytes archive, bool continuous);
    void close();
    bool isOpen() const { return file_ != nullptr || memory_.has_value(); }

    // One 10 ms tick: when the countdown has run out, places one rebuilt packet in `buffer`
    // and returns its length; otherwise (or at the end, or on a fault) returns 0.
    std::size_t nextPacket(MutableBytes buffer, int speed);

    // An archive holds only the packets accepted in sequence: the keep-alives and the packets
    // that revealed a gap, which also took sequence numbers, are missing. Each replayed packet
    // therefore takes the number the receive loop expects next from its unit, so every
    // recorded packet is shown and forwarded again, as it was live, and a continuous replay is
    // not taken for duplicates. Without a source, the replayer numbers each unit from 0.
    void setNextSequence(NextSequence next) { nextSequence_ = std::move(next); }

    bool stopRequested() const { return stopRequested_; }
    void clearStopRequest() { stopRequested_ = false; }
    ReplayEnd end() const { return end_; }

    std::uint64_t position() const { return position_; }  // the read position in the file
    std::uint64_t length() const { return length_; }      // measured once, when opened
    std::uint64_t packetsReplayed() const { return packets_; }

private:
    std::size_t requestStop(ReplayEnd why);
    void start(bool continuous, std::uint64_t length);
    bool readExactly(std::uint8_t* into, std::size_t count);

    std::FILE* file_ = nullptr;
    std::optional<Bytes> memory_;  // read from position_ on, instead of file_
    NextSequence nextSequence_;
    std::array<std::uint8_t, 256> lastSequence_{};  // per unit, when no source is set
    bool continuous_ = false;
    std::uint64_t length_ = 0;
    std::uint64_t position_ = 0;
    std::uint64_t packets_ = 0;
    int countdown_ = 0;
    bool stopRequested_ = false;
    ReplayEnd end_ = ReplayEnd::None;
};

}  // namespace cvh
