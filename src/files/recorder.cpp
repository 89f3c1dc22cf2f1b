#include "files/recorder.h"

#include <algorithm>

#include "files/archive_names.h"
#include "files/archive_record.h"

namespace cvh {

namespace {

constexpr const char* kArchiveWhat = "Archive File";
constexpr const char* kRawWhat = "Raw Data File";

// Raw recordings are offered with their own extension; archives take any name.
FileDialogRequest rawDialog() {
    return FileDialogRequest{"Record Raw File", "Raw Files (*.raw);;All Files (*.*)", "raw", ""};
}

}  // namespace

Recorder::Recorder(Operator& op, const Clock& clock)
    : operator_(op), clock_(clock), archive_(op, kArchiveWhat), raw_(op, kRawWhat) {}

// --- starting ---------------------------------------------------------------------------------

RecorderStart Recorder::recordArchiveClick() {
    return askAndRecord(RecordMode::Continuous, "Record Continuous Archive");
}

RecorderStart Recorder::record1HourClick() {
    return askAndRecord(RecordMode::Hourly, "Record 1 Hour Archive");
}

RecorderStart Recorder::record1DayClick() {
    return askAndRecord(RecordMode::Daily, "Record 1 Day Archive");
}

RecorderStart Recorder::recordRawClick() {
    return askAndRecord(RecordMode::RawInput, nullptr);
}

RecorderStart Recorder::replayArchiveClick() {
    return askAndReplay(RecordMode::Replay, "Open Archive For Replay");
}

RecorderStart Recorder::replayContinuousClick() {
    return askAndReplay(RecordMode::ContinuousReplay, "Open Archive For Continuous Replay");
}

RecorderStart Recorder::askAndRecord(RecordMode mode, const char* title) {
    // The buttons are disabled while a mode is active; the dialog is not even shown.
    if (state_.mode != RecordMode::Off)
        return RecorderStart::Busy;
    const FileDialogRequest request =
        mode == RecordMode::RawInput ? rawDialog() : FileDialogRequest{title, "", "", ""};
    const auto path = operator_.saveFile(request);
    if (!path)
        return RecorderStart::Cancelled;
    return startRecording(mode, *path);
}

RecorderStart Recorder::askAndReplay(RecordMode mode, const char* title) {
    if (state_.mode != RecordMode::Off)
        return RecorderStart::Busy;
    const auto path = operator_.openFile(FileDialogRequest{title, "", "", ""});
    if (!path)
        return RecorderStart::Cancelled;
    return startReplay(mode, *path);
}

void Recorder::reportCreateFailure(const std::string& what, const FileError& error) {
    ++createFailures_;
    syncFailures();
    state_.lastFailure = error.describe();
    operator_.notice(kFileErrorCaption, "Unable to Create " + what + "\n" + error.describe(), true);
}

bool Recorder::startFile(ArchiveWriter& writer, FileLabel label, const std::string& path) {
    if (auto error = writer.open(path, AppendingFile::Start::Truncate)) {
        reportCreateFailure(writer.what(), *error);
        return false;
    }
    state_.baseName = state_.fileName = path;
    state_.label = label;
    state_.sizeCounter = 0;
    state_.fileOpen = true;
    return true;
}

RecorderStart Recorder::startRecording(RecordMode mode, const std::string& path) {
    if (state_.mode != RecordMode::Off)
        return RecorderStart::Busy;
    changed_ = true;
    switch (mode) {
        case RecordMode::Continuous:
            // A continuous archive starts afresh, truncating a file of the same name.
            if (!startFile(archive_, FileLabel::Archive, path))
                return RecorderStart::Failed;
            break;
        case RecordMode::Hourly:
        case RecordMode::Daily:
            // Hourly and daily files are appended to, so a restart within the hour (or day)
            // continues the same file. Opening it once now tells the operator at once when it
            // cannot be written; it is opened for good at the first record.
            state_.baseName = path;
            state_.mode = mode;
            if (auto error = openCurrentFile(false)) {
                state_.mode = RecordMode::Off;
                reportCreateFailure(kArchiveWhat, *error);
                return RecorderStart::Failed;
            }
            break;
        case RecordMode::RawInput:
            if (!startFile(raw_, FileLabel::RawInput, path))
                return RecorderStart::Failed;
            break;
        default:
            return RecorderStart::Failed;
    }
    state_.mode = mode;
    return RecorderStart::Started;
}

RecorderStart Recorder::startReplay(RecordMode mode, const std::string& path) {
    if (state_.mode != RecordMode::Off)
        return RecorderStart::Busy;
    if (!isReplay(mode))
        return RecorderStart::Failed;
    // An archive that cannot be opened leaves everything as it was.
    if (!replayer_.open(path, mode == RecordMode::ContinuousReplay))
        return RecorderStart::Failed;
    state_.mode = mode;
    state_.baseName = state_.fileName = path;
    state_.label = FileLabel::Archive;
    state_.sizeCounter = 0;
    state_.replaySeconds = 0;
    state_.replayEnd = ReplayEnd::None;
    replayStartMilliseconds_ = clock_.milliseconds();
    changed_ = true;
    return RecorderStart::Started;
}

void Recorder::setReplaySpeed(int position) {
    const int speed = std::clamp(position, kReplaySpeedMin, kReplaySpeedMax);
    if (speed != state_.replaySpeed)
        changed_ = true;
    state_.replaySpeed = speed;
}

// --- stopping and ticks -------------------------------------------------------------------------

void Recorder::stop() {
    if (state_.mode != RecordMode::Off) {
        state_.mode = RecordMode::Off;
        // In hourly and daily modes the roll-over may have closed the file already; closing a
        // closed file does nothing.
        archive_.close();
        raw_.close();
        if (replayer_.isOpen()) {
            state_.replayEnd = replayer_.end();
            replayer_.close();
        }
        state_.fileOpen = false;
        syncFailures();
    }
    changed_ = true;
}

bool Recorder::tick10ms() {
    if (!replayer_.stopRequested())
        return false;
    replayer_.clearStopRequest();
    stop();
    return true;
}

void Recorder::tick1s() {
    if (state_.mode == RecordMode::Hourly || state_.mode == RecordMode::Daily)
        minuteTick();
    if (isReplay(state_.mode))
        state_.replaySeconds =
            static_cast<double>(clock_.milliseconds() - replayStartMilliseconds_) * 0.001;
    syncFailures();
    changed_ = true;
}

void Recorder::minuteTick() {
    const int minute = clock_.localTime(clock_.utcSeconds()).minute;
    if (minute == state_.lastMinute)
        return;
    state_.lastMinute = minute;
    // Closed once a minute; the next record reopens the file, under a new name when the hour
    // (or day) has changed.
    if (state_.fileOpen) {
        archive_.close();
        state_.fileOpen = false;
    }
}

std::optional<FileError> Recorder::openCurrentFile(bool keepOpen) {
    const CalendarTime local = clock_.localTime(clock_.utcSeconds());
    const bool hourly = state_.mode == RecordMode::Hourly;
    state_.fileName = hourly ? hourlyArchiveName(state_.baseName, local)
                             : dailyArchiveName(state_.baseName, local);
    state_.label = hourly ? FileLabel::HourlyArchive : FileLabel::DailyArchive;
    if (auto error = archive_.open(state_.fileName, AppendingFile::Start::Append))
        return error;
    state_.sizeCounter = static_cast<std::int64_t>(archive_.size());
    if (keepOpen)
        state_.fileOpen = true;
    else
        archive_.close();
    return std::nullopt;
}

void Recorder::syncFailures() {
    // The writer whose count moved holds the latest failure; a start's is set by
    // reportCreateFailure.
    for (auto& [writer, seen] :
         {std::pair{&archive_, &archiveFailuresSeen_}, std::pair{&raw_, &rawFailuresSeen_}}) {
        if (writer->failures() != *seen)
            state_.lastFailure = writer->lastFailure();
        *seen = writer->failures();
    }
    state_.writeFailures = createFailures_ + archive_.failures() + raw_.failures();
}

// --- receive loop --------------------------------------------------------------------------------

bool Recorder::appendRaw(Bytes bytes) {
    if (state_.mode != RecordMode::RawInput || bytes.empty())
        return false;
    if (!raw_.write(bytes)) {
        syncFailures();
        return false;
    }
    state_.sizeCounter += static_cast<std::int64_t>(bytes.size());
    return true;
}

bool Recorder::appendPacket(Bytes record, RecordMode mode) {
    if (!isArchiving(state_.mode) || mode != state_.mode)
        return false;
    // Only whole, non-empty records of the size their header announces reach the file.
    if (!isWritableArchiveRecord(record)) {
        ++state_.refusedRecords;
        return false;
    }
    // Hourly and daily files are opened at the first record after a start or a minute change.
    if (state_.mode != RecordMode::Continuous && !state_.fileOpen) {
        if (auto error = openCurrentFile(true)) {
            archive_.reportFailure(*error);
            syncFailures();
            return false;
        }
    }
    if (!archive_.write(record)) {
        syncFailures();
        return false;
    }
    state_.sizeCounter += static_cast<std::int64_t>(record.size());
    return true;
}

std::size_t Recorder::nextReplayPacket(MutableBytes buffer) {
    if (!isReplay(state_.mode))
        return 0;
    const std::size_t n = replayer_.nextPacket(buffer, state_.replaySpeed);
    state_.sizeCounter = static_cast<std::int64_t>(replayer_.position());
    return n;
}

}  // namespace cvh
