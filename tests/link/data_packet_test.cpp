#include <gtest/gtest.h>

#include "base/checksum.h"
#include "link/data_packet.h"
#include "packet_builders.h"

namespace cvh::test {
namespace {

TEST(DataPacket, BuilderLaysOutABigEndianHeaderAndLittleEndianChecksum) {
    const ByteVector p = dataPacket(3, 200, {"AB", "", "C"}, 0x11223344);
    const ByteVector expectedHead{8,    8,    0x21, 0x22, 3,    200,  0x00, 0x03, 0x11,
                                  0x22, 0x33, 0x44, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01};
    ASSERT_EQ(p.size(), 36u + 3u);
    EXPECT_EQ(ByteVector(p.begin(), p.begin() + 18), expectedHead);
    for (std::size_t at = 18; at < 30; ++at)
        EXPECT_EQ(p[at], 0) << at;
    EXPECT_EQ(text(Bytes(p).subspan(30, 7)), "ABC####");
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i + 2 < p.size(); ++i)
        sum = static_cast<std::uint16_t>(sum + p[i]);
    EXPECT_EQ(p[37], sum & 0xFF);
    EXPECT_EQ(p[38], sum >> 8);
}

TEST(DataPacket, BuilderRefusesMoreThan4096PayloadBytes) {
    const std::vector<std::uint8_t> big(2049, 'x');
    std::array<Bytes, kDataPortCount> segments{};
    segments[0] = big;
    segments[8] = Bytes(big).first(2047);
    EXPECT_TRUE(buildDataPacket({}, segments));
    segments[8] = big;
    EXPECT_FALSE(buildDataPacket({}, segments));
}

TEST(DataPacket, HeaderReadsBackInBothByteOrders) {
    ByteVector p = dataPacket(4, 17, {"a", "bb", "", "", "", "", "", "", "ccc"}, 0xCAFEF00D);
    const auto wire = readDataPacketHeader(p);
    ASSERT_TRUE(wire);
    EXPECT_EQ(wire->unit, 4);
    EXPECT_EQ(wire->sequence, 17);
    EXPECT_EQ(wire->payloadLength, 6);
    EXPECT_EQ(wire->timeStamp, 0xCAFEF00Du);
    EXPECT_EQ(wire->counts, (PortCounts{1, 2, 0, 0, 0, 0, 0, 0, 3}));

    ByteVector record(p.begin() + 2, p.end() - 2);
    swapRecordHeaderOrder(record);
    const auto archive = readDataRecordHeader(record, HeaderOrder::Archive);
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->timeStamp, wire->timeStamp);
    EXPECT_EQ(archive->counts, wire->counts);
    EXPECT_EQ(readLe16(record, data_record::kPayloadLength), 6);
}

TEST(DataPacket, HeaderOfATruncatedOrOversizedPacketIsRefused) {
    const ByteVector p = dataPacket(1, 0, {"0123456789"});
    EXPECT_FALSE(readDataPacketHeader(Bytes(p).first(p.size() - 1)));
    EXPECT_FALSE(readDataPacketHeader(Bytes(p).first(20)));
    ByteVector big = p;
    writeBe16(big, data_packet::kPayloadLength, 4097);
    big.resize(4097 + 36);
    EXPECT_FALSE(readDataPacketHeader(big));
}

TEST(DataPacket, SegmentsFollowTheCountsAndNeverLeaveThePayload) {
    const std::string text = "0123456789";
    const Bytes payload(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    const PortCounts counts{4, 0, 6, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(test::text(*payloadSegment(payload, counts, 0)), "0123");
    EXPECT_EQ(test::text(*payloadSegment(payload, counts, 2)), "456789");
    EXPECT_TRUE(payloadSegment(payload, counts, 1)->empty());
    EXPECT_FALSE(payloadSegment(payload, counts, -1));
    EXPECT_FALSE(payloadSegment(payload, counts, 9));
    const PortCounts tooMany{4, 0, 7, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(payloadSegment(payload, tooMany, 2));
    const PortCounts huge{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 1};
    EXPECT_FALSE(payloadSegment(payload, huge, 8));
}

}  // namespace
}  // namespace cvh::test
