#include "console/form_warning.h"

namespace cvh {

WarningForm::WarningForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm2"));
}

}  // namespace cvh
