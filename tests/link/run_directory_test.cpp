// The run list: each entry's line worked out by hand, and the table's limits.
#include <gtest/gtest.h>

#include "base/clock.h"
#include "link/run_directory.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

DirectoryEntry plainEntry(int run) {
    DirectoryEntry e;
    e.runNumber = static_cast<std::int16_t>(run);
    e.runKind = 0;
    e.portTypes.fill(0);
    e.startTime =
        static_cast<std::int32_t>(daysFromCivil(2024, 3, 5) * 86400 + 14 * 3600 + 7 * 60 + 9);
    e.runSizeBytes = 1023;
    e.firstValueThousandths = 12500;
    e.secondValueThousandths = -1500;
    return e;
}

TEST(DirectoryLine, HoldsEveryPieceInOrder) {
    DirectoryEntry e = plainEntry(7);
    e.portTypes = {3, 7, 5, -1, 0, 0, 7, 2};
    e.analogStates = {0, 1, 2, 0, 1, 0, 2};
    e.pumpStates = {1, 0, 0, 1};
    EXPECT_EQ(formatDirectoryLine(e),
              " 007     PROF     03/05/24  14:07:09   12.5   -1.5         1023    Serial: 1 3 8"
              "  Analog: 2 5  Pumps: 1 4 S2 S7 A3 A7");
}

TEST(DirectoryLine, SizeInBytesBelowOneKilobyteElseInWholeKilobytes) {
    const struct {
        std::uint32_t size;
        const char* text;
    } cases[] = {{0, "           0  "},
                 {1023, "        1023  "},
                 {1024, "           1 K"},
                 {2047, "           1 K"},
                 {2097152, "        2048 K"}};
    for (const auto& c : cases) {
        DirectoryEntry e = plainEntry(1);
        e.runSizeBytes = c.size;
        const std::string line = formatDirectoryLine(e);
        EXPECT_EQ(line.substr(line.find(" -1.5 ") + 6, 14), c.text) << c.size;
    }
}

TEST(DirectoryLine, NamesTheRunKind) {
    const struct {
        int kind;
        const char* text;
    } cases[] = {{0, " PROF  "},  {1, " MOOR  "},  {2, " ERR   "},  {3, " ANLG  "},
                 {4, " Port1 "},  {11, " Port8 "}, {12, " POLL  "}, {13, " NONE  "},
                 {14, " ERR   "}, {-1, " ERR   "}};
    for (const auto& c : cases) {
        DirectoryEntry e = plainEntry(1);
        e.runKind = static_cast<std::int16_t>(c.kind);
        EXPECT_EQ(formatDirectoryLine(e).substr(8, 7), c.text) << c.kind;
    }
}

class RunDirectoryTest : public ::testing::Test {
protected:
    test::ScriptedOperator op;
    RunDirectory directory;
};

TEST_F(RunDirectoryTest, HoldsFiveHundredTwelveEntriesAndIgnoresMoreQuietly) {
    for (int i = 0; i < 513; ++i)
        directory.add(plainEntry(i % 512), op);
    EXPECT_EQ(directory.entryCount(), 512);
    EXPECT_EQ(directory.lines().size(), 512u);
    EXPECT_EQ(directory.lines().back().entryIndex, 511);
    EXPECT_TRUE(op.asked.empty());
}

TEST_F(RunDirectoryTest, RunNumbersOutsideTheLoggersRangeAreRefused) {
    for (int run : {512, -1, 30000}) {
        directory.add(plainEntry(run), op);
        EXPECT_EQ(directory.entryCount(), 0) << run;
    }
    ASSERT_EQ(op.notices().size(), 3u);
    EXPECT_EQ(op.notices()[0].caption, "File System Overload");
    EXPECT_EQ(op.notices()[0].text, "More than 512 files found recorded");
}

TEST_F(RunDirectoryTest, ListEmptiedUnderArrivingEntriesWarnsOncePerRequest) {
    for (int request = 0; request < 2; ++request) {
        directory.clear();
        directory.add(plainEntry(1), op);
        directory.clearLines();
        directory.add(plainEntry(2), op);
        directory.add(plainEntry(3), op);
        // Each line still names its own entry.
        EXPECT_EQ(directory.lines()[0].entryIndex, 1);
        EXPECT_EQ(directory.entry(directory.lines()[1].entryIndex).runNumber, 3);
    }
    ASSERT_EQ(op.notices().size(), 2u);
    EXPECT_EQ(op.notices()[0].caption, "**** Warning - Run Directory Error ****");
    EXPECT_EQ(op.notices()[0].text,
              "The Logger Directory maybe missing files, Press 'Get Logger Directory' to Reload");
}

}  // namespace
}  // namespace cvh
