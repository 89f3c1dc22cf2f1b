// cvhost-cli end to end: the program runs as a child process in a start directory of its own,
// against cvlogger-sim on a pseudo-terminal named COM1 in that directory's comports.txt, and
// each command is judged by its output, the files it leaves and its exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/archive_record.h"
#include "files/host_setup_file.h"
#include "support/child_process.h"
#include "support/host_setup_values.h"
#include "support/pty.h"
#include "support/sim_program.h"
#include "support/temp_dir.h"

namespace cvh {
namespace {

using namespace std::chrono_literals;
using Records = std::vector<std::vector<std::uint8_t>>;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class CliOnSim : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir.path().empty()); }

    void startSim(std::vector<std::string> args) {
        std::string error;
        ASSERT_TRUE(sim.start(std::move(args), error)) << error;
        nameCom(1, sim.device());
    }
    void nameCom(int com, const std::string& device) {
        std::ofstream(dir / "comports.txt", std::ios::app) << "COM" << com << " " << device << "\n";
    }

    Outcome cli(std::vector<std::string> args, std::chrono::milliseconds limit = 60s) {
        args.insert(args.begin(), CVHOST_CLI_PATH);
        test::ChildProcess child;
        Outcome run;
        if (!child.start(args, dir.path()))
            return run;
        run.status = child.wait(limit);
        run.out = child.out();
        run.err = child.err();
        return run;
    }

    // "replay.arc" with five records of unit 1 carrying port 2 data, and a host setup that
    // sends unit 1's port 2 out of deck slot 1 on COM2 (`deck`); the bytes the deck gets per
    // pass.
    std::vector<std::uint8_t> prepareReplay(test::Pty& deck);

    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            out.push_back(line);
        return out;
    }

    test::TempDir dir{"cvhost-cli"};
    test::SimProgram sim;
};

TEST_F(CliOnSim, StatusPrintsTheLoggerStatusPanel) {
    startSim({"--serial", "417"});
    const Outcome r = cli({"--port", "COM1", "status"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = lines(r.out);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[0], "Status: Standby");
    EXPECT_NE(r.out.find("Total Memory: 32768 K"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(CliOnSim, DirListsEachRunOnceAndEnds) {
    startSim({"--runs", "3", "--run-kb", "2"});
    const Outcome r = cli({"--port", "COM1", "dir"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 3u) << r.out;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(out[static_cast<std::size_t>(i)].rfind(" 00" + std::to_string(i + 1), 0), 0u)
            << out[static_cast<std::size_t>(i)];
}

TEST_F(CliOnSim, DirOfASamplingLoggerIsADirectoryError) {
    startSim({"--autostart"});
    const Outcome r = cli({"--port", "COM1", "dir"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Directory Error: The "), std::string::npos) << r.err;
}

TEST_F(CliOnSim, UploadOfThreeRunsLeavesCheckedRunFilesAndExtractions) {
    startSim({"--runs", "3", "--run-kb", "3"});
    const auto out = dir.sub("runs");
    const Outcome r = cli({"--port", "COM1", "upload", "--runs", "1-3", "-o", out.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    for (int run = 1; run <= 3; ++run) {
        const std::string n = "00" + std::to_string(run);
        const std::string check =
            "cd '" + out.string() + "' && sha256sum -c --quiet run." + n + ".sha256 >/dev/null";
        EXPECT_EQ(std::system(check.c_str()), 0) << n;
        EXPECT_GT(std::filesystem::file_size(out / ("archive." + n)), 0u) << n;
        EXPECT_TRUE(std::filesystem::exists(out / ("Summary." + n))) << n;
    }
    EXPECT_NE(r.err.find("run.003: complete"), std::string::npos) << r.err;

    // Again: the run files are there and nothing may replace them.
    const Outcome again = cli({"--port", "COM1", "upload", "--runs", "2", "-o", out.string()});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.err.find("File run.002 Exists ... Overwrite ? "), std::string::npos);
    EXPECT_NE(again.err.find("(No: skipped)"), std::string::npos) << again.err;

    // Without extraction, on a line setting named by its text: the run file and its receipt.
    const auto bare = dir.sub("bare");
    const Outcome plain = cli({"--port", "COM1", "--line", "9600", "upload", "--runs", "1",
                               "--extract", "none", "-o", bare.string()});
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_TRUE(std::filesystem::exists(bare / "run.001.sha256"));
    EXPECT_FALSE(std::filesystem::exists(bare / "archive.001"));
    EXPECT_FALSE(std::filesystem::exists(bare / "Summary.001"));
}

TEST_F(CliOnSim, AnInterruptedUploadCancelsTheRunAndEndsWith130) {
    startSim({"--runs", "1", "--run-kb", "400", "--baud", "115200"});
    const auto out = dir.sub("runs");
    test::ChildProcess child;
    ASSERT_TRUE(
        child.start({CVHOST_CLI_PATH, "--port", "COM1", "upload", "-o", out.string()}, dir.path()));
    // Wait for the first blocks, then Ctrl-C.
    const auto end = std::chrono::steady_clock::now() + 30s;
    std::error_code ec;
    while (std::chrono::steady_clock::now() < end &&
           !(std::filesystem::file_size(out / "run.001", ec) > 4096 && !ec))
        std::this_thread::sleep_for(50ms);
    child.signal(SIGINT);
    EXPECT_EQ(child.wait(10s), 130) << child.err();
    EXPECT_EQ(sim.logCount("upload cancelled"), 1) << sim.log();
    std::ifstream log(out / "upload.log");
    std::string line;
    std::getline(log, line);
    EXPECT_TRUE(line.ends_with(" cancelled")) << line;
}

// The packets the simulator put on the line whole, as archive records.
Records sentRecords(const std::filesystem::path& sentLog) {
    Records out;
    std::ifstream in(sentLog);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string number, fate, hex;
        fields >> number >> fate >> hex;
        std::vector<std::uint8_t> packet;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            packet.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        if (fate != "sent" || packet.size() <= 36)
            continue;  // a keep-alive is never recorded
        std::vector<std::uint8_t> record(packet.begin() + 2, packet.end() - 2);
        // The archive keeps the header's numbers least significant byte first.
        std::swap(record[4], record[5]);
        std::swap(record[6], record[9]);
        std::swap(record[7], record[8]);
        for (std::size_t i = 10; i < 28; i += 2)
            std::swap(record[i], record[i + 1]);
        out.push_back(record);
    }
    return out;
}

Records archiveRecords(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    Records out;
    std::size_t at = 0;
    while (at + kArchiveHeaderSize <= bytes.size()) {
        const auto length = archiveDataLength(Bytes(bytes.data() + at, kArchiveHeaderSize));
        if (!length || at + *length + kArchiveOverhead > bytes.size())
            break;
        out.emplace_back(
            bytes.begin() + static_cast<std::ptrdiff_t>(at),
            bytes.begin() + static_cast<std::ptrdiff_t>(at + *length + kArchiveOverhead));
        at += *length + kArchiveOverhead;
    }
    EXPECT_EQ(at, bytes.size()) << file;
    return out;
}

class CliRecording : public CliOnSim, public ::testing::WithParamInterface<const char*> {};

TEST_P(CliRecording, HoldsEveryPacketTheLoggerSent) {
    // Sampling begins 6 s after power-on; 40 packets then end the data.
    const auto sentLog = dir / "sent.log";
    startSim({"--autostart", "--rate", "20", "--analog-rate", "20", "--packets", "40", "--sent-log",
              sentLog.string()});
    const Outcome r = cli({"--port", "COM1", "record", GetParam(), "deck", "--for", "10"});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(sim.stop());
    EXPECT_NE(r.err.find("link: "), std::string::npos) << r.err;

    std::vector<std::filesystem::path> archives;
    for (const auto& f : std::filesystem::directory_iterator(dir.path()))
        if (f.path().filename().string().rfind("deck", 0) == 0)
            archives.push_back(f.path());
    // Two archives when the hour (or the day) turns during the test; their names sort by time.
    ASSERT_FALSE(archives.empty());
    ASSERT_LE(archives.size(), 2u);
    std::sort(archives.begin(), archives.end());
    Records recorded;
    for (const auto& a : archives) {
        const Records part = archiveRecords(a);
        recorded.insert(recorded.end(), part.begin(), part.end());
    }
    const Records sent = sentRecords(sentLog);
    ASSERT_EQ(sent.size(), 40u);
    EXPECT_TRUE(recorded == sent);
}

INSTANTIATE_TEST_SUITE_P(Periodic, CliRecording, ::testing::Values("--hourly", "--daily"),
                         [](const auto& info) { return std::string(info.param + 2); });

std::vector<std::uint8_t> CliOnSim::prepareReplay(test::Pty& deck) {
    std::vector<std::uint8_t> archive, expected;
    for (std::uint8_t seq = 0; seq < 5; ++seq) {
        ArchiveRecordHeader h;
        h.format = 1;
        h.unitId = 1;
        h.sequence = seq;
        h.timeStamp = 1700000000u + seq;
        const std::string port1 = "P1 " + std::to_string(seq) + "\r\n";
        const std::string port2 = "deck line " + std::to_string(seq) + "\r\n";
        h.counts[0] = static_cast<std::uint16_t>(port1.size());
        h.counts[1] = static_cast<std::uint16_t>(port2.size());
        const std::string data = port1 + port2;
        std::vector<std::uint8_t> record(data.size() + kArchiveOverhead);
        EXPECT_TRUE(encodeArchiveRecord(
            h, Bytes(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()), record));
        archive.insert(archive.end(), record.begin(), record.end());
        expected.insert(expected.end(), port2.begin(), port2.end());
    }
    std::ofstream(dir / "replay.arc", std::ios::binary)
        .write(reinterpret_cast<const char*>(archive.data()),
               static_cast<std::streamsize>(archive.size()));

    nameCom(2, deck.slavePath());
    HostSetup setup;
    test::setControl(setup, "ActiveHostMode", 5);
    test::setControl(setup, "DeckPort1CB", 2);
    test::setControl(setup, "DeckSetup1CB", 6);  // 9600
    test::setControl(setup, "PortType1CB", 2);   // logger output
    test::setControl(setup, "UDDeckType1", 1);   // unit 1
    test::setControl(setup, "UDOutPort1", 2);    // its port 2
    EXPECT_TRUE(storeHostSetup(dir / "last.cvh", setup) == HostSetupStoreResult::Stored);
    return expected;
}

TEST_F(CliOnSim, ReplayPassesALoggerPortToTheDeckOutput) {
    test::Pty deck;
    ASSERT_TRUE(deck.ok());
    const auto expected = prepareReplay(deck);
    deck.closeSlave();
    const Outcome r = cli({"replay", "replay.arc", "--speed", "10"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(deck.readUntilQuiet(300ms), expected);
}

TEST_F(CliOnSim, ContinuousReplayStartsOverUntilInterrupted) {
    test::Pty deck;
    ASSERT_TRUE(deck.ok());
    // The test keeps the deck's line open, so reading waits for the bytes of both passes.
    const auto once = prepareReplay(deck);
    test::ChildProcess child;
    ASSERT_TRUE(child.start(
        {CVHOST_CLI_PATH, "replay", "replay.arc", "--speed", "10", "--continuous"}, dir.path()));
    const std::vector<std::uint8_t> got = deck.read(2 * once.size(), 30s);
    child.signal(SIGINT);
    EXPECT_EQ(child.wait(10s), 0) << child.err();
    std::vector<std::uint8_t> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(got, twice);
}

TEST_F(CliOnSim, UserErrorsEndWithTheirStatus) {
    std::ofstream(dir / "plain.txt") << "not a terminal\n";
    nameCom(5, (dir / "plain.txt").string());
    test::Pty silent;
    ASSERT_TRUE(silent.ok());
    nameCom(6, silent.slavePath());
    silent.closeSlave();

    struct Case {
        std::vector<std::string> args;
        int status;
        const char* says;
    };
    const std::vector<Case> cases{
        {{"--port", "COM0", "status"}, 2, "not a port"},
        {{"--port", "COM5", "status"}, 2, "cannot open the logger port COM5"},
        {{"status"}, 2, "no logger port"},
        {{"--port", "COM6", "upload", "--runs", "4-2"}, 2, "--runs"},
        {{"--port", "COM6", "upload", "-o", "/proc"}, 2, "cannot be written"},
        {{"--port", "COM6", "upload", "-o", "plain.txt"}, 2, "not a directory"},
        {{"--port", "COM6", "--timeout", "2", "status"}, 3, "no status record"},
    };
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const Outcome r = cli(c.args, 20s);
        EXPECT_EQ(r.status, c.status) << c.args.back() << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 8s) << c.says;
    }
}

}  // namespace
}  // namespace cvh
