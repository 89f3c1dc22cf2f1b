// A test-side logger: builds a stream of data packets with garbage, duplicates, keep-alives,
// sequence gaps, units 0..4, one largest packet and one packet from a unit that does not exist,
// and works out by the host's sequence rules what the host must make of it: the bytes one deck
// port must put out, the per-unit counts, and the archive records of the accepted packets
// (spelled out field by field here, not by the code under test).
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "link/data_packet.h"
#include "link/link_statistics.h"

namespace cvh::test {

class LoggerScript {
public:
    using Bytes8 = std::vector<std::uint8_t>;

    // The deck port under test passes on logger port `forwardedPort` of `forwardedUnit`.
    LoggerScript(unsigned seed, int forwardedUnit, int forwardedPort)
        : rng_(seed), forwardedUnit_(forwardedUnit), forwardedPort_(forwardedPort) {
        lastSeen_.fill(255);
    }

    Bytes8 stream;
    Bytes8 expectedDeck;
    Bytes8 expectedArchive;
    std::uint32_t expectedGaps = 0;
    std::uint32_t expectedRecords = 0;
    std::array<std::uint32_t, kUnitCount> expectedUnitPackets{};
    std::array<std::uint32_t, kUnitCount> expectedUnitGaps{};
    int badUnitPackets = 0;

    void run(int packets) {
        std::array<std::uint8_t, kSequenceMemoryUnits> nextSeq{};
        Sent previous;
        for (int i = 0; i < packets; ++i) {
            if (rng_() % 3 == 0)
                garbage(rng_() % 60);
            if (i == packets / 2) {
                previous = sendLargest(nextSeq[forwardedUnit_]++);
                continue;
            }
            const unsigned roll = rng_() % 100;
            if (roll < 5 && !previous.wire.empty()) {  // the same packet again
                send(previous);
                continue;
            }
            const int unit = pickUnit(roll);
            if (roll >= 27 && roll < 32)  // packets lost on the way: a gap
                nextSeq[unit] = static_cast<std::uint8_t>(nextSeq[unit] + 1 + rng_() % 3);
            const bool keepAlive = roll >= 32 && roll < 37;
            previous = packet(unit, nextSeq[unit]++, keepAlive, 120);
            send(previous);
        }
        // A unit that does not exist, once.
        send(packet(7, 0, false, 20));
        garbage(30);
    }

private:
    struct Sent {
        Bytes8 wire;
        int unit = 0;
        std::uint8_t sequence = 0;
        bool keepAlive = false;
        std::uint32_t timeStamp = 0;
        std::array<Bytes8, kDataPortCount> segments;
    };

    // Mostly the forwarded unit, then the others of 0..4.
    int pickUnit(unsigned roll) {
        if (roll >= 40)
            return forwardedUnit_;
        return static_cast<int>(roll % kUnitCount);
    }

    void garbage(std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            stream.push_back(static_cast<std::uint8_t>(rng_()));
    }

    // One packet of `unit` with random port segments (or none: a keep-alive).
    Sent packet(int unit, std::uint8_t sequence, bool keepAlive, std::size_t maxSegment) {
        Sent s;
        s.unit = unit;
        s.sequence = sequence;
        s.keepAlive = keepAlive;
        s.timeStamp = 1000u * sequence + static_cast<std::uint32_t>(unit);
        for (auto& segment : s.segments) {
            if (!keepAlive && rng_() % 4 != 0)
                segment.resize(rng_() % (maxSegment + 1));
            for (auto& b : segment)
                b = static_cast<std::uint8_t>(rng_());
        }
        // A data packet whose every segment came out empty is a keep-alive too.
        s.keepAlive = keepAlive || totalSize(s) == 0;
        s.wire = wire(s);
        return s;
    }

    static std::size_t totalSize(const Sent& s) {
        std::size_t n = 0;
        for (const auto& segment : s.segments)
            n += segment.size();
        return n;
    }

    static Bytes8 wire(const Sent& s) {
        std::array<Bytes, kDataPortCount> views;
        for (int p = 0; p < kDataPortCount; ++p)
            views[p] = s.segments[p];
        DataPacketFields fields;
        fields.format = 0x21;
        fields.timeUnit = 0x22;
        fields.unit = static_cast<std::uint8_t>(s.unit);
        fields.sequence = s.sequence;
        fields.timeStamp = s.timeStamp;
        auto built = buildDataPacket(fields, views);
        EXPECT_TRUE(built);
        return built.value_or(Bytes8{});
    }

    // The archive record of an accepted packet: little-endian header, data, "####".
    static Bytes8 archiveRecord(const Sent& s) {
        auto le = [](Bytes8& out, std::uint32_t v, int width) {
            for (int i = 0; i < width; ++i)
                out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        };
        Bytes8 r{0x21, 0x22, static_cast<std::uint8_t>(s.unit), s.sequence};
        le(r, static_cast<std::uint32_t>(totalSize(s)), 2);
        le(r, s.timeStamp, 4);
        for (const auto& segment : s.segments)
            le(r, static_cast<std::uint32_t>(segment.size()), 2);
        for (const auto& segment : s.segments)
            r.insert(r.end(), segment.begin(), segment.end());
        r.insert(r.end(), {'#', '#', '#', '#'});
        return r;
    }

    // Sends a packet and works out what the host must do with it.
    void send(const Sent& s) {
        stream.insert(stream.end(), s.wire.begin(), s.wire.end());
        std::uint8_t& last = lastSeen_[s.unit];
        if (s.sequence == last)
            return;  // duplicate
        if (s.keepAlive) {
            last = s.sequence;
            return;
        }
        if (s.unit >= kUnitCount) {
            ++badUnitPackets;
            return;
        }
        ++expectedUnitPackets[s.unit];
        const bool inSequence = s.sequence == static_cast<std::uint8_t>(last + 1);
        last = s.sequence;
        if (!inSequence) {
            ++expectedGaps;
            ++expectedUnitGaps[s.unit];
            return;
        }
        const Bytes8 record = archiveRecord(s);
        expectedArchive.insert(expectedArchive.end(), record.begin(), record.end());
        ++expectedRecords;
        if (s.unit == forwardedUnit_) {
            const auto& segment = s.segments[forwardedPort_ - 1];
            expectedDeck.insert(expectedDeck.end(), segment.begin(), segment.end());
        }
    }

    // A packet of the largest size, 4096 payload bytes, so the host's buffer is filled whole.
    Sent sendLargest(std::uint8_t seq) {
        Sent s;
        s.unit = forwardedUnit_;
        s.sequence = seq;
        for (int p = 0; p < kDataPortCount; ++p) {
            s.segments[p].resize(p == 8 ? 4096 - 8 * 455 : 455);
            for (auto& b : s.segments[p])
                b = static_cast<std::uint8_t>(rng_());
        }
        s.wire = wire(s);
        EXPECT_EQ(s.wire.size(), kMaxDataPacketLength);
        send(s);
        return s;
    }

    std::mt19937 rng_;
    int forwardedUnit_;
    int forwardedPort_;
    std::array<std::uint8_t, 256> lastSeen_{};
};

}  // namespace cvh::test
