// The operator of the command line: every notice is one line "caption: text" on standard
// error, and each question gets the answer that loses nothing (no overwrite, no clearing, no
// sleep) unless the command line allowed more. The upload's save dialog names the output
// directory; every other dialog is cancelled.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "base/operator.h"

namespace cvh {

class CliOperator final : public Operator {
public:
    explicit CliOperator(std::ostream& err) : err_(err) {}

    void notice(const std::string& caption, const std::string& text, bool beep) override;
    Answer askOkCancel(const std::string& caption, const std::string& text, Icon icon,
                       bool beep) override;
    Answer askYesNo(const std::string& caption, const std::string& text, Icon icon,
                    bool beep) override;
    Answer askYesNoCancel(const std::string& caption, const std::string& text, Icon icon) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    void beep() override {}

    // The upload's runs go into this directory (its save dialog is answered with it).
    void setUploadDirectory(std::filesystem::path dir) { uploadDirectory_ = std::move(dir); }
    // "--overwrite": the question before replacing a run file is answered Yes.
    void setOverwrite(bool on) { overwrite_ = on; }
    int notices() const { return notices_; }

private:
    std::ostream& err_;
    std::filesystem::path uploadDirectory_;
    bool overwrite_ = false;
    int notices_ = 0;
};

}  // namespace cvh
