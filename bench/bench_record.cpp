// Recording throughput: 1,000,000 data packets (20..2048 data bytes, most of them small, as a
// deck logger's instruments send them) through handleDataPacket into an hourly archive, with the
// 1 s tick's roll-over check every 100 packets but without the 10 ms pacing. The baseline is the
// same packets with recording off. Reported per repetition: packets per second, the share of the
// 10 ms tick one packet's handling takes, and the resident memory before and after.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/clock.h"
#include "files/recorder.h"
#include "link/data_packet.h"
#include "link/receive_loop.h"
#include "link/serial_port_table.h"

namespace cvh {
namespace {

constexpr std::size_t kPackets = 1'000'000;
constexpr std::size_t kPacketsPerSecond = 100;  // the most the 10 ms tick takes in
constexpr double kTickSeconds = 0.010;

// No serial device: handleDataPacket alone is measured.
class NoBackend final : public SerialBackend {
public:
    std::unique_ptr<SerialDevice> open(const std::string&) override { return nullptr; }
    bool exists(const std::string&) const override { return false; }
};

// Resident set size (current, peak) in kB, from the kernel's view of this process.
std::pair<double, double> residentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    double rss = 0;
    double peak = 0;
    while (status >> key) {
        if (key == "VmRSS:")
            status >> rss;
        else if (key == "VmHWM:")
            status >> peak;
    }
    return {rss, peak};
}

// 512 different records (wire order, as the framer hands them on) with sizes spread evenly on
// a log scale from 20 to 2048 bytes over up to nine ports: mostly short instrument lines, now
// and then a long burst.
std::vector<std::vector<std::uint8_t>> packetMix() {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> logSize(std::log(20.0), std::log(2048.0));
    std::vector<std::vector<std::uint8_t>> records;
    for (int i = 0; i < 512; ++i) {
        const auto size = static_cast<std::size_t>(std::exp(logSize(rng)));
        std::vector<std::uint8_t> data(size);
        for (auto& b : data)
            b = static_cast<std::uint8_t>(rng());
        std::array<Bytes, kDataPortCount> segments;
        std::size_t at = 0;
        for (int p = 0; p < kDataPortCount && at < size; ++p) {
            const std::size_t n = p == kDataPortCount - 1 ? size - at : rng() % (size - at + 1);
            segments[p] = Bytes(data).subspan(at, n);
            at += n;
        }
        DataPacketFields f;
        f.unit = 1;
        auto wire = *buildDataPacket(f, segments);
        // The record: without the two type bytes and the checksum.
        records.emplace_back(wire.begin() + 2, wire.end() - 2);
    }
    return records;
}

void runPackets(benchmark::State& state, RecordMode mode) {
    const auto records = packetMix();
    const auto dir = std::filesystem::temp_directory_path() / "cvh_bench_record";
    NoBackend backend;
    NullOperator op;
    std::vector<std::uint8_t> work(kMaxDataPacketLength);
    double bytesWritten = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        FixedClock clock;
        clock.now = daysFromCivil(2024, 6, 1) * 86400 + 10 * 3600;
        SerialPortTable table(backend, op);
        ReceiveLoop loop(table, op);
        Recorder recorder(op, clock);
        loop.setConsumers({.recorder = &recorder});
        if (mode != RecordMode::Off &&
            recorder.startRecording(mode, (dir / "bench").string()) != RecorderStart::Started) {
            state.SkipWithError("cannot start recording");
            break;
        }
        const auto [rssBefore, peakBefore] = residentKb();
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        std::uint8_t sequence = 0;
        for (std::size_t i = 0; i < kPackets; ++i) {
            const auto& r = records[i % records.size()];
            std::copy(r.begin(), r.end(), work.begin());
            work[data_record::kSequence] = sequence++;
            loop.handleDataPacket(MutableBytes(work.data(), r.size()), recorder.mode(),
                                  loop.archiveBytes());
            if ((i + 1) % kPacketsPerSecond == 0) {
                clock.now += 1;
                recorder.tick1s();
            }
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        state.PauseTiming();
        recorder.stop();
        const auto [rssAfter, peakAfter] = residentKb();
        if (loop.statistics().unitPackets[1] != kPackets || recorder.state().writeFailures != 0)
            state.SkipWithError("packets were not all accepted and written");
        bytesWritten = static_cast<double>(loop.archiveBytes());
        state.counters["packets_per_s"] = static_cast<double>(kPackets) / seconds;
        state.counters["tick_share_pct"] = seconds / kPackets / kTickSeconds * 100.0;
        state.counters["rss_before_kB"] = rssBefore;
        state.counters["rss_after_kB"] = rssAfter;
        state.counters["peak_growth_kB"] = peakAfter - peakBefore;
        state.counters["archive_MB"] = bytesWritten / 1e6;
        std::filesystem::remove_all(dir);
        state.ResumeTiming();
    }
}

void BM_PacketsRecordingOff(benchmark::State& state) {
    runPackets(state, RecordMode::Off);
}
BENCHMARK(BM_PacketsRecordingOff)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_PacketsIntoHourlyArchive(benchmark::State& state) {
    runPackets(state, RecordMode::Hourly);
}
BENCHMARK(BM_PacketsIntoHourlyArchive)
    ->Iterations(1)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace cvh

BENCHMARK_MAIN();
