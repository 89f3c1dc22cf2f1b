#ifndef CVH_CONSOLE_FORM_WARNING_H
#define CVH_CONSOLE_FORM_WARNING_H

#include <QDialog>

class QLabel;

namespace cvh {

// The warning window "WARNING!!!": one message line (Label1) and an OK button that closes it.
// The status display puts its text in and shows it without waiting.
class WarningForm : public QDialog {
    Q_OBJECT
public:
    explicit WarningForm(QWidget* parent = nullptr);

    void setMessage(const QString& text);
    QString message() const;

private:
    QLabel* message_ = nullptr;
};

}  // namespace cvh

#endif
