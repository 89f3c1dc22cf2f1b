#include "console/page_recording.h"

namespace cvh {

RecordingPage::RecordingPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSRecord"));
}

}  // namespace cvh
