// The host session against the simulated logger program: cvlogger-sim runs as a child process on
// its own pseudo-terminal, the session opens the slave through the Qt serial backend as COM1, and
// the test drives the session's tick methods on the real clock as the console's timers would.
// Every wait polls for its condition under a generous limit, so a loaded machine only makes the
// tests slower.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/clock.h"
#include "link/status_record.h"
#include "platform/qt_serial_backend.h"
#include "session/host_session.h"
#include "session/live_format.h"
#include "session/setup_exchange.h"
#include "session/upload_view.h"
#include "support/scripted_operator.h"
#include "support/session_access.h"
#include "support/sim_program.h"
#include "support/temp_dir.h"

extern char** environ;

namespace cvh {
namespace {

using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;
using test::TempDir;

constexpr int kSimCom = 1;

using test::SimProgram;

// Runs cvlogger-sim for a task that ends by itself; its exit status, or -1.
int runSimToEnd(std::vector<std::string> args) {
    args.insert(args.begin(), CVLOGGER_SIM_PATH);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, CVLOGGER_SIM_PATH, nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// What the simulator's closing summary counted.
struct SimSummary {
    unsigned long long statusRecords = 0;
    unsigned long long dataPackets = 0;
    unsigned long long keepAlives = 0;
};
std::optional<SimSummary> readSummary(const std::string& log) {
    const auto at = log.find("cvlogger-sim: stopped. ");
    if (at == std::string::npos)
        return std::nullopt;
    SimSummary s;
    if (std::sscanf(log.c_str() + at,
                    "cvlogger-sim: stopped. %llu status records, %llu data packets, %llu "
                    "keep-alives",
                    &s.statusRecords, &s.dataPackets, &s.keepAlives) != 3)
        return std::nullopt;
    return s;
}

class SessionOnSim : public ::testing::Test {
protected:
    // Starts the simulator and connects the session to it as COM1, in the "Advanced User" mode
    // the demonstration uses.
    void connect(std::vector<std::string> simArgs) {
        std::string error;
        ASSERT_TRUE(sim.start(std::move(simArgs), error)) << error;
        ASSERT_FALSE(startDirectory.path().empty());
        session.startUp(startDirectory.str());
        session.modeMenuClick(MenuItem::MenuAdvanced);
        session.ports().names().set(kSimCom, sim.device());
        session.linkPorts().loggerPortChange(kSimCom, kPortSetup9600);
        ASSERT_TRUE(session.ports().isPortOpen(kLoggerSlot)) << sim.device();
        ASSERT_EQ(session.ports().openOn(kLoggerSlot), kSimCom);
        startTimers();
    }

    void startTimers() {
        const auto now = Steady::now();
        nextRefresh_ = now + kRefreshPeriod;
        nextSecond_ = now + 1s;
        nextTimeout_ = now + 1500ms;
    }

    // Runs the session's timers until `done` holds, or for at most `limit`. The display refresh
    // runs more often than the console's 1 s, so waits end sooner; what each tick does is the
    // same.
    template <class Done>
    bool runUntil(Done done, std::chrono::milliseconds limit) {
        const auto end = Steady::now() + limit;
        for (;;) {
            QCoreApplication::processEvents();
            session.onTick10ms();
            const auto now = Steady::now();
            if (now >= nextRefresh_) {
                session.displayRefreshTick();
                nextRefresh_ = now + kRefreshPeriod;
            }
            if (now >= nextSecond_) {
                session.onTick1000ms();
                nextSecond_ += 1s;
                if (nextSecond_ <= now)
                    nextSecond_ = now + 1s;
            }
            if (now >= nextTimeout_) {
                session.onTimeoutTick();
                nextTimeout_ = now + 1500ms;
            }
            if (done())
                return true;
            if (now >= end)
                return false;
            std::this_thread::sleep_for(5ms);
        }
    }

    bool statusShown() const { return session.logger().operationCode != OperationCode::Off; }

    // "Get Setup", and the session's display refresh applying the answer to the pages.
    bool getSetup() {
        session.markSetup(0);
        session.setupExchange().getSetupClick();
        return runUntil(
            [&] { return session.setupExchange().forms().PStore.caption == "Setup is Current"; },
            8s);
    }

    // "Send Setup" from the pages; true once the simulator has taken the record.
    bool sendSetup() {
        const int taken = sim.logCount("setup taken");
        session.sendSetupClick();
        // The record sent is the one encoded into the snapshot.
        const Bytes sent = session.setupExchange().snapshot().bytes();
        sentSetup_.assign(sent.begin(), sent.end());
        return runUntil([&] { return sim.logCount("setup taken") > taken; }, 8s);
    }

    bool noticeSeen(const std::string& part) const {
        for (const auto& n : op.notices())
            if (n.caption.find(part) != std::string::npos || n.text.find(part) != std::string::npos)
                return true;
        return false;
    }

    static constexpr auto kRefreshPeriod = 250ms;

    SimProgram sim;
    // An empty directory of its own, so no host setup file or port list left by others is read.
    TempDir startDirectory{"cvhost-start"};
    QtSerialBackend backend;
    test::ScriptedOperator op;
    SystemClock clock;
    HostSession session{backend, op, clock};
    std::vector<std::uint8_t> sentSetup_;

private:
    Steady::time_point nextRefresh_, nextSecond_, nextTimeout_;
};

TEST_F(SessionOnSim, StatusArrivesAndTheLoggerStatusShowsIt) {
    connect({"--device-type", "3", "--serial", "417", "--logger-id", "2"});
    ASSERT_TRUE(runUntil([&] { return statusShown(); }, 8s)) << sim.log();

    EXPECT_EQ(session.logger().serialNumber, 417);
    EXPECT_EQ(session.logger().deviceType, 3);
    EXPECT_EQ(session.logger().operationCode, OperationCode::Standby);
    EXPECT_EQ(session.logger().deviceName, "Q-Span");
    EXPECT_EQ(session.main().title, "CV Host: v7.09e    External kb5Plus-417: v7.12");
    EXPECT_EQ(session.loggerStatus().LBOperation.caption, "Standby");
    EXPECT_EQ(session.main().LoggerStatusGB.colour, Colour::ButtonFace);
    EXPECT_EQ(session.portTools().muxId().LBCurrentMuxID, "Current Logger ID:    2");
    EXPECT_TRUE(session.main().LBDandT.visible);
    EXPECT_FALSE(session.main().LBDandT.caption.empty());
    EXPECT_FALSE(session.main().LBDrift.visible);  // the simulator's clock is the PC's
    EXPECT_FALSE(session.loggerStatus().LBTotalDisk.caption.empty());

    EXPECT_TRUE(op.notices().empty()) << op.notices().front().caption;
}

TEST_F(SessionOnSim, GetSetupAndSendSetupRoundTrip) {
    connect({});
    ASSERT_TRUE(runUntil([&] { return statusShown(); }, 8s)) << sim.log();
    EXPECT_EQ(session.setupExchange().forms().PStore.caption, "Setup is Not Current");

    ASSERT_TRUE(getSetup()) << sim.log();
    // The simulator's own setup: a CTD, a current meter and a GPS on ports 1 to 3, profiling.
    const auto& ports = session.setupExchange().forms().portSetup;
    EXPECT_EQ(ports.ComboMeter[0].index, 3);
    EXPECT_EQ(ports.ComboMeter[1].index, 4);
    EXPECT_EQ(ports.ComboMeter[2].index, 6);
    EXPECT_EQ(ports.ComboMeter[3].index, 0);
    EXPECT_EQ(session.setupExchange().forms().loggerControl.ModeCB.index, 0);
    EXPECT_EQ(session.setupExchange().forms().PStore.colour, Colour::Silver);
    EXPECT_EQ(session.dataStatus().PortRowTable[0].rate.caption, kResetRateText);

    // An edit marks the setup not current; sending it hands the logger the edited record.
    SessionTestAccess::setup(session).portSetup.ComboMeter[3].index = 3;
    SessionTestAccess::setup(session).portSetup.CBPortSetup[3].index = kPortSetup9600;
    session.setupExchange().edited(SetupEdit::ValueChanged);
    SessionTestAccess::setup(session).loggerControl.UDAnalogRate = 4;
    session.setupExchange().edited(SetupEdit::RateStepped);
    EXPECT_EQ(session.setupExchange().forms().PStore.caption, "Setup is Not Current");
    ASSERT_TRUE(sendSetup()) << sim.log();
    EXPECT_EQ(sim.logCount("setup refused"), 0);

    // Reading it back gives the very bytes that were sent, and the pages show the edit.
    ASSERT_TRUE(getSetup()) << sim.log();
    const Bytes back = session.setupExchange().snapshot().bytes();
    EXPECT_EQ(std::vector<std::uint8_t>(back.begin(), back.end()), sentSetup_);
    EXPECT_EQ(session.setupExchange().forms().portSetup.ComboMeter[3].index, 3);
    EXPECT_EQ(session.setupExchange().forms().portSetup.CBPortSetup[3].index, kPortSetup9600);
    EXPECT_EQ(session.setupExchange().forms().loggerControl.UDAnalogRate, 4);
    EXPECT_TRUE(op.notices().empty()) << op.notices().front().caption;
}

TEST_F(SessionOnSim, DataPacketsFlowWithTheRightCountsAndNoGaps) {
    connect({"--rate", "10"});
    ASSERT_TRUE(runUntil([&] { return statusShown(); }, 8s)) << sim.log();
    ASSERT_TRUE(getSetup()) << sim.log();
    // Straight into sampling: no delay, flush or warm-up.
    auto& control = SessionTestAccess::setup(session).loggerControl;
    for (Duration d :
         {Duration::Delay, Duration::PreWarmUpFlush, Duration::WarmUp, Duration::Flush})
        control.duration(d).number = 0;
    session.setupExchange().edited(SetupEdit::DelayStepped);
    ASSERT_TRUE(sendSetup()) << sim.log();

    session.setupExchange().beginSampleClick();
    const std::uint32_t& unitPackets = session.link().unitPackets[1];
    ASSERT_TRUE(runUntil([&] { return unitPackets >= 10; }, 15s)) << sim.log();
    EXPECT_EQ(session.loggerStatus().LBOperation.caption, "Sampling");

    // Stop; once the logger reports it stands by, nothing more is on its way.
    session.setupExchange().stopClick();
    ASSERT_TRUE(runUntil(
        [&] {
            const OperationCode c = session.logger().operationCode;
            return c == OperationCode::Standby || c == OperationCode::EndOfRun;
        },
        8s))
        << sim.log();
    ASSERT_TRUE(sim.stop());
    const auto summary = readSummary(sim.log());
    ASSERT_TRUE(summary) << sim.log();

    // Every packet the logger sent was taken, each in sequence, from the logger ID it has.
    const LinkStatistics& link = session.link();
    EXPECT_EQ(link.unitPackets[1], summary->dataPackets);
    EXPECT_EQ(link.keepAlivePackets, summary->keepAlives);
    EXPECT_EQ(link.gapTotal, 0u);
    EXPECT_EQ(link.unitGapEvents[1], 0u);
    EXPECT_EQ(link.duplicatePackets, 0u);
    EXPECT_EQ(link.badUnitPackets, 0u);
    EXPECT_EQ(link.malformedRecords, 0u);
    for (int u : {0, 2, 3, 4})
        EXPECT_EQ(link.unitPackets[static_cast<std::size_t>(u)], 0u) << "unit " << u;
    EXPECT_FALSE(noticeSeen("Mux ID"));

    // The Real Time page's unit line shows the count.
    session.onTick1000ms();
    EXPECT_EQ(session.linkPorts().realTime().LBUnit[0].caption,
              formatUnitLine(1, link.unitPackets[1], 0, 0));
}

TEST_F(SessionOnSim, ClockIsSetWhenItDrifts) {
    connect({"--clock-offset", "-125"});
    ASSERT_TRUE(runUntil([&] { return statusShown(); }, 8s)) << sim.log();
    // The first status shows the drift, and the session sets the clock at once.
    EXPECT_TRUE(session.main().LBDrift.visible);
    EXPECT_FALSE(session.main().LBDrift.caption.empty());
    ASSERT_TRUE(runUntil([&] { return sim.logCount("clock set") >= 1; }, 5s)) << sim.log();

    // The logger's next status carries the corrected clock, and the drift goes away.
    ASSERT_TRUE(runUntil([&] { return !session.main().LBDrift.visible; }, 8s)) << sim.log();
    const auto status = decodeStatusRecord(
        Bytes(session.receiveLoop().records().status.data(), kStatusPacketLength));
    ASSERT_TRUE(status);
    const std::int64_t pcLocal = toLoggerTime(clock, clock.utcSeconds());
    EXPECT_NEAR(static_cast<double>(status->loggerClock), static_cast<double>(pcLocal), 3.0);

    // It stays in step: further statuses ask for no more settings.
    const int sets = sim.logCount("clock set");
    const std::uint32_t seen = session.link().packetCount;
    ASSERT_TRUE(runUntil([&] { return session.link().packetCount >= seen + 2; }, 5s));
    EXPECT_FALSE(session.main().LBDrift.visible);
    EXPECT_EQ(sim.logCount("clock set"), sets);
}

// The demonstration's start directory: the simulator writes last.cvh, comports.txt names its line
// as COM1, and the session starts up connected, in "Advanced User", with no step by the operator.
TEST_F(SessionOnSim, TheDemoStartDirectoryConnectsAtStartUp) {
    std::string error;
    ASSERT_TRUE(sim.start({"--serial", "55"}, error)) << error;
    const std::string dir = startDirectory.str();
    ASSERT_FALSE(dir.empty());
    ASSERT_EQ(runSimToEnd({"--write-host-setup", dir + "/last.cvh"}), 0);
    std::ofstream(dir + "/comports.txt") << "# the simulated logger\nCOM1 " << sim.device() << "\n";

    // As the program's main does: the port names first, then the window's start-up.
    std::vector<std::string> malformed;
    ASSERT_TRUE(session.ports().names().loadOverrideFile(dir + "/comports.txt", malformed));
    EXPECT_TRUE(malformed.empty());
    session.startUp(dir);
    EXPECT_EQ(session.activeHostMode(), HostMode::Advanced);
    ASSERT_EQ(session.ports().openOn(kLoggerSlot), kSimCom);

    startTimers();
    ASSERT_TRUE(runUntil([&] { return statusShown(); }, 8s)) << sim.log();
    EXPECT_EQ(session.logger().serialNumber, 55);
    EXPECT_EQ(session.loggerStatus().LBOperation.caption, "Standby");
    EXPECT_TRUE(op.notices().empty()) << op.notices().front().caption;
}

TEST_F(SessionOnSim, UploadOfTwoRunsArrivesWholeWithReceipts) {
    connect({"--runs", "2", "--run-kb", "3"});
    ASSERT_TRUE(runUntil([&] { return statusShown(); }, 8s)) << sim.log();
    const RunUpload& upload = session.runUpload();
    session.getDirectoryClick();
    ASSERT_TRUE(runUntil([&] { return upload.directory().entryCount() == 2; }, 10s)) << sim.log();

    TempDir folder{"cvhost-upload"};
    session.hostSetupStore().chooseExtractFiles(0);
    op.files.push_back((folder.path() / "run.xxx").string());
    session.uploadClick({0, 1});
    ASSERT_TRUE(upload.uploading());
    // The bar is full only once a run has arrived whole.
    bool fullTooSoon = false;
    ASSERT_TRUE(runUntil(
        [&] {
            const UploadFacts& f = upload.facts();
            const UploadPageView v = presentUpload(upload);
            if (f.phase == UploadPhase::Receiving && f.received < f.expectedSize &&
                v.UpLoadPBPosition >= v.UpLoadPBMaximum)
                fullTooSoon = true;
            return !upload.uploading();
        },
        90s))
        << sim.log();
    EXPECT_FALSE(fullTooSoon);
    const UploadPageView done = presentUpload(upload);
    EXPECT_EQ(done.UpLoadPBPosition, done.UpLoadPBMaximum);
    EXPECT_EQ(done.UpLoadRun, "Upload is Complete");

    int runs = 0;
    for (const auto& file : std::filesystem::directory_iterator(folder.path())) {
        const std::string name = file.path().filename().string();
        if (name.size() != 7 || name.rfind("run.", 0) != 0)
            continue;
        ++runs;
        const std::string check =
            "cd '" + folder.str() + "' && sha256sum -c --quiet " + name + ".sha256 >/dev/null 2>&1";
        EXPECT_EQ(std::system(check.c_str()), 0) << name;
    }
    EXPECT_EQ(runs, 2);
    // Each run arrived at the size the directory announced.
    std::ifstream log(folder.path() / kUploadLogName);
    int complete = 0;
    for (std::string line; std::getline(log, line);)
        complete += line.ends_with(" complete") ? 1 : 0;
    EXPECT_EQ(complete, 2);
    EXPECT_TRUE(op.notices().empty()) << op.notices().front().caption;
}

}  // namespace
}  // namespace cvh
