// Drives a SimLogger on a hand-set clock and sorts what it sends into packets by type.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/clock.h"
#include "link/command_frames.h"
#include "link/packet_framer.h"
#include "link/status_record.h"
#include "sim_logger.h"

namespace cvh::sim::test {

struct Received {
    std::array<std::vector<Packet>, 9> byType;  // index = packet type
    std::string text;                           // plain text (banner, pass-through)

    const std::vector<Packet>& status() const { return byType[3]; }
    const std::vector<Packet>& data() const { return byType[8]; }
    LoggerStatus lastStatus() const { return *decodeStatusRecord(byType[3].back()); }
    void clear() { *this = Received{}; }
};

// Sorts a byte stream into packets with the link's own framer, as the host would; a packet may
// arrive in pieces over several feeds.
class PacketSorter {
public:
    void feed(Bytes bytes, Received& into) {
        while (!bytes.empty()) {
            const std::size_t taken = framer_.appendBytes(bytes.data(), bytes.size());
            bytes = bytes.subspan(taken);
            drain(into);
        }
    }

private:
    void drain(Received& into) {
        for (Frame frame = framer_.next(); frame.status != Frame::Status::NeedMore;
             frame = framer_.next())
            if (frame.packet())
                into.byType[static_cast<int>(frame.type)].emplace_back(frame.bytes.begin(),
                                                                       frame.bytes.end());
    }

    PacketFramer framer_;
};

// The logger's output: packets through the sorter, plain text kept as text.
inline void sortOutput(const std::vector<OutChunk>& chunks, PacketSorter& sorter, Received& into) {
    for (const auto& c : chunks) {
        if (c.packet) {
            sorter.feed(c.bytes, into);
        } else {
            into.text.append(c.bytes.begin(), c.bytes.end());
        }
    }
}

class LoggerBench {
public:
    explicit LoggerBench(LoggerConfig config = {}) : clock_(makeClock()), logger(config, clock_) {}

    void powerOn() {
        logger.powerOn();
        drain();
    }
    // Moves the clock on in steps, letting the logger work at each.
    void advance(std::int64_t ms, std::int64_t stepMs = 100) {
        for (std::int64_t done = 0; done < ms; done += stepMs) {
            clock_.nowMilliseconds += stepMs;
            clock_.now = kStartUtc + clock_.nowMilliseconds / 1000;
            logger.update();
            drain();
        }
    }
    void send(Bytes bytes) {
        logger.receive(bytes);
        drain();
    }
    void command(CommandCode code, std::uint32_t a = 0, std::uint16_t b = 0) {
        send(buildCommandFrame(code, a, b));
    }
    void drain() { sortOutput(logger.takeOutput(), sorter_, got); }

    static constexpr std::int64_t kStartUtc = 1'700'000'000;
    FixedClock clock_;
    SimLogger logger;
    Received got;

private:
    PacketSorter sorter_;
    static FixedClock makeClock() {
        FixedClock c;
        c.now = kStartUtc;
        c.nowMilliseconds = 0;
        return c;
    }
};

}  // namespace cvh::sim::test
