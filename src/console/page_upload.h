#ifndef CVH_CONSOLE_PAGE_UPLOAD_H
#define CVH_CONSOLE_PAGE_UPLOAD_H

#include <QWidget>

namespace cvh {

// The Upload Logger Data page: run directory, upload and extraction controls.
// The controls carry their component names as objectName; the console connects them.
class UploadPage : public QWidget {
    Q_OBJECT
public:
    explicit UploadPage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
