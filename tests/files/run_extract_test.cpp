#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>

#include "files/extract_test_util.h"
#include "files/run_extract.h"
#include "files/run_file.h"
#include "files/summary_report.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

using test::bytesOf;
using test::ByteVec;
using test::cat;
using test::le16;
using test::le32;
using test::readFile;
using test::runRecord;

const std::filesystem::path kRuns = std::filesystem::path(CVH_TEST_DATA_DIR) / "runs";

// Every file of `expected` is in `actual` with the same bytes, and nothing else is.
void expectSameFiles(const std::filesystem::path& expected, const std::filesystem::path& actual) {
    EXPECT_EQ(test::filesIn(expected), test::filesIn(actual));
    for (const auto& name : test::filesIn(expected)) {
        const ByteVec want = readFile(expected / name);
        const ByteVec got = readFile(actual / name);
        EXPECT_EQ(got.size(), want.size()) << name;
        EXPECT_TRUE(got == want) << name << " differs";
    }
}

class Extraction : public ::testing::Test {
protected:
    // Writes `bytes` as a run file of that name and extracts it into `out`.
    ExtractReport extract(const std::string& name, const ByteVec& bytes,
                          ExtractChoice choice = ExtractChoice::ArchivePlusRaw,
                          bool debug = false) {
        const auto in = dir.sub("in") / name;
        test::writeFile(in, bytes);
        return extractRun(in, {choice, debug, out}, state, op);
    }
    ByteVec output(const std::string& name) const { return readFile(out / name); }
    std::set<std::string> outputs() const { return test::filesIn(out); }

    test::ScratchDir dir;
    std::filesystem::path out = dir.sub("out");
    ExtractionState state;
    test::ScriptedOperator op;
};

TEST_F(Extraction, EveryRecordTypeWithRawFilesAndDebugLogGivesTheHandWorkedFiles) {
    const auto in = dir.sub("in");
    std::filesystem::copy_file(kRuns / "run.042", in / "run.042");
    const auto report =
        extractRun(in / "run.042", {ExtractChoice::ArchivePlusRaw, true, out}, state, op);
    EXPECT_EQ(report.result, ExtractResult::Done);
    EXPECT_EQ(report.runNumber, 42);
    EXPECT_EQ(report.bytesSkipped, 4u);  // the four bytes of the bad header
    EXPECT_EQ(report.damagedRecords, 0u);
    expectSameFiles(kRuns / "expected_raw_debug", out);
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "Unknown Type:  26 1a");
    EXPECT_EQ(op.notices()[0].text, "Record Not Saved");

    // The same run as run.043 with archive files only and no debug log: the time-window
    // records number on from the first extraction.
    std::filesystem::copy_file(kRuns / "run.042", in / "run.043");
    const auto second = dir.sub("out2");
    extractRun(in / "run.043", {ExtractChoice::Archive, false, second}, state, op);
    expectSameFiles(kRuns / "expected_archive", second);
    EXPECT_EQ(state.timeWindowSequence, 4u);
}

TEST_F(Extraction, BadFirstHeaderProcessesNothingAndLeavesAnEmptyLog) {
    const auto report = extract("run.001", cat({le16(0), le16(9), runRecord(9, bytesOf("B"))}));
    EXPECT_EQ(report.result, ExtractResult::NotProcessed);
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "Run File Error");
    EXPECT_EQ(op.notices()[0].text, "Unable to Process the Run");
    EXPECT_EQ(outputs(), std::set<std::string>{"log.dat"});
    EXPECT_TRUE(output("log.dat").empty());
}

TEST_F(Extraction, EmptyOrShortRunFileIsRefusedAndWritesNothing) {
    for (const ByteVec& bytes : {ByteVec{}, ByteVec{4}, ByteVec{4, 0, 9}}) {
        op.asked.clear();
        const auto report = extract("run.001", bytes, ExtractChoice::ArchivePlusRaw, true);
        EXPECT_EQ(report.result, ExtractResult::TooShort) << bytes.size();
        ASSERT_EQ(op.notices().size(), 1u);
        EXPECT_EQ(op.notices()[0].text, "Unable to Process the Run");
        EXPECT_TRUE(outputs().empty());
    }
}

TEST_F(Extraction, NameWithoutRunNumberIsRefusedAndWritesNothing) {
    for (const std::string name : {"run.abc", "runfile", "run."}) {
        op.asked.clear();
        const auto in = dir.sub("in") / name;
        test::writeFile(in, runRecord(9, bytesOf("B")));
        const auto report = extractRun(in, {ExtractChoice::Archive, true, out}, state, op);
        EXPECT_EQ(report.result, ExtractResult::BadFileName) << name;
        ASSERT_EQ(op.notices().size(), 1u) << name;
        EXPECT_EQ(op.notices()[0].caption, "Unusable File Name '" + in.string());
        EXPECT_EQ(op.notices()[0].text, "Extraction Requires name.xxx, where xxx=000-999");
    }
    EXPECT_TRUE(outputs().empty());
}

TEST_F(Extraction, MissingOrNonRegularRunFileIsRefusedWithItsReason) {
    const auto fifo = dir.path() / "fifo.006";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // no writer: an open for reading would block
    const auto device = dir.path() / "run.009";
    std::filesystem::create_symlink("/dev/null", device);
    struct Case {
        std::filesystem::path path;
        std::string reason;
    };
    for (const Case& c : {Case{dir.path() / "run.005", "No such file or directory"},
                          Case{dir.sub("run.007"), "not a regular file"},
                          Case{fifo, "not a regular file"}, Case{device, "not a regular file"}}) {
        const auto report = extractRun(c.path, {ExtractChoice::Archive, false, out}, state, op);
        EXPECT_EQ(report.result, ExtractResult::Unreadable) << c.path;
        ASSERT_TRUE(report.inputError) << c.path;
        EXPECT_EQ(report.inputError->describe(), c.path.string() + ": " + c.reason);
    }
    EXPECT_TRUE(op.asked.empty());
    EXPECT_TRUE(outputs().empty());
}

TEST_F(Extraction, InMemoryTargetGetsTheSameOutputsAndTheDiskNothing) {
    const ByteVec run = readFile(kRuns / "run.042");
    MemoryTarget memory;
    ExtractOptions options{ExtractChoice::ArchivePlusRaw, true, dir.path() / "unused"};
    options.target = &memory;
    const auto report = extractRun(run, 42, options, state, op);
    EXPECT_EQ(report.result, ExtractResult::Done);
    EXPECT_FALSE(std::filesystem::exists(options.outputDirectory));
    const auto expected = kRuns / "expected_raw_debug";
    std::set<std::string> names;
    for (const auto& [name, bytes] : memory.outputs) {
        names.insert(name);
        EXPECT_TRUE(bytes == readFile(expected / name)) << name;
    }
    EXPECT_EQ(names, test::filesIn(expected));
}

TEST_F(Extraction, ConsoleExtractionPutsOutputsBesideTheRunFile) {
    const auto in = dir.sub("field.data") / "run.008";
    test::writeFile(in, runRecord(9, bytesOf("b")));
    EXPECT_EQ(extractBesideRunFile(in, ExtractChoice::Archive, false, state, op).result,
              ExtractResult::Done);
    EXPECT_EQ(test::filesIn(in.parent_path()),
              (std::set<std::string>{"Battery.008", "log.dat", "run.008"}));
}

TEST(RunNumber, ComesFromTheFileNameOnly) {
    EXPECT_EQ(runNumberFromPath("run.7"), 7);
    EXPECT_EQ(runNumberFromPath("/data/cruise.2024/v1.3/run.012"), 12);
    EXPECT_EQ(runNumberFromPath("/data/cruise.2024/R123"), 123);  // no dot: after the first char
    EXPECT_EQ(runNumberFromPath("run. 5x"), 5);                   // as "%d" reads it
    EXPECT_EQ(runNumberFromPath("run.-3"), -3);
    EXPECT_EQ(runNumberFromPath("a.b.1000"), 1000);
    EXPECT_EQ(runNumberFromPath("/data/cruise.2024/run"), std::nullopt);
    EXPECT_EQ(runNumberFromPath("run.99999999999"), std::nullopt);
    EXPECT_EQ(runNumberFromPath("run.x7"), std::nullopt);
}

TEST_F(Extraction, ExtensionSevenNumbersTheOutputs007) {
    extract("run.7", runRecord(9, bytesOf("volts")));
    EXPECT_EQ(outputs(), (std::set<std::string>{"Battery.007", "log.dat"}));
    EXPECT_EQ(output("Battery.007"), bytesOf("volts"));
}

TEST_F(Extraction, ArchiveChoiceIgnoresMeterRecordsButKeepsBatteryAndSummary) {
    const ByteVec summary(254, 0);
    extract("run.003",
            cat({runRecord(1, bytesOf("m1")), runRecord(16, bytesOf("m6")),
                 runRecord(12, bytesOf("an")), runRecord(10, bytesOf("ts")),
                 runRecord(9, bytesOf("bat")), runRecord(11, summary)}),
            ExtractChoice::Archive);
    EXPECT_EQ(outputs(), (std::set<std::string>{"Battery.003", "Summary.003", "log.dat"}));
}

TEST_F(Extraction, TimeWindowsCloseFiftyUnitsAfterTheyStart) {
    const auto mux = [](int type, std::uint32_t ts, const std::string& data) {
        return runRecord(type, cat({le32(ts), bytesOf(data)}));
    };
    extract("run.010", cat({mux(5, 100, "a"), mux(6, 149, "b"), mux(5, 150, "c"), mux(22, 199, "d"),
                            mux(14, 240, ""), mux(13, 250, "e")}));
    const ByteVec want = cat({
        test::archiveBytes(1, 0, 2, 0, 100, {1, 1}, bytesOf("ab")),
        test::archiveBytes(1, 0, 2, 1, 150, {1, 0, 0, 0, 0, 0, 0, 1}, bytesOf("cd")),
        // A time record alone closes a window too and starts the next.
        test::archiveBytes(1, 0, 2, 2, 240, {0, 0, 0, 0, 0, 0, 0, 0, 1}, bytesOf("e")),
    });
    EXPECT_EQ(output("archive.010"), want);
    EXPECT_EQ(state.timeWindowSequence, 3u);
}

TEST_F(Extraction, FullTimeWindowIsWrittenOutEarlyAndKeepsEveryByte) {
    const ByteVec a(2000, 'a'), b(2000, 'b'), c(2000, 'c');
    extract("run.011", cat({runRecord(5, cat({le32(7), a})), runRecord(5, cat({le32(8), b})),
                            runRecord(5, cat({le32(9), c}))}));
    // The third piece would take the record past 4096 data bytes: the first two go out first,
    // stamped with their window's start.
    const ByteVec want = cat({test::archiveBytes(1, 0, 2, 0, 7, {4000}, cat({a, b})),
                              test::archiveBytes(1, 0, 2, 1, 7, {2000}, c)});
    EXPECT_EQ(output("archive.011"), want);
}

TEST_F(Extraction, FullHeaderRecordIsWrittenOutEarly) {
    const ByteVec a(2000, 'a'), b(2000, 'b'), c(2000, 'c');
    extract("run.012", cat({runRecord(25, cat({ByteVec{3, 9}, le32(500)})), runRecord(1, a),
                            runRecord(2, b), runRecord(3, c)}));
    const ByteVec want = cat({test::archiveBytes(1, 0, 3, 9, 500, {2000, 2000}, cat({a, b})),
                              test::archiveBytes(1, 0, 3, 10, 500, {0, 0, 2000}, c)});
    EXPECT_EQ(output("archive.012"), want);
    EXPECT_EQ(output("Port3.012"), c);
}

TEST_F(Extraction, RecordsTooShortForTheirFieldsAreCountedNotRead) {
    const ByteVec tqHeader(28, 0);
    ByteVec badLength = cat({ByteVec(4, 0), test::be16(3), ByteVec(22, 0), bytesOf("abc####"),
                             ByteVec(5, 0)});  // says 3 data bytes, is 40 bytes long
    const auto report = extract("run.020",
                                cat({runRecord(23, ByteVec(27, 0)), runRecord(23, badLength),
                                     runRecord(25, ByteVec{1, 2, 3, 4, 5}),
                                     runRecord(5, ByteVec{1, 2, 3}), runRecord(24, ByteVec{9}),
                                     runRecord(11, ByteVec(253, 0)), runRecord(9, bytesOf("ok"))}),
                                ExtractChoice::ArchivePlusRaw, true);
    EXPECT_EQ(report.result, ExtractResult::Done);
    EXPECT_EQ(report.damagedRecords, 6u);
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "Run File Error");
    EXPECT_EQ(op.notices()[0].text, "6 Damaged Record(s) Not Saved");
    EXPECT_EQ(outputs(), (std::set<std::string>{"Battery.020", "archive.020", "log.dat"}));
    EXPECT_TRUE(output("archive.020").empty());
    EXPECT_EQ(output("log.dat"), bytesOf("Type 999 Size 0 ms 0 Offset 0\n"));
}

TEST_F(Extraction, RecordCutOffByTheEndOfTheFileIsNotWrittenByHalves) {
    ByteVec run = cat({runRecord(9, bytesOf("one")), le16(10), le16(9), bytesOf("half")});
    const auto report = extract("run.021", run);
    EXPECT_EQ(report.damagedRecords, 1u);
    EXPECT_EQ(output("Battery.021"), bytesOf("one"));
}

TEST_F(Extraction, TqMuxWithCountsNotAddingUpIsArchivedButNotSplit) {
    const ByteVec tq = cat({ByteVec{1, 0, 4, 8}, test::be16(2), test::be32(0), test::be16(1),
                            test::be16(0), ByteVec(14, 0), bytesOf("xy####")});
    extract("run.022", runRecord(23, tq), ExtractChoice::ArchivePlusRaw, true);
    EXPECT_EQ(outputs(), (std::set<std::string>{"archive.022", "log.dat"}));
    EXPECT_EQ(output("archive.022"), test::archiveBytes(1, 0, 4, 8, 0, {1}, bytesOf("xy")));
    // A time stamp of 0 gets no time line.
    EXPECT_EQ(output("log.dat"), bytesOf("Type 998 Size 0 ms 0 Offset 0\n\r\n"
                                         "Type 999 Size 0 ms 0 Offset 32\n"));
}

TEST_F(Extraction, DebugLogClosingLineFollowsTheArchiveNotTheSwitch) {
    const ByteVec tq = cat({ByteVec{1, 0, 2, 0}, test::be16(1), test::be32(7), test::be16(1),
                            ByteVec(16, 0), bytesOf("q####")});
    // Switch off: no TQMUX entry, but the run opened an archive, so it ends with the 999 line.
    extract("run.023", runRecord(23, tq), ExtractChoice::Archive, false);
    EXPECT_EQ(output("log.dat"), bytesOf("Type 999 Size 0 ms 0 Offset 0\n"));
    // No archive opened: the log stays empty whatever the switch.
    extract("run.024", runRecord(9, bytesOf("b")), ExtractChoice::ArchivePlusRaw, true);
    EXPECT_TRUE(output("log.dat").empty());
}

TEST_F(Extraction, OutputsReplaceEarlierFilesWhole) {
    test::writeFile(out / "Battery.030", ByteVec(100, 'x'));
    // A second summary record replaces the first report as a whole, too.
    std::array<std::uint8_t, kSummaryRecordSize> first{};
    std::array<std::uint8_t, kSummaryRecordSize> second{};
    SummaryRecord r;
    r.portMeterTypes = {0, 1, 1, 1, 1, 1, 1, 1, 1};  // a long report first
    encodeSummaryRecord(r, first);
    r.portMeterTypes = {};
    encodeSummaryRecord(r, second);
    extract("run.030",
            cat({runRecord(9, bytesOf("new")), runRecord(11, ByteVec(first.begin(), first.end())),
                 runRecord(11, ByteVec(second.begin(), second.end()))}));
    EXPECT_EQ(output("Battery.030"), bytesOf("new"));
    const auto summary = output("Summary.030");
    EXPECT_EQ(std::string(summary.begin(), summary.end()), formatSummaryReport(r));
    EXPECT_EQ(outputs(), (std::set<std::string>{"Battery.030", "Summary.030", "log.dat"}));
}

TEST_F(Extraction, OutputFolderThatCannotBeWrittenIsReported) {
    out = dir.path() / "missing";
    const auto report =
        extract("run.031", cat({runRecord(9, bytesOf("b")), runRecord(11, ByteVec(254, 0))}));
    std::set<std::string> failed;
    for (const auto& error : report.unwritten) {
        EXPECT_EQ(error.path.parent_path(), out);
        EXPECT_EQ(error.reason, "No such file or directory");
        failed.insert(error.path.filename().string());
    }
    EXPECT_EQ(failed, (std::set<std::string>{"Battery.031", "Summary.031", "log.dat"}));
    EXPECT_EQ(report.unwritten.size(), 3u);
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "File Extraction Error");
    EXPECT_EQ(op.notices()[0].text, "Unable to create Summary File");
}

TEST_F(Extraction, ResynchronisationSkipsAnyRunOfGarbage) {
    // Bytes that never line up as a plausible header in any position.
    const ByteVec garbage{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const auto report =
        extract("run.040", cat({runRecord(9, bytesOf("a")), garbage, runRecord(9, bytesOf("b"))}));
    EXPECT_EQ(report.bytesSkipped, garbage.size());
    EXPECT_EQ(output("Battery.040"), bytesOf("ab"));
}

}  // namespace
}  // namespace cvh
