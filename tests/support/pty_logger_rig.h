// The host's receive path on real pseudo-terminals: a logger pty read through the Qt backend
// into the receive loop, and a deck pty that passes on one port of one unit. feedStream()
// writes a stream into the logger's side in random pieces with pauses and ticks the host in
// between, never waiting on its ports, until the host has taken everything and the line is
// quiet; a whole session can be ticked the same way.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "link/port_manager.h"
#include "link/receive_loop.h"
#include "platform/qt_serial_backend.h"
#include "support/pty.h"
#include "support/scripted_operator.h"

namespace cvh::test {

// Writes `stream` into the logger's side in random pieces with pauses, running `tick` (true
// when the host recognised a packet) in between and gathering what `deck` puts out, until the
// host has taken everything (`backlog`: bytes it holds unframed) and the line is quiet.
template <class Tick, class Backlog>
std::vector<std::uint8_t> feedStream(Pty& logger, Pty& deck,
                                     const std::vector<std::uint8_t>& stream, Tick tick,
                                     Backlog backlog) {
    std::mt19937 rng(7);
    std::vector<std::uint8_t> received;
    int packetsSeen = 0;
    auto step = [&] {
        if (tick())
            ++packetsSeen;
        auto more = deck.read(1u << 16, std::chrono::milliseconds(0));
        received.insert(received.end(), more.begin(), more.end());
    };
    std::size_t sent = 0;
    while (sent < stream.size()) {
        const std::size_t n = std::min<std::size_t>(1 + rng() % 700, stream.size() - sent);
        EXPECT_TRUE(logger.write(stream.data() + sent, n));
        sent += n;
        if (rng() % 8 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        for (int i = 0; i < 4; ++i)
            step();
    }
    // The host takes one packet per tick: let it catch up, then wait for the line to settle.
    int quiet = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (quiet < 200 && std::chrono::steady_clock::now() < end) {
        const std::size_t before = received.size() + backlog();
        const int packetsBefore = packetsSeen;
        step();
        const bool idle = packetsSeen == packetsBefore && received.size() + backlog() == before;
        quiet = idle ? quiet + 1 : 0;
        if (idle)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    auto rest = deck.readUntilQuiet(std::chrono::milliseconds(100));
    received.insert(received.end(), rest.begin(), rest.end());
    return received;
}

class PtyLoggerRig {
public:
    static constexpr int kLoggerCom = 50;
    static constexpr int kDeckCom = 51;
    static constexpr int kDeckSlot = 3;

    PtyLoggerRig(int forwardedUnit, int forwardedPort) {
        table.names().set(kLoggerCom, logger.slavePath());
        table.names().set(kDeckCom, deck.slavePath());
        auto& routing = loop.deckRouting();
        routing.pcFunction[kDeckSlot] = kPcFunctionLoggerOutput;
        routing.pcSourceId[kDeckSlot] = forwardedUnit;
        routing.pcSourcePort[kDeckSlot] = forwardedPort;
    }

    // Opens the logger port at 115200 and the deck port at 9600.
    bool open() {
        return logger.ok() && deck.ok() && ports.reopenPort(0, kLoggerCom, 11) == 11 &&
               ports.reopenPort(kDeckSlot, kDeckCom, 6) == 6;
    }

    // Feeds `stream` through the host in `recordMode`; returns what the deck port put out.
    std::vector<std::uint8_t> feed(const std::vector<std::uint8_t>& stream, RecordMode recordMode) {
        return feedStream(
            logger, deck, stream,
            [&] {
                if (loop.receiveStep(recordMode) != kReceivedPacket)
                    return false;
                ports.onPacketRecognised();
                return true;
            },
            [&] { return loop.framer().size(); });
    }

    Pty logger;
    Pty deck;
    QtSerialBackend backend;
    ScriptedOperator op;
    SerialPortTable table{backend, op};
    ReceiveLoop loop{table, op};
    PortManager ports{table, loop.framer(), loop.statistics()};
};

}  // namespace cvh::test
