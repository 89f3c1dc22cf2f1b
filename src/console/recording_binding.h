// The recording page bound to the session's recorder: the start buttons and Stop run the
// recorder's operations (the start buttons ask for the file first), the speed spinner sets the
// replay speed, and refresh() copies the page's view into the widgets, the status line also
// into the page's tab caption.
#pragma once

#include <QObject>
#include <array>
#include <functional>

#include "session/recording_view.h"

class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace cvh {

class HostSession;

class RecordingBinding : public QObject {
    Q_OBJECT
public:
    RecordingBinding(QTabWidget& tabs, HostSession& session, std::function<void()> changed);
    void refresh();

private:
    struct BoundButton {
        QPushButton* widget = nullptr;
        ButtonView RecordingPageView::*view = nullptr;
    };

    QTabWidget& tabs_;
    HostSession& session_;
    std::function<void()> changed_;
    QWidget* page_ = nullptr;
    std::array<BoundButton, 8> buttons_{};
    std::array<QLabel*, 3> labels_{};
    std::array<QLabel*, 2> speedLabels_{};
    QSpinBox* ReplaySpeedUD_ = nullptr;
    QWidget* ReplaySpeedEdit_ = nullptr;
};

}  // namespace cvh
