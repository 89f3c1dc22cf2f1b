// The Upload page bound to the session's run upload: the directory, upload, cancel, parse and
// clear-memory buttons go to the session, and refresh() copies the page's state into the run
// list, the progress bar, its labels and the buttons named after the device.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QWidget;

namespace cvh {

class HostSession;

class UploadBinding : public QObject {
    Q_OBJECT
public:
    UploadBinding(QWidget& page, HostSession& session, std::function<void()> changed);
    void refresh();

private:
    // The LBProfiles lines selected, in list order.
    std::vector<int> selectedLines() const;

    HostSession& session_;
    std::function<void()> changed_;
    QListWidget* LBProfiles_ = nullptr;
    QProgressBar* UpLoadPB_ = nullptr;
    QLabel* UpLoadRun_ = nullptr;
    QLabel* UpLoadSize_ = nullptr;
    QLabel* CSError_ = nullptr;
    QPushButton* BTGetDirectory_ = nullptr;
    QPushButton* BTUpload_ = nullptr;
    QPushButton* BTCancelUpload_ = nullptr;
    QPushButton* BTExtract_ = nullptr;
    QPushButton* BTClearMemory_ = nullptr;
    std::vector<std::string> shownLines_;
};

}  // namespace cvh
