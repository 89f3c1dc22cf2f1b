#include "files/run_upload.h"

#include <algorithm>
#include <system_error>

#include "base/cformat.h"

namespace cvh {

namespace {

constexpr std::int64_t kProgressLimit = 3200;

// The logger answers directory and upload requests only while it stands by.
bool loggerStandsBy(int operationCode) {
    return operationCode == 9 || operationCode == 30;
}

std::string uploadErrorCaption(int runNumber) {
    return cformat("Run.%03d - File Upload Error", runNumber);
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec))
        return true;
    return a.lexically_normal() == b.lexically_normal();
}

}  // namespace

std::string runFileName(int runNumber) {
    return cformat("run.%03d", runNumber);
}

std::int64_t progressScaleFor(std::int64_t size) {
    std::int64_t scale = 1;
    while (size > kProgressLimit * scale)
        scale *= 10;
    return scale;
}

RunUpload::RunUpload(LoggerCommands& commands, Operator& op, const Clock& clock, Extractor extract)
    : commands_(commands), operator_(op), clock_(clock), extract_(std::move(extract)) {}

RunUpload::~RunUpload() = default;

// --- directory -------------------------------------------------------------------------------

void RunUpload::requestDirectory(int loggerOperationCode, const std::string& loggerDeviceName) {
    if (uploading()) {
        operator_.notice("Unable to comply", "Upload in progress", true);
        return;
    }
    if (!loggerStandsBy(loggerOperationCode)) {
        operator_.notice("Directory Error",
                         cformat("The %s Must be in Standby before the Directory can be Retrieved",
                                 loggerDeviceName.c_str()),
                         true);
        return;
    }
    directory_.clear();
    facts_.pendingRuns = 0;
    facts_.requestSent = false;
    facts_.extracting = false;
    facts_.cancelRequested = false;
    commands_.sendCommand(CommandCode::GetDirectory);
    touch();
}

void RunUpload::onDirectoryEntry(Bytes packet) {
    const auto entry = decodeDirectoryEntry(packet);
    if (!entry)
        return;
    facts_.countLabel = CountLabel::RunNumber;
    facts_.countValue = entry->runNumber;
    directory_.add(*entry, operator_);
    touch();
}

void RunUpload::clearMemory() {
    if (!commands_.confirmClearMemory())
        return;
    directory_.clearLines();
    touch();
    operator_.notice("**** WARNING ****",
                     "The status must return to Standby before removing power or any other "
                     "action is taken",
                     true);
}

// --- starting an upload ------------------------------------------------------------------------

void RunUpload::startUpload(const std::vector<int>& selectedLines, int extractChoice,
                            int loggerSerialNumber) {
    if (uploading()) {
        operator_.notice("Unable to comply", "Upload in progress", true);
        return;
    }
    const auto choice = chosenExtraction(extractChoice, operator_);
    if (!choice)
        return;
    facts_.extractKind = *choice;

    // Runs left selected by a cancelled upload are not part of this one.
    for (int i = 0; i < directory_.entryCount(); ++i)
        directory_.entry(i).selected = false;
    int count = 0;
    int onlyRun = 0;
    const auto& lines = directory_.lines();
    for (int position : selectedLines) {
        if (position < 0 || position >= static_cast<int>(lines.size()))
            continue;
        RunDirectoryEntry& e =
            directory_.entry(lines[static_cast<std::size_t>(position)].entryIndex);
        if (e.runSize <= 0 || e.selected)
            continue;
        e.selected = true;
        ++count;
        onlyRun = e.runNumber;
    }
    if (count == 0)
        return;

    FileDialogRequest dialog;
    dialog.title = kUploadDialogTitle;
    dialog.filter = "Run (run.000-run.999) (run.*)";
    dialog.initialName = count == 1 ? runFileName(onlyRun) : "run.xxx";
    const auto chosen = operator_.saveFile(dialog);
    if (!chosen) {
        for (int i = 0; i < directory_.entryCount(); ++i)
            directory_.entry(i).selected = false;
        return;
    }
    // Only the folder counts: every run keeps its own name in it.
    const std::filesystem::path chosenPath(*chosen);
    facts_.uploadFolder = chosenPath.has_parent_path() ? chosenPath.parent_path() : ".";
    // The dialog has asked before replacing the one file it was confirmed for.
    confirmedFile_.reset();
    if (count == 1)
        confirmedFile_ = chosenPath;
    loggerSerialNumber_ = loggerSerialNumber;
    facts_.pendingRuns = count;
    facts_.cancelRequested = false;
    facts_.requestSent = false;
    touch();
}

// --- pacing ---------------------------------------------------------------------------------

void RunUpload::pacingStep() {
    UploadFacts& f = facts_;
    if (f.pendingRuns != 0 && f.idleTicks >= kReRequestAfterTicks && f.idleTicks < kStopTicks) {
        if (f.phase == UploadPhase::Requested) {
            if (!f.extracting) {
                if (unansweredRequests_ >= kMaxRunRequests) {
                    giveUp(
                        cformat("File Transfer Stalled - No Answer to %d Run Requests\n"
                                "Nothing was Received",
                                kMaxRunRequests));
                }
                f.requestSent = false;  // sent again below
            }
        } else {
            f.idleTicks = 0;
        }
    }
    if (f.pendingRuns == 0 || f.requestSent || f.extracting)
        return;
    // A cancel pressed between two runs ends the upload before another run is asked for.
    if (f.cancelRequested) {
        endUpload(UploadRunLabel::Cancelled);
        return;
    }
    f.requestSent = true;
    f.idleTicks = 0;
    const int r = startNextRun();
    if (r == kUploadAborted) {
        f.runLabel = UploadRunLabel::Cancelled;
        touch();
    } else if (r == kRunRequested) {
        f.timeoutTimerEnabled = true;
        f.idleTicks = 0;
    }
}

int RunUpload::startNextRun() {
    UploadFacts& f = facts_;
    for (int i = 0; i < directory_.entryCount(); ++i) {
        const RunDirectoryEntry& e = directory_.entry(i);
        if (!e.selected)
            continue;
        // The same run again: its request went unanswered, its file is still empty.
        if (i == currentIndex_ && f.phase == UploadPhase::Requested) {
            ++reRequests_;
            if (requestRun(i))
                return kRunRequested;
            continue;
        }

        const std::string name = runFileName(e.runNumber);
        const std::filesystem::path path = f.uploadFolder / name;
        std::error_code ec;
        const bool holdsData = std::filesystem::is_regular_file(path, ec) &&
                               std::filesystem::file_size(path, ec) > 0 && !ec;
        const bool confirmed = confirmedFile_ && sameFile(*confirmedFile_, path);
        confirmedFile_.reset();
        Answer answer = Answer::Yes;
        if (holdsData && !confirmed) {
            answer = operator_.askYesNoCancel(
                "",
                cformat("File %s Exists ... Overwrite ?\n\n%cYes = Overwrite File\n%cNo = Skip "
                        "file\n%cCancel = Abort Upload",
                        name.c_str(), '\t', '\t', '\t'),
                Icon::Question);
        }
        if (answer == Answer::Cancel) {
            f.pendingRuns = 0;
            f.requestSent = false;
            f.extracting = false;
            f.cancelRequested = false;
            directory_.entry(i).selected = false;
            touch();
            return kUploadAborted;
        }
        if (answer == Answer::No) {
            directory_.entry(i).selected = false;
            --f.pendingRuns;
            continue;
        }

        reRequests_ = 0;
        stallRequests_ = 0;
        unansweredRequests_ = 0;
        if (requestRun(i))
            return kRunRequested;
    }
    // Nothing selected is left (the directory was reloaded under the upload): it is over.
    if (f.pendingRuns != 0) {
        f.pendingRuns = 0;
        f.requestSent = false;
    }
    return kNoRunToStart;
}

bool RunUpload::requestRun(int index) {
    UploadFacts& f = facts_;
    const RunDirectoryEntry& e = directory_.entry(index);
    currentIndex_ = index;
    f.currentRun = e.runNumber;
    f.phase = UploadPhase::Requested;
    f.idleTicks = 0;
    stallTicks_ = 0;
    runPath_ = f.uploadFolder / runFileName(e.runNumber);

    // Every request starts the file anew: the logger sends the run from its first block.
    if (runFile_.isOpen())
        runFile_.close();
    writeError_ = runFile_.open(runPath_, AppendingFile::Start::Truncate);
    f.expectedSize = e.runSize;
    f.progressScale = progressScaleFor(f.expectedSize);
    f.progressMaximum = f.expectedSize / f.progressScale;
    f.progressPosition = 0;
    f.received = 0;
    f.duplicates = 0;
    // A new run may begin with the number the previous one ended on.
    f.lastBlock.reset();
    digest_.reset();
    touch();
    if (writeError_) {
        reportFileError("Unable to Create the Run File", *writeError_);
        concludeRun(RunResult::WriteError);
        return false;
    }
    commands_.sendCommand(CommandCode::UploadRun, 0, static_cast<std::uint16_t>(e.runNumber));
    ++unansweredRequests_;
    return true;
}

// --- blocks ---------------------------------------------------------------------------------

void RunUpload::onUploadBlock(Bytes packet) {
    if (!runFile_.isOpen())
        return;
    const auto block = decodeUploadBlock(packet);
    if (!block)
        return;  // a data length no block can have: left for the logger to send again
    UploadFacts& f = facts_;
    // Every block is acknowledged, repeats and the final one included. After a failed write
    // the logger is asked to end the run, as for a cancel.
    const bool stop = f.cancelRequested || writeError_.has_value();
    commands_.sendCommand(CommandCode::AcknowledgeBlock, stop ? 2 : 1, block->blockNumber);
    f.idleTicks = 0;
    stallTicks_ = 0;
    unansweredRequests_ = 0;

    const auto d = static_cast<std::int64_t>(block->dataLength);
    if (d > 0 && f.lastBlock == block->blockNumber) {
        ++f.duplicates;
    } else if (d > 0) {
        f.phase = UploadPhase::Receiving;
        if (!writeError_) {
            if (auto error = runFile_.writeRecord(block->data)) {
                writeError_ = error;
                reportFileError("Unable to Write the Run File", *error);
            } else {
                f.received += d;
                digest_.update(block->data);
            }
        }
        f.progressPosition = f.received / f.progressScale;
        f.runLabel = UploadRunLabel::RunFile;
        f.runFileName = runPath_.filename().string();
        f.shownKilobytes = f.received / 1024;
        f.countLabel = CountLabel::Duplicates;
        f.countValue = f.duplicates;
        touch();
    }
    f.lastBlock = block->blockNumber;
    if (d != 0)
        return;

    // The end of the run.
    if (auto error = runFile_.close(); error && !writeError_) {
        writeError_ = error;
        reportFileError("Unable to Write the Run File", *error);
    }
    RunResult result = RunResult::Complete;
    if (writeError_) {
        result = RunResult::WriteError;
    } else if (f.cancelRequested) {
        result = RunResult::Cancelled;
    } else if (f.received != f.expectedSize) {
        result = RunResult::SizeMismatch;
        operator_.notice(uploadErrorCaption(f.currentRun),
                         f.expectedSize > f.received ? "File Sent is Smaller than Expected"
                                                     : "File Sent is Bigger than Expected",
                         true);
    }
    concludeRun(result);
}

// --- the TTimeout timer ------------------------------------------------------------------------

void RunUpload::onTimeoutTick() {
    UploadFacts& f = facts_;
    if (!f.timeoutTimerEnabled)
        return;
    if (f.idleTicks == kStopTicks) {
        f.timeoutTimerEnabled = false;
        f.idleTicks = 0;
        return;
    }
    if (f.extracting)
        return;
    ++f.idleTicks;
    if (f.pendingRuns == 0)
        return;
    if (f.phase == UploadPhase::Receiving)
        ++stallTicks_;

    // Cancel while nothing arrives: no block will carry the request to the logger.
    const bool silent = f.phase == UploadPhase::Requested ||
                        (f.phase == UploadPhase::Receiving && stallTicks_ >= 2);
    if (f.cancelRequested && silent) {
        concludeRun(RunResult::Cancelled);
        return;
    }
    if (f.phase != UploadPhase::Receiving || stallTicks_ < kStallTicks)
        return;
    if (stallRequests_ < kMaxStallRequests) {
        ++stallRequests_;
        ++reRequests_;
        requestRun(currentIndex_);
        return;
    }
    giveUp(
        cformat("File Transfer Stalled - No Data for %d Seconds\n"
                "The Partial File is Kept but not Extracted",
                kStallTicks * 3 / 2));
}

void RunUpload::cancelUpload() {
    // Only an upload in progress can be cancelled; a stray press must not cancel the next one.
    if (uploading())
        facts_.cancelRequested = true;
}

void RunUpload::abandonUpload() {
    if (!uploading())
        return;
    facts_.cancelRequested = true;
    if (facts_.phase != UploadPhase::Idle)
        concludeRun(RunResult::Cancelled);  // ends the upload as well
    else
        endUpload(UploadRunLabel::Cancelled);
}

// --- the end of a run ----------------------------------------------------------------------------

void RunUpload::giveUp(const std::string& why) {
    operator_.notice(uploadErrorCaption(facts_.currentRun), why, true);
    concludeRun(RunResult::Stalled);
}

void RunUpload::concludeRun(RunResult result) {
    UploadFacts& f = facts_;
    if (runFile_.isOpen()) {
        if (auto error = runFile_.close(); error && result != RunResult::WriteError) {
            reportFileError("Unable to Write the Run File", *error);
            result = RunResult::WriteError;
        }
    }
    f.phase = UploadPhase::Idle;
    f.timeoutTimerEnabled = false;
    f.requestSent = false;
    if (f.pendingRuns > 0)
        --f.pendingRuns;
    if (currentIndex_ >= 0)
        directory_.entry(currentIndex_).selected = false;

    // Only a run that arrived to its final block gets a receipt: the receipt covers what came.
    if (result == RunResult::Complete || result == RunResult::SizeMismatch) {
        if (auto error = writeReceipt(runPath_, digest_.hex()))
            reportFileError("Unable to Write the Receipt", *error);
    }
    // A cancelled run's partial file is extracted as well; a stalled or failed one is not.
    const bool extract = result == RunResult::Complete || result == RunResult::SizeMismatch ||
                         (result == RunResult::Cancelled && f.received > 0);
    if (extract && extract_ && extractRuns_) {
        f.extracting = true;
        extract_(runPath_, f.extractKind);
        f.extracting = false;
    }

    RunLogEntry log;
    log.loggerSerialNumber = loggerSerialNumber_;
    log.runNumber = f.currentRun;
    log.announcedBytes = f.expectedSize;
    log.receivedBytes = f.received;
    log.duplicateBlocks = f.duplicates;
    log.reRequests = reRequests_;
    log.result = result;
    const std::string line = uploadLogLine(clock_.localTime(clock_.utcSeconds()), log);
    if (auto error = appendUploadLog(f.uploadFolder, line))
        reportFileError("Unable to Write the Upload Log", *error);
    if (runDone_)
        runDone_(log);

    currentIndex_ = -1;
    if (f.pendingRuns == 0) {
        f.runLabel = UploadRunLabel::Complete;
        f.idleTicks = kStopTicks;
    }
    if (f.cancelRequested)
        endUpload(UploadRunLabel::Cancelled);
    touch();
}

void RunUpload::endUpload(UploadRunLabel label) {
    UploadFacts& f = facts_;
    f.pendingRuns = 0;
    f.requestSent = false;
    f.extracting = false;
    f.cancelRequested = false;
    f.runLabel = label;
    for (int i = 0; i < directory_.entryCount(); ++i)
        directory_.entry(i).selected = false;
    touch();
}

void RunUpload::reportFileError(const std::string& what, const FileError& error) {
    operator_.notice(uploadErrorCaption(facts_.currentRun), what + "\n" + error.describe(), true);
}

}  // namespace cvh
