// The 10 ms tick's receive step: (a) one maximal data packet recognised and dispatched with
// forwarding to eight deck ports, (b) 4 KB of garbage resynchronised until the buffer drains.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "link/data_packet.h"
#include "link/receive_loop.h"
#include "link/serial_port_table.h"

namespace cvh {
namespace {

struct Line {
    std::vector<std::uint8_t> incoming;
    std::size_t readAt = 0;
    std::size_t writtenBytes = 0;
};

class BenchDevice : public SerialDevice {
public:
    explicit BenchDevice(Line& line) : line_(line) {}
    bool configure(const std::string&) override { return true; }
    std::size_t read(std::uint8_t* buffer, std::size_t room) override {
        const std::size_t n = std::min(room, line_.incoming.size() - line_.readAt);
        std::copy_n(line_.incoming.begin() + static_cast<std::ptrdiff_t>(line_.readAt), n, buffer);
        line_.readAt += n;
        return n;
    }
    std::size_t write(const std::uint8_t*, std::size_t count) override {
        line_.writtenBytes += count;
        return count;
    }
    bool close() override { return true; }

private:
    Line& line_;
};

class BenchBackend : public SerialBackend {
public:
    std::array<Line, 9> lines;
    std::unique_ptr<SerialDevice> open(const std::string& name) override {
        return std::make_unique<BenchDevice>(lines.at(std::stoul(name)));
    }
    bool exists(const std::string&) const override { return true; }
};

struct Rig {
    BenchBackend backend;
    NullOperator op;
    SerialPortTable table{backend, op};
    ReceiveLoop loop{table, op};

    Rig() {
        for (int slot = 0; slot <= 8; ++slot) {
            table.names().set(slot + 1, std::to_string(slot));
            table.openPort(slot, slot + 1);
        }
        DeckRouting& d = loop.deckRouting();
        for (int slot = 1; slot <= 8; ++slot) {
            d.pcFunction[slot] = kPcFunctionLoggerOutput;
            d.pcSourceId[slot] = 1;
            d.pcSourcePort[slot] = slot;
        }
    }
    void arrive(const std::vector<std::uint8_t>& bytes) {
        backend.lines[0].incoming = bytes;
        backend.lines[0].readAt = 0;
    }
};

void BM_DataPacketDispatchedWithForwarding(benchmark::State& state) {
    Rig rig;
    // One packet per sequence number, so every iteration is accepted in sequence.
    std::vector<std::uint8_t> data(kMaxDataPayload);
    std::mt19937 rng(1);
    for (auto& b : data)
        b = static_cast<std::uint8_t>(rng());
    std::array<Bytes, kDataPortCount> segments;
    for (int p = 0; p < kDataPortCount; ++p)
        segments[p] = Bytes(data).subspan(static_cast<std::size_t>(p) * 455, p < 8 ? 455 : 456);
    std::vector<std::vector<std::uint8_t>> packets;
    for (int seq = 0; seq < 256; ++seq) {
        DataPacketFields f;
        f.unit = 1;
        f.sequence = static_cast<std::uint8_t>(seq);
        packets.push_back(*buildDataPacket(f, segments));
    }
    std::size_t i = 0;
    for (auto _ : state) {
        rig.arrive(packets[i++ % packets.size()]);
        benchmark::DoNotOptimize(rig.loop.receiveStep(RecordMode::Off));
    }
    if (rig.loop.statistics().unitPackets[1] != state.iterations() ||
        rig.loop.statistics().gapTotal > 1)
        state.SkipWithError("packets were not accepted in sequence");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(packets[0].size()));
}
BENCHMARK(BM_DataPacketDispatchedWithForwarding);

void BM_GarbageResynchronised(benchmark::State& state) {
    Rig rig;
    std::vector<std::uint8_t> garbage(4096);
    std::mt19937 rng(2);
    for (auto& b : garbage)
        b = static_cast<std::uint8_t>(rng());
    std::size_t left = 0;
    for (auto _ : state) {
        rig.loop.framer().flush();
        rig.arrive(garbage);
        // Tick after tick until nothing moves: no-match bytes go freely, each error byte and
        // each stray pair's wait ends a tick.
        for (;;) {
            const std::size_t before = rig.loop.framer().size();
            const int r = rig.loop.receiveStep(RecordMode::Off);
            if (r == kReceivedNothing && rig.loop.framer().size() == before)
                break;
        }
        left = rig.loop.framer().size();
    }
    state.counters["bytes_left"] = static_cast<double>(left);
    state.counters["dropped_per_pass"] = static_cast<double>(
        rig.loop.framer().counters().droppedBytes / std::max<std::uint64_t>(1, state.iterations()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 4096);
}
BENCHMARK(BM_GarbageResynchronised)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace cvh

BENCHMARK_MAIN();
