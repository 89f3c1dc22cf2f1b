// The run directory and the upload of runs from the logger's memory into run files.
//
// The logger answers "Get Logger Directory" with one type-5 entry per run. An upload asks for
// each selected run in turn (paced by the 1 s tick); the logger sends it in type-4 blocks of up
// to 1024 data bytes, waits for the acknowledgement of each block by its number and ends the
// run with a block of no data. The host writes each block to "run.NNN", extracts the finished
// run, leaves a receipt beside every run that arrived whole and a line in "upload.log".
//
// A quiet line never leaves the upload hanging: an unanswered request is sent again after three
// TTimeout ticks (at most five requests), a transfer silent for ten ticks after its first block
// is requested again from an empty file (at most twice), and then the run is given up and the
// upload goes on with the next one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/file_write.h"
#include "base/operator.h"
#include "files/run_extract.h"
#include "files/run_receipt.h"
#include "link/command_frames.h"
#include "link/receive_consumers.h"
#include "link/run_directory.h"

namespace cvh {

enum class UploadPhase : int {
    Idle = 0,       // no run in flight
    Requested = 1,  // run requested, no block yet
    Receiving = 2,  // blocks arriving
};

// startNextRun's answer.
enum StartNextRunResult : int {
    kNoRunToStart = 0,
    kUploadAborted = 2,  // Cancel in the overwrite question
    kRunRequested = 6,
};

// What UpLoadRun says.
enum class UploadRunLabel { None, RunFile, Complete, Cancelled };
// What CSError says last: the run number of a directory entry, or the duplicate blocks.
enum class CountLabel { None, RunNumber, Duplicates };

// The upload's facts, read-only for the presenter and the session.
struct UploadFacts {
    int pendingRuns = 0;  // 0: no upload in progress
    bool requestSent = false;
    bool extracting = false;
    bool cancelRequested = false;
    UploadPhase phase = UploadPhase::Idle;
    std::int32_t idleTicks = 0;  // TTimeout ticks since the last block; kStopTicks stops it
    bool timeoutTimerEnabled = true;
    int currentRun = 0;
    std::int64_t expectedSize = 0;
    std::int64_t received = 0;    // data bytes written to the run file
    std::int64_t duplicates = 0;  // blocks received twice
    std::optional<std::uint16_t> lastBlock;
    std::int64_t progressScale = 1;
    std::filesystem::path uploadFolder;
    ExtractChoice extractKind = ExtractChoice::Archive;

    // Shown on the page.
    std::int64_t progressMaximum = 100;
    std::int64_t progressPosition = 0;
    UploadRunLabel runLabel = UploadRunLabel::None;
    std::string runFileName;
    std::optional<std::int64_t> shownKilobytes;  // UpLoadSize, once a block was written
    CountLabel countLabel = CountLabel::None;
    std::int64_t countValue = 0;
};

class RunUpload final : public UploadSink, public DirectorySink {
public:
    static constexpr std::int32_t kStopTicks = 999999;
    static constexpr int kReRequestAfterTicks = 3;  // unanswered request: sent again
    static constexpr int kMaxRunRequests = 5;       // unanswered requests before giving up
    static constexpr int kStallTicks = 10;          // silent ticks after the first block
    static constexpr int kMaxStallRequests = 2;     // stall re-requests before giving up

    // Splits a finished run file; the session wires it to the extraction with its own state.
    using Extractor = std::function<void(const std::filesystem::path& runFile, ExtractChoice)>;

    RunUpload(LoggerCommands& commands, Operator& op, const Clock& clock, Extractor extract);
    ~RunUpload() override;
    RunUpload(const RunUpload&) = delete;
    RunUpload& operator=(const RunUpload&) = delete;

    // "Get Logger Directory": needs the logger in standby (status code 9 or 30).
    void requestDirectory(int loggerOperationCode, const std::string& loggerDeviceName);
    void onDirectoryEntry(Bytes packet) override;
    // "Upload Logger Data" with the LBProfiles lines selected, the ExtractFilesRG index (-1:
    // none chosen) and the logger's serial number for the log.
    void startUpload(const std::vector<int>& selectedLines, int extractChoice,
                     int loggerSerialNumber);
    // Step 13 of the 1 s tick: starts the next run, sends an unanswered request again.
    void pacingStep();
    // Requests the next selected run (asking before overwriting a run file); a
    // StartNextRunResult.
    int startNextRun();
    void onUploadBlock(Bytes packet) override;
    // The TTimeout timer (1.5 s); the console runs it while timeoutTimerEnabled.
    void onTimeoutTick();
    // "Cancel Upload".
    void cancelUpload();
    // The host leaves without waiting longer for a logger that has not ended the run: the run in
    // flight is closed and logged as cancelled, and no further run is asked for.
    void abandonUpload();
    // "Clear Logger Memory", after the operator confirms.
    void clearMemory();

    const UploadFacts& facts() const { return facts_; }
    const RunDirectory& directory() const { return directory_; }
    bool uploading() const { return facts_.pendingRuns != 0; }
    // Called whenever something the upload page shows changed (the session marks the page).
    void setChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }
    // Called with each run's outcome as its line goes into the upload log.
    void setRunListener(std::function<void(const RunLogEntry&)> listener) {
        runDone_ = std::move(listener);
    }
    // Off: finished runs are kept as run files only (the command line's "--extract none").
    void setExtractRuns(bool on) { extractRuns_ = on; }

private:
    bool requestRun(int index);
    void concludeRun(RunResult result);
    void giveUp(const std::string& why);
    void endUpload(UploadRunLabel label);
    void reportFileError(const std::string& what, const FileError& error);
    void touch() {
        if (changed_)
            changed_();
    }

    LoggerCommands& commands_;
    Operator& operator_;
    const Clock& clock_;
    Extractor extract_;
    RunDirectory directory_;
    UploadFacts facts_;
    std::function<void()> changed_;
    std::function<void(const RunLogEntry&)> runDone_;
    bool extractRuns_ = true;

    // The run in flight.
    int currentIndex_ = -1;
    std::filesystem::path runPath_;
    AppendingFile runFile_;
    Sha256 digest_;
    std::optional<FileError> writeError_;
    int unansweredRequests_ = 0;
    int stallTicks_ = 0;
    int stallRequests_ = 0;
    int reRequests_ = 0;

    // The upload.
    std::optional<std::filesystem::path> confirmedFile_;  // the save dialog asked about it
    int loggerSerialNumber_ = 0;
};

// The title of the dialog that asks where the runs go.
inline constexpr const char* kUploadDialogTitle = "Save Logger File";
// The run file's name: "run.%03d".
std::string runFileName(int runNumber);
// 1, 10, 100 ... so that the progress bar's maximum (size / scale) is at most 3200.
std::int64_t progressScaleFor(std::int64_t size);

}  // namespace cvh
