// The live displays: display selectors, sending typed text, and the Data Status row texts.
#include <gtest/gtest.h>

#include "session/live_format.h"
#include "session_fixture.h"

namespace cvh::test {
namespace {

TEST(LiveDisplay, SourceSelectorShowsTheParsedDataChoicesOnlyForParsedData) {
    SessionFixture f;
    f.s().startUp(f.dir());
    EXPECT_EQ(f.s().linkPorts().realTime().RawMuxIDLB.caption, "Logger ID:    2");
    f.s().linkPorts().rawPortChange(1, 3, 2);
    EXPECT_FALSE(f.s().linkPorts().realTime().selectorsVisible);
    f.s().linkPorts().rawPortChange(0, 3, 4);
    EXPECT_TRUE(f.s().linkPorts().realTime().selectorsVisible);
    EXPECT_EQ(f.s().linkPorts().realTime().RawMuxIDLB.caption, "Logger ID:    4");
    EXPECT_EQ(f.s().linkPorts().realTime().RawPortCB, 3);
    f.s().linkPorts().rawPortChange(-1, 0, 2);
    EXPECT_TRUE(f.s().linkPorts().realTime().selectorsVisible);
}

TEST(LiveDisplay, DisplayButtonTogglesAndAPageChangeStopsIt) {
    SessionFixture f;
    f.s().linkPorts().displayRawClick();
    EXPECT_TRUE(f.s().linkPorts().realTime().displayEnabled);
    EXPECT_EQ(f.s().linkPorts().realTime().BTDisplayRaw, "Stop Display");
    f.s().tabsChange(pageIndex(Page::DataStatus));
    EXPECT_FALSE(f.s().linkPorts().realTime().displayEnabled);
    EXPECT_EQ(f.s().linkPorts().realTime().BTDisplayRaw, "Display Data");
}

TEST(LiveDisplay, EnterSendsTextWithLineEndAndTheButtonWithout) {
    SessionFixture f;
    auto line = f.addLoggerLine(1);
    f.s().linkPorts().loggerPortChange(1, 6);
    f.s().linkPorts().appendDisplayText(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>("partial"), 7));
    f.s().linkPorts().editSendText("TS");
    f.s().linkPorts().sendEditText(true);
    EXPECT_EQ(std::string(line->written.begin(), line->written.end()), "TS\r\n");
    EXPECT_TRUE(f.s().linkPorts().realTime().EditSendText.empty());
    f.s().linkPorts().editSendText("DS");
    f.s().linkPorts().sendEditText(false);
    EXPECT_EQ(std::string(line->written.begin(), line->written.end()), "TS\r\nDS");
    const auto& memo = f.s().linkPorts().realTime().Memo1.lines();
    EXPECT_EQ(std::vector<std::string>(memo.begin(), memo.end()),
              (std::vector<std::string>{"partial", "TS", "DS"}));
}

TEST(LiveDisplay, PortRowsShowRecordSizesAndUnits) {
    auto r = formatPortRow(-20, 1023);
    EXPECT_EQ(r.rateCaption, "Bytes/Record:");
    EXPECT_EQ(r.rate, "20");
    EXPECT_EQ(r.fileSize, "1023");
    r = formatPortRow(480, 1024);
    EXPECT_EQ(r.rateCaption, "Bytes/Second:");
    EXPECT_EQ(r.rate, "480");
    EXPECT_EQ(r.fileSize, "1 K");
    r = formatPortRow(-32768, 5 * 1024 * 1024 + 10);
    EXPECT_EQ(r.rate, "32768");
    EXPECT_EQ(r.fileSize, "5120 K");
}

TEST(LiveDisplay, AnalogRowsInVoltsAndTheFileSizeInLowerCaseK) {
    const auto a = formatAnalogRows({1234, 0, -500, 5000, 32767, 1, 999}, 2048);
    EXPECT_EQ(a.volts[0], "1.234");
    EXPECT_EQ(a.volts[1], "0.000");
    EXPECT_EQ(a.volts[2], "-0.500");
    EXPECT_EQ(a.volts[4], "32.767");
    EXPECT_EQ(a.fileSize, "2 k");
    EXPECT_EQ(formatAnalogRows({}, 1023).fileSize, "1023");
}

TEST(LiveDisplay, DataStatusTablesStartAsDesigned) {
    DataStatusView v;
    EXPECT_EQ(v.PortRowTable[0].name.caption, "Port 1:");
    EXPECT_EQ(v.PortRowTable[7].fileSize.caption, "0 K");
    EXPECT_EQ(v.AnalogRowTable[6].name.caption, "A7:");
    EXPECT_EQ(v.AnalogRowTable[7].name.caption, "Analog File Size:  ");
}

}  // namespace
}  // namespace cvh::test
