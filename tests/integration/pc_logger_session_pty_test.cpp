// The PC logger as the running program has it, over pseudo-terminals: a host session on the Qt
// serial backend, PC ports set up through the PC-Logger page's form and "Load New Setup", the
// session's own 10 ms tick on a fixed clock. Instrument bytes typed into a Meter Input port
// come out of the Logger Output port that names logger 1 and that port; logger data of unit 2
// port 3 comes out of the port that names it.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/bytes.h"
#include "base/clock.h"
#include "files/extract_test_util.h"
#include "link/data_packet.h"
#include "platform/qt_serial_backend.h"
#include "session/host_session.h"
#include "session/pc_logger_flow.h"
#include "session/pc_logger_setup.h"
#include "support/deck_forwarding.h"
#include "support/pty.h"
#include "support/scripted_operator.h"
#include "support/temp_dir.h"

namespace cvh {
namespace {

using Bytes8 = std::vector<std::uint8_t>;
using namespace std::chrono_literals;
using test::TempDir;

constexpr int kMeterCom = 70, kDeckCom = 71, kLoggerCom = 72, kOtherCom = 73;

class PcLoggerSessionPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(meter.ok() && deck.ok() && logger.ok() && other.ok());
        auto& names = session.ports().names();
        names.set(kMeterCom, meter.slavePath());
        names.set(kDeckCom, deck.slavePath());
        names.set(kLoggerCom, logger.slavePath());
        names.set(kOtherCom, other.slavePath());
        clock.now = 1'700'000'000;
        ASSERT_FALSE(dir.path().empty());
        session.startUp(dir.str());  // no last.cvh there: no mode, nothing opened
    }
    void TearDown() override { session.shutdown(); }

    // One slot row of the PC-Logger page, as the operator would set it.
    void row(int slot, int function, int com, int line, int sourceId = 2, int sourcePort = 1) {
        test::setDeckRow(session, slot, function, com, line, sourceId, sourcePort);
    }
    // Session ticks on the fixed clock, 10 ms of it each; a short real pause lets the pty
    // deliver between ticks.
    void tick(int count, std::chrono::microseconds pause = 500us) {
        for (int i = 0; i < count; ++i) {
            clock.nowMilliseconds += 10;
            if (++clock.nowHundredths == 100) {
                clock.nowHundredths = 0;
                ++clock.now;
            }
            session.onTick10ms();
            if (pause.count() > 0)
                std::this_thread::sleep_for(pause);
        }
    }

    test::Pty meter, deck, logger, other;
    QtSerialBackend backend;
    test::ScriptedOperator op;
    FixedClock clock;
    HostSession session{backend, op, clock};
    // A new, empty directory per test: no "last.cvh" of another run is ever read.
    TempDir dir{"cvh_pc_session_pty"};
};

TEST_F(PcLoggerSessionPty, MeterInputComesOutOfTheLoggerOutputNamingLoggerOneAndThatPort) {
    row(3, kPcPortTypeMeterInput, kMeterCom, 6);
    row(5, kPcPortTypeLoggerOutput, kDeckCom, 11, 1, 3);
    row(6, kPcPortTypeLoggerOutput, kOtherCom, 11, 2, 3);  // port 3 of another logger
    session.pcLogger().deckRateStepped(10);
    session.pcLogger().loadPcSetup();
    ASSERT_TRUE(session.ports().isPortOpen(3));
    ASSERT_TRUE(session.ports().isPortOpen(5));

    Bytes8 expected;
    for (int n = 0; n < 40; ++n) {
        std::string line = "$SBE37," + std::to_string(n) + ",12.3456\r\n";
        Bytes8 bytes(line.begin(), line.end());
        bytes.push_back(static_cast<std::uint8_t>(200 + n % 50));  // any byte value
        ASSERT_TRUE(meter.write(bytes));
        expected.insert(expected.end(), bytes.begin(), bytes.end());
        tick(4);
    }
    tick(30);

    EXPECT_EQ(deck.readUntilQuiet(), expected);
    EXPECT_TRUE(other.readUntilQuiet(50ms).empty());
    // Sequence numbers from 0 on, none skipped: the receive loop, which expects 0 after its
    // initial 255, saw no gap, and the next packet takes the number after the last one sent.
    const std::uint32_t packets = session.link().unitPackets[1];
    EXPECT_GT(packets, 0u);
    EXPECT_EQ(session.link().unitGapEvents[1], 0u);
    EXPECT_EQ(session.pcLoggerFlow().packet.sequence(), static_cast<std::uint8_t>(packets));

    // The link monitor's line for the output slot counted what went out this second.
    session.onTick1000ms();
    EXPECT_EQ(session.dataStatus().DSPCPort[4].caption.rfind("Port 5:  Out ", 0), 0u);
    EXPECT_TRUE(op.notices().empty());
}

TEST_F(PcLoggerSessionPty, PacketsFollowTheDeckRateOnTheSessionsClock) {
    session.pcLogger().form.CBRecordPCTime = true;
    session.pcLogger().deckRateStepped(5);                // 200 ms
    row(2, kPcPortTypeLoggerOutput, kDeckCom, 11, 1, 9);  // the text slot goes out here
    session.pcLogger().loadPcSetup();
    // The host's own packets are recorded like a logger's.
    const std::string archive = (dir.path() / "pc.arc").string();
    ASSERT_EQ(session.recorder().startRecording(RecordMode::Continuous, archive),
              RecorderStart::Started);
    tick(500, std::chrono::microseconds(0));  // 5 s on the session's clock
    EXPECT_EQ(session.link().unitPackets[1], 25u);
    EXPECT_EQ(session.pcLoggerFlow().packet.sequence(), 25);
    session.recorder().stop();
    const Bytes8 recorded = test::readFile(archive);
    std::size_t records = 0;
    for (std::size_t at = 0; at + 6 <= recorded.size(); ++records)
        at += 32u + readLe16(recorded, at + 4);  // L + 32 bytes a record
    EXPECT_EQ(records, 25u);
    EXPECT_EQ(session.recorder().state().sizeCounter, static_cast<std::int64_t>(recorded.size()));
    // One time-stamp line per packet reached the output.
    const Bytes8 out = deck.readUntilQuiet();
    const std::string text(out.begin(), out.end());
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 25u);
    EXPECT_EQ(text.rfind("11/14/23\t22:13:20.200\r\n", 0), 0u);
}

TEST_F(PcLoggerSessionPty, LoggerDataOfUnitTwoPortThreeGoesOutOfTheSlotThatNamesIt) {
    session.linkPorts().loggerPortChange(kLoggerCom, 11);
    ASSERT_TRUE(session.ports().isPortOpen(0));
    row(4, kPcPortTypeLoggerOutput, kDeckCom, 6, 2, 3);
    row(7, kPcPortTypeLoggerOutput, kOtherCom, 6, 1, 3);  // unit 1, port 3: not this data
    session.pcLogger().loadPcSetup();

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
        tick(2);
    }
    tick(60, 2ms);

    EXPECT_EQ(deck.readUntilQuiet(), expected);
    EXPECT_TRUE(other.readUntilQuiet(50ms).empty());
    EXPECT_EQ(session.link().unitPackets[2], 20u);
}

}  // namespace
}  // namespace cvh
