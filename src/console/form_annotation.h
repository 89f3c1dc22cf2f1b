#ifndef CVH_CONSOLE_FORM_ANNOTATION_H
#define CVH_CONSOLE_FORM_ANNOTATION_H

#include <QDialog>

namespace cvh {

// The stay-on-top window "Annotate Archive File": the next water-sample number (UDNext with
// LBNext), the annotation edit EDITAnnotation, the last annotation (AnnotateDANDT, LBAnnotation)
// and the buttons BTStart, BTEnd, BTSend, BTReset, BTClose. Every control carries its component
// name as objectName; the console connects them.
class AnnotationForm : public QDialog {
    Q_OBJECT
public:
    explicit AnnotationForm(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
