// Upload throughput against the simulated logger program pacing its output like a serial line:
// cvlogger-sim holds one stored run of the given size; the host reads the pty through the Qt
// backend with the console's timers played on the real clock (receive every 10 ms, pacing every
// 1 s, TTimeout every 1.5 s) and uploads the run. The time runs from the tick that requests the
// run to its final block; "share" is the data rate over the line rate (baud / 10 bytes a second
// at 8N1). Counters say where the rest goes: block overhead, the logger's status records and the
// turnaround of each acknowledgement (the logger sends a block only once the previous one is
// acknowledged, and the host looks at its port every 10 ms).
//
//   bench_upload --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "base/clock.h"
#include "files/run_upload.h"
#include "link/line_choices.h"
#include "link/port_manager.h"
#include "link/receive_loop.h"
#include "platform/qt_serial_backend.h"
#include "support/sim_program.h"

namespace cvh {
namespace {

using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kSimCom = 1;

// Confirms the save dialog in the benchmark's folder; everything else as nobody at the console.
class FolderOperator final : public Operator {
public:
    explicit FolderOperator(std::filesystem::path folder) : folder_(std::move(folder)) {}
    int notices = 0;
    void notice(const std::string&, const std::string&, bool) override { ++notices; }
    Answer askOkCancel(const std::string&, const std::string&, Icon, bool) override {
        return Answer::Ok;
    }
    Answer askYesNo(const std::string&, const std::string&, Icon, bool) override {
        return Answer::Yes;
    }
    Answer askYesNoCancel(const std::string&, const std::string&, Icon) override {
        return Answer::Yes;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override {
        return (folder_ / "run.xxx").string();
    }
    void beep() override {}

private:
    std::filesystem::path folder_;
};

struct Folder {
    Folder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "cvh_bench_XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            path = pattern;
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

void BM_UploadAgainstPacedLogger(benchmark::State& state) {
    const auto baud = static_cast<std::uint32_t>(state.range(0));
    const auto runKb = state.range(1);
    const std::chrono::milliseconds tick(state.range(2));
    const double lineBytesPerSecond = baud / 10.0;
    double seconds = 0;
    double bytes = 0;
    double blocks = 0;
    double lineBytes = 0;
    double duplicates = 0;
    double resends = 0;
    for (auto _ : state) {
        Folder folder;
        test::SimProgram sim;
        std::string error;
        if (!sim.start(
                {"--baud", std::to_string(baud), "--runs", "1", "--run-kb", std::to_string(runKb)},
                error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        QtSerialBackend backend;
        FolderOperator op(folder.path);
        SystemClock clock;
        SerialPortTable table(backend, op);
        table.names().set(kSimCom, sim.device());
        ReceiveLoop loop(table, op);
        PortManager ports(table, loop.framer(), loop.statistics());
        const auto choice = lineSettingFor(baud, 8);
        ports.reopenPort(kLoggerSlot, kSimCom, choice ? *choice : 11);
        RunUpload upload(loop.commands(), op, clock, nullptr);
        loop.setConsumers({.upload = &upload, .directory = &upload});

        // The console's timers on the real clock.
        auto runTimers = [&](auto done, std::chrono::seconds limit) {
            const auto start = Steady::now();
            auto nextReceive = start;
            auto nextReceive00 = start + 1s;
            auto next1500 = start + 1500ms;
            while (!done() && Steady::now() - start < limit) {
                std::this_thread::sleep_until(nextReceive);
                nextReceive += tick;
                loop.receiveStep(RecordMode::Off);
                const auto now = Steady::now();
                if (now >= nextReceive00) {
                    nextReceive00 += 1s;
                    upload.pacingStep();
                }
                if (now >= next1500) {
                    next1500 += 1500ms;
                    if (upload.facts().timeoutTimerEnabled)
                        upload.onTimeoutTick();
                }
            }
            return done();
        };

        upload.requestDirectory(9, "logger");
        if (!runTimers([&] { return upload.directory().entryCount() == 1; }, 10s)) {
            state.SkipWithError("no directory entry");
            return;
        }
        upload.startUpload({0}, 0, 901);
        const std::int64_t announced = upload.directory().entry(0).runSize;
        // Wait for the pacing tick that asks for the run, then time the transfer.
        runTimers([&] { return upload.facts().requestSent; }, 5s);
        const auto begin = Steady::now();
        const auto inputBefore = loop.statistics().totalInputBytes;
        const auto limit =
            std::chrono::seconds(30 + 3 * announced / static_cast<long>(lineBytesPerSecond));
        if (!runTimers([&] { return !upload.uploading(); }, limit) ||
            upload.facts().received != announced || op.notices != 0) {
            state.SkipWithError("the run did not arrive whole");
            return;
        }
        const double elapsed = std::chrono::duration<double>(Steady::now() - begin).count();
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        lineBytes += static_cast<double>(loop.statistics().totalInputBytes - inputBefore);
        duplicates += static_cast<double>(upload.facts().duplicates);
        resends += sim.logCount("again");
        bytes += static_cast<double>(upload.facts().received);
        blocks += static_cast<double>((upload.facts().received + 1023) / 1024 + 1);
    }
    const double rate = bytes / seconds;
    state.counters["bytes_per_s"] = rate;
    state.counters["share_of_line"] = rate / lineBytesPerSecond;
    // Per block: the time the line needs for its 1036 bytes, and what is left for the turnaround
    // (acknowledgement, the host's 10 ms look at its port, the logger's status records).
    const double blockSeconds = seconds / blocks;
    state.counters["block_ms"] = blockSeconds * 1000;
    state.counters["block_on_line_ms"] = 1036 / lineBytesPerSecond * 1000;
    state.counters["turnaround_ms"] = (blockSeconds - 1036 / lineBytesPerSecond) * 1000;
    // Everything the logger put on the line (blocks, status records) over the line rate.
    state.counters["line_busy"] = lineBytes / seconds / lineBytesPerSecond;
    state.counters["duplicates"] = duplicates;
    state.counters["logger_resends"] = resends;
    state.counters["run_bytes"] = bytes / static_cast<double>(state.iterations());
}

// Arguments: baud, run size in KB, receive tick in ms. 2 MB at 115200 baud takes three minutes;
// at 9600 baud it would take 36, so the slow line moves a 64 KB run (a minute), which shows the
// same per-block behaviour. The 1 ms tick is not the program's: it shows how much of the
// shortfall the 10 ms tick's wait for each acknowledgement causes.
BENCHMARK(BM_UploadAgainstPacedLogger)
    ->Args({115200, 2048, 10})
    ->Args({9600, 64, 10})
    ->Args({115200, 512, 10})
    ->Args({115200, 512, 1})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace cvh

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
