// The operator at the console, as the core sees it: notices, questions and file dialogs.
// The console shows real boxes; tests answer from a script and record what was asked.
#pragma once

#include <optional>
#include <string>

namespace cvh {

enum class Answer { Ok, Cancel, Yes, No };

enum class Icon { None, Exclamation, Question, Information, Error };

struct FileDialogRequest {
    std::string title;
    std::string filter;            // e.g. "Host Setup Files (*.cvh)"
    std::string defaultExtension;  // without dot, e.g. "cvh"
    std::string initialName;
};

class Operator {
public:
    virtual ~Operator() = default;

    // A modal box with one OK button; `beep` sounds the exclamation beep first.
    virtual void notice(const std::string& caption, const std::string& text, bool beep) = 0;
    // OK/Cancel question; returns Ok or Cancel.
    virtual Answer askOkCancel(const std::string& caption, const std::string& text, Icon icon,
                               bool beep) = 0;
    // Yes/No question; returns Yes or No.
    virtual Answer askYesNo(const std::string& caption, const std::string& text, Icon icon,
                            bool beep) = 0;
    // Yes/No/Cancel question.
    virtual Answer askYesNoCancel(const std::string& caption, const std::string& text,
                                  Icon icon) = 0;
    // File dialogs: the chosen path, or nothing when the operator cancelled.
    virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
    virtual void beep() = 0;
};

// Nobody at the console: notices are counted and dropped, questions answered Cancel or No,
// file dialogs cancelled. For benchmarks and fuzz targets, where no answer may change the run.
class NullOperator final : public Operator {
public:
    int notices = 0;
    void notice(const std::string&, const std::string&, bool) override { ++notices; }
    Answer askOkCancel(const std::string&, const std::string&, Icon, bool) override {
        return Answer::Cancel;
    }
    Answer askYesNo(const std::string&, const std::string&, Icon, bool) override {
        return Answer::No;
    }
    Answer askYesNoCancel(const std::string&, const std::string&, Icon) override {
        return Answer::Cancel;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return {}; }
    void beep() override {}
};

}  // namespace cvh
