#ifndef CVH_CONSOLE_PAGE_RECORDING_H
#define CVH_CONSOLE_PAGE_RECORDING_H

#include <QWidget>

namespace cvh {

// The recording page: archive recording (continuous, hourly, daily; raw input is hidden),
// replay (single and continuous, with its speed), Stop, and the "Record Status" group with the
// status line, file name and file size. Every control carries its component name as objectName;
// ReplaySpeedUD is a QSpinBox whose text field is named ReplaySpeedEdit.
class RecordingPage : public QWidget {
    Q_OBJECT
public:
    explicit RecordingPage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
