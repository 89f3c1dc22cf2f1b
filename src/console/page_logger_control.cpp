#include "console/page_logger_control.h"

namespace cvh {

LoggerControlPage::LoggerControlPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSLoggerControl"));
}

}  // namespace cvh
