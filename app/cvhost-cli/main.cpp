// cvhost-cli: the logger from a shell, without a window. The same host session as the console
// (receive loop, port manager, host setup file, recorder, upload, extraction), driven by a
// command: status, dir, upload, record, replay, extract.
#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli_host.h"
#include "commands.h"
#include "files/extract_cli.h"
#include "files/recorder.h"
#include "platform/exit_signals.h"
#include "session/command_line_rules.h"
#include "session/run_list.h"

namespace {

// A directory the upload can write into: tried with a file of its own, since permissions
// alone do not tell (a read-only mount, a full disk).
std::string unusableDirectory(const std::filesystem::path& dir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec))
        return dir.string() + ": not a directory";
    const auto probe = dir / ".cvhost-cli-write-test";
    {
        std::ofstream out(probe);
        if (!(out << "x") || !(out.flush()))
            return dir.string() + ": cannot be written to";
    }
    std::filesystem::remove(probe, ec);
    return {};
}

int usage(const std::string& text) {
    std::cerr << "cvhost-cli: " << text << "\nTry 'cvhost-cli --help'." << std::endl;
    return cvh::kExitUsage;
}

// Everything the command line says, filled in by CLI11.
struct CommandLine {
    cvh::GlobalOptions global;
    std::string runs;
    std::string outputDir = ".";
    std::string extractKind = "archive";
    bool overwrite = false;
    std::string continuous, hourly, daily, raw;
    double forSeconds = 0;
    cvh::ReplayOptions replay;
    CLI::App* statusCommand = nullptr;
    CLI::App* dirCommand = nullptr;
    CLI::App* uploadCommand = nullptr;
    CLI::App* recordCommand = nullptr;
    CLI::App* replayCommand = nullptr;
    CLI::App* extractCommand = nullptr;
};

void defineCommandLine(CLI::App& app, CommandLine& c) {
    using namespace cvh;
    app.require_subcommand(1);
    app.add_option("--port", c.global.port, "logger port COMn (default: that of last.cvh)");
    app.add_option("--line", c.global.line,
                   "line setting of the logger port, such as 9600 or 115200 (default: that of "
                   "last.cvh, else 9600)");
    app.add_option("--timeout", c.global.timeoutSeconds,
                   "seconds to wait for the logger's status record (default 10)")
        ->check(CLI::PositiveNumber);
    app.add_flag("-v,--verbose", c.global.verbose, "tell which port is used");

    c.statusCommand = app.add_subcommand("status", "print the logger's status and exit");
    c.dirCommand = app.add_subcommand("dir", "list the runs in the logger's memory");

    auto* upload = app.add_subcommand("upload", "upload runs into run files and extract them");
    c.uploadCommand = upload;
    upload->add_option("--runs", c.runs,
                       "runs to upload, such as 1,3-5 (default: every run "
                       "with data)");
    upload->add_option("-o", c.outputDir, "directory for the run files (default: .)");
    upload->add_option("--extract", c.extractKind, "archive, raw or none (default: archive)")
        ->check(CLI::IsMember({"archive", "raw", "none"}));
    upload->add_flag("--overwrite", c.overwrite, "replace existing run files (default: skip them)");

    auto* record = app.add_subcommand("record", "record the live data until stopped");
    c.recordCommand = record;
    auto* recordMode = record->add_option_group("mode", "what to record into");
    recordMode->add_option("--continuous", c.continuous, "one archive file");
    recordMode->add_option("--hourly", c.hourly, "one archive file an hour, named from BASE");
    recordMode->add_option("--daily", c.daily, "one archive file a day, named from BASE");
    recordMode->add_option("--raw", c.raw, "the logger port's raw bytes");
    recordMode->require_option(1);
    record->add_option("--for", c.forSeconds, "stop after this many seconds")
        ->check(CLI::PositiveNumber);

    auto* replay = app.add_subcommand("replay", "replay an archive through the receive path");
    c.replayCommand = replay;
    replay->add_option("FILE", c.replay.path, "archive file")->required();
    replay->add_option("--speed", c.replay.speed, "1 = slow .. 10 = fast")
        ->check(CLI::Range(kReplaySpeedMin, kReplaySpeedMax));
    replay->add_flag("--continuous", c.replay.continuous, "start over at the end");

    c.extractCommand =
        app.add_subcommand("extract",
                           "split run files as cvhost-extract does: [--raw] [--debug-log] [-o DIR] "
                           "RUNFILE...");
    c.extractCommand->prefix_command();
    c.extractCommand->set_help_flag();
}

// The upload's options checked before the logger is contacted: a usage error's text, or none.
std::string uploadOptionsOf(const CommandLine& c, cvh::UploadOptions& options) {
    using namespace cvh;
    if (!c.runs.empty()) {
        std::string error;
        options.runs = parseRunList(c.runs, error);
        if (!options.runs)
            return "--runs: " + error;
    }
    options.directory = c.outputDir;
    if (const std::string why = unusableDirectory(c.outputDir); !why.empty())
        return "-o " + why;
    options.extract = c.extractKind == "raw"    ? ExtractKind::Raw
                      : c.extractKind == "none" ? ExtractKind::None
                                                : ExtractKind::Archive;
    return {};
}

cvh::RecordOptions recordOptionsOf(const CommandLine& c) {
    using namespace cvh;
    RecordOptions options;
    options.forSeconds = c.forSeconds;
    for (const auto& [path, mode] :
         {std::pair{&c.continuous, RecordMode::Continuous},
          std::pair{&c.hourly, RecordMode::Hourly}, std::pair{&c.daily, RecordMode::Daily},
          std::pair{&c.raw, RecordMode::RawInput}})
        if (!path->empty()) {
            options.mode = mode;
            options.path = *path;
        }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace cvh;
    CLI::App app{
        "cvhost-cli: the data logger's host program from a shell, without a window.\n"
        "Works in the current directory: its comports.txt and last.cvh apply as in "
        "the console."};
    CommandLine c;
    defineCommandLine(app, c);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kExitDone : kExitUsage;
    }

    if (c.extractCommand->parsed())
        return runExtractCli(c.extractCommand->remaining(), std::cout, std::cerr);
    UploadOptions uploadOptions;
    if (c.uploadCommand->parsed())
        if (const std::string error = uploadOptionsOf(c, uploadOptions); !error.empty())
            return usage(error);
    const RecordOptions recordOptions = recordOptionsOf(c);

    QCoreApplication qt(argc, argv);
    installExitSignalHandlers();
    StreamOperator op(std::cerr);
    op.setOverwrite(c.overwrite);
    CliHost host(c.global, op);
    if (const auto failed = host.start(!c.replayCommand->parsed()))
        return *failed;
    if (c.statusCommand->parsed())
        return statusCommand(host);
    if (c.dirCommand->parsed())
        return dirCommand(host, op);
    if (c.uploadCommand->parsed())
        return uploadCommand(host, op, uploadOptions);
    if (c.recordCommand->parsed())
        return recordCommand(host, recordOptions);
    return replayCommand(host, c.replay);
}
