#include "files/host_setup_file.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>
#include <fstream>
#include <sstream>
#include <utility>

#include "support/scripted_operator.h"
#include "support/temp_dir.h"

namespace cvh {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

class HostSetupFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir_.empty()); }

    // A new, empty directory per test.
    TempDir tempDir_{"cvh_hostsetup"};
    const fs::path& dir_ = tempDir_.path();
};

// Every field of every record different, so a field written into the wrong place shows.
HostSetup distinctSetup() {
    HostSetup s;
    std::int16_t next = 10;
    for (int record = 1; record <= kHostSetupRecordCount; ++record) {
        for (int field = 0; field < kHostSetupFieldCounts[record]; ++field)
            s.setValue(record, field, next++);
    }
    s.setValue(3, 1, -300);  // negative values survive too
    return s;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines)
        text += l + "\n";
    return text;
}

TEST_F(HostSetupFileTest, WrittenFileReadsBackEveryRecordWithoutANotice) {
    const HostSetup stored = distinctSetup();
    const fs::path path = dir_ / "last.cvh";
    ASSERT_EQ(storeHostSetup(path, stored), HostSetupStoreResult::Stored);
    EXPECT_FALSE(fs::exists(dir_ / "last.cvh.tmp"));

    test::ScriptedOperator op;
    const HostSetupLoad load = loadHostSetup(path, op);
    ASSERT_TRUE(load.loaded());
    EXPECT_TRUE(op.asked.empty());
    EXPECT_EQ(*load.setup, stored);
    EXPECT_TRUE(load.setup->hasHostPortSetup);
}

TEST_F(HostSetupFileTest, LinesHaveTheLayoutEarlierVersionsRead) {
    HostSetup s;
    for (const auto& [field, value] : {std::pair{0, 3}, {1, 11}, {2, 9}})
        s.setValue(1, field, static_cast<std::int16_t>(value));
    s.setValue(2, 0, 8);
    for (const auto& [field, value] : {std::pair{0, 1}, {1, 2}, {3, -1}})
        s.setValue(17, field, static_cast<std::int16_t>(value));
    const auto lines = linesOf(formatHostSetup(s));
    ASSERT_EQ(lines.size(), 35u);
    EXPECT_EQ(lines[0], "CV Host Version=7.09e");
    EXPECT_EQ(lines[1], "1 3 3 11 9");
    EXPECT_EQ(lines[2], "2 1 8");
    EXPECT_EQ(lines[4], "4 0 ");
    EXPECT_EQ(lines[7], "7 13 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(lines[9], "9 4 0 0 1 0");
    EXPECT_EQ(lines[13], "13 4 0 0 0 0 ");
    EXPECT_EQ(lines[17], "17 8 1 2 0 -1 0 0 0 0");
    EXPECT_EQ(lines[22], "22 1 0 Last.plt");
    for (int record = 1; record <= kHostSetupRecordCount; ++record) {
        const bool blank = record == 4 || record == 13 || record >= 30;
        EXPECT_EQ(lines[record].back() == ' ', blank) << lines[record];
    }
}

TEST_F(HostSetupFileTest, AFailedStoreKeepsTheGoodFile) {
    // The target name is taken by a folder: the rename fails and nothing is half-written.
    const fs::path blocked = dir_ / "blocked.cvh";
    fs::create_directories(blocked / "inside");
    EXPECT_EQ(storeHostSetup(blocked, distinctSetup()), HostSetupStoreResult::WriteFailed);
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_FALSE(fs::exists(dir_ / "blocked.cvh.tmp"));

    EXPECT_EQ(storeHostSetup(dir_ / "no" / "such" / "dir.cvh", HostSetup{}),
              HostSetupStoreResult::NotCreated);

    // A second good store replaces the first whole.
    const fs::path path = dir_ / "a.cvh";
    HostSetup first;
    first.setValue(14, 0, 4);
    ASSERT_EQ(storeHostSetup(path, first), HostSetupStoreResult::Stored);
    HostSetup second = distinctSetup();
    ASSERT_EQ(storeHostSetup(path, second), HostSetupStoreResult::Stored);
    test::ScriptedOperator op;
    EXPECT_EQ(*loadHostSetup(path, op).setup, second);
}

struct BadFileCase {
    const char* name;
    int line;                 // line of a good file to replace (0 = version line)
    const char* replacement;  // nullptr: cut the file before this line
    const char* caption;
    const char* text;  // nullptr: the offending line itself
};

class HostSetupBadFile : public HostSetupFileTest,
                         public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(HostSetupBadFile, ShowsOneNoticeAndAppliesNothing) {
    const BadFileCase& c = GetParam();
    auto lines = linesOf(formatHostSetup(distinctSetup()));
    if (c.replacement == nullptr) {
        lines.resize(static_cast<std::size_t>(c.line));
    } else {
        lines[static_cast<std::size_t>(c.line)] = c.replacement;
    }
    const fs::path path = dir_ / "bad.cvh";
    std::ofstream(path) << joinLines(lines);

    test::ScriptedOperator op;
    const HostSetupLoad load = loadHostSetup(path, op);
    EXPECT_EQ(load.result, HostSetupLoadResult::Invalid);
    EXPECT_FALSE(load.setup.has_value());
    ASSERT_EQ(op.asked.size(), 1u);
    EXPECT_EQ(op.asked[0].kind, "notice");
    EXPECT_EQ(op.asked[0].caption, c.caption);
    EXPECT_EQ(op.asked[0].text, c.text != nullptr ? c.text : c.replacement);
    EXPECT_EQ(op.beeps, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, HostSetupBadFile,
    ::testing::Values(
        BadFileCase{"BadNumber", 5, "five 12 1 1 1 1 1 1 1 0 0 1 1 1",
                    "Invalid Record in *.CVH File - The CVH File was NOT Loaded E1", nullptr},
        BadFileCase{"WrongRecordNumber", 3, "4 0 ",
                    "Bad Line Number in *.CVH File - The CVH File was Not Loaded E2",
                    "Looking for Line 3, Found Line 4"},
        BadFileCase{"CountOf21", 12, "12 21 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0",
                    "Invalid Record in *.CVH, j 1 count 15 lcount 21", nullptr},
        BadFileCase{"CountDiffers", 14, "14 3 4 1 0",
                    "Invalid Record in *.CVH, j 1 count 2 lcount 3", nullptr},
        BadFileCase{"CountMissing", 2, "2", "Invalid Record in *.CVH, j 0 count 1 lcount 0",
                    nullptr},
        BadFileCase{"BadField", 14, "14 2 4 yes",
                    "Invalid Record in *.CVH File - The CVH File was NOT Loaded E4", nullptr},
        BadFileCase{"FieldOutside16Bits", 3, "3 3 0 40000 600",
                    "Invalid Record in *.CVH File - The CVH File was NOT Loaded E4", nullptr},
        BadFileCase{"TooFewFields", 34, "34 4 1 1 1 ",
                    "Invalid Record in *.CVH File - The CVH File was NOT Loaded E4", nullptr},
        BadFileCase{"ShortFile", 21, nullptr,
                    "Invalid Record in *.CVH File - The CVH File was NOT Loaded E1", ""},
        BadFileCase{"OldVersionWithThreePortFields", 0, "CV Host Version=7.06e",
                    "Invalid Record in *.CVH, j 1 count 2 lcount 3", "1 3 10 11 12"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostSetupFileTest, FileWithoutVersionLineFailsLookingForLineOne) {
    // Its first record is taken for the version line, so record 2 is found where 1 belongs.
    auto lines = linesOf(formatHostSetup(distinctSetup()));
    lines.erase(lines.begin());
    test::ScriptedOperator op;
    const HostSetupLoad load = parseHostSetup(joinLines(lines), op);
    EXPECT_EQ(load.result, HostSetupLoadResult::Invalid);
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption,
              "Bad Line Number in *.CVH File - The CVH File was Not Loaded E2");
    EXPECT_EQ(op.notices()[0].text, "Looking for Line 1, Found Line 2");
}

TEST_F(HostSetupFileTest, OldVersionReadsTwoPortFieldsAndKeepsTheHostPortSetting) {
    auto lines = linesOf(formatHostSetup(distinctSetup()));
    lines[0] = "CV Host Version=7.06e";
    lines[1] = "1 2 4 8";
    const fs::path path = dir_ / "old.cvh";
    std::ofstream(path) << joinLines(lines);

    test::ScriptedOperator op;
    const HostSetupLoad load = loadHostSetup(path, op);
    ASSERT_TRUE(load.loaded());
    EXPECT_TRUE(op.asked.empty());
    EXPECT_FALSE(load.setup->hasHostPortSetup);
    EXPECT_EQ(load.setup->value(1, 0), 4);
    EXPECT_EQ(load.setup->value(1, 1), 8);
}

TEST_F(HostSetupFileTest, ValuesReadAsStoredWithEitherLineEnd) {
    // What a control can show is the program's rule, not the file's: -1, 0 and 9 read as they
    // stand, and Windows line ends read the same.
    auto lines = linesOf(formatHostSetup(distinctSetup()));
    lines[2] = "2 1 9";
    lines[15] = "15 8 -1 3 -1 0 0 0 0 -1";
    std::string text;
    for (const auto& l : lines)
        text += l + "\r\n";
    test::ScriptedOperator op;
    const HostSetupLoad load = parseHostSetup(text, op);
    ASSERT_TRUE(load.loaded());
    EXPECT_EQ(load.setup->value(2, 0), 9);
    EXPECT_EQ(load.setup->value(15, 0), -1);
    EXPECT_EQ(load.setup->value(15, 1), 3);
    EXPECT_EQ(load.setup->value(16, 0), distinctSetup().value(16, 0));
    EXPECT_TRUE(op.asked.empty());
}

TEST_F(HostSetupFileTest, MissingOrUnreadableFileIsSilent) {
    test::ScriptedOperator op;
    EXPECT_EQ(loadHostSetup(dir_ / "last.cvh", op).result, HostSetupLoadResult::Missing);
    EXPECT_EQ(loadHostSetup(dir_, op).result, HostSetupLoadResult::Unreadable);
    EXPECT_FALSE(loadHostSetup(dir_, op).loaded());
    EXPECT_TRUE(op.asked.empty());
}

TEST_F(HostSetupFileTest, EditTextKeepsLeadingDigits) {
    EXPECT_EQ(editTextValue("120"), 120);
    EXPECT_EQ(editTextValue("45 sec"), 45);
    EXPECT_EQ(editTextValue(""), 0);
    EXPECT_EQ(editTextValue("x12"), 0);
    EXPECT_EQ(editTextValue("9999999"), 32767);
}

TEST_F(HostSetupFileTest, DialogsCarryTheirTitlesAndFilter) {
    EXPECT_EQ(saveHostSetupDialog().title, "Save CV Host Program Setup");
    EXPECT_EQ(openHostSetupDialog().title, "Open CV Host Program Setup");
    // In the dialogs' own form: the filter's description, the extension without "*.".
    for (const FileDialogRequest& r : {saveHostSetupDialog(), openHostSetupDialog()}) {
        EXPECT_EQ(r.filter, "CV Host Setup (*.cvh)");
        EXPECT_EQ(r.defaultExtension, "cvh");
    }
}

}  // namespace
}  // namespace cvh
