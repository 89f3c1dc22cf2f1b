#include "console/page_port_setup.h"

namespace cvh {

PortSetupPage::PortSetupPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSPortSetup"));
}

}  // namespace cvh
