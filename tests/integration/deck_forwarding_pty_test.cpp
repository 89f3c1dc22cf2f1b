// End to end over pseudo-terminals: a test-side logger writes data packets with garbage,
// splits, duplicates, keep-alives and sequence gaps from units 0..4 into one pty; the host
// reads the other side through the Qt backend and the receive loop, and passes one port's bytes
// on to a deck slot, whose pty must deliver exactly the bytes of the packets accepted in
// sequence.
#include <gtest/gtest.h>

#include "support/logger_script.h"
#include "support/pty_logger_rig.h"

namespace cvh {
namespace {

constexpr int kForwardedUnit = 1;
constexpr int kForwardedPort = 3;  // logger port 3: segment index 2

TEST(DeckForwardingPty, LoggerPortBytesReachTheDeckPortExactly) {
    test::PtyLoggerRig rig(kForwardedUnit, kForwardedPort);
    ASSERT_TRUE(rig.open());
    test::LoggerScript script(20240611, kForwardedUnit, kForwardedPort);
    script.run(700);
    ASSERT_GT(script.expectedDeck.size(), 10000u);
    ASSERT_GT(script.expectedGaps, 5u);

    const auto received = rig.feed(script.stream, RecordMode::Off);

    constexpr int kDeckSlot = test::PtyLoggerRig::kDeckSlot;
    ASSERT_EQ(received.size(), script.expectedDeck.size());
    EXPECT_TRUE(received == script.expectedDeck);
    EXPECT_EQ(rig.loop.deckRouting().pcBytesOut[kDeckSlot],
              static_cast<int>(script.expectedDeck.size()));
    const LinkStatistics& stats = rig.loop.statistics();
    EXPECT_EQ(stats.totalInputBytes, script.stream.size());
    EXPECT_EQ(stats.gapTotal, script.expectedGaps);
    EXPECT_EQ(stats.unitPackets, script.expectedUnitPackets);
    EXPECT_EQ(rig.table.unwrittenBytes(kDeckSlot), 0u);
    ASSERT_EQ(rig.op.notices().size(), static_cast<std::size_t>(script.badUnitPackets));
    EXPECT_EQ(rig.op.notices()[0].caption, "Mux ID Error");
    EXPECT_EQ(stats.noDataTimer, 2);
    EXPECT_EQ(stats.badDataTimer, 3);
}

}  // namespace
}  // namespace cvh
