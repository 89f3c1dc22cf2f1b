#include "console/annotation_binding.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "console/view_sync.h"
#include "files/annotation.h"
#include "session/host_session.h"

namespace cvh {

AnnotationBinding::AnnotationBinding(QDialog& form, QWidget& window, HostSession& session,
                                     std::function<void()> changed)
    : QObject(&form), form_(form), session_(session), changed_(std::move(changed)) {
    PcLoggerControl& pc = session_.pcLoggerControl();
    const std::pair<const char*, void (PcLoggerControl::*)()> buttons[] = {
        {"BTStart", &PcLoggerControl::startWaterSample},
        {"BTEnd", &PcLoggerControl::endWaterSample},
        {"BTSend", &PcLoggerControl::insertAnnotation},
        {"BTReset", &PcLoggerControl::resetSampleCount},
        {"BTClose", &PcLoggerControl::closeAnnotation}};
    for (const auto& [name, action] : buttons)
        connect(require<QPushButton>(form_, name), &QPushButton::clicked, this,
                [this, &pc, action = action] {
                    (pc.*action)();
                    changed_();
                });
    UDNext_ = require<QSpinBox>(form_, "UDNext");
    connect(UDNext_, &QSpinBox::valueChanged, this, [this, &pc](int v) {
        pc.nextSampleClick(v);
        changed_();
    });
    EDITAnnotation_ = require<QLineEdit>(form_, "EDITAnnotation");
    connect(EDITAnnotation_, &QLineEdit::textEdited, this,
            [&pc](const QString& text) { pc.editAnnotation(text.toLatin1().toStdString()); });
    LBNext_ = require<QLabel>(form_, "LBNext");
    AnnotateDANDT_ = require<QLabel>(form_, "AnnotateDANDT");
    LBAnnotation_ = require<QLabel>(form_, "LBAnnotation");
    // Closing the window by its frame hides it as "Close" does.
    connect(&form_, &QDialog::finished, this, [this, &pc] {
        if (pc.annotation().visible) {
            pc.closeAnnotation();
            changed_();
        }
    });
    connect(require<QAction>(window, "MenuAnnotateFile"), &QAction::triggered, this, [this, &pc] {
        pc.showAnnotation();
        changed_();
    });
}

void AnnotationBinding::refresh() {
    const AnnotationFormState& s = session_.pcLoggerControl().annotation();
    applySpin(UDNext_, s.UDNext);
    setText(LBNext_, s.LBNext);
    setText(AnnotateDANDT_, s.AnnotateDANDT);
    setText(LBAnnotation_, s.LBAnnotation);
    const QString text = qs(s.EDITAnnotation);
    if (EDITAnnotation_->text() != text) {
        const QSignalBlocker block(EDITAnnotation_);
        EDITAnnotation_->setText(text);
    }
    if (form_.isVisible() != s.visible) {
        if (s.visible) {
            form_.show();
            form_.raise();
        } else {
            form_.hide();
        }
    }
}

}  // namespace cvh
