#include "files/extract_cli.h"

#include <map>
#include <system_error>

#include "base/cformat.h"
#include "files/extract_debug_log.h"
#include "files/run_file.h"
#include "files/run_upload.h"

namespace cvh {

namespace {

constexpr const char* kUsage =
    "usage: cvhost-extract [--raw] [--debug-log] [-o DIR] RUNFILE...\n"
    "Splits uploaded run files (run.NNN) into archive.NNN, Battery.NNN, Summary.NNN and log.dat.\n"
    "  --raw        also write the raw files (Port1..8.NNN, analog.NNN, timestp.NNN)\n"
    "  --debug-log  write the debug entries into log.dat\n"
    "  -o DIR       put the output files into DIR (default: the current directory)\n"
    "log.dat holds one section per run, headed \"Run File <path>\". A second run file with the\n"
    "run number of an earlier one is not extracted (its outputs would replace the first's).\n"
    "Notices go to standard error, each after the run file it is about; the exit status is 0\n"
    "when every run was extracted and every output written.\n";

// The outputs go to the folder, except the debug log: the tool keeps each run's log and
// writes them all as one log.dat at the end, so no run's log replaces another's.
class ToolTarget final : public ExtractTarget {
public:
    explicit ToolTarget(const std::filesystem::path& folder) : folder_(folder) {}
    std::unique_ptr<ExtractOutput> create(const std::string& name) override {
        return name == kDebugLogName ? logs_.create(name) : folder_.create(name);
    }
    // Appends the section of the run just extracted, if it made one.
    void takeLog(const std::filesystem::path& runFile) {
        const auto it = logs_.outputs.find(kDebugLogName);
        if (it == logs_.outputs.end())
            return;
        combined_ += "Run File " + runFile.string() + "\n";
        combined_.append(it->second.begin(), it->second.end());
        logs_.outputs.erase(it);
        any_ = true;
    }
    std::optional<FileError> writeLog() {
        auto file = folder_.create(kDebugLogName);
        file->write(combined_);
        return any_ ? file->commit() : std::nullopt;
    }

private:
    FolderTarget folder_;
    MemoryTarget logs_;
    std::string combined_;
    bool any_ = false;
};

// Why a run produced nothing, for the line that names its file.
std::string failureReason(const ExtractReport& report) {
    switch (report.result) {
        case ExtractResult::Done:
            return "";
        case ExtractResult::BadFileName:
            return "no run number after the last '.' of the name";
        case ExtractResult::Unreadable:
            return report.inputError ? report.inputError->reason : "cannot be read";
        case ExtractResult::TooShort:
            return "empty or shorter than one record header";
        case ExtractResult::NotProcessed:
            return "the first record header is not plausible";
    }
    return "";
}

}  // namespace

std::optional<ExtractCliArgs> parseExtractArgs(const std::vector<std::string>& args,
                                               std::string& error) {
    ExtractCliArgs parsed;
    bool optionsEnded = false;
    bool outputGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            if (a == "--") {
                optionsEnded = true;
            } else if (a == "--raw") {
                parsed.options.choice = ExtractChoice::ArchivePlusRaw;
            } else if (a == "--debug-log") {
                parsed.options.debugLog = true;
            } else if (a == "-h" || a == "--help") {
                parsed.help = true;
            } else if (a == "-o") {
                if (i + 1 >= args.size()) {
                    error = "-o needs a directory";
                    return std::nullopt;
                }
                if (outputGiven) {
                    error = "-o given twice";
                    return std::nullopt;
                }
                parsed.options.outputDirectory = args[++i];
                outputGiven = true;
            } else {
                error = "unknown option " + a;
                return std::nullopt;
            }
            continue;
        }
        parsed.runFiles.emplace_back(a);
    }
    if (!parsed.help && parsed.runFiles.empty()) {
        error = "no run file given";
        return std::nullopt;
    }
    return parsed;
}

int runExtractCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string error;
    const auto parsed = parseExtractArgs(args, error);
    if (!parsed) {
        err << "cvhost-extract: " << error << "\n" << kUsage;
        return 2;
    }
    if (parsed->help) {
        out << kUsage;
        return 0;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(parsed->options.outputDirectory, ec)) {
        err << "cvhost-extract: " << parsed->options.outputDirectory.string()
            << " is not a directory\n";
        return 2;
    }

    StreamOperator op(err);
    ToolTarget target(parsed->options.outputDirectory);
    ExtractOptions options = parsed->options;
    options.target = &target;
    ExtractionState state;
    std::map<int, std::filesystem::path> extracted;  // run number: the file it came from
    int status = 0;
    for (const auto& runFile : parsed->runFiles) {
        const std::string name = runFile.string();
        op.setSubject(name);
        if (const auto run = runNumberFromPath(runFile)) {
            const auto [earlier, first] = extracted.try_emplace(*run, runFile);
            if (!first) {
                err << "cvhost-extract: " << name << ": not extracted: run "
                    << cformat("%03d", *run) << " was already extracted from "
                    << earlier->second.string() << " and its outputs would be replaced\n";
                status = 1;
                continue;
            }
        }
        const ExtractReport report = extractRun(runFile, options, state, op);
        target.takeLog(runFile);
        if (report.result != ExtractResult::Done) {
            err << "cvhost-extract: " << name << ": " << failureReason(report) << "\n";
            status = 1;
        }
        for (const FileError& e : report.unwritten)
            err << "cvhost-extract: " << name << ": not written: " << e.describe() << "\n";
        if (!report.unwritten.empty()) {
            err << "cvhost-extract: " << name << ": " << report.unwritten.size()
                << " output file(s) could not be written\n";
            status = 1;
        }
    }
    op.setSubject("");
    if (const auto e = target.writeLog()) {
        err << "cvhost-extract: not written: " << e->describe() << "\n";
        status = 1;
    }
    return status;
}

std::string noticeLine(const std::string& caption, const std::string& text) {
    // The overwrite question has no caption: its text stands alone.
    std::string line = caption.empty() ? "" : caption + ": ";
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    for (std::size_t i = 0; i < text.size();) {
        if (!blank(text[i])) {
            line += text[i++];
            continue;
        }
        const std::size_t start = i;
        bool lineBreak = false;
        for (; i < text.size() && blank(text[i]); ++i)
            lineBreak = lineBreak || text[i] == '\n' || text[i] == '\r';
        if (lineBreak)
            line += ' ';
        else
            line.append(text, start, i - start);
    }
    return line;
}

void StreamOperator::notice(const std::string& caption, const std::string& text, bool) {
    ++notices_;
    if (!subject_.empty())
        stream_ << subject_ << ": ";
    stream_ << noticeLine(caption, text) << std::endl;
}

Answer StreamOperator::askOkCancel(const std::string& caption, const std::string& text, Icon,
                                   bool) {
    stream_ << noticeLine(caption, text) << " (Cancel)" << std::endl;
    return Answer::Cancel;
}

Answer StreamOperator::askYesNo(const std::string& caption, const std::string& text, Icon, bool) {
    stream_ << noticeLine(caption, text) << " (No)" << std::endl;
    return Answer::No;
}

Answer StreamOperator::askYesNoCancel(const std::string& caption, const std::string& text, Icon) {
    // The one three-way question is the upload's "File ... Exists ... Overwrite ?", where No
    // skips the run and Cancel would abort the upload.
    stream_ << noticeLine(caption, text) << (overwrite_ ? " (Yes: overwritten)" : " (No: skipped)")
            << std::endl;
    return overwrite_ ? Answer::Yes : Answer::No;
}

std::optional<std::string> StreamOperator::openFile(const FileDialogRequest&) {
    return std::nullopt;
}

std::optional<std::string> StreamOperator::saveFile(const FileDialogRequest& request) {
    if (uploadDirectory_.empty() || request.title != kUploadDialogTitle)
        return std::nullopt;
    // Only the folder counts for the upload, and "run.xxx" names no run, so every run file
    // that exists is asked about.
    return (uploadDirectory_ / "run.xxx").string();
}

}  // namespace cvh
