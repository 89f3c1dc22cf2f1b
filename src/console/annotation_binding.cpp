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
#include "session/pc_logger_flow.h"

namespace cvh {

namespace {

template <class W>
W* child(QWidget& parent, const char* name) {
    return parent.findChild<W*>(QLatin1String(name));
}

}  // namespace

AnnotationBinding::AnnotationBinding(QDialog& form, QWidget& window, HostSession& session,
                                     std::function<void()> changed)
    : QObject(&form), form_(form), session_(session), changed_(std::move(changed)) {
    WaterSampleAnnotation& a = session_.pcLoggerFlow().annotation;
    const std::pair<const char*, void (WaterSampleAnnotation::*)()> buttons[] = {
        {"BTStart", &WaterSampleAnnotation::BTStartClick},
        {"BTEnd", &WaterSampleAnnotation::BTEndClick},
        {"BTSend", &WaterSampleAnnotation::BTSendClick},
        {"BTReset", &WaterSampleAnnotation::BTResetClick},
        {"BTClose", &WaterSampleAnnotation::BTCloseClick}};
    for (const auto& [name, action] : buttons) {
        if (auto* button = child<QPushButton>(form_, name))
            connect(button, &QPushButton::clicked, this, [this, &a, action = action] {
                (a.*action)();
                edited();
            });
    }
    if (auto* next = child<QSpinBox>(form_, "UDNext"))
        connect(next, &QSpinBox::valueChanged, this, [this, &a](int v) {
            a.UDNextClick(v);
            edited();
        });
    if (auto* edit = child<QLineEdit>(form_, "EDITAnnotation"))
        connect(edit, &QLineEdit::textEdited, this, [&a](const QString& text) {
            a.form.EDITAnnotation = text.toLatin1().toStdString();
        });
    // Closing the window by its frame hides it as "Close" does.
    connect(&form_, &QDialog::finished, this, [this, &a] {
        if (a.form.visible) {
            a.BTCloseClick();
            edited();
        }
    });
    if (auto* menu = window.findChild<QAction*>(QStringLiteral("MenuAnnotateFile")))
        connect(menu, &QAction::triggered, this, [this, &a] {
            a.show();
            edited();
        });
}

void AnnotationBinding::edited() {
    ++session_.revision;
    if (changed_)
        changed_();
}

void AnnotationBinding::refresh() {
    const AnnotationFormState& s = session_.pcLoggerFlow().annotation.form;
    applySpin(child<QSpinBox>(form_, "UDNext"), s.UDNext);
    setText(child<QLabel>(form_, "LBNext"), s.LBNext);
    setText(child<QLabel>(form_, "AnnotateDANDT"), s.AnnotateDANDT);
    setText(child<QLabel>(form_, "LBAnnotation"), s.LBAnnotation);
    if (auto* edit = child<QLineEdit>(form_, "EDITAnnotation")) {
        const QString text = qs(s.EDITAnnotation);
        if (edit->text() != text) {
            const QSignalBlocker block(edit);
            edit->setText(text);
        }
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
