#include "console/sleep_binding.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "console/view_sync.h"
#include "session/host_session.h"

namespace cvh {

SleepBinding::SleepBinding(QDialog& form, HostSession& session, std::function<void()> changed)
    : QObject(&form), form_(form), session_(session), changed_(std::move(changed)) {
    ClockAndSleep& sleep = session_.clockAndSleep();
    METime_ = require<QLineEdit>(form, "METime");
    MEDate_ = require<QLineEdit>(form, "MEDate");
    connect(METime_, &QLineEdit::textEdited, this,
            [&sleep](const QString& text) { sleep.editSleepTime(text.toLatin1().toStdString()); });
    connect(MEDate_, &QLineEdit::textEdited, this,
            [&sleep](const QString& text) { sleep.editSleepDate(text.toLatin1().toStdString()); });
    connect(require<QPushButton>(form, "SleepButton"), &QPushButton::clicked, this, [this, &sleep] {
        sleep.sleepButtonClick();
        changed_();
    });
    connect(require<QPushButton>(form, "CancelButton"), &QPushButton::clicked, this,
            [this, &sleep] {
                sleep.sleepCancelClick();
                changed_();
            });
    // Escape or the title bar's close button: the same as CANCEL.
    connect(&form, &QDialog::rejected, this, [this, &sleep] {
        if (!sleep.sleepWindow().visible)
            return;
        sleep.sleepCancelClick();
        changed_();
    });
    HostTime_ = require<QLabel>(form, "HostTime");
    HostDate_ = require<QLabel>(form, "HostDate");
    SleepTime_ = require<QLabel>(form, "SleepTime");
    SleepDate_ = require<QLabel>(form, "SleepDate");
}

void SleepBinding::refresh() {
    const ClockAndSleep& sleep = session_.clockAndSleep();
    const SleepWindow& w = sleep.sleepWindow();
    if (METime_->text() != qs(w.METime))
        METime_->setText(qs(w.METime));
    if (MEDate_->text() != qs(w.MEDate))
        MEDate_->setText(qs(w.MEDate));
    const SleepClockView& clock = sleep.sleepClock();
    setText(HostTime_, clock.HostTime);
    setText(HostDate_, clock.HostDate);
    setText(SleepTime_, clock.SleepTime);
    setText(SleepDate_, clock.SleepDate);
    if (w.visible && !form_.isVisible()) {
        form_.show();
        form_.raise();
    } else if (!w.visible && form_.isVisible()) {
        form_.hide();
    }
}

}  // namespace cvh
