#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "base/checksum.h"
#include "config/logger_setup.h"

namespace cvh {
namespace {

TEST(LoggerSetupLayout, FieldsRetainedBytesMarkerAndChecksumTileTheRecordExactly) {
    std::array<int, kSetupRecordLength> owners{};
    auto claim = [&](std::size_t at, std::size_t size) {
        for (std::size_t i = at; i < at + size; ++i)
            ++owners[i];
    };
    LoggerSetup s;
    visitSetupLayout(s, [&](std::size_t at, auto& field) { claim(at, sizeof(field)); });
    for (const auto& r : kRetainedSetupFields)
        claim(r.offset, r.size);
    claim(setup_offset::kMarker, 2);
    claim(setup_offset::kChecksum, 2);
    for (std::size_t i = 0; i < owners.size(); ++i)
        EXPECT_EQ(owners[i], 1) << "byte " << i;
}

TEST(LoggerSetupLayout, EncodeThenDecodeGivesEveryFieldBackAtItsOffset) {
    LoggerSetup s;
    s.mode = 12;
    s.oncePerHourMask = 0x000F7F81;
    s.intervalSeconds = 7200;
    s.baud = {115200, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600};
    s.meterType[8] = 12;
    s.dataBits[3] = 7;
    s.parity[3] = 2;
    s.lowVoltageCutoff.fill(120);
    s.analogSetting[7] = 2;
    s.pumpSetting[3] = 11;
    s.analogRateHz = 20;
    s.outputFormat = 11;
    s.fileFormat = 1;
    s.autoStart = 1;
    s.timeSource = 3;
    SetupSnapshot snap;
    snap.encode(s);
    EXPECT_EQ(snap.decode(), s);
    const Bytes b = snap.bytes();
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 1);
    EXPECT_EQ(readLe32(b, 36), 115200u);
    EXPECT_EQ(readLe16(b, 72 + 2 * 8), 12);
    EXPECT_EQ(readLe16(b, 186), 3);
    EXPECT_TRUE(checksumMatches(b));
}

TEST(LoggerSetupSnapshot, RetainedBytesGoBackAsReceivedAndAreZeroBeforeAnySetup) {
    SetupSnapshot fresh;
    fresh.encode(LoggerSetup{});
    for (const auto& r : kRetainedSetupFields)
        for (std::size_t i = 0; i < r.size; ++i)
            EXPECT_EQ(fresh.bytes()[r.offset + i], 0);
    // A record of zeros but the marker sums to 2.
    EXPECT_EQ(readLe16(fresh.bytes(), setup_offset::kChecksum), 2);
    EXPECT_EQ(setupChecksum(fresh.bytes(), 190), 2);

    std::vector<std::uint8_t> received(kSetupRecordLength);
    for (std::size_t i = 0; i < received.size(); ++i)
        received[i] = static_cast<std::uint8_t>(i * 7 + 3);
    SetupSnapshot snap;
    ASSERT_TRUE(snap.store(received));
    snap.encode(LoggerSetup{});
    for (const auto& r : kRetainedSetupFields)
        for (std::size_t i = r.offset; i < r.offset + r.size; ++i)
            EXPECT_EQ(snap.bytes()[i], received[i]) << "byte " << i;
}

TEST(LoggerSetupSnapshot, RefusesPacketsOfTheWrongLength) {
    SetupSnapshot snap;
    std::vector<std::uint8_t> shortPacket(191, 0xFF), longPacket(193, 0xFF);
    EXPECT_FALSE(snap.store(shortPacket));
    EXPECT_FALSE(snap.store(longPacket));
    EXPECT_EQ(snap.bytes()[10], 0);
}

TEST(PortSetupEncoding, DecodeIgnoresParityAndSevenBitsSelectTheEvenParityChoice) {
    EXPECT_EQ(decodePortSetup(9600, 7), 7);  // "9600,7,E,1"
    EXPECT_EQ(decodePortSetup(9600, 8), 6);  // whatever parity holds
    EXPECT_EQ(decodePortSetup(4800, 7), 5);
    EXPECT_EQ(decodePortSetup(4800, 8), 4);
    EXPECT_EQ(decodePortSetup(0, 8), 0);
    EXPECT_EQ(decodePortSetup(0, 7), kPortSetupOn);
    EXPECT_EQ(decodePortSetup(31250, 8), 6);
    EXPECT_EQ(decodePortSetup(115200, 8), 11);
    // The host port never reads "OFF".
    EXPECT_EQ(decodeHostPortSetup(0, 8), 6);
    EXPECT_EQ(decodeHostPortSetup(31250, 8), 6);
    EXPECT_EQ(decodeHostPortSetup(57600, 8), 10);
}

TEST(PortSetupEncoding, PortBoxesListTheLineChoicesThenOn) {
    EXPECT_STREQ(kPortSetupTexts[0], "OFF");
    EXPECT_STREQ(kPortSetupTexts[7], "9600,7,E,1");
    EXPECT_STREQ(kPortSetupTexts[11], "115200");
    EXPECT_STREQ(kPortSetupTexts[kPortSetupOn], "ON");
}

TEST(PortSetupEncoding, PumpPortsSwitchOnWithoutALineAndOnMeansOffElsewhere) {
    const LineEncoding on{0, 7, 0};
    const LineEncoding off{0, 8, 0};
    for (int choice = 1; choice < kPortSetupCount; ++choice) {
        EXPECT_EQ(encodePortSetup(kMeterPump, choice), on) << choice;
        EXPECT_EQ(decodePortSetup(on.baud, on.dataBits), kPortSetupOn);
    }
    EXPECT_EQ(encodePortSetup(kMeterPump, 0), off);
    EXPECT_EQ(encodePortSetup(kMeterKb5, kPortSetupOn), off);
    EXPECT_EQ(encodePortSetup(kMeterKb5, 7), (LineEncoding{9600, 7, 2}));
    EXPECT_EQ(encodePortSetup(kMeterKb5, 99), (LineEncoding{9600, 8, 0}));
    // Every list entry decodes back to itself for a serial meter.
    for (int choice = 0; choice < kHostPortSetupCount; ++choice) {
        const LineEncoding e = encodePortSetup(kMeterKb5, choice);
        EXPECT_EQ(decodePortSetup(e.baud, e.dataBits), choice);
    }
}

TEST(Durations, LargestExactUnitIsChosen) {
    EXPECT_EQ(secondsToUnitValue(7200), (UnitValue{2, kUnitHours}));
    EXPECT_EQ(secondsToUnitValue(5400), (UnitValue{90, kUnitMinutes}));
    EXPECT_EQ(secondsToUnitValue(61), (UnitValue{61, kUnitSeconds}));
    EXPECT_EQ(secondsToUnitValue(0), (UnitValue{0, kUnitSeconds}));
    EXPECT_EQ(secondsToUnitValue(4294965600u), (UnitValue{1193046, kUnitHours}));
    EXPECT_EQ(clampToRange(1193046, kDurationRanges[0]), 100);
    EXPECT_EQ(clampToRange(0, kDurationRanges[static_cast<int>(Duration::Sample)]), 1);
}

TEST(SetupLists, TextsAsTheOperatorKnowsThem) {
    EXPECT_STREQ(kOutputFormatTexts[11], "Output Logger Por 8");
    EXPECT_STREQ(kTimeSourceTexts[3], "GPS Time or Host PC  ");
    EXPECT_STREQ(meterPortLabel(9), "HYD40");
    EXPECT_STREQ(meterPortLabel(13), "CV-Logger");
    EXPECT_STREQ(meterPortLabel(14), "OFF");
    EXPECT_STREQ(meterPortLabel(-1), "OFF");
    EXPECT_EQ(analogSettingText(3, 0), "Analog 3 OFF");
    EXPECT_EQ(analogSettingText(3, 2), "Pump ON");
    EXPECT_EQ(pumpSettingCount(4), 12);
    EXPECT_EQ(pumpSettingText(4, 2), "Purge 500 ms");
    EXPECT_EQ(pumpSettingText(4, 11), "Purge 5000 ms");
    EXPECT_EQ(pumpSettingText(2, 1), "Pump 2 ON");
}

}  // namespace
}  // namespace cvh
