#include <gtest/gtest.h>

#include <string>

#include "link/line_choices.h"

namespace cvh {
namespace {

struct ChoiceCase {
    const char* name;
    int choice;
    LineParameters expected;
};

class LineChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(LineChoice, GivesBaudDataBitsAndParity) {
    const auto p = lineChoiceParameters(GetParam().choice);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->baud, GetParam().expected.baud);
    EXPECT_EQ(p->dataBits, GetParam().expected.dataBits);
    EXPECT_EQ(p->parity, GetParam().expected.parity);
}

INSTANTIATE_TEST_SUITE_P(
    LineChoices, LineChoice,
    ::testing::Values(ChoiceCase{"OffGivesBaudZero", 0, {0, 8, 0}},
                      ChoiceCase{"Choice600IsEightBitsNoParity", 1, {600, 8, 0}},
                      ChoiceCase{"Choice4800SevenEvenIsSevenBitsEvenParity", 5, {4800, 7, 2}},
                      ChoiceCase{"Choice9600IsEightBitsNoParity", 6, {9600, 8, 0}},
                      ChoiceCase{"Choice9600SevenEvenIsSevenBitsEvenParity", 7, {9600, 7, 2}},
                      ChoiceCase{"Choice19200IsEightBitsNoParity", 8, {19200, 8, 0}},
                      ChoiceCase{"Choice115200IsEightBitsNoParity", 11, {115200, 8, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineChoice, OutsideTheListGivesNothing) {
    EXPECT_FALSE(lineChoiceParameters(-1));
    EXPECT_FALSE(lineChoiceParameters(kLineChoiceCount));
}

TEST(LineSettings, ChoiceTextsAndModesLineUp) {
    EXPECT_STREQ(kLineChoiceTexts[0], "OFF");
    EXPECT_STREQ(kLineChoiceTexts[7], "9600,7,E,1");
    EXPECT_STREQ(kPortSetupChoiceTexts[7], "9600, 7,E,1");
    EXPECT_STREQ(kLineChoiceTexts[11], "115200");
    EXPECT_STREQ(lineSettingMode(0), "9600,N,8,1");
    EXPECT_STREQ(lineSettingMode(5), "4800,E,7,1");
    EXPECT_STREQ(lineSettingMode(7), "9600,E,7,1");
    EXPECT_STREQ(lineSettingMode(11), "115200,N,8,1");
    EXPECT_STREQ(lineSettingMode(12), "9600,N,8,1");
    EXPECT_STREQ(lineSettingMode(-3), "9600,N,8,1");
}

// The port table, the port-test frame and the setup record all go from a choice to a line and
// back through this one table; a choice that did not come back would reopen the logger port on
// another line.
TEST(LineSettings, EveryChoiceComesBackFromItsLine) {
    for (int choice = 1; choice < kLineChoiceCount; ++choice) {
        const auto line = lineChoiceParameters(choice);
        ASSERT_TRUE(line);
        EXPECT_EQ(lineSettingFor(line->baud, line->dataBits), choice) << choice;
    }
    EXPECT_EQ(lineSettingFor(600, 7), 1);  // only 4800 and 9600 have a 7-bit entry
    EXPECT_FALSE(lineSettingFor(0, 8));
    EXPECT_FALSE(lineSettingFor(300, 8));
}

}  // namespace
}  // namespace cvh
