#include "files/extract_cli.h"

namespace cvh {

namespace {

constexpr const char* kUsage =
    "usage: cvhost-extract [--raw] [--debug-log] [-o DIR] RUNFILE...\n"
    "Splits uploaded run files (run.NNN) into archive.NNN, Battery.NNN, Summary.NNN and log.dat.\n"
    "  --raw        also write the raw files (Port1..8.NNN, analog.NNN, timestp.NNN)\n"
    "  --debug-log  write the debug entries into log.dat\n"
    "  -o DIR       put the output files into DIR (default: the current directory)\n"
    "Notices go to standard error; the exit status is 0 when every run was extracted.\n";

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
    ExtractionState state;
    int status = 0;
    for (const auto& runFile : parsed->runFiles) {
        const ExtractReport report = extractRun(runFile, parsed->options, state, op);
        if (report.result == ExtractResult::Unreadable)
            err << "cvhost-extract: cannot read " << runFile.string() << "\n";
        if (report.filesNotWritten > 0)
            err << "cvhost-extract: " << runFile.string() << ": " << report.filesNotWritten
                << " output file(s) could not be written\n";
        if (report.result != ExtractResult::Done || report.filesNotWritten > 0)
            status = 1;
    }
    return status;
}

void StreamOperator::notice(const std::string& caption, const std::string& text, bool) {
    stream_ << caption << ": " << text << "\n";
}

Answer StreamOperator::askOkCancel(const std::string& caption, const std::string& text, Icon,
                                   bool) {
    stream_ << caption << ": " << text << " (Cancel)\n";
    return Answer::Cancel;
}

Answer StreamOperator::askYesNo(const std::string& caption, const std::string& text, Icon, bool) {
    stream_ << caption << ": " << text << " (No)\n";
    return Answer::No;
}

Answer StreamOperator::askYesNoCancel(const std::string& caption, const std::string& text, Icon) {
    stream_ << caption << ": " << text << " (Cancel)\n";
    return Answer::Cancel;
}

std::optional<std::string> StreamOperator::openFile(const FileDialogRequest&) {
    return std::nullopt;
}

std::optional<std::string> StreamOperator::saveFile(const FileDialogRequest&) {
    return std::nullopt;
}

}  // namespace cvh
