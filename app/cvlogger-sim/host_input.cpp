#include "host_input.h"

#include <algorithm>
#include <string_view>

#include "base/checksum.h"

namespace cvh::sim {

namespace {

constexpr std::size_t kTextMemory = 32;

bool endsWith(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && std::string_view(s).substr(s.size() - tail.size()) == tail;
}

}  // namespace

void HostInput::feed(Bytes bytes, std::vector<HostRequest>& out) {
    counters_.bytes += bytes.size();
    const std::size_t before = out.size();
    // Byte by byte, so requests come out in the order the host sent them whichever of the
    // three scanners recognises them.
    for (std::uint8_t b : bytes) {
        feedText(b, out);
        feedPortTest(b, out);
        feedFramer(b, out);
    }
    counters_.requests += out.size() - before;
    counters_.checksumFailures = framer_.counters().checksumFailures;
    counters_.droppedBytes = framer_.counters().droppedBytes;
}

void HostInput::feedFramer(std::uint8_t byte, std::vector<HostRequest>& out) {
    framer_.appendBytes(&byte, 1);
    for (Frame frame = framer_.next(); frame.status != Frame::Status::NeedMore;
         frame = framer_.next()) {
        if (!frame.packet())
            continue;
        const Bytes packet = frame.bytes;
        HostRequest r;
        switch (frame.type) {
            case PacketType::FlashStatus:  // a command frame is laid out like a type-2 packet
                r.kind = HostRequest::Kind::Command;
                r.code = readLe16(packet, command_frame::kCode);
                r.argumentA = readLe32(packet, command_frame::kArgumentA);
                r.argumentB = readLe16(packet, command_frame::kArgumentB);
                break;
            case PacketType::Setup:
                r.kind = HostRequest::Kind::Setup;
                r.record.assign(packet.begin(), packet.end());
                break;
            case PacketType::Calibration:
                r.kind = HostRequest::Kind::Calibration;
                r.record.assign(packet.begin(), packet.end());
                break;
            case PacketType::Hardware:
                r.kind = HostRequest::Kind::Hardware;
                r.record.assign(packet.begin(), packet.end());
                break;
            default:
                ++counters_.ignoredPackets;
                continue;
        }
        out.push_back(std::move(r));
    }
}

void HostInput::feedText(std::uint8_t byte, std::vector<HostRequest>& out) {
    if (byte < 0x20 || byte > 0x7E) {
        text_.clear();
        lastText_.reset();
        return;
    }
    text_.push_back(static_cast<char>(byte));
    if (text_.size() > kTextMemory)
        text_.erase(0, text_.size() - kTextMemory);
    HostRequest r;
    if (endsWith(text_, "BREAK") || endsWith(text_, "STOP7E1")) {
        r.kind = HostRequest::Kind::StopText;
    } else if (endsWith(text_, "WAKE")) {
        r.kind = HostRequest::Kind::WakeText;
    } else if (endsWith(text_, "SLEEP")) {
        r.kind = HostRequest::Kind::SleepText;
    } else {
        return;
    }
    text_.clear();
    // "BREAKBREAKBREAK" says it three times for a noisy line; it is one stop.
    if (lastText_ == r.kind)
        return;
    lastText_ = r.kind;
    out.push_back(std::move(r));
}

void HostInput::feedPortTest(std::uint8_t byte, std::vector<HostRequest>& out) {
    if (windowFill_ == window_.size()) {
        std::copy(window_.begin() + 1, window_.end(), window_.begin());
        --windowFill_;
    }
    window_[windowFill_++] = byte;
    if (windowFill_ < window_.size() || window_[0] != port_test_frame::kType ||
        window_[1] != port_test_frame::kType || !checksumMatches(window_)) {
        return;
    }
    HostRequest r;
    r.kind = HostRequest::Kind::PortTest;
    r.portTest.port = readBe16(window_, port_test_frame::kPort);
    r.portTest.testBaud = readBe32(window_, port_test_frame::kTestBaud);
    r.portTest.hostBaud = readBe32(window_, port_test_frame::kHostBaud);
    windowFill_ = 0;
    out.push_back(std::move(r));
}

}  // namespace cvh::sim
