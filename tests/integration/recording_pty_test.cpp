// Recording from a logger on a pseudo-terminal through the real receive path, then replaying the
// archive through a fresh receive loop: the archive must hold exactly the packets accepted in
// sequence, and its replay must put out the same deck-port bytes as the live stream did.
#include <gtest/gtest.h>

#include "files/extract_test_util.h"
#include "files/recorder.h"
#include "support/fake_serial.h"
#include "support/logger_script.h"
#include "support/pty_logger_rig.h"
#include "support/temp_dir.h"

namespace cvh {
namespace {

constexpr int kForwardedUnit = 2;
constexpr int kForwardedPort = 5;

TEST(RecordingPty, ArchiveHoldsTheAcceptedPacketsAndReplaysTheirDeckOutput) {
    test::TempDir dir;
    const auto archive = (dir / "deck.arc").string();
    FixedClock clock;

    // Live: record while forwarding.
    test::PtyLoggerRig rig(kForwardedUnit, kForwardedPort);
    ASSERT_TRUE(rig.open());
    Recorder recorder(rig.op, clock);
    rig.loop.setConsumers({.recorder = &recorder});
    ASSERT_EQ(recorder.startRecording(RecordMode::Continuous, archive), RecorderStart::Started);
    test::LoggerScript script(20240612, kForwardedUnit, kForwardedPort);
    script.run(700);
    ASSERT_GT(script.expectedGaps, 5u);
    for (int unit = 0; unit < kUnitCount; ++unit)
        ASSERT_GT(script.expectedUnitPackets[unit], 5u) << unit;
    const auto live = rig.feed(script.stream, recorder.mode());
    recorder.stop();
    ASSERT_TRUE(live == script.expectedDeck);
    ASSERT_EQ(rig.op.notices().size(), 1u);  // the bad unit's "Mux ID Error" only

    const auto recorded = test::readFile(archive);
    ASSERT_EQ(recorded.size(), script.expectedArchive.size());
    EXPECT_TRUE(recorded == script.expectedArchive);
    EXPECT_EQ(recorder.state().sizeCounter, static_cast<std::int64_t>(recorded.size()));

    // Replay at speed 10 into a receive loop that has never seen the logger.
    test::FakeSerialBackend backend;
    backend.add("deck");
    test::ScriptedOperator op;
    SerialPortTable table(backend, op);
    table.names().set(1, "deck");
    table.openPort(test::PtyLoggerRig::kDeckSlot, 1);
    ReceiveLoop loop(table, op);
    loop.deckRouting() = rig.loop.deckRouting();
    loop.deckRouting().pcBytesOut = {};
    Recorder player(op, clock);
    player.setNextSequence([&loop](std::uint8_t unit) {
        return static_cast<std::uint8_t>(loop.lastSequence(unit) + 1);
    });
    loop.setConsumers({.replay = &player});
    player.setReplaySpeed(10);
    ASSERT_EQ(player.startReplay(RecordMode::Replay, archive), RecorderStart::Started);
    std::uint32_t ticks = 0;
    while (player.mode() != RecordMode::Off && ticks < 10 * script.expectedRecords) {
        loop.receiveStep(player.mode());
        player.tick10ms();
        ++ticks;
    }
    EXPECT_EQ(ticks, script.expectedRecords + 1);  // one record a tick, then the end
    EXPECT_EQ(player.state().replayEnd, ReplayEnd::EndOfFile);

    const auto& replayed = backend.line("deck").written;
    ASSERT_EQ(replayed.size(), live.size());
    EXPECT_TRUE(replayed == live);
    // Live, the packet that revealed a gap was counted but not recorded; every recorded packet
    // is counted once on replay, and none looks like a gap.
    const LinkStatistics& stats = loop.statistics();
    for (int unit = 0; unit < kUnitCount; ++unit)
        EXPECT_EQ(stats.unitPackets[unit],
                  script.expectedUnitPackets[unit] - script.expectedUnitGaps[unit])
            << unit;
    EXPECT_EQ(stats.gapTotal, 0u);
    EXPECT_TRUE(op.notices().empty());
}

}  // namespace
}  // namespace cvh
