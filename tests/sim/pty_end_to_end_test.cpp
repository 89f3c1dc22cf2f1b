// The simulator's logic on a real pseudo-terminal, with a test-side host using the link's own
// framer and command frames, as the program will.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>

#include "base/checksum.h"
#include "config/logger_clock.h"
#include "config/logger_setup.h"
#include "link/data_packet.h"
#include "sim_runner.h"
#include "sim_test_support.h"

extern char** environ;

namespace cvh::sim {
namespace {

using Clock = std::chrono::steady_clock;
using test::Received;

// The host end: the pseudo-terminal slave, raw, read through the link's framer.
class HostSide {
public:
    bool open(const std::string& path) {
        close();
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0)
            return false;
        termios t{};
        ::tcgetattr(fd_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd_, TCSANOW, &t);
        return true;
    }
    void close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        sorter_ = test::PacketSorter();
    }
    ~HostSide() { close(); }

    void send(Bytes bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    void command(CommandCode code, std::uint32_t a = 0, std::uint16_t b = 0) {
        send(buildCommandFrame(code, a, b));
    }

    // Reads for up to `ms`, stopping early once `done` holds.
    template <class Done>
    bool pumpUntil(int ms, Done done) {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            if (left <= 0)
                return false;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0)
                continue;
            std::uint8_t buffer[8192];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                bytesIn += static_cast<std::size_t>(n);
                sorter_.feed(Bytes(buffer, static_cast<std::size_t>(n)), got);
            }
        }
        return true;
    }
    bool waitFor(int type, std::size_t count, int ms = 3000) {
        return pumpUntil(ms, [&] { return got.byType[type].size() >= count; });
    }
    void pump(int ms) {
        pumpUntil(ms, [] { return false; });
    }

    Received got;
    std::size_t bytesIn = 0;

private:
    int fd_ = -1;
    test::PacketSorter sorter_;
};

class SimOverPty : public ::testing::Test {
protected:
    void start(LoggerConfig config, std::uint32_t baud = 0) {
        std::string error;
        line_ = LineEndpoint::openPseudoTerminal(error);
        ASSERT_TRUE(line_) << error;
        logger_ = std::make_unique<SimLogger>(config, clock_);
        faults_ = std::make_unique<FaultInjector>(FaultSettings{}, 1);
        pacer_ = std::make_unique<LinePacer>(baud, clock_.milliseconds());
        logger_->powerOn();
        // Taken before the loop owns the logger; stored runs do not change while it runs.
        for (const auto& run : logger_->memory().runs())
            storedRuns_.push_back(run.file);
        runner_ = std::make_unique<SimRunner>(*logger_, *line_, *faults_, *pacer_, clock_, stop_);
        thread_ = std::thread([this] { runner_->run(); });
        ASSERT_TRUE(host_.open(line_->hostPath()));
    }
    void TearDown() override {
        stop_.notify();
        if (thread_.joinable())
            thread_.join();
    }

    SystemClock clock_;
    StopPipe stop_;
    std::unique_ptr<LineEndpoint> line_;
    std::unique_ptr<SimLogger> logger_;
    std::unique_ptr<FaultInjector> faults_;
    std::unique_ptr<LinePacer> pacer_;
    std::unique_ptr<SimRunner> runner_;
    std::thread thread_;
    std::vector<std::vector<std::uint8_t>> storedRuns_;
    HostSide host_;
};

TEST_F(SimOverPty, StatusArrivesEverySecondWithARunningClock) {
    start({});
    ASSERT_TRUE(host_.waitFor(3, 1, 2000));
    ASSERT_TRUE(host_.waitFor(3, 3, 3000));
    const auto& s = host_.got.status();
    const auto first = *decodeStatusRecord(s[0]);
    const auto third = *decodeStatusRecord(s[2]);
    EXPECT_EQ(first.statusCode, 9);
    EXPECT_GE(third.loggerClock, first.loggerClock + 1);
    EXPECT_LE(third.loggerClock, first.loggerClock + 3);
}

TEST_F(SimOverPty, GetSetupAndSendSetupRoundTrip) {
    start({});
    host_.command(CommandCode::GetSetup);
    ASSERT_TRUE(host_.waitFor(1, 1));
    SetupSnapshot snap;
    ASSERT_TRUE(snap.store(host_.got.byType[1][0]));
    LoggerSetup s = snap.decode();
    EXPECT_EQ(s.meterType[1], 3);
    s.mode = 1;
    s.intervalSeconds = 900;
    s.meterType[8] = 11;
    s.baud[8] = 2400;
    snap.encode(s);
    host_.send(snap.bytes());
    host_.command(CommandCode::GetSetup);
    ASSERT_TRUE(host_.waitFor(1, 2));
    EXPECT_EQ(host_.got.byType[1][1], Packet(snap.bytes().begin(), snap.bytes().end()));
}

TEST_F(SimOverPty, DataPacketsFlowAtTheChosenRateInSequence) {
    LoggerConfig c;
    c.packetRateHz = 5;
    start(c);
    LoggerSetup s = defaultSimSetup(9600);
    s.delaySeconds = s.preFlushSeconds = s.warmUpSeconds = s.flushSeconds = 0;
    SetupSnapshot snap;
    snap.encode(s);
    host_.send(snap.bytes());
    host_.command(CommandCode::BeginSample);
    ASSERT_TRUE(host_.waitFor(8, 1));
    const auto t0 = Clock::now();
    host_.got.clear();
    host_.pump(2000);
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    const auto& data = host_.got.data();
    EXPECT_NEAR(static_cast<double>(data.size()), 5 * seconds, 3.0);
    std::size_t withData = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto h = readDataPacketHeader(data[i]);
        ASSERT_TRUE(h);
        EXPECT_EQ(h->unit, 1);
        if (i > 0) {
            EXPECT_EQ(h->sequence,
                      static_cast<std::uint8_t>(readDataPacketHeader(data[i - 1])->sequence + 1));
        }
        if (h->payloadLength > 0)
            ++withData;
    }
    EXPECT_GE(withData + 2, data.size());  // the first, at the start of sampling, may be empty
    EXPECT_EQ(host_.got.lastStatus().statusCode, 6);
}

TEST_F(SimOverPty, TimeSetMovesTheLoggerClock) {
    start({});
    ASSERT_TRUE(host_.waitFor(3, 1));
    const std::int32_t clock = host_.got.lastStatus().loggerClock;
    host_.command(CommandCode::SetTime, static_cast<std::uint32_t>(clock + 3600));
    ASSERT_TRUE(
        host_.pumpUntil(3000, [&] { return host_.got.lastStatus().loggerClock >= clock + 3600; }));
    EXPECT_LE(host_.got.lastStatus().loggerClock, clock + 3603);
}

TEST_F(SimOverPty, DirectoryAndUploadCompleteWithTheStoredBytes) {
    LoggerConfig c;
    c.storedRuns = 2;
    start(c);
    host_.command(CommandCode::GetDirectory);
    ASSERT_TRUE(host_.waitFor(5, 2));
    EXPECT_EQ(readLeS16(host_.got.byType[5][1], 2), 2);

    host_.command(CommandCode::UploadRun, 0, 2);
    std::vector<std::uint8_t> file;
    for (std::size_t i = 0;; ++i) {
        ASSERT_TRUE(host_.waitFor(4, i + 1)) << "block " << i;
        const Packet& block = host_.got.byType[4][i];
        const int length = readLeS16(block, 6);
        file.insert(file.end(), block.begin() + 8, block.begin() + 8 + length);
        host_.command(CommandCode::AcknowledgeBlock, 1, readLe16(block, 2));
        if (length == 0)
            break;
    }
    EXPECT_EQ(file, storedRuns_.at(1));
    host_.got.clear();
    ASSERT_TRUE(host_.pumpUntil(3000, [&] {
        return !host_.got.status().empty() && host_.got.lastStatus().statusCode == 9;
    }));
}

TEST_F(SimOverPty, PacedLineTakesAsLongAsTheBaudRateSays) {
    LoggerConfig c;
    c.storedRuns = 1;
    start(c, 19200);  // 1920 bytes a second
    host_.command(CommandCode::UploadRun, 0, 1);
    const auto t0 = Clock::now();
    for (std::size_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(host_.waitFor(4, i + 1, 5000));
        host_.command(CommandCode::AcknowledgeBlock, 1, readLe16(host_.got.byType[4][i], 2));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    EXPECT_GT(seconds, 4 * 1036 / 1920.0 * 0.8);
    EXPECT_LT(seconds, 6.0);
}

TEST_F(SimOverPty, AHostThatReopensTheLineGetsNoStalePackets) {
    start({});
    ASSERT_TRUE(host_.waitFor(3, 1));
    const std::int32_t before = host_.got.lastStatus().loggerClock;
    host_.close();
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    host_.got.clear();
    ASSERT_TRUE(host_.open(line_->hostPath()));
    ASSERT_TRUE(host_.waitFor(3, 1, 3000));
    EXPECT_GE(host_.got.status()[0].size(), 132u);
    EXPECT_GE(decodeStatusRecord(host_.got.status()[0])->loggerClock, before + 2);
}

// The host core's clock check sees the drift, sets the clock, and then sees none.
TEST_F(SimOverPty, HostClockCheckSetsADriftingLoggerClock) {
    LoggerConfig c;
    c.clockOffsetSeconds = -125;
    start(c);
    ASSERT_TRUE(host_.waitFor(3, 1));
    TimeSyncMenu menu;
    const auto drifting = checkLoggerClock(
        static_cast<std::uint32_t>(host_.got.lastStatus().loggerClock), clock_, menu);
    EXPECT_TRUE(drifting.LBDriftVisible);
    ASSERT_TRUE(drifting.setTime);
    host_.command(drifting.setTime->code, drifting.setTime->argumentA, drifting.setTime->argumentB);
    const std::size_t seen = host_.got.status().size();
    ASSERT_TRUE(host_.waitFor(3, seen + 1));
    const auto synced = checkLoggerClock(
        static_cast<std::uint32_t>(host_.got.lastStatus().loggerClock), clock_, menu);
    EXPECT_FALSE(synced.LBDriftVisible);
    EXPECT_FALSE(synced.setTime);
}

// The program itself: prints the device, talks on it, and ends cleanly on SIGTERM.
TEST(CvloggerSimProgram, PrintsItsDeviceServesStatusAndExitsCleanlyOnSigterm) {
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const char* argv[] = {CVLOGGER_SIM_PATH, "--serial", "321", nullptr};
    pid_t pid = 0;
    ASSERT_EQ(
        posix_spawn(&pid, CVLOGGER_SIM_PATH, &actions, nullptr, const_cast<char**>(argv), environ),
        0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string path;
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        path += c;
    ::close(out[0]);
    ASSERT_FALSE(path.empty());

    HostSide host;
    ASSERT_TRUE(host.open(path));
    ASSERT_TRUE(host.waitFor(3, 1, 3000));
    EXPECT_EQ(host.got.lastStatus().serialNumber, 321);

    ::kill(pid, SIGTERM);
    int status = 0;
    const auto end = Clock::now() + std::chrono::seconds(5);
    pid_t done = 0;
    while ((done = ::waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (done == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        FAIL() << "cvlogger-sim did not end on SIGTERM";
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace cvh::sim
