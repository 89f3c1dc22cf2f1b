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
    EXPECT_EQ(e.str(), "Unknown Type:  26 1a: Record Not Saved\n");
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
    EXPECT_TRUE(std::filesystem::exists(out / "Battery.005"));

    std::ostringstream o3, e3;
    EXPECT_EQ(runExtractCli({"-o", (dir.path() / "nope").string(), "run.1"}, o3, e3), 2);
    EXPECT_EQ(runExtractCli({"--help"}, o3, e3), 0);
    EXPECT_NE(o3.str().find("usage: cvhost-extract"), std::string::npos);
}

}  // namespace
}  // namespace cvh
