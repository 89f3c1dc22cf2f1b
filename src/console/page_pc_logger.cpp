#include "console/page_pc_logger.h"

namespace cvh {

PcLoggerPage::PcLoggerPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSPCLogger"));
}

}  // namespace cvh
