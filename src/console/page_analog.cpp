#include "console/page_analog.h"

namespace cvh {

AnalogPage::AnalogPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSAnalog"));
}

}  // namespace cvh
