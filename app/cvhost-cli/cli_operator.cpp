#include "cli_operator.h"

#include "files/extract_cli.h"
#include "files/run_upload.h"

namespace cvh {

void CliOperator::notice(const std::string& caption, const std::string& text, bool) {
    ++notices_;
    err_ << noticeLine(caption, text) << std::endl;
}

Answer CliOperator::askOkCancel(const std::string& caption, const std::string& text, Icon, bool) {
    err_ << noticeLine(caption, text) << " (Cancel)" << std::endl;
    return Answer::Cancel;
}

Answer CliOperator::askYesNo(const std::string& caption, const std::string& text, Icon, bool) {
    err_ << noticeLine(caption, text) << " (No)" << std::endl;
    return Answer::No;
}

Answer CliOperator::askYesNoCancel(const std::string& caption, const std::string& text, Icon) {
    // The one three-way question is the upload's "File ... Exists ... Overwrite ?": No skips
    // the run and keeps the file.
    const Answer answer = overwrite_ ? Answer::Yes : Answer::No;
    err_ << noticeLine(caption, text) << (overwrite_ ? " (Yes: overwritten)" : " (No: skipped)")
         << std::endl;
    return answer;
}

std::optional<std::string> CliOperator::openFile(const FileDialogRequest&) {
    return std::nullopt;
}

std::optional<std::string> CliOperator::saveFile(const FileDialogRequest& request) {
    if (uploadDirectory_.empty() || request.title != kUploadDialogTitle)
        return std::nullopt;
    // Only the folder counts for the upload, and "run.xxx" names no run, so every run file
    // that exists is asked about.
    return (uploadDirectory_ / "run.xxx").string();
}

}  // namespace cvh
