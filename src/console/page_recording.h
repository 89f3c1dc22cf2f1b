#ifndef CVH_CONSOLE_PAGE_RECORDING_H
#define CVH_CONSOLE_PAGE_RECORDING_H

#include <QWidget>

namespace cvh {

// The Recording page: archive recording and replay controls.
// The controls carry their component names as objectName; the console connects them.
class RecordingPage : public QWidget {
    Q_OBJECT
public:
    explicit RecordingPage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
