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

}  // namespace

int main(int argc, char** argv) {
    using namespace cvh;
    CLI::App app{
        "cvhost-cli: the data logger's host program from a shell, without a window.\n"
        "Works in the current directory: its comports.txt and last.cvh apply as in "
        "the console."};
    app.require_subcommand(1);
    GlobalOptions global;
    app.add_option("--port", global.port, "logger port COMn (default: that of last.cvh)");
    app.add_option("--line", global.line,
                   "line setting of the logger port, such as 9600 or 115200 (default: that of "
                   "last.cvh, else 9600)");
    app.add_option("--timeout", global.timeoutSeconds,
                   "seconds to wait for the logger's status record (default 10)")
        ->check(CLI::PositiveNumber);
    app.add_flag("-v,--verbose", global.verbose, "tell which port is used");

    auto* status = app.add_subcommand("status", "print the logger's status and exit");
    auto* dir = app.add_subcommand("dir", "list the runs in the logger's memory");

    auto* upload = app.add_subcommand("upload", "upload runs into run files and extract them");
    std::string runs;
    std::string outputDir = ".";
    std::string extractKind = "archive";
    bool overwrite = false;
    upload->add_option("--runs", runs,
                       "runs to upload, such as 1,3-5 (default: every run "
                       "with data)");
    upload->add_option("-o", outputDir, "directory for the run files (default: .)");
    upload->add_option("--extract", extractKind, "archive, raw or none (default: archive)")
        ->check(CLI::IsMember({"archive", "raw", "none"}));
    upload->add_flag("--overwrite", overwrite, "replace existing run files (default: skip them)");

    auto* record = app.add_subcommand("record", "record the live data until stopped");
    std::string continuous, hourly, daily, raw;
    double forSeconds = 0;
    auto* recordMode = record->add_option_group("mode", "what to record into");
    recordMode->add_option("--continuous", continuous, "one archive file");
    recordMode->add_option("--hourly", hourly, "one archive file an hour, named from BASE");
    recordMode->add_option("--daily", daily, "one archive file a day, named from BASE");
    recordMode->add_option("--raw", raw, "the logger port's raw bytes");
    recordMode->require_option(1);
    record->add_option("--for", forSeconds, "stop after this many seconds")
        ->check(CLI::PositiveNumber);

    auto* replay = app.add_subcommand("replay", "replay an archive through the receive path");
    ReplayOptions replayOptions;
    replay->add_option("FILE", replayOptions.path, "archive file")->required();
    replay->add_option("--speed", replayOptions.speed, "1 = slow .. 10 = fast")
        ->check(CLI::Range(kReplaySpeedMin, kReplaySpeedMax));
    replay->add_flag("--continuous", replayOptions.continuous, "start over at the end");

    auto* extract =
        app.add_subcommand("extract",
                           "split run files as cvhost-extract does: [--raw] [--debug-log] [-o DIR] "
                           "RUNFILE...");
    extract->prefix_command();
    extract->set_help_flag();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kExitDone : kExitUsage;
    }

    if (extract->parsed())
        return runExtractCli(extract->remaining(), std::cout, std::cerr);

    UploadOptions uploadOptions;
    if (upload->parsed()) {
        if (!runs.empty()) {
            std::string error;
            uploadOptions.runs = parseRunList(runs, error);
            if (!uploadOptions.runs)
                return usage("--runs: " + error);
        }
        uploadOptions.directory = outputDir;
        if (const std::string why = unusableDirectory(outputDir); !why.empty())
            return usage("-o " + why);
        uploadOptions.extract = extractKind == "raw"    ? ExtractKind::Raw
                                : extractKind == "none" ? ExtractKind::None
                                                        : ExtractKind::Archive;
    }
    RecordOptions recordOptions;
    recordOptions.forSeconds = forSeconds;
    for (const auto& [path, mode] :
         {std::pair{&continuous, RecordMode::Continuous}, std::pair{&hourly, RecordMode::Hourly},
          std::pair{&daily, RecordMode::Daily}, std::pair{&raw, RecordMode::RawInput}})
        if (!path->empty()) {
            recordOptions.mode = mode;
            recordOptions.path = *path;
        }

    QCoreApplication qt(argc, argv);
    installExitSignalHandlers();
    StreamOperator op(std::cerr);
    op.setOverwrite(overwrite);
    CliHost host(global, op);
    if (const auto failed = host.start(!replay->parsed()))
        return *failed;
    if (status->parsed())
        return statusCommand(host);
    if (dir->parsed())
        return dirCommand(host, op);
    if (upload->parsed())
        return uploadCommand(host, op, uploadOptions);
    if (record->parsed())
        return recordCommand(host, recordOptions);
    return replayCommand(host, replayOptions);
}
