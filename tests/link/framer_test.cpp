#include <gtest/gtest.h>

#include <random>

#include "link/packet_framer.h"
#include "packet_builders.h"

namespace cvh::test {
namespace {

struct Drained {
    std::vector<int> codes;  // every result, runs of 0 folded into one
    std::vector<ByteVector> packets;
};

// Runs recognition the way the receive loop does, but without the one-packet-per-tick limit:
// packets are consumed, other results drop a byte, -1 or fewer than 12 bytes stop.
void drain(PacketFramer& f, Drained& out) {
    while (f.size() >= kMinPacketLength) {
        const int code = f.recognise();
        if (code != 0 || out.codes.empty() || out.codes.back() != 0)
            out.codes.push_back(code);
        if (code == kFramerIncomplete)
            return;
        if (code > 0) {
            const std::size_t length = code == 8 ? f.lastType8Length() : fixedPacketLength(code);
            out.packets.emplace_back(f.head().begin(), f.head().begin() + length);
            f.consume(length);
        } else {
            f.dropByte();
        }
    }
}

ByteVector withByte(ByteVector p, std::size_t at, std::uint8_t value) {
    p[at] = value;
    return p;
}

ByteVector swappedChecksum(ByteVector p) {
    std::swap(p[p.size() - 1], p[p.size() - 2]);
    return p;
}

ByteVector badChecksum(ByteVector p) {
    p[p.size() - 2] ^= 0x01;
    return p;
}

ByteVector first(const ByteVector& p, std::size_t n) {
    return ByteVector(p.begin(), p.begin() + n);
}
ByteVector rest(const ByteVector& p, std::size_t n) {
    return ByteVector(p.begin() + n, p.end());
}

ByteVector oversizedHeader() {
    ByteVector p(kDataOverheadLength, 0);
    p[0] = p[1] = 8;
    writeBe16(p, data_packet::kPayloadLength, 4097);
    return p;
}

struct FramerCase {
    const char* name;
    std::vector<ByteVector> chunks;  // appended one after the other, draining after each
    std::vector<int> codes;
    int packets;
};

const ByteVector kData100 = dataPacketOfSize(100);

const FramerCase kCases[] = {
    {"TwoGarbageBytesBeforeAFlashStatusPacketAreDroppedOneByOne",
     {concat({{0x55, 0x66}, fixedPacket(2)})},
     {0, 2},
     1},
    {"DataHeaderAloneWaitsAndTheRestCompletesThePacket",
     {first(kData100, 40), rest(kData100, 40)},
     {-1, 8},
     1},
    {"DataLengthAbove4096IsOversizedAndDropsOneByte", {oversizedHeader()}, {-2, 0}, 0},
    {"KeepAliveWithGoodChecksumIsADataPacket", {dataPacket(1, 2)}, {8}, 1},
    {"KeepAliveWithBadChecksumIsNoMatch", {badChecksum(dataPacket(1, 2))}, {0}, 0},
    {"StatusPairWithBadChecksumIsNoMatchAndTheSearchGoesOn",
     {concat({badChecksum(fixedPacket(3)), fixedPacket(3, 2)})},
     {0, 3},
     1},
    {"StrayUploadPairWaitsForAFullBlockBeforeDroppingOneByte",
     {concat({{4, 4}, ByteVector(100, 0)}), ByteVector(936, 0)},
     {-1, 0},
     0},
    {"AfterADataChecksumFailureTheNextPacketIsParsedFromItsOwnHeader",
     {concat({badChecksum(dataPacketOfSize(50)), dataPacketOfSize(200, 3)})},
     {-3, 0, 8},
     1},
    {"DataChecksumFailureAfterWaitingForThePayloadIsBadRemembered",
     {first(badChecksum(kData100), 50), rest(badChecksum(kData100), 50)},
     {-1, -4, 0},
     0},
    {"SwappedChecksumBytesOnAFixedPacketAreRejected", {swappedChecksum(fixedPacket(2))}, {0}, 0},
    {"SwappedChecksumBytesOnADataPacketAreRejected", {swappedChecksum(kData100)}, {-3, 0}, 0},
    {"UnequalTypeBytesNeverMatch", {withByte(fixedPacket(5), 1, 6)}, {0}, 0},
    {"EveryFixedTypeIsRecognisedBackToBack",
     {concat({fixedPacket(1), fixedPacket(2), fixedPacket(3), fixedPacket(4), fixedPacket(5),
              fixedPacket(6), fixedPacket(7)})},
     {1, 2, 3, 4, 5, 6, 7},
     7},
    {"MaximalDataPacketFitsTheBuffer", {dataPacketOfSize(4096)}, {8}, 1},
};

class FramerEdgeCase : public ::testing::TestWithParam<FramerCase> {};

TEST_P(FramerEdgeCase, GivesTheExpectedResults) {
    const FramerCase& c = GetParam();
    PacketFramer f;
    Drained out;
    for (const auto& chunk : c.chunks) {
        ASSERT_EQ(f.appendBytes(chunk.data(), chunk.size()), chunk.size());
        drain(f, out);
    }
    EXPECT_EQ(out.codes, c.codes);
    EXPECT_EQ(static_cast<int>(out.packets.size()), c.packets);
    EXPECT_EQ(f.counters().packets, static_cast<std::uint64_t>(c.packets));
}

INSTANTIATE_TEST_SUITE_P(Framer, FramerEdgeCase, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Framer, DataHeaderIsParsedOnceWhileThePayloadIsOutstanding) {
    PacketFramer f;
    f.appendBytes(first(kData100, 36));
    EXPECT_EQ(f.recognise(), kFramerIncomplete);
    EXPECT_EQ(f.lastType8Length(), 136u);
    EXPECT_EQ(f.recognise(), kFramerIncomplete);
    f.appendBytes(rest(kData100, 36));
    EXPECT_EQ(f.recognise(), 8);
    EXPECT_EQ(f.lastType8Length(), 136u);
    f.consume(136);
    EXPECT_EQ(f.lastType8Length(), 36u);
    EXPECT_EQ(f.size(), 0u);
}

TEST(Framer, FlushForgetsAHalfParsedDataLength) {
    PacketFramer f;
    f.appendBytes(first(kData100, 40));
    EXPECT_EQ(f.recognise(), kFramerIncomplete);
    f.flush();
    EXPECT_EQ(f.size(), 0u);
    EXPECT_EQ(f.lastType8Length(), 36u);
    const ByteVector next = dataPacketOfSize(10);
    f.appendBytes(next);
    EXPECT_EQ(f.recognise(), 8);
    EXPECT_EQ(f.lastType8Length(), next.size());
}

TEST(Framer, AppendTakesOnlyWhatFitsAndCompactsBehindTheHead) {
    PacketFramer f;
    const ByteVector zeros(PacketFramer::kCapacity + 10, 0);
    EXPECT_EQ(f.appendBytes(zeros), PacketFramer::kCapacity);
    EXPECT_EQ(f.room(), 0u);
    for (int i = 0; i < 100; ++i)
        f.dropByte();
    // The freed room is at the front; a whole packet must still land contiguously.
    const ByteVector p = fixedPacket(2);
    f.consume(f.size() - 2);
    f.appendBytes(p);
    f.dropByte();
    f.dropByte();
    EXPECT_EQ(f.recognise(), 2);
    EXPECT_EQ(ByteVector(f.head().begin(), f.head().end()), p);
    EXPECT_EQ(f.counters().droppedBytes, 102u);
}

// The shared drain loop: garbage is dropped and counted, a packet comes out whole and off the
// head, a rejected data header stops the pass after dropping its first byte.
TEST(Framer, NextSkipsCountedGarbageAndStopsAtAPacketOrARejection) {
    PacketFramer f;
    f.appendBytes(concat({{0x55, 0x66, 0x77}, fixedPacket(3), oversizedHeader()}));
    Frame frame = f.next();
    ASSERT_TRUE(frame.packet());
    EXPECT_EQ(frame.type, PacketType::Status);
    EXPECT_EQ(ByteVector(frame.bytes.begin(), frame.bytes.end()), fixedPacket(3));
    EXPECT_EQ(f.counters().droppedBytes, 3u);
    frame = f.next();
    EXPECT_EQ(frame.status, Frame::Status::Rejected);
    EXPECT_EQ(frame.rejected, kFramerOversized);
    EXPECT_EQ(f.counters().droppedBytes, 4u);
    while (f.next().status != Frame::Status::NeedMore) {
    }
    EXPECT_EQ(f.counters().droppedBytes + f.size(), 3 + kDataOverheadLength);
}

// Every kind of packet, cut at every byte, arrives whole with nothing dropped before it.
TEST(Framer, EveryPacketSplitAtEveryByteBoundaryIsFoundOnce) {
    std::vector<ByteVector> packets;
    for (int type = 1; type <= 7; ++type)
        packets.push_back(fixedPacket(type, type));
    for (std::size_t n : {0u, 1u, 100u, 4096u})
        packets.push_back(dataPacketOfSize(n, 11));
    for (const auto& p : packets) {
        for (std::size_t cut = 1; cut < p.size(); ++cut) {
            PacketFramer f;
            Drained out;
            f.appendBytes(first(p, cut));
            drain(f, out);
            f.appendBytes(rest(p, cut));
            drain(f, out);
            ASSERT_EQ(out.packets.size(), 1u) << "type " << int(p[0]) << " cut " << cut;
            ASSERT_EQ(out.packets[0], p);
            ASSERT_EQ(f.counters().droppedBytes, 0u);
        }
    }
}

// Garbage of any value between packets of every type: every packet is found, in order, and
// nothing else is taken for one, however the stream is cut into reads.
TEST(Framer, RandomGarbageBetweenPacketsOfEveryTypeYieldsExactlyThePackets) {
    for (std::uint32_t seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 rng(seed);
        ByteVector stream;
        std::vector<ByteVector> sent;
        for (int i = 0; i < 150; ++i) {
            const int garbage = rng() % 48;
            for (int g = 0; g < garbage; ++g)
                stream.push_back(static_cast<std::uint8_t>(rng()));
            const int type = 1 + rng() % 8;
            ByteVector p;
            if (type == 8) {
                const std::size_t sizes[] = {0, 1, 17, 500, 4096};
                p = dataPacketOfSize(sizes[rng() % 5], rng(), rng() % 5, rng() % 256);
            } else {
                p = fixedPacket(type, rng());
            }
            sent.push_back(p);
            stream.insert(stream.end(), p.begin(), p.end());
        }
        // A stray pair near the end may wait for a full length; trailing zeros release it.
        stream.insert(stream.end(), PacketFramer::kCapacity + 100, 0);

        PacketFramer f;
        Drained out;
        std::size_t at = 0;
        while (at < stream.size()) {
            const std::size_t want = std::min<std::size_t>(1 + rng() % 700, stream.size() - at);
            const std::size_t took = f.appendBytes(stream.data() + at, want);
            ASSERT_TRUE(took > 0 || f.size() < kMinPacketLength) << "reception stalled";
            at += took;
            drain(f, out);
        }
        EXPECT_EQ(out.packets, sent) << "seed " << seed;
    }
}

}  // namespace
}  // namespace cvh::test
