// The annotation window (TAnnotationForm) bound to the session's WaterSampleAnnotation: its
// buttons and spinner call the annotation's handlers, the menu item "Annotate Archive File"
// shows it, and refresh() copies the labels, the edit and the visibility back.
#pragma once

#include <QObject>
#include <functional>

class QDialog;
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
    void edited();

    QDialog& form_;
    HostSession& session_;
    std::function<void()> changed_;
};

}  // namespace cvh
