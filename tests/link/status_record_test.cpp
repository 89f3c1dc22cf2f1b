#include <gtest/gtest.h>

#include "base/checksum.h"
#include "link/run_directory_record.h"
#include "link/status_record.h"

namespace cvh::test {
namespace {

LoggerStatus sampleStatus() {
    LoggerStatus s;
    s.statusCode = 6;
    s.runNumber = -1;
    s.loggerClock = 1700000000;
    s.timeLeftSeconds = 3725;
    s.serialNumber = 1234;
    s.deviceType = 2;
    s.loggerId = 254;
    s.serialPortMask = 0x02FF;
    s.analogMask = 0x7F;
    s.pumpMask = 0x0F;
    for (int i = 0; i < 9; ++i)
        s.portValues[i] = static_cast<std::int16_t>(-100 * i);
    s.powerFlags = 0xA5A5;
    s.voltages = {12000, -5, 3300};
    s.runStopSwitch = 1;
    for (int i = 0; i < 8; ++i)
        s.analogThousandths[i] = static_cast<std::int16_t>(1000 + i);
    for (int i = 0; i < 9; ++i)
        s.portRunBytes[i] = 100000 * i;
    s.analogRunBytes = 77;
    s.otherRunBytes = 88;
    s.freeMemoryBytes = 0x7FFF0000;
    s.totalMemoryBytes = 0x7FFFFFFF;
    s.firmwareVersion = 0x80010203;
    return s;
}

TEST(StatusRecord, FieldsLandAtTheirOffsetsLittleEndian) {
    const StatusRecordBytes r = encodeStatusRecord(sampleStatus());
    EXPECT_EQ(r[0], 3);
    EXPECT_EQ(r[1], 3);
    EXPECT_EQ(readLe16(r, 4), 6);
    EXPECT_EQ(readLeS16(r, 6), -1);
    EXPECT_EQ(readLe32(r, 8), 1700000000u);
    EXPECT_EQ(readLe16(r, 20), 254);
    EXPECT_EQ(readLe16(r, 22), 0x02FF);
    EXPECT_EQ(readLeS16(r, 30), -100);  // serial port 1
    EXPECT_EQ(readLeS16(r, 44), -800);  // serial port 8
    EXPECT_EQ(readLe16(r, 46), 0xA5A5);
    EXPECT_EQ(readLeS16(r, 50), -5);
    EXPECT_EQ(readLe16(r, 58), 1001);     // analog channel 1
    EXPECT_EQ(readLe32(r, 76), 100000u);  // run bytes of serial port 1
    EXPECT_EQ(readLe32(r, 108), 77u);
    EXPECT_EQ(readLe32(r, 120), 0x7FFFFFFFu);
    EXPECT_EQ(readLe32(r, 124), 0x80010203u);
    EXPECT_EQ(readLe16(r, 128), 0);
    EXPECT_TRUE(checksumMatches(r));
}

TEST(StatusRecord, DecodeReadsBackWhatEncodeWrote) {
    const LoggerStatus s = sampleStatus();
    const auto decoded = decodeStatusRecord(encodeStatusRecord(s));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, s);
}

TEST(StatusRecord, ShortRecordDecodesToNothing) {
    const StatusRecordBytes r = encodeStatusRecord(sampleStatus());
    EXPECT_FALSE(decodeStatusRecord(Bytes(r).first(131)));
}

struct CodeCase {
    int code;
    const char* text;
};

class StatusCodeText : public ::testing::TestWithParam<CodeCase> {};

TEST_P(StatusCodeText, NamesTheLoggerState) {
    EXPECT_EQ(statusCodeText(GetParam().code), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    StatusRecord, StatusCodeText,
    ::testing::Values(CodeCase{0, "OFF"}, CodeCase{2, "Delay"}, CodeCase{3, "Pre-Flush"},
                      CodeCase{4, "Warmup"}, CodeCase{5, "Flush"}, CodeCase{6, "Sampling"},
                      CodeCase{7, "Clear Memory"}, CodeCase{8, "Sleeping"}, CodeCase{9, "Standby"},
                      CodeCase{10, "Upload"}, CodeCase{13, "Low Voltage"},
                      CodeCase{14, "8 volt Limit"}, CodeCase{16, "Manual Switch"},
                      CodeCase{17, "Low Power"}, CodeCase{27, "Zero Volt Cutoff"},
                      CodeCase{30, "End of Run"}, CodeCase{1, "Invalid Status 01"},
                      CodeCase{11, "Invalid Status 0b"}, CodeCase{200, "Invalid Status c8"}),
    [](const auto& info) { return "Code" + std::to_string(info.param.code); });

TEST(DirectoryEntry, FieldsAreReadFromTheirOffsets) {
    std::array<std::uint8_t, 64> p{};
    p[0] = p[1] = 5;
    writeLe16(p, 2, 511);
    writeLe16(p, 4, 12);
    writeLe16(p, 8, 0xFFFF);  // port 1 not set
    writeLe16(p, 22, 7);      // port 8 "Pump"
    writeLe16(p, 26, 2);      // analog 1 "Pump ON"
    writeLe16(p, 46, 1);      // pump 4 used
    writeLe32(p, 48, 1700000000);
    writeLe32(p, 52, 0xF0000000);
    writeLe16(p, 56, 12345);
    writeLe16(p, 58, static_cast<std::uint16_t>(-250));
    const auto e = decodeDirectoryEntry(p);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->runNumber, 511);
    EXPECT_TRUE(e->runNumberAccepted());
    EXPECT_EQ(e->runKind, 12);
    EXPECT_EQ(e->portTypes[0], -1);
    EXPECT_EQ(e->portTypes[7], 7);
    EXPECT_EQ(e->analogStates[0], 2);
    EXPECT_EQ(e->pumpStates[3], 1);
    EXPECT_EQ(e->startTime, 1700000000);
    EXPECT_EQ(e->runSizeBytes, 0xF0000000u);
    EXPECT_EQ(e->firstValueThousandths, 12345);
    EXPECT_EQ(e->secondValueThousandths, -250);
    writeLe16(p, 2, 512);
    EXPECT_FALSE(decodeDirectoryEntry(p)->runNumberAccepted());
    EXPECT_FALSE(decodeDirectoryEntry(Bytes(p).first(63)));
}

// The encoder walks the same layout as the decoder: the hand-laid offsets above read back
// from an encoded entry, and every field survives the round trip.
TEST(DirectoryEntry, EncodeLaysOutWhatDecodeReads) {
    DirectoryEntry e;
    e.runNumber = 37;
    e.runKind = 4;
    e.portTypes = {-1, 1, 2, 3, 4, 5, 6, 7};
    e.analogStates = {2, 1, 0, 1, 0, 1, 2};
    e.pumpStates = {1, 0, 0, 1};
    e.startTime = -5;
    e.runSizeBytes = 0xF0000001u;
    e.firstValueThousandths = -250;
    e.secondValueThousandths = 12345;
    const DirectoryEntryBytes p = encodeDirectoryEntry(e);
    EXPECT_EQ(p[0], 5);
    EXPECT_EQ(p[1], 5);
    EXPECT_EQ(readLe16(p, 2), 37);
    EXPECT_EQ(readLeS16(p, 8), -1);
    EXPECT_EQ(readLe16(p, 22), 7);  // port 8
    EXPECT_EQ(readLe16(p, 38), 2);  // analog 7
    EXPECT_EQ(readLe16(p, 46), 1);  // pump 4
    EXPECT_EQ(readLe32(p, 52), 0xF0000001u);
    EXPECT_EQ(readLeS16(p, 56), -250);
    for (std::size_t at : {6u, 7u, 24u, 25u, 60u, 61u})
        EXPECT_EQ(p[at], 0) << at;
    EXPECT_TRUE(checksumMatches(p));
    EXPECT_EQ(decodeDirectoryEntry(p), e);
}

TEST(UploadBlock, EncodeCarriesTheDataAndItsLength) {
    const std::string text = "run bytes";
    const Bytes data(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    const auto p = encodeUploadBlock(0xBEEF, data);
    ASSERT_TRUE(p);
    EXPECT_EQ((*p)[0], 4);
    EXPECT_EQ((*p)[1], 4);
    EXPECT_TRUE(checksumMatches(*p));
    const auto b = decodeUploadBlock(*p);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->blockNumber, 0xBEEF);
    EXPECT_EQ(std::string(b->data.begin(), b->data.end()), text);
    EXPECT_TRUE(decodeUploadBlock(*encodeUploadBlock(3, {}))->endOfRun());
    const std::vector<std::uint8_t> full(1024, 'x');
    EXPECT_TRUE(encodeUploadBlock(1, full));
    const std::vector<std::uint8_t> tooLong(1025, 'x');
    EXPECT_FALSE(encodeUploadBlock(1, tooLong));
}

TEST(UploadBlock, DataLengthIsBoundedByTheBlock) {
    std::vector<std::uint8_t> p(1036, 0xEE);
    p[0] = p[1] = 4;
    writeLe16(p, 2, 0xBEEF);
    for (int length : {0, 1, 1024}) {
        writeLe16(p, 6, static_cast<std::uint16_t>(length));
        const auto b = decodeUploadBlock(p);
        ASSERT_TRUE(b) << length;
        EXPECT_EQ(b->blockNumber, 0xBEEF);
        EXPECT_EQ(b->data.size(), static_cast<std::size_t>(length));
        EXPECT_EQ(b->endOfRun(), length == 0);
        if (length > 0) {
            EXPECT_EQ(b->data.data(), p.data() + 8);
        }
    }
    for (int length : {1025, -1, 32767}) {
        writeLe16(p, 6, static_cast<std::uint16_t>(length));
        EXPECT_FALSE(decodeUploadBlock(p)) << length;
    }
    writeLe16(p, 6, 10);
    EXPECT_FALSE(decodeUploadBlock(Bytes(p).first(1035)));
}

}  // namespace
}  // namespace cvh::test
