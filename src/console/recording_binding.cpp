#include "console/recording_binding.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include "console/view_sync.h"
#include "session/host_session.h"

namespace cvh {

namespace {

using Start = RecorderStart (Recorder::*)();

struct ButtonRow {
    const char* name;
    ButtonView RecordingPageView::*view;
    Start start;  // nullptr: Stop, or a button without action
};

constexpr ButtonRow kButtons[] = {
    {"BTRecordArchive", &RecordingPageView::BTRecordArchive, &Recorder::recordArchiveClick},
    {"BTRecord1Hour", &RecordingPageView::BTRecord1Hour, &Recorder::record1HourClick},
    {"BTRecord1Day", &RecordingPageView::BTRecord1Day, &Recorder::record1DayClick},
    {"BTRecordRaw", &RecordingPageView::BTRecordRaw, &Recorder::recordRawClick},
    {"ReplayArchiveBT", &RecordingPageView::ReplayArchiveBT, &Recorder::replayArchiveClick},
    {"ReplayContinuousBT", &RecordingPageView::ReplayContinuousBT,
     &Recorder::replayContinuousClick},
    {"BTReplayRaw", &RecordingPageView::BTReplayRaw, nullptr},
    {"BTStopRecord", &RecordingPageView::BTStopRecord, nullptr},
};

// The status line, file name and size labels, in this order.
constexpr LabelState RecordingPageView::*kLabels[] = {&RecordingPageView::LBRecordStatus,
                                                      &RecordingPageView::LBArchiveFileName,
                                                      &RecordingPageView::LBArchiveFileSize};
constexpr const char* kLabelNames[] = {"LBRecordStatus", "LBArchiveFileName", "LBArchiveFileSize"};

}  // namespace

RecordingBinding::RecordingBinding(QTabWidget& tabs, HostSession& session,
                                   std::function<void()> changed)
    : QObject(&tabs), tabs_(tabs), session_(session), changed_(std::move(changed)) {
    page_ = require<QWidget>(tabs_, "TSRecord");
    Recorder& recorder = session_.recorder();
    std::size_t i = 0;
    for (const ButtonRow& row : kButtons) {
        auto* button = require<QPushButton>(*page_, row.name);
        buttons_[i++] = {button, row.view};
        if (row.start) {
            connect(button, &QPushButton::clicked, this, [this, &recorder, start = row.start] {
                (recorder.*start)();
                changed_();
            });
        } else if (row.view == &RecordingPageView::BTStopRecord) {
            connect(button, &QPushButton::clicked, this, [this, &recorder] {
                recorder.stopClick();
                changed_();
            });
        }
    }
    for (std::size_t l = 0; l < labels_.size(); ++l)
        labels_[l] = require<QLabel>(*page_, kLabelNames[l]);
    speedLabels_ = {require<QLabel>(*page_, "ReplaySpeedLB1"),
                    require<QLabel>(*page_, "ReplaySpeedLB2")};
    ReplaySpeedUD_ = require<QSpinBox>(*page_, "ReplaySpeedUD");
    ReplaySpeedEdit_ = require<QLineEdit>(*page_, "ReplaySpeedEdit");
    // refresh() sets the value with signals blocked: only the operator's edits arrive here.
    connect(ReplaySpeedUD_, &QSpinBox::valueChanged, this, [this, &recorder](int position) {
        recorder.setReplaySpeed(position);
        changed_();
    });
}

void RecordingBinding::refresh() {
    const RecordingPageView v = session_.recordingPage();
    const int index = tabs_.indexOf(page_);
    if (tabs_.tabText(index) != qs(v.TSRecord))
        tabs_.setTabText(index, qs(v.TSRecord));
    for (const BoundButton& b : buttons_) {
        if (!b.widget)
            continue;
        const ButtonView& view = v.*(b.view);
        setText(b.widget, view.caption);
        if (b.widget->isEnabled() != view.enabled)
            b.widget->setEnabled(view.enabled);
        setShown(b.widget, view.visible);
    }
    for (std::size_t l = 0; l < labels_.size(); ++l)
        applyLabel(labels_[l], v.*kLabels[l]);
    applyLabel(speedLabels_[0], v.ReplaySpeedLB1);
    applyLabel(speedLabels_[1], v.ReplaySpeedLB2);
    applySpin(ReplaySpeedUD_, v.ReplaySpeedUD);
    setShown(ReplaySpeedUD_, v.ReplaySpeedUDVisible);
    setShown(ReplaySpeedEdit_, v.ReplaySpeedEdit.visible);
}

}  // namespace cvh
