#include "console/page_upload.h"

namespace cvh {

UploadPage::UploadPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSUpload"));
}

}  // namespace cvh
