// The recorder: archive bytes of accepted packets, file naming by the local clock, hourly
// roll-over and restarts, raw input, and what a failed write or file leaves behind.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <set>

#include "files/extract_test_util.h"
#include "files/recorder.h"
#include "link/packet_builders.h"
#include "link/receive_loop.h"
#include "link/serial_port_table.h"
#include "support/fake_serial.h"
#include "support/scripted_operator.h"
#include "support/temp_dir.h"

namespace cvh {
namespace {

using test::ByteVec;

std::int64_t utcOf(int year, int month, int day, int hour, int minute, int second) {
    return daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

// A record as the archive holds it, with `size` data bytes all in port 1.
ByteVec record(std::uint8_t sequence, std::size_t size = 40) {
    return test::archiveBytes(1, 1, 1, sequence, 77, {static_cast<std::uint16_t>(size)},
                              ByteVec(size, static_cast<std::uint8_t>('a' + sequence % 26)));
}

class RecorderTest : public ::testing::Test {
protected:
    RecorderTest() {
        clock.now = utcOf(2024, 3, 5, 10, 58, 30);
        backend.add("logger");
        table.names().set(1, "logger");
        table.openPort(0, 1);
    }
    ~RecorderTest() override { setWriteFaultHook(nullptr); }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    bool append(const ByteVec& bytes) { return recorder.appendPacket(bytes, recorder.mode()); }

    test::TempDir dir;
    FixedClock clock;
    test::ScriptedOperator op;
    test::FakeSerialBackend backend;
    SerialPortTable table{backend, op};
    ReceiveLoop loop{table, op};
    Recorder recorder{op, clock};
};

TEST_F(RecorderTest, ArchiveHoldsEachAcceptedPacketWholeInEveryCountLayout) {
    // Port sizes 1..9 per packet; the last is the largest a packet may carry.
    const std::vector<std::vector<std::size_t>> layouts{
        {1},
        {1, 1, 1, 1, 1, 1, 1, 1, 1},
        {0, 0, 0, 0, 0, 0, 0, 0, 7},
        {0, 3, 0, 0, 2, 0, 0, 0, 1},
        {},  // a keep-alive: nothing to archive
        {0, 0, 0, 300, 0, 0, 0, 0, 0},
        {455, 455, 455, 455, 455, 455, 455, 455, 456},
    };
    // An old file of the same name is replaced, not appended to.
    test::writeFile(dir / "live.arc", test::bytesOf("old contents"));
    loop.setConsumers({.recorder = &recorder});
    ASSERT_EQ(recorder.startRecording(RecordMode::Continuous, path("live.arc")),
              RecorderStart::Started);

    ByteVec expected;
    std::uint8_t sequence = 0;
    for (const auto& sizes : layouts) {
        std::vector<std::string> ports;
        std::vector<std::uint16_t> counts;
        ByteVec data;
        for (std::size_t p = 0; p < sizes.size(); ++p) {
            ports.emplace_back(sizes[p], static_cast<char>('A' + p));
            counts.push_back(static_cast<std::uint16_t>(sizes[p]));
            data.insert(data.end(), ports.back().begin(), ports.back().end());
        }
        auto wire = test::dataPacket(2, sequence, ports, 0x0A0B0C0D + sequence);
        loop.handleDataPacket(MutableBytes(wire.data() + 2, wire.size() - 4), recorder.mode(),
                              loop.archiveBytes());
        if (!data.empty())
            expected =
                test::cat({expected, test::archiveBytes(0x21, 0x22, 2, sequence,
                                                        0x0A0B0C0D + sequence, counts, data)});
        ++sequence;
    }
    recorder.stop();
    const ByteVec file = test::readFile(dir / "live.arc");
    ASSERT_EQ(file.size(), expected.size());
    EXPECT_EQ(file, expected);
    // The largest record, last in the file, is 4096 + 32 bytes.
    EXPECT_EQ(ByteVec(file.end() - 4128, file.end() - 4124), ByteVec({0x21, 0x22, 2, 6}));
    EXPECT_EQ(recorder.state().sizeCounter, static_cast<std::int64_t>(file.size()));
    EXPECT_EQ(loop.archiveBytes(), static_cast<std::int64_t>(file.size()));
    // A record whose size disagrees with its header never reaches the file.
    ByteVec torn = record(9);
    torn.pop_back();
    ASSERT_EQ(recorder.startRecording(RecordMode::Continuous, path("torn.arc")),
              RecorderStart::Started);
    EXPECT_FALSE(append(torn));
    EXPECT_EQ(recorder.state().refusedRecords, 1u);
    EXPECT_TRUE(test::readFile(dir / "torn.arc").empty());
}

TEST_F(RecorderTest, HourlyAndDailyNamesFollowTheLocalClock) {
    struct Case {
        std::int64_t utc;
        std::int64_t zoneWest;  // seconds west of UTC
        const char* hourly;
        const char* daily;
    };
    const Case cases[] = {
        {utcOf(2024, 1, 1, 0, 0, 0), 0, "arch24_001.000", "arch24.001"},
        {utcOf(2024, 12, 31, 23, 59, 59), 0, "arch24_366.023", "arch24.366"},
        {utcOf(2025, 12, 31, 23, 0, 0), 0, "arch25_365.023", "arch25.365"},
        // The same instant an hour east of UTC is already the next year.
        {utcOf(2024, 12, 31, 23, 30, 0), -3600, "arch25_001.000", "arch25.001"},
        // Five hours west, the first hour of 2024 is still the last evening of 2023.
        {utcOf(2024, 1, 1, 0, 30, 0), 5 * 3600, "arch23_365.019", "arch23.365"},
        {utcOf(2024, 2, 29, 14, 0, 0), 5 * 3600, "arch24_060.009", "arch24.060"},
    };
    for (const auto& c : cases) {
        clock.now = c.utc;
        clock.zoneWestSeconds = c.zoneWest;
        ASSERT_EQ(recorder.startRecording(RecordMode::Hourly, path("arch")),
                  RecorderStart::Started);
        EXPECT_EQ(recorder.state().fileName, path(c.hourly));
        EXPECT_EQ(recorder.state().label, FileLabel::HourlyArchive);
        recorder.stop();
        ASSERT_EQ(recorder.startRecording(RecordMode::Daily, path("arch")), RecorderStart::Started);
        EXPECT_EQ(recorder.state().fileName, path(c.daily));
        recorder.stop();
        EXPECT_TRUE(std::filesystem::exists(path(c.hourly)));
    }
}

TEST_F(RecorderTest, HourlyFilesAppendAcrossRestartsAndRollOverWithTheHour) {
    ASSERT_EQ(recorder.startRecording(RecordMode::Hourly, path("h")), RecorderStart::Started);
    EXPECT_FALSE(recorder.state().fileOpen);  // opened at the first record
    ASSERT_TRUE(append(record(0)));
    ASSERT_TRUE(append(record(1)));
    recorder.stop();

    // Again within the hour: the same file, its size counted from what is there.
    ASSERT_EQ(recorder.startRecording(RecordMode::Hourly, path("h")), RecorderStart::Started);
    EXPECT_EQ(recorder.state().sizeCounter, 2 * 72);
    ASSERT_TRUE(append(record(2)));
    recorder.tick1s();  // first check: minute 58 seen, the file closed
    EXPECT_FALSE(recorder.state().fileOpen);
    ASSERT_TRUE(append(record(3)));
    clock.now += 20;
    recorder.tick1s();  // same minute: left open
    EXPECT_TRUE(recorder.state().fileOpen);

    // Across the hour: the next record starts the new hour's file.
    clock.now = utcOf(2024, 3, 5, 11, 0, 1);
    recorder.tick1s();
    ASSERT_TRUE(append(record(4)));
    EXPECT_EQ(recorder.state().fileName, path("h24_065.011"));
    EXPECT_EQ(recorder.state().sizeCounter, 72);

    // Stopped in the second after a minute change, before any record: nothing closed twice.
    clock.now += 60;
    recorder.tick1s();
    recorder.stop();
    EXPECT_EQ(recorder.state().writeFailures, 0u);
    EXPECT_TRUE(op.notices().empty());
    EXPECT_EQ(test::readFile(dir / "h24_065.010"),
              test::cat({record(0), record(1), record(2), record(3)}));
    EXPECT_EQ(test::readFile(dir / "h24_065.011"), record(4));
}

TEST_F(RecorderTest, RawInputHoldsTheBytesAsReadAndNoArchiveRecords) {
    loop.setConsumers({.recorder = &recorder});
    ASSERT_EQ(recorder.startRecording(RecordMode::RawInput, path("in.raw")),
              RecorderStart::Started);
    const ByteVec bytes = test::cat(
        {test::bytesOf("noise"), test::dataPacket(1, 0, {"abc"}), test::dataPacket(1, 1, {"def"})});
    backend.line("logger").incoming.assign(bytes.begin(), bytes.end());
    for (int i = 0; i < 5; ++i)
        loop.receiveStep(recorder.mode());
    EXPECT_EQ(loop.statistics().unitPackets[1], 2u);
    recorder.stop();
    EXPECT_EQ(test::readFile(dir / "in.raw"), bytes);
    EXPECT_EQ(recorder.state().sizeCounter, static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(recorder.state().label, FileLabel::RawInput);
}

TEST_F(RecorderTest, AFailedWriteLeavesWholeRecordsAndIsToldOncePerRun) {
    int call = 0;
    std::set<int> failing{2, 3, 6};
    setWriteFaultHook([&](const std::filesystem::path&, std::size_t bytes) {
        return bytes > 0 && failing.count(++call) ? ENOSPC : 0;
    });
    ASSERT_EQ(recorder.startRecording(RecordMode::Continuous, path("f.arc")),
              RecorderStart::Started);
    std::vector<bool> written;
    for (std::uint8_t s = 0; s < 7; ++s)
        written.push_back(append(record(s)));
    EXPECT_EQ(written, std::vector<bool>({true, false, false, true, true, false, true}));
    recorder.stop();

    EXPECT_EQ(test::readFile(dir / "f.arc"),
              test::cat({record(0), record(3), record(4), record(6)}));
    EXPECT_EQ(recorder.state().sizeCounter, 4 * 72);
    EXPECT_EQ(recorder.state().writeFailures, 3u);
    EXPECT_EQ(recorder.state().lastFailure, path("f.arc") + ": " + std::strerror(ENOSPC));
    // One notice for each run of failures, naming the file and the reason.
    const auto notices = op.notices();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].caption, "File Error");
    EXPECT_NE(notices[0].text.find(path("f.arc")), std::string::npos);
    EXPECT_NE(notices[0].text.find(std::strerror(ENOSPC)), std::string::npos);
}

TEST_F(RecorderTest, AFileThatCannotBeCreatedIsToldAndRecordingStaysOff) {
    const std::string missing = path("no/such/folder/a");
    const struct {
        RecordMode mode;
        const char* text;
    } cases[] = {
        {RecordMode::Continuous, "Unable to Create Archive File\n"},
        {RecordMode::Hourly, "Unable to Create Archive File\n"},
        {RecordMode::Daily, "Unable to Create Archive File\n"},
        {RecordMode::RawInput, "Unable to Create Raw Data File\n"},
    };
    for (const auto& c : cases) {
        op.asked.clear();
        EXPECT_EQ(recorder.startRecording(c.mode, missing), RecorderStart::Failed);
        EXPECT_EQ(recorder.mode(), RecordMode::Off);
        const auto notices = op.notices();
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].caption, "File Error");
        EXPECT_EQ(notices[0].text.rfind(c.text, 0), 0u) << notices[0].text;
        EXPECT_NE(notices[0].text.find(missing), std::string::npos);
    }
}

TEST_F(RecorderTest, ButtonsAskForTheirFileAndStartOnlyFromOff) {
    const struct {
        std::function<RecorderStart(Recorder&)> click;
        const char* kind;
        const char* title;
        RecordMode mode;
    } buttons[] = {
        {&Recorder::recordArchiveClick, "save", "Record Continuous Archive",
         RecordMode::Continuous},
        {&Recorder::record1HourClick, "save", "Record 1 Hour Archive", RecordMode::Hourly},
        {&Recorder::record1DayClick, "save", "Record 1 Day Archive", RecordMode::Daily},
        {&Recorder::recordRawClick, "save", "Record Raw File", RecordMode::RawInput},
        {&Recorder::replayArchiveClick, "open", "Open Archive For Replay", RecordMode::Replay},
        {&Recorder::replayContinuousClick, "open", "Open Archive For Continuous Replay",
         RecordMode::ContinuousReplay},
    };
    test::writeFile(dir / "x", record(0));
    for (const auto& b : buttons) {
        op.asked.clear();
        EXPECT_EQ(b.click(recorder), RecorderStart::Cancelled);  // no file chosen
        EXPECT_EQ(recorder.mode(), RecordMode::Off);
        op.files.push_back(path("x"));
        EXPECT_EQ(b.click(recorder), RecorderStart::Started);
        EXPECT_EQ(recorder.mode(), b.mode);
        // While a mode is active no dialog is shown.
        EXPECT_EQ(b.click(recorder), RecorderStart::Busy);
        ASSERT_EQ(op.asked.size(), 2u);
        EXPECT_EQ(op.asked[0].kind, b.kind);
        EXPECT_EQ(op.asked[0].caption, b.title);
        recorder.stopClick();
        EXPECT_EQ(recorder.mode(), RecordMode::Off);
        test::writeFile(dir / "x", record(0));
    }
}

// Fills a small file system: records are cut back whole, the operator is told once, and
// recording goes on as soon as there is room again.
TEST_F(RecorderTest, AFullDiskKeepsWholeRecordsAndRecordingResumes) {
    const auto disk = dir.sub("disk");
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a 64 KiB tmpfs at " << disk << " (" << std::strerror(errno)
                     << "; needs root)";
    struct Unmount {
        std::filesystem::path at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{disk};
    test::writeFile(disk / "ballast", ByteVec(16 * 1024, 0));

    ASSERT_EQ(recorder.startRecording(RecordMode::Continuous, (disk / "full.arc").string()),
              RecorderStart::Started);
    const std::size_t kData = 1000;
    int accepted = 0;
    int refused = 0;
    for (std::uint8_t s = 0; s < 120; ++s)
        (append(record(s, kData)) ? accepted : refused) += 1;
    ASSERT_GT(accepted, 10);
    ASSERT_GT(refused, 10);
    const auto whole = [&](int records) {
        ByteVec out;
        for (int s = 0; s < records; ++s)
            out = test::cat({out, record(static_cast<std::uint8_t>(s), kData)});
        return out;
    };
    EXPECT_EQ(test::readFile(disk / "full.arc"), whole(accepted));
    EXPECT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(recorder.state().writeFailures, static_cast<std::uint32_t>(refused));

    std::filesystem::remove(disk / "ballast");
    EXPECT_TRUE(append(record(200, kData)));
    recorder.stop();
    const ByteVec file = test::readFile(disk / "full.arc");
    EXPECT_EQ(file, test::cat({whole(accepted), record(200, kData)}));
    EXPECT_EQ(recorder.state().sizeCounter, static_cast<std::int64_t>(file.size()));
    EXPECT_EQ(op.notices().size(), 1u);
}

}  // namespace
}  // namespace cvh
