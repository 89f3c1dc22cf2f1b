// The upload's rules that need no line: what the buttons refuse, what the save dialog proposes,
// the progress scale and clearing the logger's memory. The transfer itself is tested over a pty.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/clock.h"
#include "files/run_upload.h"
#include "link/command_frames.h"
#include "link/link_fixture.h"
#include "support/temp_dir.h"

namespace cvh {
namespace {

class RunUploadRules : public test::LinkFixture {
protected:
    RunUploadRules() { openSlot(0); }

    void entry(int run, std::uint32_t size) {
        DirectoryEntry e;
        e.runNumber = static_cast<std::int16_t>(run);
        e.runSizeBytes = size;
        upload.onDirectoryEntry(encodeDirectoryEntry(e));
    }
    // The command codes written to the logger so far, in order.
    std::vector<std::uint16_t> codesSent() {
        std::vector<std::uint16_t> codes;
        const auto& w = line(0).written;
        for (std::size_t at = 0; at + kCommandFrameLength <= w.size(); at += kCommandFrameLength)
            codes.push_back(static_cast<std::uint16_t>(w[at + 2] | w[at + 3] << 8));
        return codes;
    }

    test::TempDir dir{"cvh_upload_rules"};
    FixedClock clock;
    LoggerCommands commands{table, op};
    RunUpload upload{commands, op, clock, nullptr};
};

TEST_F(RunUploadRules, DirectoryIsAskedForOnlyInStandbyAndNotDuringAnUpload) {
    const struct {
        int code;
        bool sent;
    } cases[] = {{2, false}, {10, false}, {9, true}, {30, true}};
    for (const auto& c : cases) {
        line(0).written.clear();
        op.asked.clear();
        upload.requestDirectory(c.code, "CV-Logger");
        EXPECT_EQ(codesSent().size(), c.sent ? 1u : 0u) << c.code;
        EXPECT_EQ(op.asked.empty(), c.sent) << c.code;
    }
    upload.requestDirectory(2, "CV-Logger");
    EXPECT_EQ(op.notices().back().caption, "Directory Error");
    EXPECT_EQ(op.notices().back().text,
              "The CV-Logger Must be in Standby before the Directory can be Retrieved");

    entry(3, 5000);
    op.files.push_back((dir / "run.003").string());
    upload.startUpload({0}, 0, 1);
    ASSERT_TRUE(upload.uploading());
    line(0).written.clear();
    upload.requestDirectory(9, "CV-Logger");
    EXPECT_TRUE(codesSent().empty());
    EXPECT_EQ(op.notices().back().caption, "Unable to comply");
    EXPECT_EQ(op.notices().back().text, "Upload in progress");
}

TEST_F(RunUploadRules, StartUploadAsksForTheFolderWithTheRightProposal) {
    entry(5, 5000);
    entry(6, 0);
    entry(9, 700);
    EXPECT_EQ(upload.facts().countLabel, CountLabel::RunNumber);
    EXPECT_EQ(upload.facts().countValue, 9);

    upload.startUpload({0}, -1, 1);
    EXPECT_EQ(op.notices().back().text, "Please Select the File Types To Be Extracted");
    upload.startUpload({1}, 0, 1);  // only an empty run: nothing to ask
    EXPECT_TRUE(op.fileRequests.empty());

    upload.startUpload({0, 1}, 0, 1);  // the operator cancels the dialog
    ASSERT_EQ(op.fileRequests.size(), 1u);
    EXPECT_EQ(op.fileRequests[0].title, "Save Logger File");
    EXPECT_EQ(op.fileRequests[0].filter, "Run (run.000-run.999) (run.*)");
    EXPECT_EQ(op.fileRequests[0].initialName, "run.005");
    EXPECT_FALSE(upload.uploading());

    op.files.push_back((dir / "chosen.name").string());
    upload.startUpload({0, 2, 1}, 1, 1);
    EXPECT_EQ(op.fileRequests[1].initialName, "run.xxx");
    EXPECT_EQ(upload.facts().pendingRuns, 2);
    EXPECT_EQ(upload.facts().uploadFolder, dir.path());
    EXPECT_EQ(upload.facts().extractKind, ExtractChoice::ArchivePlusRaw);
}

TEST_F(RunUploadRules, ProgressScaleKeepsTheBarAtMostThirtyTwoHundred) {
    const std::pair<std::int64_t, std::int64_t> cases[] = {
        {0, 1}, {3200, 1}, {3201, 10}, {32000, 10}, {32001, 100}, {2097152, 1000}};
    for (const auto& [size, scale] : cases)
        EXPECT_EQ(progressScaleFor(size), scale) << size;
}

TEST_F(RunUploadRules, ClearMemoryAsksThenSendsEmptiesTheListAndWarns) {
    entry(1, 100);
    op.answers = {Answer::No, Answer::Yes};
    upload.clearMemory();
    EXPECT_TRUE(codesSent().empty());
    EXPECT_EQ(upload.directory().lines().size(), 1u);

    upload.clearMemory();
    EXPECT_EQ(codesSent(), std::vector<std::uint16_t>{0xBDBD});
    EXPECT_EQ(line(0).written[8], 1) << "argument B";
    EXPECT_TRUE(upload.directory().lines().empty());
    EXPECT_EQ(op.notices().back().caption, "**** WARNING ****");
}

TEST_F(RunUploadRules, CancelPressedWhileIdleDoesNotCancelTheNextUpload) {
    upload.cancelUpload();
    entry(4, 10);
    op.files.push_back((dir / "run.004").string());
    upload.startUpload({0}, 0, 1);
    upload.pacingStep();
    const std::array<std::uint8_t, 10> data{};
    upload.onUploadBlock(*encodeUploadBlock(1, data));
    const auto& w = line(0).written;
    ASSERT_EQ(codesSent(), (std::vector<std::uint16_t>{0xBABA, 0xA9A9}));
    EXPECT_EQ(w[kCommandFrameLength + 4], 1) << "argument A of the acknowledgement";
}

TEST_F(RunUploadRules, CancelWhileARequestWaitsForItsFirstBlockEndsAtTheNextTick) {
    entry(4, 10);
    op.files.push_back((dir / "run.004").string());
    upload.startUpload({0}, 0, 1);
    upload.pacingStep();
    upload.cancelUpload();
    EXPECT_TRUE(upload.uploading());
    upload.onTimeoutTick();
    EXPECT_FALSE(upload.uploading());
    EXPECT_EQ(upload.facts().runLabel, UploadRunLabel::Cancelled);
}

TEST_F(RunUploadRules, AbandonedRunIsClosedAndLoggedAsCancelled) {
    entry(4, 100);
    entry(5, 100);
    op.files.push_back((dir / "run.004").string());
    upload.startUpload({0, 1}, 0, 1);
    upload.pacingStep();
    const std::array<std::uint8_t, 10> data{};
    upload.onUploadBlock(*encodeUploadBlock(1, data));  // a logger that goes on sending
    upload.cancelUpload();
    upload.abandonUpload();
    EXPECT_FALSE(upload.uploading());
    EXPECT_EQ(upload.facts().runLabel, UploadRunLabel::Cancelled);
    EXPECT_EQ(std::filesystem::file_size(dir / "run.004"), 10u);
    std::ifstream log(dir / "upload.log");
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("run 004  announced 100  received 10"), std::string::npos) << text;
    EXPECT_NE(text.find("cancelled"), std::string::npos) << text;
    EXPECT_EQ(text.find("run 005"), std::string::npos) << text;
}

}  // namespace
}  // namespace cvh
