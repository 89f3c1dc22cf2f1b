// The commands of cvhost-cli, each run on a started host: the exit status they end with.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli_host.h"
#include "link/record_mode.h"

namespace cvh {

int statusCommand(CliHost& host);
int dirCommand(CliHost& host, StreamOperator& op);

enum class ExtractKind { Archive, Raw, None };
struct UploadOptions {
    std::optional<std::vector<int>> runs;  // nothing: every run with data
    std::filesystem::path directory = ".";
    ExtractKind extract = ExtractKind::Archive;
};
int uploadCommand(CliHost& host, StreamOperator& op, const UploadOptions& options);

struct RecordOptions {
    RecordMode mode = RecordMode::Off;
    std::string path;
    double forSeconds = 0;  // 0: until a signal
};
int recordCommand(CliHost& host, const RecordOptions& options);

struct ReplayOptions {
    std::string path;
    int speed = 0;  // 0: the host setup file's
    bool continuous = false;
};
int replayCommand(CliHost& host, const ReplayOptions& options);

}  // namespace cvh
