#include "console/form_annotation.h"

namespace cvh {

AnnotationForm::AnnotationForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAnnotationForm"));
}

}  // namespace cvh
