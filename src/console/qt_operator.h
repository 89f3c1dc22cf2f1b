// The operator at the console: Qt message boxes with the exclamation beep, questions and file
// dialogs. Notices from timer ticks reach here only after the tick has returned (the session
// defers them), so a box never holds up reception.
#pragma once

#include <QWidget>

#include "base/operator.h"

namespace cvh {

class QtOperator : public Operator {
public:
    explicit QtOperator(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void notice(const std::string& caption, const std::string& text, bool beep) override;
    Answer askOkCancel(const std::string& caption, const std::string& text, Icon icon,
                       bool beep) override;
    Answer askYesNo(const std::string& caption, const std::string& text, Icon icon,
                    bool beep) override;
    Answer askYesNoCancel(const std::string& caption, const std::string& text, Icon icon) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    void beep() override;

private:
    QWidget* parent_;
};

}  // namespace cvh
