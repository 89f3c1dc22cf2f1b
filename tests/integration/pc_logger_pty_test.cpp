// The PC logger end to end over pseudo-terminals: instrument bytes typed into a Meter Input
// port become the host's own data packets (logger ID 1), which take the receive path and come
// out of the Logger Output port that names them; logger data is passed on the same way.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/clock.h"
#include "files/pc_logger_packet.h"
#include "link/data_packet.h"
#include "link/port_manager.h"
#include "link/receive_loop.h"
#include "platform/qt_serial_backend.h"
#include "support/pty.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

using Bytes8 = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// Passes each record on to the receive loop, noting its sequence number first.
class TeeSink : public PcLoggerPacketSink {
public:
    explicit TeeSink(ReceiveLoop& loop) : inner_(loop) {}
    void handleDataPacket(MutableBytes record, RecordMode mode) override {
        sequences.push_back(record[data_record::kSequence]);
        inner_.handleDataPacket(record, mode);
    }
    std::vector<int> sequences;

private:
    ReceiveLoopPacketSink inner_;
};

class PcLoggerPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(meter.ok() && deck.ok() && logger.ok() && other.ok());
        table.names().set(60, meter.slavePath());
        table.names().set(61, deck.slavePath());
        table.names().set(62, logger.slavePath());
        table.names().set(63, other.slavePath());
    }
    // Ticks the host for `duration`, 10 ms apart, as its timer would.
    void run(std::chrono::milliseconds duration, bool addPcTime, int intervalMs) {
        const auto end = std::chrono::steady_clock::now() + duration;
        while (std::chrono::steady_clock::now() < end) {
            loop.receiveStep(RecordMode::Off);
            pc.buildPCLoggerPacket(addPcTime, intervalMs, 1, 8, RecordMode::Off);
            std::this_thread::sleep_for(10ms);
        }
    }

    test::Pty meter, deck, logger, other;
    QtSerialBackend backend;
    test::ScriptedOperator op;
    SerialPortTable table{backend, op};
    ReceiveLoop loop{table, op};
    PortManager ports{table, loop.framer(), loop.statistics()};
    SystemClock clock;
    PCLoggerClock pcClock{clock};
    TeeSink sink{loop};
    PCLoggerPacket pc{pcClock, table, loop.deckRouting(), sink, nullptr};
};

TEST_F(PcLoggerPty, MeterInputComesOutOfTheLoggerOutputThatNamesIt) {
    DeckRouting& deckRouting = loop.deckRouting();
    ASSERT_EQ(ports.reopenPort(3, 60, 6), 6);
    ASSERT_EQ(ports.reopenPort(5, 61, 11), 11);
    ASSERT_EQ(ports.reopenPort(6, 63, 11), 11);
    deckRouting.pcFunction[3] = kPcFunctionMeterInput;
    deckRouting.pcFunction[5] = kPcFunctionLoggerOutput;
    deckRouting.pcSourceId[5] = 1;
    deckRouting.pcSourcePort[5] = 3;
    deckRouting.pcFunction[6] = kPcFunctionLoggerOutput;  // port 3 of another logger
    deckRouting.pcSourceId[6] = 2;
    deckRouting.pcSourcePort[6] = 3;
    pc.resetPCLoggerPacket(true);

    Bytes8 expected;
    for (int n = 0; n < 40; ++n) {
        std::string line = "$SBE37," + std::to_string(n) + ",12.3456\r\n";
        Bytes8 bytes(line.begin(), line.end());
        bytes.push_back(static_cast<std::uint8_t>(200 + n % 50));  // any byte value
        ASSERT_TRUE(meter.write(bytes));
        expected.insert(expected.end(), bytes.begin(), bytes.end());
        run(25ms, false, 50);
    }
    run(300ms, false, 50);

    EXPECT_EQ(deck.readUntilQuiet(), expected);
    EXPECT_TRUE(other.readUntilQuiet(50ms).empty());
    ASSERT_FALSE(sink.sequences.empty());
    for (std::size_t i = 0; i < sink.sequences.size(); ++i) {
        EXPECT_EQ(sink.sequences[i], static_cast<int>(i % 256));  // from 0, none skipped
    }
    EXPECT_EQ(loop.statistics().unitGapEvents[1], 0u);
    EXPECT_TRUE(op.asked.empty());
}

TEST_F(PcLoggerPty, PacketsFollowTheDeckRate) {
    pc.resetPCLoggerPacket(true);
    run(1000ms, true, 100);  // 10 Hz, "Add PC Time to Port 9 " alone
    EXPECT_GE(sink.sequences.size(), 7u);
    EXPECT_LE(sink.sequences.size(), 11u);
    EXPECT_EQ(sink.sequences.front(), 0);
}

TEST_F(PcLoggerPty, LoggerDataGoesOutOfTheSlotThatNamesItsUnitAndPort) {
    ASSERT_EQ(ports.reopenPort(0, 62, 11), 11);
    ASSERT_EQ(ports.reopenPort(4, 61, 6), 6);
    ASSERT_EQ(ports.reopenPort(7, 63, 6), 6);
    DeckRouting& deckRouting = loop.deckRouting();
    deckRouting.pcFunction[4] = kPcFunctionLoggerOutput;
    deckRouting.pcSourceId[4] = 2;
    deckRouting.pcSourcePort[4] = 3;
    deckRouting.pcFunction[7] = kPcFunctionLoggerOutput;  // unit 1, port 3: not this data
    deckRouting.pcSourceId[7] = 1;
    deckRouting.pcSourcePort[7] = 3;

    Bytes8 expected;
    for (int n = 0; n < 20; ++n) {
        std::array<Bytes8, kDataPortCount> segments;
        segments[0] = {'p', '1'};
        segments[2] = Bytes8(static_cast<std::size_t>(5 + n), static_cast<std::uint8_t>('a' + n));
        std::array<Bytes, kDataPortCount> views;
        for (int p = 0; p < kDataPortCount; ++p)
            views[p] = segments[p];
        DataPacketFields fields;
        fields.unit = 2;
        fields.sequence = static_cast<std::uint8_t>(n);
        ASSERT_TRUE(logger.write(buildDataPacket(fields, views).value()));
        expected.insert(expected.end(), segments[2].begin(), segments[2].end());
    }
    run(600ms, false, 1000);

    EXPECT_EQ(deck.readUntilQuiet(), expected);
    EXPECT_TRUE(other.readUntilQuiet(50ms).empty());
    EXPECT_EQ(loop.statistics().unitPackets[2], 20u);
}

}  // namespace
}  // namespace cvh
