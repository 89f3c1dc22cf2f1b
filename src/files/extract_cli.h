// The command-line extraction tool: the same extraction as "Parse Run Files", for batch work
// without a display. main() only hands over its arguments and streams.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/operator.h"
#include "files/run_extract.h"

namespace cvh {

struct ExtractCliArgs {
    ExtractOptions options;
    std::vector<std::filesystem::path> runFiles;
    bool help = false;
};

// Parses `cvhost-extract [--raw] [--debug-log] [-o DIR] RUNFILE...`; nothing on a usage error,
// with the reason in `error`.
std::optional<ExtractCliArgs> parseExtractArgs(const std::vector<std::string>& args,
                                               std::string& error);

// Runs the tool (args without the program name); returns the exit status: 0 when every run was
// processed and every output written, 1 when one was not, 2 on a usage error. Every failure is
// told on `err` with the run file's path and the reason.
int runExtractCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A notice as one line, "caption: text": each line break, with the blanks around it, becomes
// one space, so a script reads one notice per line.
std::string noticeLine(const std::string& caption, const std::string& text);

// The operator of the command-line tools: notices as "caption: text" lines on a stream; each
// question gets the answer that loses nothing (Cancel, No; the upload's "Overwrite ?" is
// answered No, which skips the run and keeps the file, unless overwriting was allowed). The
// upload's save dialog is answered with the upload directory once one is set; every other
// dialog is cancelled, since nobody is there to answer.
class StreamOperator final : public Operator {
public:
    explicit StreamOperator(std::ostream& stream) : stream_(stream) {}
    void notice(const std::string& caption, const std::string& text, bool beep) override;
    Answer askOkCancel(const std::string& caption, const std::string& text, Icon icon,
                       bool beep) override;
    Answer askYesNo(const std::string& caption, const std::string& text, Icon icon,
                    bool beep) override;
    Answer askYesNoCancel(const std::string& caption, const std::string& text, Icon icon) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    void beep() override {}
    // What the notices are about (a run file's path); each notice line starts with it.
    void setSubject(std::string subject) { subject_ = std::move(subject); }
    // Where the upload's runs go.
    void setUploadDirectory(std::filesystem::path dir) { uploadDirectory_ = std::move(dir); }
    // The question before replacing a run file is answered Yes.
    void setOverwrite(bool on) { overwrite_ = on; }
    int notices() const { return notices_; }

private:
    std::ostream& stream_;
    std::string subject_;
    std::filesystem::path uploadDirectory_;
    bool overwrite_ = false;
    int notices_ = 0;
};

}  // namespace cvh
