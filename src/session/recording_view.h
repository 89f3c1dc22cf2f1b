// What the recording page (TSRecord) shows, worked out from the recorder's facts: the status
// line (also the page's tab caption), the file name and size labels, which buttons may be
// pressed, and the replay controls with their speed. Members carry the controls' names.
#pragma once

#include <cstdint>
#include <string>

#include "files/recorder.h"
#include "session/setup_exchange_forms.h"

namespace cvh {

struct ButtonView {
    std::string caption;
    bool enabled = true;
    bool visible = true;
    bool operator==(const ButtonView&) const = default;
};

// Each replay control keeps its own visibility: the host modes hide all six, and the host
// setup file stores and restores each one separately.
struct ReplayControlsVisibility {
    bool ReplayArchiveBT = true;
    bool ReplayContinuousBT = true;
    bool ReplaySpeedLB1 = true;
    bool ReplaySpeedLB2 = true;
    bool ReplaySpeedUD = true;
    bool ReplaySpeedEdit = true;
    void setAll(bool visible) { *this = {visible, visible, visible, visible, visible, visible}; }
    bool operator==(const ReplayControlsVisibility&) const = default;
};

struct RecordingPageView {
    std::string TSRecord;  // the page's tab caption: the status line
    LabelState RecordGB{"Record"};
    LabelState ReplayGB{"Replay"};
    LabelState RecordStatusGB{"Record Status"};
    ButtonView BTRecordArchive{"Record Archive"};
    ButtonView BTRecord1Hour{"1 Hour Archive Files"};
    ButtonView BTRecord1Day{"1 Day Archive Files"};
    ButtonView BTRecordRaw{"Record Raw Input", true, false};  // offered by no front end
    ButtonView BTStopRecord{"Stop"};
    ButtonView ReplayArchiveBT{"Replay Archive"};
    ButtonView ReplayContinuousBT{"Continuous Archive Replay"};
    ButtonView BTReplayRaw{"Replay Raw Input", true, false};  // has no action
    LabelState ReplaySpeedLB1{"Replay Speed"};
    LabelState ReplaySpeedLB2{"1 = Slow, 10 = Fast"};
    int ReplaySpeedUD = kReplaySpeedInitial;  // position, 1..10
    bool ReplaySpeedUDVisible = true;
    LabelState ReplaySpeedEdit{"6"};  // the spinner's edit box shows the position
    LabelState LBRecordStatus{"Recording:  OFF"};
    LabelState LBArchiveFileName;
    LabelState LBArchiveFileSize{"File Size:         0 K"};
    bool operator==(const RecordingPageView&) const = default;
};

// "Recording:  OFF" .. "Continuous Archive Replay:  %5.3lf secs".
std::string recordStatusText(RecordMode mode, double replaySeconds);
// "File Size:  %8ld K" with whole kilobytes.
std::string recordSizeText(std::int64_t sizeCounter);
// LBArchiveFileName: "Archive File:  %s", "1 Hour Archive File:  %s", ...; empty before any.
std::string archiveFileLabel(FileLabel label, const std::string& fileName);

RecordingPageView presentRecording(const RecorderState& recorder,
                                   const ReplayControlsVisibility& replayControls);

}  // namespace cvh
