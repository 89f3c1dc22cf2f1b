// The recorder: records the data the host receives into archive files (one continuous file, one
// per hour or one per day of the PC clock) or the raw bytes of the logger port into one file,
// and replays archives through the receive path. One mode at a time; every mode goes back to
// Off only through stop. The receive loop reaches it through RecordSink and ReplaySource; the
// recording page through the operations below; the page shows the facts of state().
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "base/clock.h"
#include "base/operator.h"
#include "files/archive_replayer.h"
#include "files/archive_writer.h"
#include "link/receive_consumers.h"
#include "link/record_mode.h"

namespace cvh {

// Which kind of file LBArchiveFileName names; it keeps the last one after Stop.
enum class FileLabel { None, Archive, HourlyArchive, DailyArchive, RawInput };

// The recorder's facts, read-only outside the recorder.
struct RecorderState {
    RecordMode mode = RecordMode::Off;
    bool fileOpen = false;  // records go straight to the open file (cleared each minute)
    std::string baseName;   // the path chosen in the dialog
    std::string fileName;   // the file in use (hourly and daily: built from baseName)
    FileLabel label = FileLabel::None;
    std::int64_t sizeCounter = 0;  // bytes in the current file; while replaying, the read position
    int lastMinute = -1;           // PC clock minute at the last roll-over check
    int replaySpeed = kReplaySpeedInitial;  // ReplaySpeedUD, 1..10
    double replaySeconds = 0;               // since the replay started, as of the last 1 s tick
    ReplayEnd replayEnd = ReplayEnd::None;  // why the last replay asked to stop
    std::uint32_t writeFailures = 0;        // records, chunks or files that could not be written
    std::string lastFailure;                // the latest of them, "path: reason"
    std::uint32_t refusedRecords = 0;       // malformed records handed in, never written
};

enum class RecorderStart {
    Started,
    Cancelled,  // the operator cancelled the dialog
    Busy,       // another mode is active: stop first
    Failed,     // the file could not be created or opened (the operator was told, if at all)
};

class Recorder final : public RecordSink, public ReplaySource {
public:
    Recorder(Operator& op, const Clock& clock);

    // --- the recording page's buttons (each asks for its file first) ---------------------
    RecorderStart recordArchiveClick();     // BTRecordArchive: Continuous
    RecorderStart record1HourClick();       // BTRecord1Hour: Hourly
    RecorderStart record1DayClick();        // BTRecord1Day: Daily
    RecorderStart recordRawClick();         // BTRecordRaw: RawInput
    RecorderStart replayArchiveClick();     // ReplayArchiveBT: Replay
    RecorderStart replayContinuousClick();  // ReplayContinuousBT: ContinuousReplay
    void stopClick() { stop(); }            // BTStopRecord
    void setReplaySpeed(int position);      // ReplaySpeedUD
    // Where replayed packets take their sequence numbers from (the receive loop's memory).
    void setNextSequence(NextSequence next) { replayer_.setNextSequence(std::move(next)); }

    // The same starts as if the dialog had been confirmed with `path` (the command line).
    RecorderStart startRecording(RecordMode mode, const std::string& path);
    RecorderStart startReplay(RecordMode mode, const std::string& path);

    // Back to Off: closes whatever file is open. Safe to call in any mode.
    void stop();

    // --- ticks -----------------------------------------------------------------------------
    // 10 ms tick, after the receive step: a replay that asked to stop is stopped. True then.
    bool tick10ms();
    // 1 s tick: hourly and daily roll-over check, the replay's seconds.
    void tick1s();

    // --- receive loop ------------------------------------------------------------------------
    bool appendRaw(Bytes bytes) override;
    bool appendPacket(Bytes record, RecordMode mode) override;
    std::size_t nextReplayPacket(MutableBytes buffer) override;

    RecordMode mode() const { return state_.mode; }
    const RecorderState& state() const { return state_; }
    // True once after anything the recording page shows has changed (operations, the 1 s tick;
    // single records do not mark it, the size is shown once a second).
    bool takeChanged() { return std::exchange(changed_, false); }

private:
    RecorderStart askAndRecord(RecordMode mode, const char* title);
    RecorderStart askAndReplay(RecordMode mode, const char* title);
    // Creates a continuous archive or raw file (truncating); false (and told) when it cannot.
    bool startFile(ArchiveWriter& writer, FileLabel label, const std::string& path);
    // Builds the hour's or day's name and opens it for appending; sizeCounter = its length.
    std::optional<FileError> openCurrentFile(bool keepOpen);
    void minuteTick();
    void syncFailures();
    void reportCreateFailure(const std::string& what, const FileError& error);

    Operator& operator_;
    const Clock& clock_;
    RecorderState state_;
    ArchiveWriter archive_;
    ArchiveWriter raw_;
    ArchiveReplayer replayer_;
    std::uint32_t createFailures_ = 0;
    std::uint32_t archiveFailuresSeen_ = 0;
    std::uint32_t rawFailuresSeen_ = 0;
    std::int64_t replayStartMilliseconds_ = 0;
    bool changed_ = true;
};

}  // namespace cvh
