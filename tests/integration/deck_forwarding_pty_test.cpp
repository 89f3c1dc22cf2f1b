// End to end over pseudo-terminals: a test-side logger writes data packets with garbage,
// splits, duplicates, keep-alives and sequence gaps into one pty; the host reads the other side
// through the Qt backend and the receive loop, and passes one port's bytes on to a deck slot,
// whose pty must deliver exactly the bytes of the packets accepted in sequence.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "link/data_packet.h"
#include "link/port_manager.h"
#include "link/receive_loop.h"
#include "platform/qt_serial_backend.h"
#include "support/pty.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

using Bytes8 = std::vector<std::uint8_t>;

constexpr int kLoggerCom = 50;
constexpr int kDeckCom = 51;
constexpr int kDeckSlot = 3;
constexpr int kForwardedUnit = 1;
constexpr int kForwardedPort = 3;  // logger port 3: segment index 2

// The logger's side: builds the stream and, by the sequence rules the host applies, the bytes
// the deck port must put out.
class LoggerScript {
public:
    explicit LoggerScript(unsigned seed) : rng_(seed) { lastSeen_.fill(255); }

    Bytes8 stream;
    Bytes8 expectedDeck;
    std::uint32_t expectedGaps = 0;
    std::array<std::uint32_t, kUnitCount> expectedUnitPackets{};
    int badUnitPackets = 0;

    void garbage(std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            stream.push_back(static_cast<std::uint8_t>(rng_()));
    }

    // One packet of `unit` with random port segments (or none: a keep-alive).
    Bytes8 packet(int unit, std::uint8_t sequence, bool keepAlive, std::size_t maxSegment,
                  std::array<Bytes8, kDataPortCount>& segments) {
        std::array<Bytes, kDataPortCount> views;
        for (int p = 0; p < kDataPortCount; ++p) {
            segments[p].clear();
            if (!keepAlive && rng_() % 4 != 0)
                segments[p].resize(rng_() % (maxSegment + 1));
            for (auto& b : segments[p])
                b = static_cast<std::uint8_t>(rng_());
            views[p] = segments[p];
        }
        DataPacketFields fields;
        fields.unit = static_cast<std::uint8_t>(unit);
        fields.sequence = sequence;
        fields.timeStamp = 1000 + sequence;
        auto built = buildDataPacket(fields, views);
        EXPECT_TRUE(built);
        return built.value_or(Bytes8{});
    }

    // Sends a packet and works out what the host must do with it.
    void send(const Bytes8& wire, int unit, std::uint8_t sequence, bool keepAlive,
              const Bytes8& forwardedSegment) {
        stream.insert(stream.end(), wire.begin(), wire.end());
        std::uint8_t& last = lastSeen_[unit];
        if (sequence == last)
            return;  // duplicate
        if (keepAlive) {
            last = sequence;
            return;
        }
        if (unit >= kUnitCount) {
            ++badUnitPackets;
            return;
        }
        ++expectedUnitPackets[unit];
        const bool inSequence = sequence == static_cast<std::uint8_t>(last + 1);
        last = sequence;
        if (!inSequence) {
            ++expectedGaps;
            return;
        }
        if (unit == kForwardedUnit)
            expectedDeck.insert(expectedDeck.end(), forwardedSegment.begin(),
                                forwardedSegment.end());
    }

    void run(int packets) {
        std::array<std::uint8_t, kSequenceMemoryUnits> nextSeq{};
        Bytes8 previous;
        int previousUnit = 0;
        std::uint8_t previousSeq = 0;
        bool previousKeepAlive = false;
        Bytes8 previousSegment;
        std::array<Bytes8, kDataPortCount> segments;
        for (int i = 0; i < packets; ++i) {
            if (rng_() % 3 == 0)
                garbage(rng_() % 60);
            if (i == packets / 2) {
                sendLargest(nextSeq[kForwardedUnit]++);
                previous.clear();
                continue;
            }
            const unsigned roll = rng_() % 100;
            if (roll < 5 && !previous.empty()) {  // the same packet again
                send(previous, previousUnit, previousSeq, previousKeepAlive, previousSegment);
                continue;
            }
            int unit = kForwardedUnit;
            if (roll < 20)
                unit = 2;
            else if (roll < 27)
                unit = 0;
            if (roll >= 27 && roll < 32)  // packets lost on the way: a gap
                nextSeq[unit] = static_cast<std::uint8_t>(nextSeq[unit] + 1 + rng_() % 3);
            const bool keepAlive = roll >= 32 && roll < 37;
            const std::uint8_t seq = nextSeq[unit]++;
            const Bytes8 wire = packet(unit, seq, keepAlive, 120, segments);
            send(wire, unit, seq, keepAlive, segments[kForwardedPort - 1]);
            previous = wire;
            previousUnit = unit;
            previousSeq = seq;
            previousKeepAlive = keepAlive;
            previousSegment = segments[kForwardedPort - 1];
        }
        // A unit that does not exist, once.
        std::array<Bytes8, kDataPortCount> segs;
        Bytes8 bad = packet(7, 0, false, 20, segs);
        send(bad, 7, 0, false, {});
        garbage(30);
    }

private:
    // A packet of the largest size, 4096 payload bytes, so the host's buffer is filled whole.
    void sendLargest(std::uint8_t seq) {
        std::array<Bytes8, kDataPortCount> segments;
        std::array<Bytes, kDataPortCount> views;
        for (int p = 0; p < kDataPortCount; ++p) {
            segments[p].resize(p == 8 ? 4096 - 8 * 455 : 455);
            for (auto& b : segments[p])
                b = static_cast<std::uint8_t>(rng_());
            views[p] = segments[p];
        }
        DataPacketFields fields;
        fields.unit = kForwardedUnit;
        fields.sequence = seq;
        const Bytes8 wire = buildDataPacket(fields, views).value();
        EXPECT_EQ(wire.size(), kMaxDataPacketLength);
        send(wire, kForwardedUnit, seq, false, segments[kForwardedPort - 1]);
    }

    std::mt19937 rng_;
    std::array<std::uint8_t, 256> lastSeen_{};
};

TEST(DeckForwardingPty, LoggerPortBytesReachTheDeckPortExactly) {
    test::Pty logger;
    test::Pty deck;
    ASSERT_TRUE(logger.ok() && deck.ok());

    QtSerialBackend backend;
    test::ScriptedOperator op;
    SerialPortTable table(backend, op);
    table.names().set(kLoggerCom, logger.slavePath());
    table.names().set(kDeckCom, deck.slavePath());
    ReceiveLoop loop(table, op);
    PortManager ports(table, loop.framer(), loop.statistics());
    ASSERT_EQ(ports.reopenPort(0, kLoggerCom, 11), 11);
    ASSERT_EQ(ports.reopenPort(kDeckSlot, kDeckCom, 6), 6);
    loop.deckRouting().pcFunction[kDeckSlot] = kPcFunctionLoggerOutput;
    loop.deckRouting().pcSourceId[kDeckSlot] = kForwardedUnit;
    loop.deckRouting().pcSourcePort[kDeckSlot] = kForwardedPort;

    LoggerScript script(20240611);
    script.run(700);
    ASSERT_GT(script.expectedDeck.size(), 10000u);
    ASSERT_GT(script.expectedGaps, 5u);

    // The logger writes in random pieces with pauses; the host ticks in between, never
    // waiting on its ports.
    std::mt19937 rng(7);
    Bytes8 received;
    int packetsSeen = 0;
    auto tick = [&] {
        if (loop.receiveStep(RecordMode::Off) == kReceivedPacket) {
            ++packetsSeen;
            ports.onPacketRecognised();
        }
        auto more = deck.read(1u << 16, std::chrono::milliseconds(0));
        received.insert(received.end(), more.begin(), more.end());
    };
    std::size_t sent = 0;
    while (sent < script.stream.size()) {
        const std::size_t n = std::min<std::size_t>(1 + rng() % 700, script.stream.size() - sent);
        ASSERT_TRUE(logger.write(script.stream.data() + sent, n));
        sent += n;
        if (rng() % 8 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        for (int i = 0; i < 4; ++i)
            tick();
    }
    // The host takes one packet per tick: let it catch up, then wait for the line to settle.
    int quiet = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (quiet < 200 && std::chrono::steady_clock::now() < end) {
        const std::size_t before = received.size() + loop.framer().size();
        const int packetsBefore = packetsSeen;
        tick();
        const bool idle =
            packetsSeen == packetsBefore && received.size() + loop.framer().size() == before;
        quiet = idle ? quiet + 1 : 0;
        if (idle)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    auto rest = deck.readUntilQuiet(std::chrono::milliseconds(100));
    received.insert(received.end(), rest.begin(), rest.end());

    ASSERT_EQ(received.size(), script.expectedDeck.size());
    EXPECT_TRUE(received == script.expectedDeck);
    EXPECT_EQ(loop.deckRouting().pcBytesOut[kDeckSlot],
              static_cast<int>(script.expectedDeck.size()));
    const LinkStatistics& stats = loop.statistics();
    EXPECT_EQ(stats.totalInputBytes, script.stream.size());
    EXPECT_EQ(stats.gapTotal, script.expectedGaps);
    EXPECT_EQ(stats.unitPackets, script.expectedUnitPackets);
    EXPECT_EQ(table.unwrittenBytes(kDeckSlot), 0u);
    ASSERT_EQ(op.notices().size(), static_cast<std::size_t>(script.badUnitPackets));
    EXPECT_EQ(op.notices()[0].caption, "Mux ID Error");
    EXPECT_EQ(stats.noDataTimer, 2);
    EXPECT_EQ(stats.badDataTimer, 3);
}

}  // namespace
}  // namespace cvh
