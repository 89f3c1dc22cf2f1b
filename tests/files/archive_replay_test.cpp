// Archive replay: packets rebuilt exactly as the logger sent them, the pace of the speed
// control, the end of a file, and damaged files that must end the replay without a byte read or
// written past the receive buffer.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "files/archive_replayer.h"
#include "files/extract_test_util.h"
#include "link/packet_builders.h"
#include "support/temp_dir.h"

namespace cvh {
namespace {

using test::ByteVec;

constexpr std::size_t kBuffer = kMaxDataPacketLength;
constexpr std::uint8_t kGuard = 0xA5;

// The archive record of the packet test::dataPacket builds, with any sequence number.
ByteVec recordOf(int unit, std::uint8_t sequence, const std::vector<std::string>& ports,
                 std::uint32_t timeStamp = 0x01020304) {
    std::vector<std::uint16_t> counts;
    ByteVec data;
    for (const auto& p : ports) {
        counts.push_back(static_cast<std::uint16_t>(p.size()));
        data.insert(data.end(), p.begin(), p.end());
    }
    return test::archiveBytes(0x21, 0x22, static_cast<std::uint8_t>(unit), sequence, timeStamp,
                              counts, data);
}

class ArchiveReplayTest : public ::testing::Test {
protected:
    ArchiveReplayTest() { buffer.fill(kGuard); }

    void open(const ByteVec& file, bool continuous = false) {
        test::writeFile(dir / "a.arc", file);
        ASSERT_TRUE(replayer.open(dir / "a.arc", continuous));
    }
    // One tick into a buffer of `room` bytes; the bytes behind it must stay untouched.
    ByteVec tick(int speed = 10, std::size_t room = kBuffer) {
        const std::size_t n = replayer.nextPacket(MutableBytes(buffer.data(), room), speed);
        EXPECT_LE(n, room);
        for (std::size_t i = room; i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], kGuard) << "written past the buffer at " << i;
        return ByteVec(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
    }

    test::TempDir dir;
    ArchiveReplayer replayer;
    std::array<std::uint8_t, kBuffer + 64> buffer{};
};

TEST_F(ArchiveReplayTest, RebuildsEachPacketAsTheLoggerSentIt) {
    open(test::cat({recordOf(1, 17, {"abc", "", "de"}), recordOf(3, 40, {}),
                    recordOf(1, 99, {"", "", "", "", "", "", "", "", "xyz"})}));
    // Sequence numbers follow on per unit from the first a fresh receive loop expects.
    EXPECT_EQ(tick(), test::dataPacket(1, 0, {"abc", "", "de"}));
    EXPECT_EQ(tick(), test::dataPacket(3, 0, {}));  // L = 0: a 36-byte packet
    EXPECT_EQ(tick(), test::dataPacket(1, 1, {"", "", "", "", "", "", "", "", "xyz"}));
    EXPECT_EQ(replayer.position(), replayer.length());
    EXPECT_FALSE(replayer.stopRequested());
    EXPECT_TRUE(tick().empty());
    EXPECT_TRUE(replayer.stopRequested());
    EXPECT_EQ(replayer.end(), ReplayEnd::EndOfFile);
    EXPECT_EQ(replayer.packetsReplayed(), 3u);

    // With the receive loop's memory as the source, each packet takes what it expects next.
    open(recordOf(2, 5, {"q"}));
    replayer.setNextSequence(
        [](std::uint8_t unit) { return static_cast<std::uint8_t>(unit + 40); });
    EXPECT_EQ(tick(), test::dataPacket(2, 42, {"q"}));
}

TEST_F(ArchiveReplayTest, OnePacketEveryNineteenBySpeedTicks) {
    const std::pair<int, int> ticksBySpeed[] = {{1, 19}, {2, 9}, {3, 6}, {4, 4}, {5, 3},
                                                {6, 3},  {7, 2}, {9, 2}, {10, 1}};
    for (const auto& [speed, every] : ticksBySpeed) {
        open(test::cat({recordOf(1, 0, {"a"}), recordOf(1, 1, {"b"}), recordOf(1, 2, {"c"})}));
        std::vector<int> packetTicks;
        for (int t = 1; t <= 60; ++t)
            if (!tick(speed).empty())
                packetTicks.push_back(t);
        EXPECT_EQ(packetTicks, std::vector<int>({1, 1 + every, 1 + 2 * every})) << speed;
    }
    // A change of speed takes effect at the next packet.
    open(test::cat({recordOf(1, 0, {"a"}), recordOf(1, 1, {"b"}), recordOf(1, 2, {"c"})}));
    EXPECT_FALSE(tick(1).empty());
    for (int t = 0; t < 18; ++t)
        EXPECT_TRUE(tick(10).empty());
    EXPECT_FALSE(tick(10).empty());
    EXPECT_FALSE(tick(10).empty());
}

TEST_F(ArchiveReplayTest, AnEmptyFileEndsTheReplayAtTheFirstTick) {
    for (const bool continuous : {false, true}) {
        open({}, continuous);
        EXPECT_TRUE(tick().empty());
        EXPECT_TRUE(replayer.stopRequested());
        EXPECT_EQ(replayer.end(), continuous ? ReplayEnd::ShortRead : ReplayEnd::EndOfFile);
    }
}

TEST_F(ArchiveReplayTest, ContinuousReplayRepeatsOneRecordWithoutEnd) {
    open(recordOf(4, 9, {"only"}), true);
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(tick(), test::dataPacket(4, static_cast<std::uint8_t>(i), {"only"})) << i;
        ASSERT_FALSE(replayer.stopRequested());
    }
}

TEST_F(ArchiveReplayTest, DamagedFilesEndTheReplayWithoutOverrun) {
    const ByteVec good = recordOf(1, 0, {"abcdefgh"});
    auto withLength = [](ByteVec r, std::uint16_t length) {
        r[4] = static_cast<std::uint8_t>(length);
        r[5] = static_cast<std::uint8_t>(length >> 8);
        return r;
    };
    const ByteVec full = recordOf(1, 1, {std::string(4096, 'z')});
    const struct {
        const char* name;
        ByteVec file;
        std::size_t room;
        ReplayEnd end;  // None: either way, as the misaligned bytes fall
    } cases[] = {
        {"header cut short", test::cat({good, ByteVec(good.begin(), good.begin() + 10)}), kBuffer,
         ReplayEnd::ShortRead},
        {"data cut short", test::cat({good, ByteVec(good.begin(), good.end() - 3)}), kBuffer,
         ReplayEnd::ShortRead},
        {"negative length", test::cat({good, withLength(good, 0xFFFF)}), kBuffer,
         ReplayEnd::BadLength},
        {"length above 4096", test::cat({good, withLength(full, 4097), ByteVec(8, 0)}), kBuffer,
         ReplayEnd::BadLength},
        {"packet larger than the buffer", test::cat({good, full}), 1000, ReplayEnd::BadLength},
        {"length shorter than the data", test::cat({good, withLength(good, 2), good}), kBuffer,
         ReplayEnd::None},
    };
    for (const auto& c : cases) {
        for (const bool continuous : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (continuous ? ", continuous" : ""));
            open(c.file, continuous);
            EXPECT_EQ(tick(10, c.room), test::dataPacket(1, 0, {"abcdefgh"}));
            int ticks = 0;
            while (!replayer.stopRequested() && ++ticks < 50)
                tick(10, c.room);
            EXPECT_TRUE(replayer.stopRequested());
            if (c.end != ReplayEnd::None) {
                EXPECT_EQ(replayer.end(), c.end);
            }
        }
    }
}

TEST_F(ArchiveReplayTest, AnArchiveInMemoryReplaysAsItsFileWould) {
    const ByteVec good = recordOf(1, 0, {"abcdefgh"});
    const ByteVec files[] = {test::cat({good, recordOf(3, 40, {}), good}),
                             test::cat({good, ByteVec(good.begin(), good.end() - 3)}),
                             {}};
    // Every tick's packet, the end and the position, until the replay stops or 40 ticks pass.
    auto replay = [&] {
        std::vector<ByteVec> ticks;
        while (!replayer.stopRequested() && ticks.size() < 40)
            ticks.push_back(tick());
        return std::make_tuple(ticks, replayer.end(), replayer.position());
    };
    for (const ByteVec& file : files) {
        for (const bool continuous : {false, true}) {
            open(file, continuous);
            const auto fromFile = replay();
            replayer.openBytes(file, continuous);
            EXPECT_EQ(replay(), fromFile) << file.size() << continuous;
        }
    }
}

}  // namespace
}  // namespace cvh
