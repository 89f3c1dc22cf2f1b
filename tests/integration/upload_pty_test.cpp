// Directory and upload over a pseudo-terminal: a test-side logger on the master answers the
// directory request and sends each requested run in blocks, waiting for the acknowledgement of
// each block; the host reads the slave through the Qt backend and the receive loop, as the
// session will, and the test runs the 1 s pacing and the TTimeout ticks by hand. The logger
// numbers its blocks on from run to run, so every run after the first begins with the number
// the previous one ended on.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "base/bytes.h"
#include "base/clock.h"
#include "base/file_write.h"
#include "files/run_extract.h"
#include "files/run_file.h"
#include "files/run_upload.h"
#include "link/command_frames.h"
#include "link/port_manager.h"
#include "link/receive_loop.h"
#include "link/run_directory_record.h"
#include "platform/qt_serial_backend.h"
#include "session/upload_view.h"
#include "support/pty.h"
#include "support/scripted_operator.h"
#include "support/temp_dir.h"

namespace cvh {
namespace {

using namespace std::chrono_literals;
using Bytes8 = std::vector<std::uint8_t>;

constexpr int kLoggerCom = 60;

struct Command {
    std::uint16_t code = 0;
    std::uint32_t a = 0;
    std::uint16_t b = 0;
};

struct Ack {
    std::uint32_t a = 0;
    std::uint16_t block = 0;
    bool operator==(const Ack&) const = default;
};

// A run file of battery records (the extraction copies them to "Battery.NNN"), `size` bytes.
Bytes8 makeRunFile(std::size_t size, unsigned seed) {
    Bytes8 file;
    unsigned x = seed * 2654435761u + 1;
    auto record = [&](std::size_t payload) {
        const std::size_t at = file.size();
        file.resize(at + kRunHeaderSize + payload);
        writeLe16(file, at, static_cast<std::uint16_t>(payload));
        writeLe16(file, at + 2, static_cast<std::uint16_t>(RunType::Battery));
        for (std::size_t i = 0; i < payload; ++i) {
            x = x * 1103515245u + 12345u;
            file[at + kRunHeaderSize + i] = static_cast<std::uint8_t>(x >> 16);
        }
    };
    while (size - file.size() >= 14)
        record(6);
    if (size - file.size() >= kRunHeaderSize + 1)
        record(size - file.size() - kRunHeaderSize);
    return file;
}

struct LoggerRun {
    int number = 0;
    Bytes8 file;
    std::int64_t announced = -1;  // the directory's size; -1: the file's own
};

// The logger's side of the line.
class TestLogger {
public:
    explicit TestLogger(test::Pty& pty) : pty_(pty) {}

    std::vector<LoggerRun> runs;
    std::map<int, int> unanswered;  // run -> requests left unanswered (-1: all)
    std::map<int, int> stalls;      // run -> requests that stop after their first block
    std::set<std::uint16_t> sendTwice;

    std::vector<Command> commands;
    std::vector<Ack> acks;
    std::vector<std::uint16_t> blocksSent;  // every block put on the line, repeats included

    int requests(int run) const {
        int n = 0;
        for (const auto& c : commands)
            n += c.code == 0xBABA && c.b == run;
        return n;
    }
    const LoggerRun& run(int number) const {
        for (const auto& r : runs)
            if (r.number == number)
                return r;
        throw std::runtime_error("no such run");
    }

    void poll() {
        const Bytes8 more = pty_.read(4096, 0ms);
        inbox_.insert(inbox_.end(), more.begin(), more.end());
        while (inbox_.size() >= kCommandFrameLength) {
            if (inbox_[0] != 2 || inbox_[1] != 2) {
                inbox_.erase(inbox_.begin());
                continue;
            }
            const Bytes frame(inbox_.data(), kCommandFrameLength);
            Command c{readLe16(frame, 2), readLe32(frame, 4), readLe16(frame, 8)};
            inbox_.erase(inbox_.begin(), inbox_.begin() + kCommandFrameLength);
            commands.push_back(c);
            handle(c);
        }
    }

private:
    void handle(const Command& c) {
        if (c.code == 0xB8B8) {
            for (const auto& r : runs) {
                DirectoryEntry e;
                e.runNumber = static_cast<std::int16_t>(r.number);
                e.runKind = 1;
                e.runSizeBytes =
                    static_cast<std::uint32_t>(r.announced >= 0 ? r.announced : r.file.size());
                const auto bytes = encodeDirectoryEntry(e);
                send(Bytes8(bytes.begin(), bytes.end()));
            }
        } else if (c.code == 0xBABA) {
            start(c.b);
        } else if (c.code == 0xA9A9) {
            acks.push_back({c.a, c.b});
            acknowledge(c.a, c.b);
        }
    }

    void start(int number) {
        current_ = nullptr;
        int& skip = unanswered[number];
        if (skip != 0) {
            if (skip > 0)
                --skip;
            return;
        }
        for (const auto& r : runs)
            if (r.number == number)
                current_ = &r;
        if (current_ == nullptr)
            return;
        int& stall = stalls[number];
        stalling_ = stall != 0;
        if (stall > 0)
            --stall;
        offset_ = 0;
        cancelled_ = false;
        final_ = false;
        sendBlock();
    }

    void acknowledge(std::uint32_t a, std::uint16_t block) {
        if (current_ == nullptr || block != block_)
            return;  // a late acknowledgement of a block already answered
        if (final_) {
            current_ = nullptr;
            return;
        }
        if (a == 2)
            cancelled_ = true;
        if (stalling_)
            return;
        ++block_;
        sendBlock();
    }

    void sendBlock() {
        const Bytes8& file = current_->file;
        Bytes data;
        if (cancelled_ || offset_ >= file.size()) {
            final_ = true;
        } else {
            data = Bytes(file).subspan(offset_, std::min<std::size_t>(1024, file.size() - offset_));
            offset_ += data.size();
        }
        const auto packet = *encodeUploadBlock(block_, data);
        const int times = !final_ && sendTwice.count(block_) ? 2 : 1;
        for (int i = 0; i < times; ++i) {
            send(Bytes8(packet.begin(), packet.end()));
            blocksSent.push_back(block_);
        }
    }

    void send(const Bytes8& bytes) { ASSERT_TRUE(pty_.write(bytes)); }

    test::Pty& pty_;
    Bytes8 inbox_;
    const LoggerRun* current_ = nullptr;
    std::size_t offset_ = 0;
    std::uint16_t block_ = 1;
    bool cancelled_ = false;
    bool final_ = false;
    bool stalling_ = false;
};

Bytes8 readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes8(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> readLines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class UploadPty : public ::testing::Test {
protected:
    UploadPty() {
        table.names().set(kLoggerCom, pty.slavePath());
        loop.setConsumers({.upload = &upload, .directory = &upload});
        clock.now = 1718114602;  // 2024-06-11 14:03:22 UTC
    }
    ~UploadPty() override { setWriteFaultHook({}); }

    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        ASSERT_EQ(ports.reopenPort(0, kLoggerCom, 11), 11);
    }

    std::filesystem::path runPath(int run) const { return dir / runFileName(run); }

    // Runs the receive loop and the logger until `done`, never longer than `limit`.
    template <class Done>
    bool pumpUntil(Done done, std::chrono::milliseconds limit = 10s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            const int r = loop.receiveStep(RecordMode::Off);
            logger.poll();
            if (r == kReceivedNothing)
                std::this_thread::sleep_for(100us);
        }
        return true;
    }
    // Lets whatever is on the line arrive and be answered.
    void settle() {
        int quiet = 0;
        pumpUntil([&] {
            const bool idle = loop.receiveStep(RecordMode::Off) == kReceivedNothing;
            logger.poll();
            quiet = idle ? quiet + 1 : 0;
            if (idle)
                std::this_thread::sleep_for(200us);
            return quiet >= 100;
        });
    }

    void loadDirectory() {
        upload.requestDirectory(9, "CV Logger");
        ASSERT_TRUE(pumpUntil([&] {
            return upload.directory().entryCount() == static_cast<int>(logger.runs.size());
        }));
    }
    // Selects the given list lines and confirms the save dialog in the test's folder.
    void start(std::vector<int> lines, const std::string& confirmed = "run.xxx") {
        op.files.push_back((dir / confirmed).string());
        upload.startUpload(lines, 1, 901);
        ASSERT_TRUE(upload.uploading());
    }
    // One pacing tick, then the run it started until it ends.
    bool pacedRun() {
        upload.pacingStep();
        return pumpUntil([&] { return !upload.facts().requestSent || !upload.uploading(); });
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            upload.onTimeoutTick();
    }

    bool receiptChecks(int run) const {
        const std::string command = "cd '" + dir.path().string() + "' && sha256sum -c --quiet " +
                                    runFileName(run) + ".sha256 >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }
    bool hasReceipt(int run) const {
        return std::filesystem::exists(dir / (runFileName(run) + ".sha256"));
    }
    std::vector<std::string> logResults() const {
        std::vector<std::string> out;
        for (const auto& line : readLines(dir / kUploadLogName))
            out.push_back(line.substr(line.find("run ")));
        return out;
    }
    std::vector<Ack> expectedAcks(std::uint32_t a = 1) const {
        std::vector<Ack> out;
        for (auto b : logger.blocksSent)
            out.push_back({a, b});
        return out;
    }
    std::vector<std::string> captions() const {
        std::vector<std::string> out;
        for (const auto& n : op.notices())
            out.push_back(n.caption + " | " + n.text.substr(0, n.text.find('\n')));
        return out;
    }

    test::Pty pty;
    test::TempDir dir{"cvh_upload"};
    QtSerialBackend backend;
    test::ScriptedOperator op;
    FixedClock clock;
    SerialPortTable table{backend, op};
    ReceiveLoop loop{table, op};
    PortManager ports{table, loop.framer(), loop.statistics()};
    ExtractionState extraction;
    std::vector<std::filesystem::path> extracted;
    RunUpload upload{loop.commands(), op, clock,
                     [this](const std::filesystem::path& file, ExtractChoice choice) {
                         extracted.push_back(file);
                         extractBesideRunFile(file, choice, false, extraction, op);
                     }};
    TestLogger logger{pty};
};

TEST_F(UploadPty, ThreeRunsArriveWholeAcknowledgedVerifiedAndExtracted) {
    logger.runs = {{1, makeRunFile(3000, 1)}, {2, makeRunFile(5130, 2)}, {4, makeRunFile(2048, 3)}};
    logger.sendTwice = {5};  // the second block of run 2 comes twice
    loadDirectory();
    start({0, 1, 2});
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(pacedRun());
    settle();

    EXPECT_FALSE(upload.uploading());
    for (const auto& r : logger.runs) {
        EXPECT_EQ(readFile(runPath(r.number)), r.file) << r.number;
        EXPECT_TRUE(receiptChecks(r.number)) << r.number;
        EXPECT_TRUE(std::filesystem::exists(dir / extractFileName("Battery", r.number)));
    }
    // Each run began with the block number the one before it ended on.
    EXPECT_EQ(logger.blocksSent.front(), 1);
    EXPECT_EQ(logger.acks, expectedAcks());
    EXPECT_EQ(extracted, (std::vector{runPath(1), runPath(2), runPath(4)}));
    EXPECT_EQ(logResults(),
              (std::vector<std::string>{"run 001  announced 3000  received 3000  duplicates 0  "
                                        "re-requests 0  complete",
                                        "run 002  announced 5130  received 5130  duplicates 1  "
                                        "re-requests 0  complete",
                                        "run 004  announced 2048  received 2048  duplicates 0  "
                                        "re-requests 0  complete"}));
    EXPECT_EQ(readLines(dir / kUploadLogName)[0].substr(0, 33),
              "2024-06-11 14:03:22  serial 901  ");
    const UploadPageView view = presentUpload(upload);
    EXPECT_EQ(view.UpLoadRun, "Upload is Complete");
    EXPECT_EQ(view.UpLoadPBPosition, view.UpLoadPBMaximum);
    EXPECT_EQ(view.UpLoadPBMaximum, 2048);
    EXPECT_EQ(view.UpLoadSize, "File Size:  2 K");
    EXPECT_EQ(view.CSError, "Duplicate Packets:  0");
    EXPECT_FALSE(view.BTCancelUploadEnabled);
    EXPECT_TRUE(op.notices().empty());
    EXPECT_FALSE(upload.facts().timeoutTimerEnabled);
}

TEST_F(UploadPty, UnansweredRequestIsSentAgainAfterThreeTicksThenGivenUpAfterFive) {
    logger.runs = {{1, makeRunFile(2500, 1)}, {2, makeRunFile(1500, 2)}, {3, makeRunFile(900, 3)}};
    logger.unanswered = {{1, 1}, {2, -1}};
    loadDirectory();
    start({0, 1, 2});

    upload.pacingStep();
    settle();
    ticks(2);
    upload.pacingStep();
    settle();
    EXPECT_EQ(logger.requests(1), 1) << "two ticks are not yet enough";
    ticks(1);
    ASSERT_TRUE(pacedRun());
    EXPECT_EQ(logger.requests(1), 2);
    EXPECT_EQ(readFile(runPath(1)), logger.run(1).file);

    // Run 2 is never answered: five requests, three ticks apart, then the next run.
    upload.pacingStep();
    for (int i = 0; i < 5; ++i) {
        settle();
        ticks(3);
        upload.pacingStep();
    }
    ASSERT_TRUE(pumpUntil([&] { return !upload.uploading(); }));
    settle();
    EXPECT_EQ(logger.requests(2), 5);
    EXPECT_EQ(readFile(runPath(3)), logger.run(3).file);
    EXPECT_FALSE(hasReceipt(2));
    EXPECT_EQ(captions(), (std::vector<std::string>{
                              "Run.002 - File Upload Error | File Transfer Stalled - No Answer to "
                              "5 Run Requests"}));
    EXPECT_EQ(logResults(),
              (std::vector<std::string>{"run 001  announced 2500  received 2500  duplicates 0  "
                                        "re-requests 1  complete",
                                        "run 002  announced 1500  received 0  duplicates 0  "
                                        "re-requests 4  stalled",
                                        "run 003  announced 900  received 900  duplicates 0  "
                                        "re-requests 0  complete"}));
}

TEST_F(UploadPty, StallAfterTheFirstBlockIsRequestedAgainAndRecovers) {
    logger.runs = {{1, makeRunFile(4000, 1)}};
    logger.stalls = {{1, 1}};
    loadDirectory();
    start({0}, "run.001");
    upload.pacingStep();
    settle();
    EXPECT_EQ(upload.facts().received, 1024);
    ticks(9);
    EXPECT_EQ(logger.requests(1), 1);
    ticks(1);  // ten silent ticks: asked again, from an empty file
    ASSERT_TRUE(pumpUntil([&] { return !upload.uploading(); }));
    settle();

    EXPECT_EQ(logger.requests(1), 2);
    EXPECT_EQ(readFile(runPath(1)), logger.run(1).file);
    EXPECT_TRUE(receiptChecks(1));
    EXPECT_EQ(logger.acks, expectedAcks());
    EXPECT_EQ(logResults(), (std::vector<std::string>{"run 001  announced 4000  received 4000  "
                                                      "duplicates 0  re-requests 1  complete"}));
    EXPECT_TRUE(op.notices().empty());
}

TEST_F(UploadPty, StallThatNeverRecoversIsGivenUpAndTheUploadGoesOn) {
    logger.runs = {{1, makeRunFile(4000, 1)}, {2, makeRunFile(3000, 2)}};
    logger.stalls = {{1, -1}};
    loadDirectory();
    start({0, 1});
    upload.pacingStep();
    for (int attempt = 0; attempt < 3; ++attempt) {
        settle();
        ticks(10);
    }
    settle();
    EXPECT_EQ(logger.requests(1), 3);
    ASSERT_TRUE(pacedRun());
    settle();

    EXPECT_EQ(readFile(runPath(1)),
              Bytes8(logger.run(1).file.begin(), logger.run(1).file.begin() + 1024))
        << "the partial file is kept";
    EXPECT_FALSE(hasReceipt(1));
    EXPECT_EQ(extracted, std::vector{runPath(2)}) << "a stalled run is not extracted";
    EXPECT_TRUE(receiptChecks(2));
    EXPECT_EQ(captions(), (std::vector<std::string>{
                              "Run.001 - File Upload Error | File Transfer Stalled - No Data for "
                              "15 Seconds"}));
    EXPECT_EQ(logResults()[0],
              "run 001  announced 4000  received 1024  duplicates 0  re-requests 2  stalled");
    EXPECT_EQ(presentUpload(upload).UpLoadRun, "Upload is Complete");
}

TEST_F(UploadPty, CancelMidRunEndsWithTheLoggerAndExtractsThePartialFile) {
    logger.runs = {{1, makeRunFile(8000, 1)}, {2, makeRunFile(3000, 2)}};
    loadDirectory();
    start({0, 1});
    upload.pacingStep();
    ASSERT_TRUE(pumpUntil([&] { return upload.facts().received >= 2048; }));
    upload.cancelUpload();
    ASSERT_TRUE(pumpUntil([&] { return !upload.uploading(); }));
    upload.pacingStep();
    settle();

    const Bytes8 got = readFile(runPath(1));
    ASSERT_LT(got.size(), logger.run(1).file.size());
    EXPECT_EQ(got, Bytes8(logger.run(1).file.begin(), logger.run(1).file.begin() + got.size()));
    EXPECT_EQ(extracted, std::vector{runPath(1)});
    EXPECT_FALSE(hasReceipt(1));
    EXPECT_EQ(logger.requests(2), 0);
    ASSERT_GE(logger.acks.size(), 2u);
    EXPECT_EQ(logger.acks.back().a, 2u) << "the acknowledgements after Cancel ask to stop";
    EXPECT_EQ(logger.acks.front().a, 1u);
    EXPECT_EQ(presentUpload(upload).UpLoadRun, "Upload Cancelled");
    EXPECT_EQ(logResults()[0].substr(logResults()[0].size() - 9), "cancelled");
    EXPECT_TRUE(op.notices().empty()) << "a cancelled run is short by the operator's choice";
}

TEST_F(UploadPty, CancelDuringAStallEndsTheUploadAtTheNextTick) {
    logger.runs = {{1, makeRunFile(4000, 1)}};
    logger.stalls = {{1, -1}};
    loadDirectory();
    start({0}, "run.001");
    upload.pacingStep();
    settle();
    ticks(3);
    upload.cancelUpload();
    ticks(1);
    EXPECT_FALSE(upload.uploading());
    EXPECT_EQ(presentUpload(upload).UpLoadRun, "Upload Cancelled");
    EXPECT_EQ(readFile(runPath(1)).size(), 1024u);
}

TEST_F(UploadPty, OverwriteQuestionDecidesPerRun) {
    struct Case {
        Answer answer;
        bool run1Replaced;
        bool run2Uploaded;
        const char* label;
    };
    for (const Case c : {Case{Answer::Yes, true, true, "Upload is Complete"},
                         Case{Answer::No, false, true, "Upload is Complete"},
                         Case{Answer::Cancel, false, false, "Upload Cancelled"}}) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove_all(dir.path());
        std::filesystem::create_directories(dir.path());
        ASSERT_FALSE(replaceFile(runPath(1), std::string_view("earlier upload")));
        logger.runs = {{1, makeRunFile(2000, 1)}, {2, makeRunFile(1000, 2)}};
        logger.commands.clear();
        op.asked.clear();
        op.answers = {c.answer};
        loadDirectory();
        start({0, 1});
        for (int i = 0; i < 2 && upload.uploading(); ++i)
            ASSERT_TRUE(pacedRun());
        settle();

        ASSERT_EQ(op.asked.size(), 2u);
        EXPECT_EQ(op.asked[1].kind, "yesnocancel");
        EXPECT_EQ(op.asked[1].text,
                  "File run.001 Exists ... Overwrite ?\n\n\tYes = Overwrite File\n\tNo = Skip "
                  "file\n\tCancel = Abort Upload");
        EXPECT_EQ(readFile(runPath(1)) == logger.run(1).file, c.run1Replaced);
        EXPECT_EQ(logger.requests(1), c.run1Replaced ? 1 : 0);
        EXPECT_EQ(logger.requests(2), c.run2Uploaded ? 1 : 0);
        EXPECT_FALSE(upload.uploading());
        EXPECT_EQ(presentUpload(upload).UpLoadRun, c.label);
    }

    // One run whose file the save dialog has just confirmed: not asked twice.
    op.asked.clear();
    start({0}, "run.001");
    ASSERT_TRUE(pacedRun());
    EXPECT_EQ(op.asked.size(), 1u);
    EXPECT_EQ(op.asked[0].kind, "save");
}

TEST_F(UploadPty, SizeDifferentFromTheDirectoryIsToldExtractedAndVerified) {
    logger.runs = {{1, makeRunFile(4000, 1), 5000}, {2, makeRunFile(4000, 2), 3000}};
    loadDirectory();
    start({0, 1});
    ASSERT_TRUE(pacedRun());
    ASSERT_TRUE(pacedRun());
    settle();

    EXPECT_EQ(captions(), (std::vector<std::string>{
                              "Run.001 - File Upload Error | File Sent is Smaller than Expected",
                              "Run.002 - File Upload Error | File Sent is Bigger than Expected"}));
    for (int run : {1, 2}) {
        EXPECT_EQ(readFile(runPath(run)), logger.run(run).file);
        EXPECT_TRUE(receiptChecks(run));
        EXPECT_EQ(logResults()[run - 1].substr(logResults()[run - 1].size() - 13), "size mismatch");
    }
    EXPECT_EQ(extracted.size(), 2u);
    const UploadPageView view = presentUpload(upload);
    EXPECT_EQ(view.UpLoadPBMaximum, 3000);
    EXPECT_EQ(view.UpLoadPBPosition, 3000) << "a bigger run stops at the end of the bar";
}

TEST_F(UploadPty, FailedWriteEndsTheRunAsFailed) {
    logger.runs = {{1, makeRunFile(5000, 1)}, {2, makeRunFile(1000, 2)}};
    loadDirectory();
    start({0, 1});
    int writes = 0;
    const auto run1 = runPath(1);
    setWriteFaultHook([&](const std::filesystem::path& path, std::size_t bytes) {
        return path == run1 && bytes > 0 && ++writes == 2 ? ENOSPC : 0;
    });
    ASSERT_TRUE(pacedRun());
    ASSERT_TRUE(pacedRun());
    settle();

    EXPECT_EQ(readFile(run1).size(), 1024u) << "the failed block is not in the file";
    EXPECT_FALSE(hasReceipt(1));
    EXPECT_EQ(extracted, std::vector{runPath(2)});
    ASSERT_EQ(captions().size(), 1u);
    EXPECT_EQ(captions()[0], "Run.001 - File Upload Error | Unable to Write the Run File");
    EXPECT_NE(op.notices()[0].text.find(run1.string() + ": "), std::string::npos);
    EXPECT_EQ(logger.acks[2].a, 2u) << "the logger is asked to end the run";
    EXPECT_EQ(logResults()[0],
              "run 001  announced 5000  received 1024  duplicates 0  re-requests 0  write error");
    EXPECT_TRUE(receiptChecks(2));
}

}  // namespace
}  // namespace cvh
