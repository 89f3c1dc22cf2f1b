#include <gtest/gtest.h>

#include <numeric>

#include "base/bytes.h"
#include "base/checksum.h"
#include "upload_sender.h"

namespace cvh::sim {
namespace {

struct Block {
    std::uint16_t number;
    std::int16_t length;
    std::vector<std::uint8_t> data;
};

Block decode(const Packet& p) {
    EXPECT_EQ(p.size(), 1036u);
    EXPECT_EQ(p[0], 4);
    EXPECT_EQ(p[1], 4);
    EXPECT_TRUE(checksumMatches(p));
    Block b{readLe16(p, 2), readLeS16(p, 6), {}};
    b.data.assign(p.begin() + 8, p.begin() + 8 + std::max<int>(0, b.length));
    return b;
}

std::vector<std::uint8_t> fileOf(std::size_t size) {
    std::vector<std::uint8_t> f(size);
    std::iota(f.begin(), f.end(), std::uint8_t{7});
    return f;
}

TEST(UploadSender, SendsEachBlockAfterTheAckOfTheOneBeforeAndEndsWithAnEmptyBlock) {
    UploadSender u;
    const auto file = fileOf(2500);
    Block b = decode(u.begin(file, 0));
    EXPECT_EQ(b.number, 1);  // 0 would look like a repeat of the host's initial last block
    std::vector<std::uint8_t> got = b.data;
    // Nothing more until the acknowledgement comes, and an ack of another block changes nothing.
    EXPECT_FALSE(u.onAck(1, 2, 10));
    for (std::uint16_t expect = 2; expect <= 3; ++expect) {
        auto next = u.onAck(1, b.number, 20);
        ASSERT_TRUE(next);
        b = decode(*next);
        EXPECT_EQ(b.number, expect);
        got.insert(got.end(), b.data.begin(), b.data.end());
    }
    EXPECT_EQ(b.length, 2500 - 2048);
    b = decode(*u.onAck(1, 3, 30));
    EXPECT_EQ(b.number, 4);
    EXPECT_EQ(b.length, 0);
    EXPECT_TRUE(u.active());
    EXPECT_FALSE(u.onAck(1, 4, 40));
    EXPECT_EQ(u.outcome(), UploadSender::Outcome::Complete);
    EXPECT_EQ(got, file);
}

TEST(UploadSender, ResendsTheSameBlockWhenItsAckIsLateThenGivesUp) {
    UploadSender u({1500, 2});
    const Block first = decode(u.begin(fileOf(3000), 0));
    EXPECT_FALSE(u.onTimer(1499));
    auto again = u.onTimer(1500);
    ASSERT_TRUE(again);
    EXPECT_EQ(decode(*again).number, first.number);
    EXPECT_EQ(decode(*again).data, first.data);
    EXPECT_TRUE(u.onTimer(3000));
    EXPECT_FALSE(u.onTimer(4500));
    EXPECT_EQ(u.outcome(), UploadSender::Outcome::GaveUp);
    EXPECT_EQ(u.resends(), 2u);
}

TEST(UploadSender, ResentBlockAckedLateStillMovesOn) {
    UploadSender u({1000, 5});
    u.begin(fileOf(2048), 0);
    ASSERT_TRUE(u.onTimer(1000));
    // The host acknowledges both copies; the second ack must not skip a block.
    const Block second = decode(*u.onAck(1, 1, 1010));
    EXPECT_EQ(second.number, 2);
    EXPECT_FALSE(u.onAck(1, 1, 1020));
    EXPECT_EQ(decode(*u.onAck(1, 2, 1030)).length, 0);
}

TEST(UploadSender, CancelInAnAckEndsTheRunWithTheEmptyBlock) {
    UploadSender u;
    u.begin(fileOf(10 * 1024), 0);
    const Block end = decode(*u.onAck(2, 1, 10));
    EXPECT_EQ(end.number, 2);
    EXPECT_EQ(end.length, 0);
    EXPECT_FALSE(u.onAck(1, 2, 20));
    EXPECT_EQ(u.outcome(), UploadSender::Outcome::Cancelled);
}

TEST(UploadSender, EmptyRunIsOnlyTheEndBlock) {
    UploadSender u;
    const Block b = decode(u.begin({}, 0));
    EXPECT_EQ(b.number, 1);
    EXPECT_EQ(b.length, 0);
    EXPECT_FALSE(u.onAck(1, 1, 5));
    EXPECT_EQ(u.outcome(), UploadSender::Outcome::Complete);
}

TEST(UploadSender, ExactMultipleOfABlockHasNoShortBlock) {
    UploadSender u;
    EXPECT_EQ(decode(u.begin(fileOf(1024), 0)).length, 1024);
    EXPECT_EQ(decode(*u.onAck(1, 1, 1)).length, 0);
}

}  // namespace
}  // namespace cvh::sim
