#include "console/sleep_binding.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "console/view_sync.h"
#include "session/host_session.h"

namespace cvh {

SleepBinding::SleepBinding(QDialog& form, HostSession& session, std::function<void()> changed)
    : QObject(&form), form_(form), session_(session), changed_(std::move(changed)) {
    METime_ = form.findChild<QLineEdit*>(QStringLiteral("METime"));
    MEDate_ = form.findChild<QLineEdit*>(QStringLiteral("MEDate"));
    if (METime_)
        connect(METime_, &QLineEdit::textEdited, this, [this](const QString& text) {
            session_.sleepWindow.METime = text.toLatin1().toStdString();
        });
    if (MEDate_)
        connect(MEDate_, &QLineEdit::textEdited, this, [this](const QString& text) {
            session_.sleepWindow.MEDate = text.toLatin1().toStdString();
        });
    if (auto* sleep = form.findChild<QPushButton*>(QStringLiteral("SleepButton")))
        connect(sleep, &QPushButton::clicked, this, [this] {
            session_.sleepButtonClick();
            changed_();
        });
    if (auto* cancel = form.findChild<QPushButton*>(QStringLiteral("CancelButton")))
        connect(cancel, &QPushButton::clicked, this, [this] {
            session_.sleepCancelClick();
            changed_();
        });
    // Escape or the title bar's close button: the same as CANCEL.
    connect(&form, &QDialog::rejected, this, [this] {
        if (!session_.sleepWindow.visible)
            return;
        session_.sleepCancelClick();
        changed_();
    });
}

void SleepBinding::refresh() {
    const SleepWindow& w = session_.sleepWindow;
    if (METime_ && METime_->text() != qs(w.METime))
        METime_->setText(qs(w.METime));
    if (MEDate_ && MEDate_->text() != qs(w.MEDate))
        MEDate_->setText(qs(w.MEDate));
    if (w.visible && !form_.isVisible()) {
        form_.show();
        form_.raise();
    } else if (!w.visible && form_.isVisible()) {
        form_.hide();
    }
}

}  // namespace cvh
