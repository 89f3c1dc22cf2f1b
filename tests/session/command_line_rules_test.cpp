#include <gtest/gtest.h>

#include "session/command_line_rules.h"
#include "session/run_list.h"

namespace cvh {
namespace {

TEST(RunList, ListsAndRangesGiveSortedRunsOnce) {
    struct Case {
        const char* text;
        std::vector<int> runs;
    };
    for (const Case& c : {Case{"7", {7}}, Case{"1,3-5", {1, 3, 4, 5}}, Case{"5,1-2,2", {1, 2, 5}},
                          Case{"0-0,999", {0, 999}}}) {
        std::string error;
        const auto runs = parseRunList(c.text, error);
        ASSERT_TRUE(runs) << c.text << ": " << error;
        EXPECT_EQ(*runs, c.runs) << c.text;
    }
}

TEST(RunList, MalformedListsAreRefusedWithTheFaultyItem) {
    for (const char* text :
         {"", "1,", ",1", "a", "3-", "-3", "5-3", "1000", "1-2-3", "1 ,2", "+4", "99999999999"}) {
        std::string error;
        EXPECT_FALSE(parseRunList(text, error)) << text;
        EXPECT_NE(error.find(text), std::string::npos) << error;
    }
}

TEST(DirectoryWait, CompleteTwoSecondsAfterTheLastEntryOrFiveWithoutAny) {
    DirectoryWait wait;
    wait.requested(1000);
    EXPECT_FALSE(wait.complete(5999));
    EXPECT_TRUE(wait.complete(6000));

    wait.requested(1000);
    wait.entryArrived(4500);  // a late first entry restarts the wait
    EXPECT_FALSE(wait.complete(6000));
    wait.entryArrived(6000);
    EXPECT_FALSE(wait.complete(7999));
    EXPECT_TRUE(wait.complete(8000));
}

TEST(ProgressThrottle, AtMostOnceASecondButTheFinalLineAlways) {
    ProgressThrottle t;
    EXPECT_TRUE(t.due(0, false));
    EXPECT_FALSE(t.due(999, false));
    EXPECT_TRUE(t.due(1000, false));
    EXPECT_TRUE(t.due(1001, true));
}

TEST(UploadExitStatus, WholeRunsOnlyAndSignalsFirst) {
    using R = RunResult;
    EXPECT_EQ(uploadExitStatus({R::Complete, R::Complete}, 0), 0);
    EXPECT_EQ(uploadExitStatus({}, 0), 0);
    for (R bad : {R::SizeMismatch, R::Stalled, R::Cancelled, R::WriteError})
        EXPECT_EQ(uploadExitStatus({R::Complete, bad}, 0), 1);
    EXPECT_EQ(uploadExitStatus({R::Complete}, 2), 130);
    EXPECT_EQ(uploadExitStatus({R::WriteError}, 15), 143);
}

}  // namespace
}  // namespace cvh
