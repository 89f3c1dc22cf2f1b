// Run-file extraction throughput against a plain file copy of the same run, in the same run.
//   bench_extract                         Google Benchmark: extraction vs copy of an 8 MB run
//   bench_extract generate FILE MEGABYTES write a run file with a field-like mix of records
//   bench_extract extract FILE DIR [--raw] extract once (for timing and peak memory from outside)
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "files/extract_cli.h"
#include "files/run_extract.h"

namespace {

using Buffer = std::vector<std::uint8_t>;

void put16(Buffer& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void storeLe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}
void putBe16(Buffer& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}
void putBe32(Buffer& b, std::uint32_t v) {
    putBe16(b, static_cast<std::uint16_t>(v >> 16));
    putBe16(b, static_cast<std::uint16_t>(v));
}

// Appends one record; `payload` is filled by the caller after the header.
std::uint8_t* record(Buffer& b, int type, std::size_t size) {
    put16(b, static_cast<std::uint16_t>(size));
    put16(b, static_cast<std::uint16_t>(type));
    b.resize(b.size() + size);
    return b.data() + b.size() - size;
}

// A logger run: each second an archive header with the raw records of four meters and the
// analog channels, time-window records of the same ports, one whole TQMUX archive record, a
// time record, and now and then battery and time-stamp records; a summary at the end.
bool generate(const char* path, std::uint64_t megabytes) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    std::mt19937 rng(42);
    const std::uint64_t target = megabytes * 1024 * 1024;
    std::uint64_t written = 0;
    std::uint32_t second = 1700000000;
    std::uint8_t sequence = 0;
    Buffer b;
    while (written < target) {
        b.clear();
        const std::uint32_t tick = second * 10;
        auto* h = record(b, 25, 7);
        h[0] = 1, h[1] = sequence++;
        storeLe32(h + 2, tick);
        for (int port = 0; port < 4; ++port) {
            const std::size_t n = 200 + rng() % 600;
            auto* p = record(b, 1 + port, n);
            std::memset(p, 'A' + port, n);
        }
        std::memset(record(b, 12, 28), 'x', 28);
        for (int part = 0; part < 4; ++part) {
            for (int port = 0; port < 4; ++port) {
                const std::size_t n = 4 + 40 + rng() % 120;
                auto* p = record(b, 5 + port, n);
                const std::uint32_t ts = tick + static_cast<std::uint32_t>(part * 25);
                storeLe32(p, ts);
                std::memset(p + 4, 'a' + port, n - 4);
            }
        }
        {
            Buffer tq;
            const std::uint16_t counts[9] = {150, 150, 100, 100, 0, 0, 0, 0, 28};
            tq.insert(tq.end(), {1, 0, 1, sequence});
            putBe16(tq, 528);
            putBe32(tq, tick);
            for (auto c : counts)
                putBe16(tq, c);
            tq.resize(tq.size() + 528, 'q');
            tq.insert(tq.end(), {'#', '#', '#', '#'});
            std::memcpy(record(b, 23, tq.size()), tq.data(), tq.size());
        }
        auto* t = record(b, 14, 4);
        storeLe32(t, tick);
        if (second % 60 == 0)
            std::memset(record(b, 9, 16), 'b', 16);
        if (second % 10 == 0)
            std::memset(record(b, 10, 8), 't', 8);
        if (std::fwrite(b.data(), 1, b.size(), f) != b.size()) {
            std::fclose(f);
            return false;
        }
        written += b.size();
        ++second;
    }
    Buffer s;
    std::memset(record(s, 11, 254), 0, 254);
    const bool ok = std::fwrite(s.data(), 1, s.size(), f) == s.size();
    return std::fclose(f) == 0 && ok;
}

std::filesystem::path benchDir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / "cvh_bench_extract";
        std::filesystem::create_directories(d / "out");
        generate((d / "run.001").string().c_str(), 8);
        return d;
    }();
    return dir;
}

void BM_CopyRun(benchmark::State& state) {
    const auto dir = benchDir();
    for (auto _ : state) {
        std::filesystem::copy_file(dir / "run.001", dir / "out" / "copy.001",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(dir / "run.001")));
}
BENCHMARK(BM_CopyRun)->Unit(benchmark::kMillisecond);

void BM_ExtractRun(benchmark::State& state) {
    const auto dir = benchDir();
    cvh::ExtractOptions options;
    options.choice =
        state.range(0) ? cvh::ExtractChoice::ArchivePlusRaw : cvh::ExtractChoice::Archive;
    options.outputDirectory = dir / "out";
    std::ostringstream sink;
    cvh::StreamOperator op(sink);
    cvh::ExtractionState extraction;
    for (auto _ : state) {
        benchmark::DoNotOptimize(cvh::extractRun(dir / "run.001", options, extraction, op));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(dir / "run.001")));
}
BENCHMARK(BM_ExtractRun)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "generate") == 0)
        return generate(argv[2], std::strtoull(argv[3], nullptr, 10)) ? 0 : 1;
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "extract") == 0) {
        std::vector<std::string> args{"-o", argv[3], argv[2]};
        if (argc == 5)
            args.insert(args.begin(), argv[4]);
        std::ostringstream out;
        return cvh::runExtractCli(args, out, out);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
