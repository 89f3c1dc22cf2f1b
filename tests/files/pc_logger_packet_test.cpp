#include "files/pc_logger_packet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/clock.h"
#include "link/receive_loop.h"
#include "support/fake_serial.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

// Keeps every record handed over, as it arrived (header big-endian).
class RecordingSink : public PcLoggerPacketSink {
public:
    void handleDataPacket(MutableBytes record, RecordMode mode) override {
        records.emplace_back(record.begin(), record.end());
        modes.push_back(mode);
    }
    std::vector<std::vector<std::uint8_t>> records;
    std::vector<RecordMode> modes;
};

struct Record {
    explicit Record(const std::vector<std::uint8_t>& bytes)
        : header(*readDataRecordHeader(bytes, HeaderOrder::Wire)), bytes(bytes) {}
    std::string segment(int port) const {  // port 1..9
        const auto s =
            payloadSegment(Bytes(bytes).subspan(data_record::kPayload), header.counts, port - 1);
        return std::string(s->begin(), s->end());
    }
    std::string trailer() const {
        return std::string(bytes.begin() + data_record::kPayload + header.payloadLength,
                           bytes.end());
    }
    DataHeader header;
    std::vector<std::uint8_t> bytes;
};

class PcLoggerPacketTest : public ::testing::Test {
protected:
    PcLoggerPacketTest() {
        // 2024-06-01 08:00:00.00 UTC, zone UTC.
        clock.now = daysFromCivil(2024, 6, 1) * 86400 + 8 * 3600;
        for (int slot = 1; slot <= 8; ++slot) {
            const std::string name = "pc" + std::to_string(slot);
            lines[slot] = backend.add(name).get();
            ports.names().set(slot, name);
            ports.openPort(slot, slot);
        }
        packet.resetPCLoggerPacket(true);
    }

    void advance(int ms) {
        const std::int64_t total = clock.now * 1000 + clock.nowHundredths * 10 + ms;
        clock.now = total / 1000;
        clock.nowHundredths = static_cast<int>(total % 1000 / 10);
    }
    // One 10 ms tick of the program; true when a record went out.
    bool tick(bool addPcTime, int intervalMs) {
        advance(10);
        return packet.buildPCLoggerPacket(addPcTime, intervalMs, 1, 8, RecordMode::Off);
    }
    void push(int slot, const std::string& bytes) {
        lines[slot]->incoming.insert(lines[slot]->incoming.end(), bytes.begin(), bytes.end());
    }

    FixedClock clock;
    PCLoggerClock pcClock{clock};
    test::FakeSerialBackend backend;
    test::ScriptedOperator op;
    SerialPortTable ports{backend, op};
    DeckRouting routing;
    RecordingSink sink;
    WaterSampleAnnotation annotation{pcClock, op};
    PCLoggerPacket packet{pcClock, ports, routing, sink, &annotation};
    std::array<test::FakeLine*, 9> lines{};
};

TEST_F(PcLoggerPacketTest, NothingReadSendsNothingAndKeepsTheSequence) {
    routing.pcFunction[2] = kPcFunctionMeterInput;  // open, but silent
    for (int i = 0; i < 300; ++i)
        tick(false, 100);
    EXPECT_TRUE(sink.records.empty());
    EXPECT_EQ(packet.sequence(), 0);

    push(2, "x");
    for (int i = 0; i < 10; ++i)
        tick(false, 100);
    ASSERT_EQ(sink.records.size(), 1u);
    EXPECT_EQ(Record(sink.records[0]).header.sequence, 0);
}

TEST_F(PcLoggerPacketTest, PcTimeAloneGivesOneRecordPerInterval) {
    for (int i = 0; i < 100; ++i)
        tick(true, 1000);  // one second of ticks
    ASSERT_EQ(sink.records.size(), 1u);
    const Record r(sink.records[0]);
    EXPECT_EQ(r.header.format, 1);
    EXPECT_EQ(r.header.timeUnit, 1);
    EXPECT_EQ(r.header.unit, 1);
    EXPECT_EQ(r.header.sequence, 0);
    EXPECT_EQ(r.segment(9), "06/01/24\t08:00:01.000\r\n");
    EXPECT_EQ(r.header.payloadLength, 23);
    EXPECT_EQ(r.header.counts, (PortCounts{0, 0, 0, 0, 0, 0, 0, 0, 23}));
    EXPECT_EQ(r.trailer(), "####");
    EXPECT_EQ(r.bytes.size(), 23u + 32u);
    EXPECT_EQ(packet.pcBytesIn()[9], 23);

    for (int i = 0; i < 100; ++i)
        tick(true, 1000);
    ASSERT_EQ(sink.records.size(), 2u);
    const Record second(sink.records[1]);
    EXPECT_EQ(second.header.sequence, 1);
    // Stamped when the packet was started, in 10 ms units since the first clock reading.
    EXPECT_EQ(second.header.timeStamp, 100u);
}

TEST_F(PcLoggerPacketTest, RecordsFollowTheDeckRate) {
    for (const int rate : {1, 3, 5, 20}) {
        sink.records.clear();
        const int interval = 1000 / rate;
        for (int i = 0; i < 1000; ++i)
            tick(true, interval);  // ten seconds
        EXPECT_NEAR(static_cast<double>(sink.records.size()), 10.0 * rate, 1.0) << rate;
    }
}

TEST_F(PcLoggerPacketTest, MeterInputsBecomeSegmentsInPortOrder) {
    routing.pcFunction[1] = kPcFunctionMeterInput;
    routing.pcFunction[3] = kPcFunctionInputAndOutput;
    routing.pcFunction[4] = kPcFunctionLoggerOutput;  // an output: never read here
    push(3, "$GPGGA,1\r\n");
    push(1, "T=12.5\r\n");
    push(4, "ignored");
    for (int i = 0; i < 10; ++i)
        tick(false, 100);
    ASSERT_EQ(sink.records.size(), 1u);
    const Record r(sink.records[0]);
    EXPECT_EQ(r.segment(1), "T=12.5\r\n");
    EXPECT_EQ(r.segment(3), "$GPGGA,1\r\n");
    EXPECT_EQ(r.header.counts, (PortCounts{8, 0, 10, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(lines[4]->incoming.size(), 7u);
    const auto in = packet.takeBytesIn();
    EXPECT_EQ(in[1], 8);
    EXPECT_EQ(in[3], 10);
    EXPECT_EQ(packet.pcBytesIn()[1], 0);
}

TEST_F(PcLoggerPacketTest, AnnotationTakesTheTextSlotOnce) {
    routing.pcFunction[1] = kPcFunctionMeterInput;
    push(1, "abc");
    annotation.startSample();
    for (int i = 0; i < 10; ++i)
        tick(true, 100);
    ASSERT_EQ(sink.records.size(), 1u);
    EXPECT_EQ(Record(sink.records[0]).segment(9), "06/01/24\t08:00:00.000 Start Sample 1\r\n");
    EXPECT_FALSE(annotation.pending());
    for (int i = 0; i < 10; ++i)
        tick(true, 100);
    ASSERT_EQ(sink.records.size(), 2u);
    EXPECT_EQ(Record(sink.records[1]).segment(9), "06/01/24\t08:00:00.200\r\n");
}

TEST_F(PcLoggerPacketTest, TextBehindAFullDataAreaWaitsForTheNextRecord) {
    routing.pcFunction[1] = kPcFunctionMeterInput;
    routing.pcFunction[2] = kPcFunctionMeterInput;
    push(1, std::string(6000, 'a'));
    push(2, "second port");
    annotation.endSample();
    for (int i = 0; i < 10; ++i)
        tick(false, 100);
    ASSERT_EQ(sink.records.size(), 1u);
    const Record full(sink.records[0]);
    EXPECT_EQ(full.header.payloadLength, 4096);
    EXPECT_EQ(full.header.counts, (PortCounts{4096, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(full.trailer(), "####");
    EXPECT_TRUE(annotation.pending());
    EXPECT_TRUE(packet.textDeferred());

    for (int i = 0; i < 10; ++i)
        tick(false, 100);
    ASSERT_EQ(sink.records.size(), 2u);
    const Record next(sink.records[1]);
    const std::string text = "06/01/24\t08:00:00.000 End Sample 1\r\n";
    EXPECT_EQ(next.segment(9), text);
    EXPECT_EQ(next.segment(1), std::string(1904, 'a'));  // the rest of port 1
    EXPECT_EQ(next.segment(2), "second port");
    EXPECT_FALSE(annotation.pending());
    EXPECT_FALSE(packet.textDeferred());
}

TEST_F(PcLoggerPacketTest, DeferredTextKeepsItsRoomWhilePortsStayFull) {
    routing.pcFunction[1] = kPcFunctionMeterInput;
    push(1, std::string(20000, 'b'));
    for (int i = 0; i < 10; ++i)
        tick(true, 100);
    ASSERT_EQ(sink.records.size(), 1u);
    EXPECT_EQ(Record(sink.records[0]).header.counts[8], 0);
    for (int i = 0; i < 10; ++i)
        tick(true, 100);
    ASSERT_EQ(sink.records.size(), 2u);
    const Record r(sink.records[1]);
    EXPECT_EQ(r.header.payloadLength, 4096);
    EXPECT_EQ(r.header.counts[8], 23);
    EXPECT_EQ(r.header.counts[0], 4096 - 23);
    EXPECT_LE(r.bytes.size(), kPcLoggerRecordCapacity);
}

TEST_F(PcLoggerPacketTest, TurnOfTheYearKeepsTheInterval) {
    // 2024-12-31 23:59:58.00 local.
    clock.now = daysFromCivil(2024, 12, 31) * 86400 + 86398;
    clock.nowHundredths = 0;
    PCLoggerClock freshClock(clock);
    PCLoggerPacket fresh(freshClock, ports, routing, sink, nullptr);
    fresh.resetPCLoggerPacket(true);
    int sent = 0;
    for (int i = 0; i < 500; ++i) {
        advance(10);
        sent += fresh.buildPCLoggerPacket(true, 500, 1, 8, RecordMode::Off) ? 1 : 0;
    }
    EXPECT_EQ(sent, 10);  // five seconds at 2 Hz, through midnight of the new year
    EXPECT_EQ(Record(sink.records.back()).segment(9).substr(0, 9), "01/01/25\t");
}

TEST_F(PcLoggerPacketTest, ClockSetBackRestartsTheIntervalWithoutABurst) {
    for (int i = 0; i < 100; ++i)
        tick(true, 200);
    ASSERT_EQ(sink.records.size(), 5u);
    clock.now -= 3600;  // daylight saving ends
    int afterBack = 0;
    for (int i = 0; i < 100; ++i)
        afterBack += tick(true, 200) ? 1 : 0;
    EXPECT_GE(afterBack, 4);
    clock.now += 7200;  // and a jump forward sends one record, not a catch-up burst
    EXPECT_TRUE(tick(true, 200));
    EXPECT_FALSE(tick(true, 200));
}

TEST_F(PcLoggerPacketTest, RawDisplayGetsTheRecordAsSent) {
    packet.rawDisplayOn = true;
    for (int i = 0; i < 10; ++i)
        tick(true, 100);
    ASSERT_EQ(sink.records.size(), 1u);
    const std::string raw = packet.takeRawDisplayText();
    EXPECT_EQ(raw, std::string(sink.records[0].begin(), sink.records[0].end()));
    EXPECT_TRUE(packet.takeRawDisplayText().empty());
}

TEST(PCLoggerClockTest, CountsFromTheFirstReadingAndFormatsTheStamp) {
    FixedClock clock;
    clock.now = daysFromCivil(2023, 2, 7) * 86400 + 14 * 3600 + 5 * 60 + 9;
    clock.nowHundredths = 37;
    clock.zoneWestSeconds = -3600;  // one hour east: local 15:05
    PCLoggerClock pc(clock);
    std::string stamp;
    EXPECT_EQ(pc.readClock(stamp), 0);
    EXPECT_EQ(stamp, "02/07/23\t15:05:09.370");
    clock.now += 86400 * 2;
    clock.nowHundredths = 40;
    EXPECT_EQ(pc.readClock(), 2 * 86400000LL + 30);
}

// The PC logger's record takes the logger's receive path: a Meter Input slot's bytes come out
// of a Logger Output slot that names logger ID 1 and that port, unchanged and in order.
TEST_F(PcLoggerPacketTest, MeterInputComesOutOfALoggerOutputSlot) {
    ReceiveLoop loop(ports, op);
    ReceiveLoopPacketSink loopSink(loop);
    DeckRouting& deck = loop.deckRouting();
    deck.pcFunction[3] = kPcFunctionMeterInput;
    deck.pcFunction[5] = kPcFunctionLoggerOutput;
    deck.pcSourceId[5] = 1;
    deck.pcSourcePort[5] = 3;
    deck.pcFunction[6] = kPcFunctionLoggerOutput;  // another port of the same logger
    deck.pcSourceId[6] = 1;
    deck.pcSourcePort[6] = 2;
    PCLoggerPacket pc(pcClock, ports, deck, loopSink, nullptr);
    pc.resetPCLoggerPacket(true);

    std::string expected;
    for (int n = 0; n < 30; ++n) {
        std::string chunk = "line " + std::to_string(n) + "\r\n";
        chunk += static_cast<char>(n);  // any byte value passes unchanged
        push(3, chunk);
        expected += chunk;
        for (int i = 0; i < 10; ++i) {
            advance(10);
            pc.buildPCLoggerPacket(true, 100, 1, 8, RecordMode::Off);
        }
    }
    EXPECT_EQ(std::string(lines[5]->written.begin(), lines[5]->written.end()), expected);
    EXPECT_TRUE(lines[6]->written.empty());
    EXPECT_EQ(loop.statistics().unitPackets[1], 30u);
    EXPECT_EQ(loop.statistics().unitGapEvents[1], 0u);
    EXPECT_EQ(loop.lastSequence(1), 29);
}

// Seconds and hundredths come from one reading of the real clock, so a time stamp never lands
// on the wrong side of a second's turn and the packets' times never run backwards.
TEST(PcLoggerClockOnTheSystemClock, SuccessiveReadingsNeverGoBackwards) {
    SystemClock system;
    PCLoggerClock pcClock(system);
    // At least 100,000 readings and two turns of the second, where a second taken from another
    // clock than the hundredths would show.
    std::int64_t last = pcClock.readClock();
    int readings = 0, turns = 0, backwards = 0;
    while ((readings < 100000 || turns < 2) && readings < 50'000'000) {
        const std::int64_t ms = pcClock.readClock();
        backwards += ms < last ? 1 : 0;
        turns += ms / 1000 != last / 1000 ? 1 : 0;
        last = ms;
        ++readings;
    }
    EXPECT_GE(turns, 2);
    EXPECT_EQ(backwards, 0) << "in " << readings << " readings";
}

}  // namespace
}  // namespace cvh
