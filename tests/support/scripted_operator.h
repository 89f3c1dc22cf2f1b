// An Operator for tests: answers come from a queue, and every notice and question is recorded.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/operator.h"

namespace cvh::test {

struct Asked {
    std::string kind;  // "notice", "okcancel", "yesno", "yesnocancel", "open", "save"
    std::string caption;
    std::string text;
};

class ScriptedOperator : public Operator {
public:
    std::deque<Answer> answers;                      // for questions; default Ok / Yes
    std::deque<std::optional<std::string>> files;    // for file dialogs; default cancel
    std::vector<Asked> asked;
    std::vector<FileDialogRequest> fileRequests;  // every file dialog, in order
    int beeps = 0;
    // Runs whenever a notice or question is shown: time passing while a box is open, or events
    // arriving meanwhile.
    std::function<void(const Asked&)> whileShown;

    void notice(const std::string& caption, const std::string& text, bool beep) override {
        if (beep) ++beeps;
        asked.push_back({"notice", caption, text});
        if (whileShown) whileShown(asked.back());
    }
    Answer askOkCancel(const std::string& caption, const std::string& text, Icon,
                       bool beep) override {
        if (beep) ++beeps;
        asked.push_back({"okcancel", caption, text});
        if (whileShown) whileShown(asked.back());
        return next(Answer::Ok);
    }
    Answer askYesNo(const std::string& caption, const std::string& text, Icon,
                    bool beep) override {
        if (beep) ++beeps;
        asked.push_back({"yesno", caption, text});
        if (whileShown) whileShown(asked.back());
        return next(Answer::Yes);
    }
    Answer askYesNoCancel(const std::string& caption, const std::string& text, Icon) override {
        asked.push_back({"yesnocancel", caption, text});
        if (whileShown) whileShown(asked.back());
        return next(Answer::Yes);
    }
    std::optional<std::string> openFile(const FileDialogRequest& r) override {
        asked.push_back({"open", r.title, r.filter});
        fileRequests.push_back(r);
        if (whileShown) whileShown(asked.back());
        return nextFile();
    }
    std::optional<std::string> saveFile(const FileDialogRequest& r) override {
        asked.push_back({"save", r.title, r.filter});
        fileRequests.push_back(r);
        if (whileShown) whileShown(asked.back());
        return nextFile();
    }
    void beep() override { ++beeps; }

    std::vector<Asked> notices() const {
        std::vector<Asked> out;
        for (const auto& a : asked)
            if (a.kind == "notice") out.push_back(a);
        return out;
    }

private:
    Answer next(Answer fallback) {
        if (answers.empty()) return fallback;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> nextFile() {
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

}  // namespace cvh::test
