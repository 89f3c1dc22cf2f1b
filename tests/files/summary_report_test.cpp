#include <gtest/gtest.h>

#include <array>
#include <string>

#include "files/extract_test_util.h"
#include "files/summary_report.h"

namespace cvh {
namespace {

// A plain moored run with every port off, as a base the cases change one field of.
SummaryRecord baseRecord() {
    SummaryRecord r;
    r.runNumber = 3;
    r.mode = 1;
    r.meterType = 1;
    r.serialNumber = 12;
    r.powerKhz = 3860;
    r.freeDiskBytes = 1024 * 1024;
    r.totalDiskBytes = 2048 * 1024;
    return r;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(SummaryRecord, DecodesBigEndianAtItsOffsetsAndRefusesShortRecords) {
    std::array<std::uint8_t, kSummaryRecordSize> bytes{};
    bytes[1] = 7;                                                                // run number
    bytes[176] = 0x65, bytes[177] = 0x53, bytes[178] = 0xF1, bytes[179] = 0x00;  // start time
    bytes[194] = 0xFF, bytes[195] = 0xFE;  // final millivolts: -2
    bytes[252] = 0x00, bytes[253] = 0x19;  // last date number
    const auto r = decodeSummaryRecord(bytes);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->runNumber, 7);
    EXPECT_EQ(r->startTime, 1700000000);
    EXPECT_EQ(r->finalMillivolts, -2);
    EXPECT_EQ(r->firmwareDate[2], 25);

    std::array<std::uint8_t, kSummaryRecordSize> again{};
    ASSERT_TRUE(encodeSummaryRecord(*r, again));
    EXPECT_EQ(again, bytes);
    EXPECT_FALSE(decodeSummaryRecord(Bytes(bytes.data(), kSummaryRecordSize - 1)));
}

TEST(SummaryReport, DurationsUseTheLargestWholeUnit) {
    const std::array<std::pair<std::int32_t, const char*>, 7> cases{{
        {0, "Sample:  None\n"},
        {3600, "Sample: 1 Hours\n"},
        {7200, "Sample: 2 Hours\n"},
        {120, "Sample: 2 Minutes\n"},
        {90, "Sample: 90 Seconds\n"},
        {5400, "Sample: 90 Minutes\n"},
        {-1, "Sample: 4294967295 Seconds\n"},  // unsigned on the logger
    }};
    for (const auto& [seconds, line] : cases) {
        auto r = baseRecord();
        r.sampleSeconds = seconds;
        EXPECT_TRUE(contains(formatSummaryReport(r), line)) << seconds;
    }
}

TEST(SummaryReport, IntervalOnlyForMooredModes) {
    auto r = baseRecord();
    r.intervalSeconds = 60;
    EXPECT_TRUE(contains(formatSummaryReport(r), "Interval: 1 Minutes\n"));
    r.mode = 12;
    EXPECT_TRUE(contains(formatSummaryReport(r), "Polled Moored on"));
    EXPECT_TRUE(contains(formatSummaryReport(r), "Interval: 1 Minutes\n"));
    r.mode = 0;
    EXPECT_FALSE(contains(formatSummaryReport(r), "Interval"));
}

TEST(SummaryReport, PacketRateInHertzOrMilliseconds) {
    auto r = baseRecord();
    r.fileFormat = 1;
    r.unitId = 2;
    r.packetPeriodMs = 50;
    EXPECT_TRUE(contains(formatSummaryReport(r), "Logger:\nUnit ID: 2\nPacket Rate: 50 ms\n\n"));
    r.packetPeriodMs = 1000;
    EXPECT_TRUE(contains(formatSummaryReport(r), "Packet Rate: 1 Hz\n\n"));
    r.packetPeriodMs = 166;
    EXPECT_TRUE(contains(formatSummaryReport(r), "Packet Rate: 6 Hz\n\n"));
    // Only when data was recorded or sent in real time.
    r.fileFormat = 0;
    r.outputFormat = 0;
    EXPECT_FALSE(contains(formatSummaryReport(r), "Logger:"));
    r.outputFormat = 2;
    EXPECT_TRUE(contains(formatSummaryReport(r), "Logger:"));
}

TEST(SummaryReport, OutOfMemoryWarningAtFiftyKilobytesFree) {
    auto r = baseRecord();
    r.freeDiskBytes = 50 * 1024;
    EXPECT_TRUE(contains(formatSummaryReport(r),
                         "***Warning*** This Run may have terminated "
                         "early.  Out of Memory!!!\n\n"));
    r.freeDiskBytes = 51 * 1024;
    EXPECT_FALSE(contains(formatSummaryReport(r), "Warning"));
}

TEST(SummaryReport, RecordedSizesInBytesUpTo1024ThenKilobytes) {
    auto r = baseRecord();
    r.portMeterTypes[1] = 3;
    r.portMeterTypes[2] = 3;
    r.recordedBytes = {1000, 1024, 1025};
    const auto text = formatSummaryReport(r);
    EXPECT_TRUE(contains(text, "Analog:     1000\n"));
    EXPECT_TRUE(contains(text, "Port 1:     1024 Bytes\n"));
    EXPECT_TRUE(contains(text, "Port 2:        1 K\n"));
    r.recordedBytes[0] = 4096;
    EXPECT_TRUE(contains(formatSummaryReport(r), "Analog:        4 K\n"));
}

TEST(SummaryReport, NoPumpsAndNoAnalogPorts) {
    const auto text = formatSummaryReport(baseRecord());
    EXPECT_TRUE(contains(text, "Active Pump Ports:   None\n\nAnalog Ports: \n\nSerial Ports"));
}

TEST(SummaryReport, UnknownCodesPrintTheirOwnTexts) {
    auto r = baseRecord();
    r.mode = 5;
    r.meterType = 9;
    r.powerKhz = 1234;
    r.fileFormat = 3;
    r.outputFormat = 3;
    r.portMeterTypes[4] = 14;
    r.parities[4] = 3;
    r.baudRates[4] = 9600;
    r.dataBits[4] = 8;
    const auto text = formatSummaryReport(r);
    EXPECT_TRUE(contains(text, "Run # 3: Unknown Mode 5  on 01/01/70 at 00:00:00\n\n"));
    EXPECT_TRUE(contains(text, "Unknown Meter Type 9 S/N-012\n\nFirmware Version  0.00   0/00/00"));
    EXPECT_TRUE(contains(text, "Unknown Power: 1234 kHz \n\n"));
    EXPECT_TRUE(contains(text, "File Format:  Invalid File Format: 3\n"));
    EXPECT_TRUE(contains(text, "Output Format:  Invalid Output Setting 3  \n\n"));
    EXPECT_TRUE(contains(text, "Port 4:\tInvalid Meter 9600  \t8\t*\t1\n"));
}

TEST(SummaryReport, MeterModelsAndPowerSettings) {
    auto r = baseRecord();
    r.meterType = 3;
    r.powerKhz = 16000;
    r.outputFormat = 11;
    EXPECT_TRUE(contains(formatSummaryReport(r), "EXT Q-Span S/N=012\n\n"));
    EXPECT_TRUE(contains(formatSummaryReport(r), "Turbo Power:  16000 kHz \n\n"));
    EXPECT_TRUE(
        contains(formatSummaryReport(r), "Output Format:  Logger 8                   \n\n"));
    r.meterType = 1;
    r.powerKhz = 7860;
    EXPECT_TRUE(contains(formatSummaryReport(r), "kb5Plus S/N-012\n\n"));
    EXPECT_TRUE(contains(formatSummaryReport(r), "75 % Power:  7860 kHz \n\n"));
}

}  // namespace
}  // namespace cvh
