#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/checksum.h"
#include "config/logger_setup.h"
#include "files/run_extract.h"
#include "files/run_file.h"
#include "files/summary_record.h"
#include "link/data_packet.h"
#include "sim_test_support.h"
#include "support/scripted_operator.h"

namespace cvh::sim {
namespace {

using test::LoggerBench;

LoggerConfig config() {
    LoggerConfig c;
    c.deviceType = 3;
    c.serialNumber = 77;
    c.loggerId = 2;
    c.firmwareMinor = 5;
    c.memoryBytes = 1u << 20;
    return c;
}

// A setup whose phases end at once after a two-second delay, so tests reach sampling quickly.
SetupSnapshot quickSetup(int mode, int outputFormat = 1) {
    LoggerSetup s = defaultSimSetup(9600);
    s.mode = static_cast<std::uint16_t>(mode);
    s.delaySeconds = 2;
    s.preFlushSeconds = s.warmUpSeconds = s.flushSeconds = 0;
    s.sampleSeconds = 5;
    s.intervalSeconds = 20;
    s.outputFormat = static_cast<std::uint16_t>(outputFormat);
    SetupSnapshot snap;
    snap.encode(s);
    return snap;
}

std::vector<std::uint8_t> upload(LoggerBench& bench, int runNumber, bool cancelAfterFirst = false) {
    bench.got.clear();
    bench.command(CommandCode::UploadRun, 0, static_cast<std::uint16_t>(runNumber));
    std::vector<std::uint8_t> file;
    for (std::size_t i = 0; i < bench.got.byType[4].size(); ++i) {
        const Packet& block = bench.got.byType[4][i];
        const int length = readLeS16(block, 6);
        file.insert(file.end(), block.begin() + 8, block.begin() + 8 + length);
        const std::uint32_t a = cancelAfterFirst ? 2 : 1;
        bench.command(CommandCode::AcknowledgeBlock, a, readLe16(block, 2));
        if (length == 0)
            break;
    }
    return file;
}

TEST(SimLogger, ReportsStatusEverySecondWithARunningClockAndItsIdentity) {
    LoggerBench bench(config());
    bench.powerOn();
    bench.advance(3000);
    const auto& status = bench.got.status();
    ASSERT_EQ(status.size(), 4u);  // at power-on and after each of three seconds
    for (std::size_t i = 1; i < status.size(); ++i) {
        EXPECT_EQ(decodeStatusRecord(status[i])->loggerClock,
                  decodeStatusRecord(status[i - 1])->loggerClock + 1);
    }
    const LoggerStatus s = bench.got.lastStatus();
    EXPECT_EQ(s.statusCode, 9);  // Standby
    EXPECT_EQ(s.deviceType, 3);
    EXPECT_EQ(s.serialNumber, 77);
    EXPECT_EQ(s.loggerId, 2);
    EXPECT_EQ(s.firmwareVersion, (7u << 28) | (5u << 20));
    EXPECT_EQ(s.serialPortMask, 0x07);  // CTD, current meter and GPS on ports 1..3
    EXPECT_EQ(s.analogMask, 0x03);
    EXPECT_EQ(s.pumpMask, 0x01);
    EXPECT_EQ(s.totalMemoryBytes, 1 << 20);
    EXPECT_EQ(s.freeMemoryBytes, 1 << 20);
    EXPECT_EQ(s.runNumber, -1);
    EXPECT_NE(bench.got.text.find("SIMULATED"), std::string::npos);
    ASSERT_EQ(bench.got.byType[2].size(), 1u);  // flash status: no bad flash operations
    EXPECT_EQ(readLeS16(bench.got.byType[2][0], 2), 0);
}

TEST(SimLogger, ClockOffsetAndTimeSetMoveTheReportedClock) {
    LoggerConfig c = config();
    c.clockOffsetSeconds = -40;
    LoggerBench bench(c);
    bench.powerOn();
    const std::int32_t before = bench.got.lastStatus().loggerClock;
    EXPECT_EQ(before, LoggerBench::kStartUtc - 40);  // the fixed clock's zone is UTC
    bench.command(CommandCode::SetTime, static_cast<std::uint32_t>(before + 40));
    bench.advance(1000);
    EXPECT_EQ(bench.got.lastStatus().loggerClock, before + 41);
}

TEST(SimLogger, SetupRoundTripsByteForByteWithRetainedBytes) {
    LoggerBench bench(config());
    bench.powerOn();
    bench.command(CommandCode::GetSetup);
    ASSERT_EQ(bench.got.byType[1].size(), 1u);
    Packet record = bench.got.byType[1][0];
    EXPECT_TRUE(checksumMatches(record));

    SetupSnapshot edited;
    edited.store(record);
    LoggerSetup s = edited.decode();
    s.mode = 1;
    s.meterType[5] = 3;
    s.baud[5] = 4800;
    edited.mutableBytes()[170 - 2] = 0x5A;  // a byte only the logger interprets
    edited.encode(s);
    bench.send(edited.bytes());
    EXPECT_EQ(bench.logger.setup().mode, 1);

    bench.got.clear();
    bench.command(CommandCode::GetSetup);
    ASSERT_EQ(bench.got.byType[1].size(), 1u);
    EXPECT_EQ(bench.got.byType[1][0], Packet(edited.bytes().begin(), edited.bytes().end()));
    bench.advance(1000);
    EXPECT_EQ(bench.got.lastStatus().serialPortMask, 0x17);  // port 5 now shown
}

TEST(SimLogger, AnswersHardwareAndCalibrationAndTakesNewOnes) {
    LoggerBench bench(config());
    bench.powerOn();
    bench.command(CommandCode::GetHardware);
    bench.command(CommandCode::GetAnalogCalibration);
    ASSERT_EQ(bench.got.byType[7].size(), 1u);
    ASSERT_EQ(bench.got.byType[6].size(), 1u);
    Packet hw = bench.got.byType[7][0];
    EXPECT_EQ(readLe16(hw, 4), 3);
    EXPECT_EQ(readLe16(hw, 2), 77);
    writeLe16(hw, 2, 555);
    writeLe16(hw, 8, 1);  // a run/stop switch
    storeChecksum(hw);
    Packet damaged = hw;
    writeLe16(damaged, 2, 666);  // checksum now wrong: must be ignored
    bench.send(damaged);
    bench.send(hw);
    bench.advance(1000);
    EXPECT_EQ(bench.got.lastStatus().serialNumber, 555);
    EXPECT_EQ(bench.got.lastStatus().runStopSwitch, 1);  // STOP while idle
    EXPECT_EQ(bench.logger.counters().recordsTaken, 1u);
}

TEST(SimLogger, SampleRunEmitsDataPacketsInSequenceAndStoresARunFile) {
    LoggerBench bench(config());
    bench.powerOn();
    bench.send(quickSetup(0).bytes());
    bench.command(CommandCode::BeginSample);
    bench.advance(1000);
    EXPECT_EQ(bench.got.lastStatus().statusCode, 2);  // Delay
    bench.advance(10000);
    EXPECT_EQ(bench.got.lastStatus().statusCode, 6);  // Sampling
    EXPECT_EQ(bench.got.lastStatus().runNumber, 1);

    const auto& data = bench.got.data();
    ASSERT_GE(data.size(), 18u);  // two a second for ten seconds, and keep-alives during Delay
    std::size_t withData = 0;
    std::string port1;
    std::string analog;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto h = readDataPacketHeader(data[i]);
        ASSERT_TRUE(h);
        EXPECT_EQ(h->sequence, static_cast<std::uint8_t>(i));
        EXPECT_EQ(h->unit, 2);
        std::uint32_t sum = 0;
        for (auto c : h->counts)
            sum += c;
        EXPECT_EQ(sum, h->payloadLength);
        if (h->payloadLength > 0)
            ++withData;
        const Bytes payload = Bytes(data[i]).subspan(30, h->payloadLength);
        const auto p1 = *payloadSegment(payload, h->counts, 0);
        const auto p9 = *payloadSegment(payload, h->counts, 8);
        port1.append(p1.begin(), p1.end());
        analog.append(p9.begin(), p9.end());
    }
    EXPECT_GE(withData, 18u);
    EXPECT_NE(port1.find("SIM CTD"), std::string::npos);
    EXPECT_NE(analog.find("AN 0000"), std::string::npos);
    EXPECT_GT(bench.got.lastStatus().portValues[1], 100);  // the CTD's bytes a second

    bench.command(CommandCode::Stop);
    bench.advance(1000);
    const LoggerStatus end = bench.got.lastStatus();
    EXPECT_EQ(end.statusCode, 30);  // End of Run
    ASSERT_EQ(bench.logger.memory().runs().size(), 1u);
    const StoredRun& run = bench.logger.memory().runs()[0];
    EXPECT_EQ(static_cast<std::uint32_t>(end.freeMemoryBytes), (1u << 20) - run.file.size());

    // The run file: sender unit, one ARCHIVE TQMUX per data packet, the summary last.
    std::size_t at = 0;
    std::vector<int> types;
    std::vector<std::uint8_t> summary;
    while (at + 4 <= run.file.size()) {
        const int size = readLeS16(run.file, at);
        const int type = readLeS16(run.file, at + 2);
        ASSERT_TRUE(plausibleRunHeader(size, type));
        ASSERT_LE(at + 4 + size, run.file.size());
        if (type == RunType::Summary)
            summary.assign(run.file.begin() + at + 4, run.file.begin() + at + 4 + size);
        types.push_back(type);
        at += 4 + size;
    }
    EXPECT_EQ(at, run.file.size());
    EXPECT_EQ(types.front(), RunType::SenderUnitId);
    EXPECT_EQ(types.back(), RunType::Summary);
    EXPECT_EQ(
        static_cast<std::size_t>(std::count(types.begin(), types.end(), RunType::ArchiveTqMux)),
        bench.logger.counters().dataPackets);
    const auto decoded = decodeSummaryRecord(summary);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->runNumber, 1);
    EXPECT_EQ(decoded->serialNumber, 77);
    EXPECT_EQ(decoded->meterType, 3);
    EXPECT_EQ(decoded->recordedBytes[1], end.portRunBytes[1]);
    EXPECT_EQ(decoded->recordedBytes[0], end.analogRunBytes);
    EXPECT_EQ(decoded->firmwareMinor, 5);
}

TEST(SimLogger, DirectoryAndUploadGiveBackTheStoredRunWhichExtracts) {
    LoggerConfig c = config();
    c.storedRuns = 2;
    LoggerBench bench(c);
    bench.powerOn();
    bench.command(CommandCode::GetDirectory);
    ASSERT_EQ(bench.got.byType[5].size(), 2u);
    const Packet& entry = bench.got.byType[5][1];
    EXPECT_EQ(readLeS16(entry, 2), 2);
    const auto& stored = bench.logger.memory().runs()[1].file;
    EXPECT_EQ(readLe32(entry, 52), stored.size());

    const auto file = upload(bench, 2);
    EXPECT_EQ(file, stored);
    EXPECT_EQ(bench.got.byType[4].size(), (stored.size() + 1023) / 1024 + 1);
    bench.advance(1000);
    EXPECT_EQ(bench.got.lastStatus().statusCode, 9);

    // What the host's extraction makes of it.
    const auto dir = std::filesystem::temp_directory_path() / "cvh_sim_extract";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "run.002", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    cvh::test::ScriptedOperator op;
    ExtractionState state;
    ExtractOptions options;
    options.outputDirectory = dir;
    const ExtractReport report = extractRun(dir / "run.002", options, state, op);
    EXPECT_EQ(report.result, ExtractResult::Done);
    EXPECT_EQ(report.bytesSkipped, 0u);
    EXPECT_GT(report.archiveRecords, 100u);
    EXPECT_TRUE(std::filesystem::exists(dir / "Summary.002"));
    EXPECT_TRUE(std::filesystem::exists(dir / "Battery.002"));
    std::filesystem::remove_all(dir);
}

TEST(SimLogger, CancelledUploadEndsEarlyAndUnknownRunEndsAtOnce) {
    LoggerConfig c = config();
    c.storedRuns = 1;
    LoggerBench bench(c);
    bench.powerOn();
    const auto part = upload(bench, 1, true);
    EXPECT_EQ(part.size(), 1024u);
    EXPECT_EQ(bench.got.byType[4].size(), 2u);
    EXPECT_EQ(bench.logger.state(), LoggerState::Standby);
    EXPECT_TRUE(upload(bench, 9).empty());
    EXPECT_EQ(bench.got.byType[4].size(), 1u);
}

TEST(SimLogger, UnacknowledgedBlockIsSentAgainUnderTheSameNumber) {
    LoggerConfig c = config();
    c.storedRuns = 1;
    LoggerBench bench(c);
    bench.powerOn();
    bench.got.clear();
    bench.command(CommandCode::UploadRun, 0, 1);
    bench.advance(1600);
    ASSERT_EQ(bench.got.byType[4].size(), 2u);
    EXPECT_EQ(bench.got.byType[4][0], bench.got.byType[4][1]);
    EXPECT_EQ(bench.got.lastStatus().statusCode, 10);  // Upload
    bench.command(CommandCode::AcknowledgeBlock, 1, 1);
    ASSERT_EQ(bench.got.byType[4].size(), 3u);
    EXPECT_EQ(readLe16(bench.got.byType[4][2], 2), 2);
}

TEST(SimLogger, StopTextsEndARunAsTheFrameDoes) {
    for (std::string_view text : {kBreakText, kStop7E1Text}) {
        LoggerBench bench(config());
        bench.powerOn();
        bench.command(CommandCode::BeginSample);
        bench.advance(2000);
        bench.send(Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        EXPECT_EQ(bench.logger.state(), LoggerState::EndOfRun) << text;
    }
}

TEST(SimLogger, ClearMemoryReportsItselfThenStandsByWithNoRuns) {
    LoggerConfig c = config();
    c.storedRuns = 3;
    LoggerBench bench(c);
    bench.powerOn();
    bench.command(CommandCode::ClearMemory, 0, 1);
    bench.advance(1000);
    EXPECT_EQ(bench.got.lastStatus().statusCode, 7);
    bench.command(CommandCode::GetDirectory);
    EXPECT_TRUE(bench.got.byType[5].empty());  // not while clearing
    bench.advance(3000);
    EXPECT_EQ(bench.got.lastStatus().statusCode, 9);
    EXPECT_EQ(bench.got.lastStatus().freeMemoryBytes, bench.got.lastStatus().totalMemoryBytes);
    bench.command(CommandCode::GetDirectory);
    EXPECT_TRUE(bench.got.byType[5].empty());
    bench.command(CommandCode::BeginSample);
    EXPECT_EQ(bench.logger.currentRunNumber(), 1);  // numbering starts again
}

TEST(SimLogger, NewLoggerIdShowsInStatusAndDataPackets) {
    LoggerBench bench(config());
    bench.powerOn();
    bench.send(quickSetup(0).bytes());
    bench.command(CommandCode::SetLoggerId, 0, 4);
    bench.command(CommandCode::BeginSample);
    bench.advance(3000);
    EXPECT_EQ(bench.got.lastStatus().loggerId, 4);
    EXPECT_EQ(readDataPacketHeader(bench.got.data().back())->unit, 4);
}

TEST(SimLogger, PortTestPassesTheInstrumentTextInsteadOfPackets) {
    LoggerBench bench(config());
    bench.powerOn();
    bench.got.clear();
    bench.send(*buildPortTestFrame(1, 6, 6));
    bench.advance(2000);
    EXPECT_TRUE(bench.got.status().empty());
    EXPECT_NE(bench.got.text.find("SIM CTD"), std::string::npos);
    EXPECT_TRUE(bench.logger.portTestActive());
    bench.command(CommandCode::Stop);
    bench.advance(1000);
    EXPECT_FALSE(bench.logger.portTestActive());
    EXPECT_EQ(bench.got.lastStatus().statusCode, 9);
}

TEST(SimLogger, StatusOnlyOutputSendsNoDataButStillRecords) {
    LoggerBench bench(config());
    bench.powerOn();
    bench.send(quickSetup(0, 0).bytes());
    bench.command(CommandCode::BeginSample);
    bench.advance(5000);
    EXPECT_TRUE(bench.got.data().empty());
    EXPECT_GT(bench.logger.counters().dataPackets, 5u);
    EXPECT_GT(bench.got.lastStatus().portRunBytes[1], 0);
}

TEST(SimLogger, FullMemoryEndsTheRun) {
    LoggerConfig c = config();
    c.memoryBytes = 16 * 1024;
    LoggerBench bench(c);
    bench.powerOn();
    bench.send(quickSetup(0).bytes());
    bench.command(CommandCode::BeginSample);
    bench.advance(120000, 250);
    EXPECT_EQ(bench.logger.state(), LoggerState::EndOfRun);
    ASSERT_EQ(bench.logger.memory().runs().size(), 1u);
    EXPECT_LE(bench.logger.memory().usedBytes(), 16u * 1024);
}

TEST(SimLogger, PolledModeSamplesOnlyBetweenWakeAndSleep) {
    LoggerBench bench(config());
    bench.powerOn();
    bench.send(quickSetup(12).bytes());
    bench.command(CommandCode::BeginSample);
    bench.advance(3000);
    EXPECT_EQ(bench.logger.state(), LoggerState::Sleeping);
    const auto before = bench.logger.counters().dataPackets;
    bench.send(std::vector<std::uint8_t>(kPolledWakeText.begin(), kPolledWakeText.end()));
    bench.advance(2000);
    EXPECT_EQ(bench.logger.state(), LoggerState::Sampling);
    EXPECT_GT(bench.logger.counters().dataPackets, before);
    bench.send(std::vector<std::uint8_t>(kSleepText.begin(), kSleepText.end()));
    EXPECT_EQ(bench.logger.state(), LoggerState::Sleeping);
}

TEST(SimLogger, SleepCommandSleepsUntilTheWakeTimeThenRuns) {
    LoggerBench bench(config());
    bench.powerOn();
    bench.send(quickSetup(1).bytes());
    const std::int32_t now = bench.got.lastStatus().loggerClock;
    bench.command(CommandCode::Sleep, static_cast<std::uint32_t>(now + 30));
    bench.advance(1000);
    EXPECT_EQ(bench.got.lastStatus().statusCode, 8);
    EXPECT_EQ(bench.got.lastStatus().timeLeftSeconds, 29);
    bench.advance(30000);
    EXPECT_EQ(bench.logger.state(), LoggerState::Sampling);
    EXPECT_EQ(bench.logger.currentRunNumber(), 1);
    bench.command(CommandCode::Sleep, static_cast<std::uint32_t>(now - 5));  // in the past: ignored
    EXPECT_EQ(bench.logger.state(), LoggerState::Sampling);
}

}  // namespace
}  // namespace cvh::sim
