#include <gtest/gtest.h>

#include <sstream>

#include "files/extract_cli.h"
#include "files/extract_test_util.h"

namespace cvh {
namespace {

TEST(ExtractCli, ParsesChoiceDebugLogFolderAndRunFiles) {
    std::string error;
    auto a = parseExtractArgs({"run.001"}, error);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->options.choice, ExtractChoice::Archive);
    EXPECT_FALSE(a->options.debugLog);
    EXPECT_EQ(a->options.outputDirectory, ".");

    a = parseExtractArgs({"--raw", "-o", "/tmp/x", "run.001", "--debug-log", "--", "-run.2"},
                         error);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->options.choice, ExtractChoice::ArchivePlusRaw);
    EXPECT_TRUE(a->options.debugLog);
    EXPECT_EQ(a->options.outputDirectory, "/tmp/x");
    EXPECT_EQ(a->runFiles, (std::vector<std::filesystem::path>{"run.001", "-run.2"}));

    EXPECT_TRUE(parseExtractArgs({"--help"}, error)->help);
    EXPECT_FALSE(parseExtractArgs({}, error));
    EXPECT_FALSE(parseExtractArgs({"run.1", "-o"}, error));
    EXPECT_FALSE(parseExtractArgs({"--rwa", "run.1"}, error));
    EXPECT_EQ(error, "unknown option --rwa");
}

TEST(ExtractCli, ExtractsEveryRunAndReportsNoticesOnStandardError) {
    test::ScratchDir dir;
    const auto in = dir.sub("in");
    const auto out = dir.sub("out");
    const std::filesystem::path runs = std::filesystem::path(CVH_TEST_DATA_DIR) / "runs";
    std::filesystem::copy_file(runs / "run.042", in / "run.042");
    std::ostringstream o, e;
    EXPECT_EQ(runExtractCli({"--raw", "--debug-log", "-o", out.string(), (in / "run.042").string()},
                            o, e),
              0);
    EXPECT_EQ(e.str(), (in / "run.042").string() + ": Unknown Type:  26 1a: Record Not Saved\n");
    EXPECT_EQ(test::readFile(out / "archive.042"),
              test::readFile(runs / "expected_raw_debug" / "archive.042"));

    // One bad run among good ones makes the status non-zero; the others are still extracted.
    std::ostringstream o2, e2;
    test::writeFile(in / "run.x", test::runRecord(9, test::bytesOf("b")));
    test::writeFile(in / "run.5", test::runRecord(9, test::bytesOf("b")));
    EXPECT_EQ(runExtractCli({"-o", out.string(), (in / "run.x").string(), (in / "run.5").string()},
                            o2, e2),
              1);
    EXPECT_NE(e2.str().find("Unusable File Name '"), std::string::npos);
    EXPECT_NE(e2.str().find("run.x: no run number"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(out / "Battery.005"));

    std::ostringstream o3, e3;
    EXPECT_EQ(runExtractCli({"-o", (dir.path() / "nope").string(), "run.1"}, o3, e3), 2);
    EXPECT_EQ(runExtractCli({"--help"}, o3, e3), 0);
    EXPECT_NE(o3.str().find("usage: cvhost-extract"), std::string::npos);
}

TEST(ExtractCli, EveryFailureNamesTheRunFileAndItsReason) {
    test::ScratchDir dir;
    const auto in = dir.sub("in");
    const auto out = dir.sub("out");
    test::writeFile(in / "run.001", {});
    test::writeFile(in / "run.002", {1});
    const auto folder = dir.sub("run.003");
    struct Case {
        std::filesystem::path input;
        std::string says;
    };
    for (const Case& c : {Case{in / "run.001", ": empty or shorter than one record header"},
                          Case{in / "run.002", ": empty or shorter than one record header"},
                          Case{folder, ": not a regular file"},
                          Case{in / "run.004", ": No such file or directory"}}) {
        std::ostringstream o, e;
        EXPECT_EQ(runExtractCli({"-o", out.string(), c.input.string()}, o, e), 1) << c.input;
        EXPECT_NE(e.str().find("cvhost-extract: " + c.input.string() + c.says), std::string::npos)
            << e.str();
    }

    // Outputs that cannot be written are each named with the reason, log.dat among them.
    test::writeFile(in / "run.005", test::runRecord(9, test::bytesOf("b")));
    std::filesystem::create_directory(out / "Battery.005");  // a rename over it fails
    std::ostringstream o, e;
    EXPECT_EQ(runExtractCli({"-o", out.string(), (in / "run.005").string()}, o, e), 1);
    EXPECT_NE(e.str().find("not written: " + (out / "Battery.005").string() + ": "),
              std::string::npos);
    EXPECT_NE(e.str().find(": 1 output file(s) could not be written"), std::string::npos);
}

TEST(ExtractCli, RunsOfOneNumberNeverReplaceEachOtherAndLogDatKeepsEveryRun) {
    test::ScratchDir dir;
    const auto a = dir.sub("a");
    const auto b = dir.sub("b");
    const auto out = dir.sub("out");
    const std::filesystem::path runs = std::filesystem::path(CVH_TEST_DATA_DIR) / "runs";
    std::filesystem::copy_file(runs / "run.042", a / "run.042");
    std::filesystem::copy_file(runs / "run.042", a / "run.043");
    test::writeFile(b / "run.042", test::runRecord(9, test::bytesOf("other")));
    std::ostringstream o, e;
    EXPECT_EQ(runExtractCli({"--debug-log", "-o", out.string(), (a / "run.042").string(),
                             (b / "run.042").string(), (a / "run.043").string()},
                            o, e),
              1);
    EXPECT_NE(e.str().find((b / "run.042").string() + ": not extracted: run 042 was already " +
                           "extracted from " + (a / "run.042").string()),
              std::string::npos);
    EXPECT_EQ(test::readFile(out / "Battery.042"),
              test::readFile(runs / "expected_raw_debug" / "Battery.042"));
    const auto logBytes = test::readFile(out / "log.dat");
    const std::string log(logBytes.begin(), logBytes.end());
    const auto oneRun = test::readFile(runs / "expected_raw_debug" / "log.dat");
    EXPECT_EQ(log, "Run File " + (a / "run.042").string() + "\n" +
                       std::string(oneRun.begin(), oneRun.end()) + "Run File " +
                       (a / "run.043").string() + "\n" + std::string(oneRun.begin(), oneRun.end()));
}

}  // namespace
}  // namespace cvh

namespace cvh {
namespace {

TEST(NoticeLine, EveryLineBreakBecomesOneSpaceAndOtherBlanksStay) {
    EXPECT_EQ(
        noticeLine("Run.003 - File Upload Error", "File Transfer Stalled\nNothing was Received"),
        "Run.003 - File Upload Error: File Transfer Stalled Nothing was Received");
    EXPECT_EQ(
        noticeLine("", "File run.001 Exists ... Overwrite ?\n\n\tYes = Overwrite File\r\n\tNo"),
        "File run.001 Exists ... Overwrite ? Yes = Overwrite File No");
    EXPECT_EQ(noticeLine("C", "two  spaces\tand a tab"), "C: two  spaces\tand a tab");
}

}  // namespace
}  // namespace cvh
