// The recording page as the recorder's facts show it: status line and tab caption, file name and
// size, which buttons may be pressed, and the replay controls.
#include <gtest/gtest.h>

#include "files/extract_test_util.h"
#include "session/recording_view.h"
#include "support/scripted_operator.h"
#include "support/temp_dir.h"

namespace cvh {
namespace {

TEST(RecordingView, StatusLineFileLabelAndSizeByMode) {
    const struct {
        RecordMode mode;
        FileLabel label;
        const char* status;
        const char* fileLabel;
    } rows[] = {
        {RecordMode::Off, FileLabel::None, "Recording:  OFF", ""},
        {RecordMode::RawInput, FileLabel::RawInput, "Recording:  Raw Input File",
         "Raw Input File:  f"},
        {RecordMode::Continuous, FileLabel::Archive, "Recording:  Archive File",
         "Archive File:  f"},
        {RecordMode::Hourly, FileLabel::HourlyArchive, "Recording:  1 Hour Archive",
         "1 Hour Archive File:  f"},
        {RecordMode::Daily, FileLabel::DailyArchive, "Recording:  24 Hour Archive",
         "24 Hour Archive File:  f"},
        {RecordMode::Replay, FileLabel::Archive, "Replay Archive:  12.345 secs",
         "Archive File:  f"},
        {RecordMode::ContinuousReplay, FileLabel::Archive, "Continuous Archive Replay:  0.500 secs",
         "Archive File:  f"},
    };
    for (const auto& r : rows) {
        RecorderState s;
        s.mode = r.mode;
        s.label = r.label;
        s.fileName = "f";
        s.replaySeconds = r.mode == RecordMode::Replay ? 12.345 : 0.5;
        s.sizeCounter = 2047;
        const RecordingPageView v = presentRecording(s, {});
        EXPECT_EQ(v.LBRecordStatus.caption, r.status);
        EXPECT_EQ(v.TSRecord, r.status);
        EXPECT_EQ(v.LBArchiveFileName.caption, r.fileLabel);
        EXPECT_EQ(v.LBArchiveFileSize.caption, "File Size:         1 K");
        // The seven start buttons only from Off; Stop always.
        const bool idle = r.mode == RecordMode::Off;
        for (const ButtonView* b :
             {&v.BTRecordArchive, &v.BTRecordRaw, &v.BTRecord1Hour, &v.BTRecord1Day,
              &v.ReplayArchiveBT, &v.BTReplayRaw, &v.ReplayContinuousBT})
            EXPECT_EQ(b->enabled, idle) << b->caption;
        EXPECT_TRUE(v.BTStopRecord.enabled);
    }
    EXPECT_EQ(recordSizeText(1023), "File Size:         0 K");
    EXPECT_EQ(recordSizeText(1024), "File Size:         1 K");
}

TEST(RecordingView, EachReplayControlKeepsItsOwnVisibility) {
    RecorderState s;
    s.replaySpeed = 9;
    ReplayControlsVisibility shown;
    shown.ReplayContinuousBT = false;
    shown.ReplaySpeedEdit = false;
    const RecordingPageView v = presentRecording(s, shown);
    EXPECT_TRUE(v.ReplayArchiveBT.visible);
    EXPECT_FALSE(v.ReplayContinuousBT.visible);
    EXPECT_TRUE(v.ReplaySpeedLB1.visible);
    EXPECT_TRUE(v.ReplaySpeedLB2.visible);
    EXPECT_TRUE(v.ReplaySpeedUDVisible);
    EXPECT_FALSE(v.ReplaySpeedEdit.visible);
    EXPECT_EQ(v.ReplaySpeedUD, 9);
    EXPECT_EQ(v.ReplaySpeedEdit.caption, "9");
    // Raw recording and its replay are offered by no front end.
    EXPECT_FALSE(v.BTRecordRaw.visible);
    EXPECT_FALSE(v.BTReplayRaw.visible);
    EXPECT_EQ(RecordingPageView{}.ReplaySpeedUD, 6);
}

// A single replay ends by itself: the stop request of its last tick becomes Stop on the same
// 10 ms tick, and the page shows the seconds since the replay started.
TEST(RecordingView, ASingleReplayStopsItselfAtTheEnd) {
    test::TempDir dir;
    test::writeFile(dir / "a.arc", test::archiveBytes(1, 1, 1, 0, 0, {1}, {'x'}));
    FixedClock clock;
    test::ScriptedOperator op;
    Recorder recorder(op, clock);
    clock.nowMilliseconds = 5000;
    ASSERT_EQ(recorder.startReplay(RecordMode::Replay, (dir / "a.arc").string()),
              RecorderStart::Started);
    std::array<std::uint8_t, 4132> buffer{};
    EXPECT_EQ(recorder.nextReplayPacket(buffer), 37u);  // first tick at speed 6
    EXPECT_FALSE(recorder.tick10ms());
    clock.nowMilliseconds = 6250;
    recorder.tick1s();
    EXPECT_EQ(presentRecording(recorder.state(), {}).LBRecordStatus.caption,
              "Replay Archive:  1.250 secs");
    EXPECT_EQ(presentRecording(recorder.state(), {}).LBArchiveFileSize.caption,
              "File Size:         0 K");
    int ticks = 1;
    while (recorder.mode() == RecordMode::Replay && ticks < 10) {
        recorder.nextReplayPacket(buffer);
        recorder.tick10ms();
        ++ticks;
    }
    EXPECT_EQ(ticks, 4);  // 19 / 6 = 3 ticks a packet: the end is found on the fourth
    EXPECT_EQ(recorder.state().replayEnd, ReplayEnd::EndOfFile);
    const RecordingPageView v = presentRecording(recorder.state(), {});
    EXPECT_EQ(v.LBRecordStatus.caption, "Recording:  OFF");
    EXPECT_EQ(v.LBArchiveFileName.caption, "Archive File:  " + (dir / "a.arc").string());
    EXPECT_TRUE(v.ReplayArchiveBT.enabled);
    EXPECT_TRUE(op.asked.empty());
}

}  // namespace
}  // namespace cvh
