// The annotation window (TAnnotationForm) bound to the PC logger controller: its buttons and
// spinner call the controller, the menu item "Annotate Archive File"
// shows it, and refresh() copies the labels, the edit and the visibility back.
#pragma once

#include <QObject>
#include <functional>

class QDialog;
class QLabel;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace cvh {

class HostSession;

class AnnotationBinding : public QObject {
    Q_OBJECT
public:
    // `form` is the annotation window; `window` holds the menu item MenuAnnotateFile.
    AnnotationBinding(QDialog& form, QWidget& window, HostSession& session,
                      std::function<void()> changed);

    void refresh();

private:
    QDialog& form_;
    HostSession& session_;
    std::function<void()> changed_;
    QSpinBox* UDNext_ = nullptr;
    QLabel* LBNext_ = nullptr;
    QLabel* AnnotateDANDT_ = nullptr;
    QLabel* LBAnnotation_ = nullptr;
    QLineEdit* EDITAnnotation_ = nullptr;
};

}  // namespace cvh
