#include "session/recording_view.h"

#include "base/cformat.h"

namespace cvh {

std::string recordStatusText(RecordMode mode, double replaySeconds) {
    switch (mode) {
        case RecordMode::Off:
            return "Recording:  OFF";
        case RecordMode::RawInput:
            return "Recording:  Raw Input File";
        case RecordMode::Continuous:
            return "Recording:  Archive File";
        case RecordMode::Hourly:
            return "Recording:  1 Hour Archive";
        case RecordMode::Daily:
            return "Recording:  24 Hour Archive";
        case RecordMode::Replay:
            return cformat("Replay Archive:  %5.3lf secs", replaySeconds);
        case RecordMode::ContinuousReplay:
            return cformat("Continuous Archive Replay:  %5.3lf secs", replaySeconds);
    }
    return "Recording:  OFF";
}

std::string recordSizeText(std::int64_t sizeCounter) {
    return cformat("File Size:  %8ld K", static_cast<long>(sizeCounter / 1024));
}

std::string archiveFileLabel(FileLabel label, const std::string& fileName) {
    // By FileLabel: None, Archive, HourlyArchive, DailyArchive, RawInput.
    constexpr const char* kFormats[] = {nullptr, "Archive File:  %s", "1 Hour Archive File:  %s",
                                        "24 Hour Archive File:  %s", "Raw Input File:  %s"};
    const char* format = kFormats[static_cast<int>(label)];
    return format ? cformat(format, fileName.c_str()) : std::string();
}

RecordingPageView presentRecording(const RecorderState& recorder,
                                   const ReplayControlsVisibility& replayControls) {
    RecordingPageView v;
    const std::string status = recordStatusText(recorder.mode, recorder.replaySeconds);
    v.TSRecord = status;
    v.LBRecordStatus.caption = status;
    v.LBArchiveFileName.caption = archiveFileLabel(recorder.label, recorder.fileName);
    v.LBArchiveFileSize.caption = recordSizeText(recorder.sizeCounter);

    // A new recording or replay starts only from Off; Stop is always offered.
    const bool idle = recorder.mode == RecordMode::Off;
    for (ButtonView* b : {&v.BTRecordArchive, &v.BTRecordRaw, &v.BTRecord1Hour, &v.BTRecord1Day,
                          &v.ReplayArchiveBT, &v.BTReplayRaw, &v.ReplayContinuousBT})
        b->enabled = idle;

    v.ReplayArchiveBT.visible = replayControls.ReplayArchiveBT;
    v.ReplayContinuousBT.visible = replayControls.ReplayContinuousBT;
    v.ReplaySpeedLB1.visible = replayControls.ReplaySpeedLB1;
    v.ReplaySpeedLB2.visible = replayControls.ReplaySpeedLB2;
    v.ReplaySpeedUDVisible = replayControls.ReplaySpeedUD;
    v.ReplaySpeedEdit.visible = replayControls.ReplaySpeedEdit;
    v.ReplaySpeedUD = recorder.replaySpeed;
    v.ReplaySpeedEdit.caption = cformat("%d", recorder.replaySpeed);
    return v;
}

}  // namespace cvh
