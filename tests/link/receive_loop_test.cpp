#include <gtest/gtest.h>

#include "link/receive_loop.h"
#include "link_fixture.h"
#include "packet_builders.h"

namespace cvh::test {
namespace {

class FakeRecorder : public RecordSink {
public:
    bool writes = true;
    std::vector<ByteVector> records;
    std::vector<ByteVector> raw;
    bool appendRaw(Bytes bytes) override {
        raw.emplace_back(bytes.begin(), bytes.end());
        return writes;
    }
    bool appendPacket(Bytes record, RecordMode) override {
        records.emplace_back(record.begin(), record.end());
        return writes;
    }
};

class FakeReplay : public ReplaySource {
public:
    std::vector<ByteVector> packets;
    std::size_t nextReplayPacket(MutableBytes buffer) override {
        if (packets.empty())
            return 0;
        ByteVector p = packets.front();
        packets.erase(packets.begin());
        std::copy(p.begin(), p.end(), buffer.begin());
        return p.size();
    }
};

struct Collector : UploadSink, DirectorySink, CalibrationSink, HardwareSink {
    std::vector<std::string> seen;
    void onUploadBlock(Bytes b) override { seen.push_back("upload " + std::to_string(b.size())); }
    void onDirectoryEntry(Bytes b) override { seen.push_back("dir " + std::to_string(b.size())); }
    void onCalibration(Bytes b) override { seen.push_back("cal " + std::to_string(b.size())); }
    void onHardwareRecord(Bytes b) override { seen.push_back("hw " + std::to_string(b.size())); }
};

ByteVector recordOf(const ByteVector& packet) {
    return ByteVector(packet.begin() + 2, packet.end() - 2);
}

class ReceiveLoopTest : public LinkFixture {
protected:
    ReceiveLoopTest() {
        openSlot(0);
        ReceiveConsumers c;
        c.recorder = &recorder;
        c.replay = &replay;
        c.upload = &collector;
        c.directory = &collector;
        c.calibration = &collector;
        c.hardware = &collector;
        loop.setConsumers(c);
    }

    // Hands a packet to the dispatch as the framer would, in Continuous mode.
    void deliver(const ByteVector& packet) {
        ByteVector record = recordOf(packet);
        loop.handleDataPacket(record, RecordMode::Continuous, recorded);
    }

    FakeRecorder recorder;
    FakeReplay replay;
    Collector collector;
    ReceiveLoop loop{table, op};
    std::int64_t recorded = 0;
};

// --- sequence rules ------------------------------------------------------------------------

struct Delivery {
    int unit;
    int sequence;
    bool keepAlive = false;
};

using UnitArray = std::array<std::uint32_t, kUnitCount>;

struct SequenceCase {
    const char* name;
    std::vector<Delivery> deliveries;
    UnitArray packets;
    UnitArray gapEvents;
    UnitArray lastGap;
    std::uint32_t gapTotal;
    std::size_t recorded;
    std::vector<std::string> notices;
};

const SequenceCase kSequenceCases[] = {
    {"FirstPacketOfAUnitWithSequenceZeroIsAccepted", {{1, 0}}, {0, 1}, {}, {}, 0, 1, {}},
    {"FirstPacketWithSequenceFiveIsAGapOfFiveAndTheNextIsAccepted",
     {{1, 5}, {1, 6}},
     {0, 2},
     {0, 1},
     {0, 5},
     1,
     1,
     {}},
    {"SequenceThreeAfter250IsAGapOfEight",
     {{2, 250}, {2, 3}},
     {0, 0, 2},
     {0, 0, 2},
     {0, 0, 8},
     2,
     0,
     {}},
    {"SequenceWrapsFrom255ToZero",
     {{3, 254}, {3, 255}, {3, 0}, {3, 1}},
     {0, 0, 0, 4},
     {0, 0, 0, 1},
     {0, 0, 0, 254},
     1,
     3,
     {}},
    {"FirstPacketWithSequence255IsTakenForADuplicate", {{1, 255}}, {}, {}, {}, 0, 0, {}},
    {"TheSamePacketTwiceIsCountedOnce", {{1, 0}, {1, 0}}, {0, 1}, {}, {}, 0, 1, {}},
    {"KeepAliveTakesItsSequenceWithoutCounting",
     {{1, 0}, {1, 1, true}, {1, 2}},
     {0, 2},
     {},
     {},
     0,
     2,
     {}},
    {"UnitsKeepTheirOwnSequences",
     {{1, 0}, {2, 0}, {1, 1}, {2, 2}, {0, 0}},
     {1, 2, 2},
     {0, 0, 1},
     {0, 0, 1},
     1,
     4,
     {}},
    {"UnitFiveRaisesMuxIdErrorAndCountsNothing",
     {{5, 0}},
     {},
     {},
     {},
     0,
     0,
     {"\r\nSender Unit 5 5"}},
    {"KeepAliveFromUnitFiveIsQuiet", {{5, 3, true}}, {}, {}, {}, 0, 0, {}},
    {"UnitBeyondTheSequenceMemoryIsRefusedEvenAsAKeepAlive",
     {{9, 0, true}, {255, 255}},
     {},
     {},
     {},
     0,
     0,
     {"\r\nSender Unit 9 9", "\r\nSender Unit 255 255"}},
};

class SequenceRules : public ReceiveLoopTest, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(SequenceRules, CountAndAcceptAsTheLoggerNumbersThem) {
    const SequenceCase& c = GetParam();
    for (const Delivery& d : c.deliveries)
        deliver(d.keepAlive ? dataPacket(d.unit, d.sequence)
                            : dataPacket(d.unit, d.sequence, {"x"}));
    const LinkStatistics& s = loop.statistics();
    EXPECT_EQ(s.unitPackets, c.packets);
    EXPECT_EQ(s.unitGapEvents, c.gapEvents);
    EXPECT_EQ(s.unitLastGap, c.lastGap);
    EXPECT_EQ(s.gapTotal, c.gapTotal);
    EXPECT_EQ(recorder.records.size(), c.recorded);
    std::vector<std::string> notices;
    for (const auto& n : op.notices()) {
        EXPECT_EQ(n.caption, "Mux ID Error");
        notices.push_back(n.text);
    }
    EXPECT_EQ(notices, c.notices);
    EXPECT_EQ(op.beeps, static_cast<int>(c.notices.size()));
}

INSTANTIATE_TEST_SUITE_P(Dispatch, SequenceRules, ::testing::ValuesIn(kSequenceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReceiveLoopTest, KeepAliveFromUnitFiveStillMovesItsSequence) {
    deliver(dataPacket(5, 3));
    EXPECT_EQ(loop.lastSequence(5), 3);
    EXPECT_TRUE(op.asked.empty());
}

TEST_F(ReceiveLoopTest, KeepAliveFromAUnitBeyondTheMemoryStoresNoSequenceAnywhere) {
    deliver(dataPacket(9, 3));
    for (int unit = 0; unit < kSequenceMemoryUnits; ++unit)
        EXPECT_EQ(loop.lastSequence(unit), 255) << unit;
    // Asking about a unit outside the memory answers "not heard from" instead of throwing.
    EXPECT_EQ(loop.lastSequence(9), 255);
    EXPECT_EQ(loop.lastSequence(-1), 255);
}

TEST_F(ReceiveLoopTest, ResetCountersClearsThePerUnitCountsButKeepsTheSequence) {
    deliver(dataPacket(1, 0, {"a"}));
    deliver(dataPacket(1, 5, {"b"}));
    loop.resetUnitCounters();
    EXPECT_EQ(loop.statistics().unitPackets, UnitArray{});
    EXPECT_EQ(loop.statistics().unitGapEvents, UnitArray{});
    EXPECT_EQ(loop.statistics().unitLastGap, UnitArray{});
    EXPECT_EQ(loop.statistics().gapTotal, 1u);
    deliver(dataPacket(1, 6, {"c"}));
    EXPECT_EQ(loop.statistics().unitPackets[1], 1u);
    EXPECT_EQ(loop.statistics().unitGapEvents[1], 0u);
    EXPECT_EQ(recorder.records.size(), 2u);
}

// --- what an accepted packet does ----------------------------------------------------------

TEST_F(ReceiveLoopTest, AcceptedRecordIsArchivedWithItsHeaderLittleEndian) {
    const ByteVector packet = dataPacket(1, 0, {"ab", "", "cde"}, 0x0A0B0C0D);
    deliver(packet);
    ASSERT_EQ(recorder.records.size(), 1u);
    const ByteVector& r = recorder.records[0];
    ASSERT_EQ(r.size(), 5u + 32u);
    EXPECT_EQ(r[2], 1);            // unit
    EXPECT_EQ(readLe16(r, 4), 5);  // payload length
    EXPECT_EQ(readLe32(r, 6), 0x0A0B0C0Du);
    EXPECT_EQ(readLe16(r, 10), 2);  // count of port 1
    EXPECT_EQ(readLe16(r, 14), 3);  // count of port 3
    EXPECT_EQ(text(Bytes(r).subspan(28, 5)), "abcde");
    EXPECT_EQ(text(Bytes(r).subspan(33, 4)), "####");
    EXPECT_EQ(recorded, 37);
}

TEST_F(ReceiveLoopTest, FailedArchiveWriteLeavesTheSizeCounter) {
    recorder.writes = false;
    deliver(dataPacket(1, 0, {"ab"}));
    EXPECT_EQ(recorder.records.size(), 1u);
    EXPECT_EQ(recorded, 0);
}

TEST_F(ReceiveLoopTest, NothingIsArchivedOutsideTheArchiveModes) {
    for (RecordMode mode : {RecordMode::Off, RecordMode::RawInput, RecordMode::Replay}) {
        ByteVector record = recordOf(dataPacket(1, static_cast<int>(mode), {"ab"}));
        loop.handleDataPacket(record, mode, recorded);
    }
    EXPECT_TRUE(recorder.records.empty());
}

class DeckTest : public ReceiveLoopTest {
protected:
    void route(int slot, int function, int unit, int port) {
        openSlot(slot);
        auto& d = loop.deckRouting();
        d.pcFunction[slot] = function;
        d.pcSourceId[slot] = unit;
        d.pcSourcePort[slot] = port;
    }
};

TEST_F(DeckTest, EachDeckSlotGetsItsChosenPortOfItsChosenUnit) {
    route(1, kPcFunctionLoggerOutput, 1, 2);
    route(2, kPcFunctionInputAndOutput, 1, 9);
    route(3, kPcFunctionLoggerOutput, 2, 2);
    route(4, kPcFunctionMeterInput, 1, 2);
    route(5, kPcFunctionLoggerOutput, 1, 3);  // port 3 carries nothing
    deliver(dataPacket(1, 0, {"one", "two!", "", "", "", "", "", "", "analog"}));
    EXPECT_EQ(written(1), "two!");
    EXPECT_EQ(written(2), "analog");
    EXPECT_EQ(written(3), "");
    EXPECT_EQ(written(4), "");
    EXPECT_EQ(written(5), "");
    const auto& out = loop.deckRouting().pcBytesOut;
    EXPECT_EQ(out[1], 4);
    EXPECT_EQ(out[2], 6);
    EXPECT_EQ(out[3] + out[4] + out[5], 0);
    EXPECT_EQ(written(0), "");
}

TEST_F(DeckTest, UnitZeroIsRecordedAndShownButNeverForwarded) {
    route(1, kPcFunctionLoggerOutput, 0, 1);
    loop.rawDisplay = {true, kRawSourceParsed, 0, 0};
    deliver(dataPacket(0, 0, {"zero"}));
    EXPECT_EQ(written(1), "");
    EXPECT_EQ(loop.deckRouting().pcBytesOut[1], 0);
    EXPECT_EQ(recorder.records.size(), 1u);
    EXPECT_EQ(loop.takePendingDisplay().portText, "zero");
}

TEST_F(DeckTest, GapAndDuplicatePacketsAreNeitherShownForwardedNorRecorded) {
    route(1, kPcFunctionLoggerOutput, 1, 1);
    loop.rawDisplay = {true, kRawSourceParsed, 1, 0};
    deliver(dataPacket(1, 4, {"gap"}));
    deliver(dataPacket(1, 4, {"dup"}));
    EXPECT_EQ(written(1), "");
    EXPECT_TRUE(recorder.records.empty());
    EXPECT_TRUE(loop.takePendingDisplay().empty());
}

TEST_F(DeckTest, PortViewShowsOnlyTheSelectedPortOfTheSelectedUnit) {
    loop.rawDisplay = {true, kRawSourceParsed, 2, 1};
    deliver(dataPacket(1, 0, {"a", "not this unit"}));
    deliver(dataPacket(2, 0, {"a", "port two"}));
    loop.rawDisplay.on = false;
    deliver(dataPacket(2, 1, {"a", "display off"}));
    EXPECT_EQ(loop.takePendingDisplay().portText, "port two");
    EXPECT_TRUE(loop.takePendingDisplay().empty());
}

// Counts adding up past the payload: the segment that would run off the end is not copied;
// the ones inside are.
TEST_F(DeckTest, SegmentOutsideThePayloadIsNeverCopied) {
    route(1, kPcFunctionLoggerOutput, 1, 1);
    route(2, kPcFunctionLoggerOutput, 1, 2);
    loop.rawDisplay = {true, kRawSourceParsed, 1, 1};
    ByteVector packet = dataPacket(1, 0, {"0123456789"});
    writeBe16(packet, data_packet::kCounts + 2, 5);  // port 2 claims 5 bytes beyond n
    storeChecksum(packet);
    ByteVector record = recordOf(packet);  // exactly sized, so any overread is caught
    loop.handleDataPacket(record, RecordMode::Continuous, recorded);
    EXPECT_EQ(written(1), "0123456789");
    EXPECT_EQ(written(2), "");
    EXPECT_TRUE(loop.takePendingDisplay().empty());
    EXPECT_EQ(loop.statistics().segmentsOutsidePayload, 2u);
    EXPECT_EQ(recorder.records.size(), 1u);
}

TEST_F(ReceiveLoopTest, RecordShorterThanItsPayloadIsDroppedUntouched) {
    ByteVector record = recordOf(dataPacket(1, 0, {"0123456789"}));
    record.resize(28 + 5);
    const ByteVector before = record;
    loop.handleDataPacket(record, RecordMode::Continuous, recorded);
    EXPECT_EQ(record, before);
    EXPECT_EQ(loop.statistics().malformedRecords, 1u);
    EXPECT_EQ(loop.lastSequence(1), 255);
    ByteVector tiny(10, 0);
    loop.handleDataPacket(tiny, RecordMode::Continuous, recorded);
    EXPECT_EQ(loop.statistics().malformedRecords, 2u);
    EXPECT_TRUE(recorder.records.empty());
}

// --- the receive step ------------------------------------------------------------------------

TEST_F(ReceiveLoopTest, TwoPacketsInOneReadAreHandledOnSuccessiveTicks) {
    arrive(
        concat({ByteVector{0x31, 0x32, 0x33}, dataPacket(1, 0, {"a"}), dataPacket(1, 1, {"b"})}));
    EXPECT_EQ(loop.receiveStep(RecordMode::Continuous), kReceivedPacket);
    EXPECT_EQ(recorder.records.size(), 1u);
    EXPECT_EQ(loop.receiveStep(RecordMode::Continuous), kReceivedPacket);
    EXPECT_EQ(recorder.records.size(), 2u);
    EXPECT_EQ(loop.receiveStep(RecordMode::Continuous), kReceivedNothing);
    const LinkStatistics& s = loop.statistics();
    EXPECT_EQ(s.packetCount, 2u);
    EXPECT_EQ(s.totalInputBytes, 3u + 37u + 37u);
    EXPECT_EQ(s.largestPayload, 1u);
    EXPECT_EQ(loop.archiveBytes(), 2 * 33);
    EXPECT_EQ(loop.framer().counters().droppedBytes, 3u);
}

TEST_F(ReceiveLoopTest, PartialPacketReportsBytesReadUntilItCompletes) {
    const ByteVector p = dataPacketOfSize(300);
    arrive(ByteVector(p.begin(), p.begin() + 100));
    EXPECT_EQ(loop.receiveStep(RecordMode::Off), kReceivedBytes);
    arrive(ByteVector(p.begin() + 100, p.end()));
    EXPECT_EQ(loop.receiveStep(RecordMode::Off), kReceivedPacket);
    EXPECT_EQ(loop.statistics().largestPayload, 300u);
}

// The read takes as much as the buffer has room for, so a maximal packet that arrives behind
// garbage is held whole and recognised instead of waiting forever for its last bytes.
TEST_F(ReceiveLoopTest, MaximalPacketBehindGarbageIsReceivedThroughTheLoggerPort) {
    const ByteVector p = dataPacketOfSize(kMaxDataPayload);
    arrive(concat({ByteVector(20, 0x55), p}));
    EXPECT_EQ(loop.receiveStep(RecordMode::Continuous), kReceivedBytes);
    EXPECT_EQ(loop.receiveStep(RecordMode::Continuous), kReceivedPacket);
    ASSERT_EQ(recorder.records.size(), 1u);
    EXPECT_EQ(recorder.records[0].size(), p.size() - 4);
    EXPECT_EQ(loop.statistics().largestPayload, kMaxDataPayload);
    EXPECT_TRUE(line(0).incoming.empty());
}

TEST_F(ReceiveLoopTest, OneErrorByteEndsTheTick) {
    ByteVector oversized(40, 0);
    oversized[0] = oversized[1] = 8;
    writeBe16(oversized, 6, 5000);
    arrive(oversized);
    loop.receiveStep(RecordMode::Off);
    // -2 dropped one byte and ended the tick; the next tick drops the zeros freely.
    EXPECT_EQ(loop.framer().size(), 39u);
    loop.receiveStep(RecordMode::Off);
    EXPECT_LT(loop.framer().size(), kMinPacketLength);
}

TEST_F(ReceiveLoopTest, EveryRecordTypeIsStoredAndHandedOn) {
    ByteVector flash = fixedPacket(2, 9);
    writeLe16(flash, 2, 0xFFFE);
    storeChecksum(flash);
    const ByteVector status = fixedPacket(3, 3);
    arrive(concat({fixedPacket(1, 1), flash, status, fixedPacket(4, 4), fixedPacket(5, 5),
                   fixedPacket(6, 6), fixedPacket(7, 7)}));
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(loop.receiveStep(RecordMode::Off), kReceivedPacket);
    const ReceivedRecords& r = loop.records();
    EXPECT_TRUE(r.setupPacketPending);
    EXPECT_TRUE(r.statusPacketPending);
    EXPECT_TRUE(r.hardwarePacketPending);
    EXPECT_EQ(r.flashErrorIndicator, -2);
    EXPECT_EQ(ByteVector(r.status.begin(), r.status.end()), status);
    EXPECT_EQ(ByteVector(r.setup.begin(), r.setup.end()), fixedPacket(1, 1));
    EXPECT_EQ(collector.seen,
              (std::vector<std::string>{"upload 1036", "dir 64", "cal 44", "hw 58"}));
    EXPECT_EQ(loop.framer().size(), 0u);
}

TEST_F(ReceiveLoopTest, ReplayLeavesTheLoggerPortAloneAndDispatchesTheArchivePacket) {
    arrive(dataPacket(1, 0, {"live"}));
    replay.packets.push_back(dataPacket(2, 0, {"replayed"}));
    EXPECT_EQ(loop.receiveStep(RecordMode::Replay), kReceivedPacket);
    EXPECT_EQ(line(0).incoming.size(), 37u + 3u);
    EXPECT_EQ(loop.statistics().unitPackets[2], 1u);
    EXPECT_EQ(loop.statistics().unitPackets[1], 0u);
    EXPECT_EQ(loop.receiveStep(RecordMode::ContinuousReplay), kReceivedNothing);
    EXPECT_TRUE(recorder.records.empty());
}

TEST_F(ReceiveLoopTest, RawInputWritesEachChunkAndArchivesNoPackets) {
    loop.rawDisplay = {true, kRawSourceLogger, 1, 0};
    const ByteVector p = dataPacket(1, 0, {"raw"});
    arrive(p);
    EXPECT_EQ(loop.receiveStep(RecordMode::RawInput), kReceivedPacket);
    ASSERT_EQ(recorder.raw.size(), 1u);
    EXPECT_EQ(recorder.raw[0], p);
    EXPECT_TRUE(recorder.records.empty());
    EXPECT_EQ(loop.archiveBytes(), static_cast<std::int64_t>(p.size()));
    const PendingDisplay shown = loop.takePendingDisplay();
    EXPECT_EQ(shown.rawLoggerText, std::string(p.begin(), p.end()));
    EXPECT_TRUE(shown.portText.empty());
}

TEST_F(ReceiveLoopTest, ClosedLoggerPortReadsNothing) {
    table.closePort(0);
    arrive(dataPacket(1, 0, {"a"}));
    EXPECT_EQ(loop.receiveStep(RecordMode::Off), kReceivedNothing);
}

// --- polled wake ------------------------------------------------------------------------------

TEST_F(ReceiveLoopTest, PolledWakeCountsDownTheScrollPositionThenSendsWake) {
    loop.startWake(3);
    EXPECT_EQ(written(0), "      WAKE");
    EXPECT_EQ(loop.wakeTest().stage, WakeTest::Stage::Started);
    loop.wakeStep(1000, 3);
    loop.wakeStep(1010, 3);
    EXPECT_TRUE(loop.wakeRunning());
    EXPECT_EQ(written(0), "      WAKE");
    loop.wakeStep(1025, 3);
    EXPECT_FALSE(loop.wakeRunning());
    EXPECT_EQ(written(0), "      WAKE WAKE");
    EXPECT_EQ(loop.wakeTest().stage, WakeTest::Stage::Measured);
    EXPECT_EQ(loop.wakeTest().countdownTicks, 3);
    EXPECT_EQ(loop.wakeTest().delayMilliseconds, 25);
    loop.wakeStep(2000, 3);
    EXPECT_EQ(written(0), "      WAKE WAKE");
}

}  // namespace
}  // namespace cvh::test
