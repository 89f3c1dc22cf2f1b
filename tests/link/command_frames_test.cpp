#include <gtest/gtest.h>

#include "link/command_frames.h"
#include "link_fixture.h"

namespace cvh::test {
namespace {

using Frame = std::vector<std::uint8_t>;

Frame bytesOf(const CommandFrame& f) {
    return Frame(f.begin(), f.end());
}

TEST(CommandFrame, StopFrameCarriesTheCodeTwiceAndChecksum0x0146) {
    EXPECT_EQ(bytesOf(buildCommandFrame(CommandCode::Stop)),
              (Frame{0x02, 0x02, 0xA1, 0xA1, 0, 0, 0, 0, 0, 0, 0x46, 0x01}));
}

TEST(CommandFrame, ArgumentsAreLittleEndianAndCountInTheChecksum) {
    // A = 300, B = 0x0102: sum = 2 + 2 + 0xBA + 0xBA + 0x2C + 0x01 + 0x02 + 0x01 = 0x1A8.
    EXPECT_EQ(bytesOf(buildCommandFrame(CommandCode::UploadRun, 300, 0x0102)),
              (Frame{0x02, 0x02, 0xBA, 0xBA, 0x2C, 0x01, 0x00, 0x00, 0x02, 0x01, 0xA8, 0x01}));
}

TEST(CommandFrame, ChecksumKeepsOnlySixteenBits) {
    const CommandFrame f = buildCommandFrame(CommandCode::SetTime, 0xFFFFFFFF, 0xFFFF);
    // 2 + 2 + 0xAE + 0xAE + 6 * 0xFF = 0x75A
    EXPECT_EQ(readLe16(f, 10), 0x075A);
}

TEST(PortTestFrame, FieldsAreBigEndianAndTheChecksumLittleEndian) {
    // Port 3 tested at 4800,7,E,1 while the host port runs 115200,8,N.
    const auto f = buildPortTestFrame(3, 5, 11);
    ASSERT_TRUE(f);
    const Frame expected{10, 10, 0x00, 0x03, 0, 0, 0x12, 0xC0, 0, 0x01, 0xC2, 0x00,
                         0,  2,  0,    0,    0, 7, 0,    8,    0, 0,    0,    0};
    Frame body(f->begin(), f->begin() + 22);
    EXPECT_EQ(body, Frame(expected.begin(), expected.begin() + 22));
    std::uint16_t sum = 0;
    for (std::uint8_t b : body)
        sum = static_cast<std::uint16_t>(sum + b);
    EXPECT_EQ((*f)[22], sum & 0xFF);
    EXPECT_EQ((*f)[23], sum >> 8);
}

TEST(PortTestFrame, OutOfRangePortOrChoiceBuildsNothing) {
    EXPECT_FALSE(buildPortTestFrame(0, 6, 6));
    EXPECT_FALSE(buildPortTestFrame(10, 6, 6));
    EXPECT_FALSE(buildPortTestFrame(1, 12, 6));
    EXPECT_FALSE(buildPortTestFrame(1, 6, -1));
    EXPECT_TRUE(buildPortTestFrame(9, 6, 6));
}

class CommandsTest : public LinkFixture {
protected:
    LoggerCommands commands{table, op};
};

TEST_F(CommandsTest, StopOnASevenBitHostPortWritesOnlyTheText) {
    openSlot(0);
    for (int choice : {5, 7}) {
        line(0).written.clear();
        commands.sendStop(choice);
        EXPECT_EQ(written(0), "    STOP7E1STOP7E1");
        EXPECT_EQ(written(0).size(), 18u);
    }
}

TEST_F(CommandsTest, StopOnAnEightBitHostPortWritesTheFrameThenTheText) {
    openSlot(0);
    commands.sendStop(6);
    const std::string w = written(0);
    ASSERT_EQ(w.size(), 12u + 19u);
    EXPECT_EQ(Frame(w.begin(), w.begin() + 12), bytesOf(buildCommandFrame(CommandCode::Stop)));
    EXPECT_EQ(w.substr(12), "    BREAKBREAKBREAK");
}

TEST_F(CommandsTest, EverythingGoesToTheLoggerPortOnly) {
    openSlot(0);
    openSlot(1);
    commands.sendCommand(CommandCode::GetSetup);
    commands.sendText("SLEEP");
    const std::uint8_t record[] = {1, 1, 9};
    commands.sendRecord(record);
    EXPECT_EQ(written(0).size(), 12u + 5u + 3u);
    EXPECT_EQ(written(0).substr(12), std::string("SLEEP") + "\x01\x01\x09");
    EXPECT_TRUE(line(1).written.empty());
}

TEST_F(CommandsTest, WritesToAClosedLoggerPortAreDropped) {
    commands.sendCommand(CommandCode::BeginSample);
    commands.sendStop(6);
    EXPECT_TRUE(line(0).written.empty());
    EXPECT_TRUE(op.asked.empty());
}

struct DialogCase {
    const char* name;
    bool (LoggerCommands::*action)();
    const char* kind;
    const char* caption;
    const char* text;
    Answer sendOn;
    Answer refuse;
    int beeps;
    CommandFrame frame;
};

class ConfirmationDialog : public CommandsTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(ConfirmationDialog, AsksExactlyAndSendsOnlyWhenConfirmed) {
    const DialogCase& c = GetParam();
    openSlot(0);
    op.answers = {c.refuse, c.sendOn};
    EXPECT_FALSE((commands.*c.action)());
    EXPECT_TRUE(line(0).written.empty());
    EXPECT_TRUE((commands.*c.action)());
    EXPECT_EQ(Frame(line(0).written.begin(), line(0).written.end()), bytesOf(c.frame));
    ASSERT_EQ(op.asked.size(), 2u);
    EXPECT_EQ(op.asked[0].kind, c.kind);
    EXPECT_EQ(op.asked[0].caption, c.caption);
    EXPECT_EQ(op.asked[0].text, c.text);
    EXPECT_EQ(op.beeps, 2 * c.beeps);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ConfirmationDialog,
    ::testing::Values(
        DialogCase{"ClearMemoryAsksYesNoWithoutBeep", &LoggerCommands::confirmClearMemory, "yesno",
                   "Clear Memory", "Are you sure you want to clear the flash memory?", Answer::Yes,
                   Answer::No, 0, buildCommandFrame(CommandCode::ClearMemory, 0, 1)},
        DialogCase{"ResetToMonitorAsksOkCancelAfterABeep", &LoggerCommands::confirmResetToMonitor,
                   "okcancel", "Data Logger Monitor",
                   "Are you sure you want cease operation and exit to the Monitor Program?",
                   Answer::Ok, Answer::Cancel, 1, buildCommandFrame(CommandCode::ResetToMonitor)},
        DialogCase{
            "LoadDefaultSetupAsksOkCancelAfterABeep", &LoggerCommands::confirmLoadDefaultFlashSetup,
            "okcancel", "Reset the Data Logger to it's Default Settings",
            "The current operation will be halted and the current settings will be "
            "erased.\n\nAre you sure you want to Reset to the default settings?",
            Answer::Ok, Answer::Cancel, 1, buildCommandFrame(CommandCode::LoadDefaultFlashSetup)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cvh::test
