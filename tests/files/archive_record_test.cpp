#include <gtest/gtest.h>

#include <array>

#include "files/archive_record.h"
#include "files/extract_slots.h"
#include "files/extract_test_util.h"

namespace cvh {
namespace {

using test::bytesOf;
using test::ByteVec;
using test::cat;

TEST(ArchiveRecord, HeaderFieldsSitAtTheirOffsetsInEitherByteOrder) {
    ArchiveRecordHeader h;
    h.format = 1;
    h.timeUnit = 2;
    h.unitId = 3;
    h.sequence = 4;
    h.length = 0x0102;
    h.timeStamp = 0x0A0B0C0D;
    h.counts = {0x0102, 0, 0, 0, 0, 0, 0, 0, 0x0304};
    const ByteVec little = cat({ByteVec{1, 2, 3, 4, 0x02, 0x01, 0x0D, 0x0C, 0x0B, 0x0A, 0x02, 0x01},
                                ByteVec(14, 0), ByteVec{0x04, 0x03}});
    const ByteVec big = cat({ByteVec{1, 2, 3, 4, 0x01, 0x02, 0x0A, 0x0B, 0x0C, 0x0D, 0x01, 0x02},
                             ByteVec(14, 0), ByteVec{0x03, 0x04}});
    std::array<std::uint8_t, kArchiveHeaderSize> out{};
    ASSERT_TRUE(encodeArchiveHeader(h, out, ByteOrder::Little));
    EXPECT_EQ(ByteVec(out.begin(), out.end()), little);
    ASSERT_TRUE(encodeArchiveHeader(h, out, ByteOrder::Big));
    EXPECT_EQ(ByteVec(out.begin(), out.end()), big);
    EXPECT_EQ(decodeArchiveHeader(little, ByteOrder::Little), h);
    EXPECT_EQ(decodeArchiveHeader(big, ByteOrder::Big), h);
    EXPECT_FALSE(decodeArchiveHeader(Bytes(big.data(), 27), ByteOrder::Big));
    EXPECT_FALSE(encodeArchiveHeader(h, MutableBytes(out.data(), 27), ByteOrder::Big));
}

TEST(ArchiveRecord, WholeRecordsFromOneToMaximumLength) {
    std::array<std::uint8_t, kArchiveMaxRecordSize + 1> out{};
    ArchiveRecordHeader h;
    h.counts[0] = 1;
    EXPECT_EQ(encodeArchiveRecord(h, bytesOf("z"), out), 33u);
    EXPECT_EQ(ByteVec(out.begin(), out.begin() + 33),
              test::archiveBytes(0, 0, 0, 0, 0, {1}, bytesOf("z")));

    const ByteVec full(kArchiveMaxDataLength, 7);
    EXPECT_EQ(encodeArchiveRecord(h, full, out), 4128u);
    EXPECT_EQ(ByteVec(out.begin() + 4124, out.begin() + 4128), bytesOf("####"));
    const ByteVec tooLong(kArchiveMaxDataLength + 1, 7);
    EXPECT_FALSE(encodeArchiveRecord(h, tooLong, out));
    EXPECT_FALSE(encodeArchiveRecord(h, full, MutableBytes(out.data(), 4127)));
}

TEST(ArchiveSlots, RefuseWhatWouldOverflowASlotOrTheRecord) {
    ArchiveSlots slots;
    const ByteVec big(4000, 1);
    EXPECT_TRUE(slots.append(0, big));
    EXPECT_TRUE(slots.appendWouldOverflow(1, 97));
    EXPECT_FALSE(slots.appendWouldOverflow(1, 96));
    EXPECT_FALSE(slots.append(1, ByteVec(97, 1)));
    EXPECT_EQ(slots.total(), 4000u);
    // Replacing a slot counts only the new content.
    EXPECT_FALSE(slots.replaceWouldOverflow(0, 4096));
    EXPECT_TRUE(slots.replace(0, bytesOf("ab")));
    EXPECT_TRUE(slots.append(8, bytesOf("c")));
    EXPECT_FALSE(slots.append(9, bytesOf("d")));  // there is no tenth slot

    std::array<std::uint8_t, kArchiveMaxRecordSize> out{};
    ArchiveRecordHeader h;
    h.format = 1;
    h.unitId = 2;
    h.sequence = 3;
    h.timeStamp = 44;
    const auto size = slots.encode(h, out);
    ASSERT_EQ(size, 35u);
    EXPECT_EQ(ByteVec(out.begin(), out.begin() + 35),
              test::archiveBytes(1, 0, 2, 3, 44, {2, 0, 0, 0, 0, 0, 0, 0, 1}, bytesOf("abc")));
}

}  // namespace
}  // namespace cvh
