// Arbitrary bytes from the logger port through the framer and the whole dispatch, and the same
// bytes handed to the data-record handler directly, as the PC-logger builder would.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/receive_loop.h"
#include "link/run_directory_record.h"
#include "link/serial_port_table.h"
#include "link/status_record.h"

namespace {

using namespace cvh;

struct Feed {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
    std::size_t chunk = 1;
};

class FeedDevice : public SerialDevice {
public:
    explicit FeedDevice(Feed* feed) : feed_(feed) {}
    bool configure(const std::string&) override { return true; }
    std::size_t read(std::uint8_t* buffer, std::size_t room) override {
        if (!feed_)
            return 0;
        const std::size_t n = std::min({room, feed_->chunk, feed_->size - feed_->at});
        std::copy_n(feed_->data + feed_->at, n, buffer);
        feed_->at += n;
        return n;
    }
    std::size_t write(const std::uint8_t*, std::size_t count) override { return count; }
    bool close() override { return true; }

private:
    Feed* feed_;
};

class FeedBackend : public SerialBackend {
public:
    Feed feed;
    std::unique_ptr<SerialDevice> open(const std::string& name) override {
        return std::make_unique<FeedDevice>(name == "logger" ? &feed : nullptr);
    }
    bool exists(const std::string&) const override { return true; }
};

// Decodes each record it is handed, so the decoders see framed but hostile contents.
class Decoders : public UploadSink, public DirectorySink, public RecordSink {
public:
    void onUploadBlock(Bytes b) override { (void)decodeUploadBlock(b); }
    void onDirectoryEntry(Bytes b) override { (void)decodeDirectoryEntry(b); }
    bool appendRaw(Bytes) override { return true; }
    bool appendPacket(Bytes record, RecordMode) override {
        return readDataRecordHeader(record, HeaderOrder::Archive).has_value();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The port table is built once: its 260 port names cost more than a run of the framer. Its
    // devices never report a loss, so every port stays open from one input to the next.
    static FeedBackend backend;
    static NullOperator op;
    static SerialPortTable& table = *[] {
        auto* t = new SerialPortTable(backend, op);
        t->names().set(1, "logger");
        t->openPort(0, 1);
        for (int slot = 1; slot <= 8; ++slot) {
            t->names().set(slot + 1, "deck" + std::to_string(slot));
            t->openPort(slot, slot + 1);
        }
        return t;
    }();

    ReceiveLoop loop(table, op);
    Decoders decoders;
    ReceiveConsumers consumers;
    consumers.upload = &decoders;
    consumers.directory = &decoders;
    consumers.recorder = &decoders;
    loop.setConsumers(consumers);
    DeckRouting& deck = loop.deckRouting();
    for (int slot = 1; slot <= 8; ++slot) {
        deck.pcFunction[slot] = slot % 4;
        deck.pcSourceId[slot] = slot % 5;
        deck.pcSourcePort[slot] = slot + 1;  // 2..9
    }
    loop.rawDisplay = {true, kRawSourceParsed, data[0] % 5, data[0] % 9};

    backend.feed = {data + 1, size - 1, 0, 1 + (data[0] * 37u) % 4200};
    // Ticks until the input is used up and the buffer no longer moves.
    for (int idle = 0; idle < 3;) {
        const std::size_t before = loop.framer().size();
        const int r = loop.receiveStep(RecordMode::Continuous);
        if (r == kReceivedNothing && loop.framer().size() == before)
            ++idle;
        else
            idle = 0;
    }
    (void)decodeStatusRecord(loop.records().status);
    (void)loop.takePendingDisplay();

    // The same bytes as one data record of exactly their size.
    std::vector<std::uint8_t> record(data + 1, data + size);
    std::int64_t recorded = 0;
    loop.handleDataPacket(record, RecordMode::Continuous, recorded);
    return 0;
}
