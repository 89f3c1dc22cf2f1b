#include "console/form_sleep.h"

namespace cvh {

SleepForm::SleepForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TSleepForm"));
}

}  // namespace cvh
