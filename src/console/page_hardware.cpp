#include "console/page_hardware.h"

namespace cvh {

HardwarePage::HardwarePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSHardware"));
}

}  // namespace cvh
