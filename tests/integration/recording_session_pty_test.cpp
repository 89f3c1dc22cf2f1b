// Record and replay as the running program has them: a host session in "Advanced User" mode
// records a logger on a pseudo-terminal into hourly archives while its PC-Logger page forwards
// one port of one unit to a deck pty; a fresh session replays that archive at speed 10 through
// its own deck pty. The deck gets the same bytes and the units the same counts.
#include <gtest/gtest.h>

#include "session/pc_logger_setup.h"
#include "files/extract_test_util.h"
#include "platform/qt_serial_backend.h"
#include "session/host_session.h"
#include "support/deck_forwarding.h"
#include "support/logger_script.h"
#include "support/pty_logger_rig.h"
#include "support/temp_dir.h"

namespace cvh {
namespace {

constexpr int kForwardedUnit = 3;
constexpr int kForwardedPort = 2;
constexpr int kLoggerCom = 80, kDeckCom = 81;
constexpr int kDeckSlot = 4;

// One session on real ptys, in mode 5, forwarding the unit's port to its deck pty.
struct DeckSession {
    explicit DeckSession(const std::string& directory) {
        EXPECT_TRUE(logger.ok() && deck.ok());
        session.ports().names().set(kLoggerCom, logger.slavePath());
        session.ports().names().set(kDeckCom, deck.slavePath());
        clock.now = 1'700'000'000;
        session.startUp(directory);
        session.modeMenuClick(MenuItem::MenuAdvanced);
        test::forwardToDeck(session, kDeckSlot, kDeckCom, kForwardedUnit, kForwardedPort);
        EXPECT_TRUE(session.ports().isPortOpen(kDeckSlot));
    }
    ~DeckSession() { session.shutdown(); }
    // One 10 ms tick of the session on its clock; true when a packet was recognised.
    bool tick() {
        clock.nowMilliseconds += 10;
        const auto before = session.link().packetCount;
        session.onTick10ms();
        return session.link().packetCount != before;
    }

    test::Pty logger, deck;
    QtSerialBackend backend;
    test::ScriptedOperator op;
    FixedClock clock;
    HostSession session{backend, op, clock};
};

TEST(RecordingSessionPty, ReplayInAFreshSessionPutsOutWhatTheLiveStreamDid) {
    test::TempDir dir{"cvh_record_session"};
    test::LoggerScript script(20261208, kForwardedUnit, kForwardedPort);
    script.run(600);
    ASSERT_GT(script.expectedGaps, 5u);

    std::vector<std::uint8_t> live;
    std::string archive;
    std::array<std::uint32_t, kUnitCount> liveCounts{};
    {
        DeckSession a((dir.path() / "a").string());
        a.session.linkPorts().loggerPortChange(kLoggerCom, 11);
        ASSERT_TRUE(a.session.ports().isPortOpen(0));
        ASSERT_EQ(
            a.session.recorder().startRecording(RecordMode::Hourly, (dir.path() / "deck").string()),
            RecorderStart::Started);
        live = test::feedStream(
            a.logger, a.deck, script.stream, [&] { return a.tick(); },
            [&] { return a.session.receiveLoop().framer().size(); });
        archive = a.session.recorder().state().fileName;
        for (int unit = 0; unit < kUnitCount; ++unit)
            liveCounts[unit] = a.session.link().unitPackets[unit];
    }
    ASSERT_TRUE(live == script.expectedDeck);
    EXPECT_EQ(liveCounts, script.expectedUnitPackets);
    EXPECT_TRUE(test::readFile(archive) == script.expectedArchive);

    DeckSession b((dir.path() / "b").string());
    b.session.recorder().setReplaySpeed(10);
    ASSERT_EQ(b.session.recorder().startReplay(RecordMode::Replay, archive),
              RecorderStart::Started);
    std::vector<std::uint8_t> replayed;
    std::uint32_t ticks = 0;
    while (b.session.recordMode() != RecordMode::Off && ticks < 4 * script.expectedRecords) {
        b.tick();
        ++ticks;
        const auto more = b.deck.read(1u << 16, std::chrono::milliseconds(0));
        replayed.insert(replayed.end(), more.begin(), more.end());
    }
    EXPECT_EQ(ticks, script.expectedRecords + 1);  // one record a tick, then the end
    const auto rest = b.deck.readUntilQuiet(std::chrono::milliseconds(100));
    replayed.insert(replayed.end(), rest.begin(), rest.end());
    EXPECT_TRUE(replayed == live);
    // Live, a packet that revealed a gap was counted but not recorded; replayed, every record
    // counts once and none looks like a gap.
    for (int unit = 0; unit < kUnitCount; ++unit)
        EXPECT_EQ(b.session.link().unitPackets[unit] + script.expectedUnitGaps[unit],
                  liveCounts[unit])
            << unit;
    EXPECT_EQ(b.session.link().gapTotal, 0u);
    EXPECT_TRUE(b.op.notices().empty());
}

}  // namespace
}  // namespace cvh
