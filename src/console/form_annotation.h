#ifndef CVH_CONSOLE_FORM_ANNOTATION_H
#define CVH_CONSOLE_FORM_ANNOTATION_H

#include <QDialog>

namespace cvh {

// The water-sample annotation window.
// The controls carry their component names as objectName; the console connects them.
class AnnotationForm : public QDialog {
    Q_OBJECT
public:
    explicit AnnotationForm(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
