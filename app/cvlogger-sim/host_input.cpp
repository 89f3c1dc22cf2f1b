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
}

void HostInput::feedFramer(std::uint8_t byte, std::vector<HostRequest>& out) {
    framer_.appendBytes(&byte, 1);
    while (framer_.size() >= kMinPacketLength) {
        const int code = framer_.recognise();
        if (code == kFramerIncomplete)
            return;
        if (code <= 0) {
            framer_.consume(1);
            continue;
        }
        const Bytes head = framer_.head();
        HostRequest r;
        const std::size_t used = framer_.packetLength(code);
        switch (code) {
            case 2:
                r.kind = HostRequest::Kind::Command;
                r.code = readLe16(head, command_frame::kCode);
                r.argumentA = readLe32(head, command_frame::kArgumentA);
                r.argumentB = readLe16(head, command_frame::kArgumentB);
                break;
            case 1:
                r.kind = HostRequest::Kind::Setup;
                break;
            case 6:
                r.kind = HostRequest::Kind::Calibration;
                break;
            case 7:
                r.kind = HostRequest::Kind::Hardware;
                break;
            default:
                break;
        }
        if (code == 1 || code == 2 || code == 6 || code == 7) {
            if (code != 2)
                r.record.assign(head.begin(), head.begin() + used);
            out.push_back(std::move(r));
        } else {
            ++counters_.ignoredPackets;
        }
        framer_.consume(std::min(used, framer_.size()));
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
