#include "commands.h"

#include <iostream>
#include <map>

#include "base/cformat.h"
#include "platform/terminal.h"
#include "session/command_line_rules.h"
#include "session/logger_status_rows.h"

namespace cvh {

namespace {

// Waits until the directory is complete and prints nothing; the exit status when it failed.
std::optional<int> readDirectory(CliHost& host, StreamOperator& op) {
    HostSession& session = host.session();
    const int noticesBefore = op.notices();
    session.getDirectoryClick();
    // The request was refused ("Directory Error": the logger is not in standby).
    if (op.notices() != noticesBefore)
        return kExitFailed;
    DirectoryWait wait;
    wait.requested(host.nowMs());
    int seen = 0;
    const int status = host.run([&](int signal, std::int64_t now) -> std::optional<int> {
        if (signal != 0)
            return interruptedStatus(signal);
        const int count = session.runUpload().directory().entryCount();
        if (count != seen) {
            seen = count;
            wait.entryArrived(now);
        }
        if (wait.complete(now))
            return kExitDone;
        return std::nullopt;
    });
    if (status != kExitDone)
        return status;
    return std::nullopt;
}

// "run.003 [#########...........]  45%  13 of 29 KB" on a terminal, a plain line otherwise.
std::string progressLine(const UploadFacts& f, bool terminal) {
    const std::int64_t percent = f.expectedSize > 0 ? f.received * 100 / f.expectedSize : 0;
    const std::string name = runFileName(f.currentRun);
    if (!terminal)
        return cformat("%s: %lld of %lld bytes (%lld%%)", name.c_str(),
                       static_cast<long long>(f.received), static_cast<long long>(f.expectedSize),
                       static_cast<long long>(percent));
    constexpr int kWidth = 30;
    const auto filled = static_cast<int>(std::min<std::int64_t>(percent, 100) * kWidth / 100);
    return cformat("%s [%s%s] %3lld%%  %lld of %lld KB", name.c_str(),
                   std::string(static_cast<std::size_t>(filled), '#').c_str(),
                   std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(),
                   static_cast<long long>(percent), static_cast<long long>(f.received / 1024),
                   static_cast<long long>(f.expectedSize / 1024));
}

std::string linkSummary(const LinkStatistics& link) {
    std::uint64_t data = 0;
    for (const auto n : link.unitPackets)
        data += n;
    return cformat(
        "link: %lu bytes in, %lu packets, %llu data packets, %lu gaps, %lu duplicates, "
        "%lu keep-alives, %lu malformed",
        static_cast<unsigned long>(link.totalInputBytes),
        static_cast<unsigned long>(link.packetCount), static_cast<unsigned long long>(data),
        static_cast<unsigned long>(link.gapTotal),
        static_cast<unsigned long>(link.duplicatePackets),
        static_cast<unsigned long>(link.keepAlivePackets),
        static_cast<unsigned long>(link.malformedRecords));
}

}  // namespace

int statusCommand(CliHost& host) {
    if (const auto failed = host.waitForStatus())
        return *failed;
    for (const StatusRow& row : kStatusRows) {
        const LabelState& label = row.state(host.session());
        if (!label.visible)
            continue;
        if (row.caption)
            std::cout << row.caption << " ";
        std::cout << label.caption << "\n";
    }
    std::cout.flush();
    return kExitDone;
}

int dirCommand(CliHost& host, StreamOperator& op) {
    if (const auto failed = host.waitForStatus())
        return *failed;
    if (const auto failed = readDirectory(host, op))
        return *failed;
    for (const RunDirectoryLine& line : host.session().runUpload().directory().lines())
        std::cout << line.text << "\n";
    std::cout.flush();
    return kExitDone;
}

namespace {

// The list lines of the runs asked for; every run with data when none were named. A run the
// directory lacks (or that holds no data) is told and makes `status` a failure.
std::vector<int> listLinesOf(const RunDirectory& directory,
                             const std::optional<std::vector<int>>& runs, int& status) {
    std::map<int, int> lineOfRun;
    for (std::size_t i = 0; i < directory.lines().size(); ++i) {
        const RunDirectoryEntry& e = directory.entry(directory.lines()[i].entryIndex);
        if (e.runSize > 0)
            lineOfRun.emplace(e.runNumber, static_cast<int>(i));
    }
    std::vector<int> lines;
    if (!runs) {
        for (const auto& [run, line] : lineOfRun)
            lines.push_back(line);
        return lines;
    }
    for (const int run : *runs) {
        const auto it = lineOfRun.find(run);
        if (it == lineOfRun.end()) {
            std::cerr << "cvhost-cli: run " << run << " is not in the logger's directory"
                      << " or holds no data" << std::endl;
            status = kExitFailed;
        } else {
            lines.push_back(it->second);
        }
    }
    return lines;
}

}  // namespace

int uploadCommand(CliHost& host, StreamOperator& op, const UploadOptions& options) {
    HostSession& session = host.session();
    if (const auto failed = host.waitForStatus())
        return *failed;
    if (const auto failed = readDirectory(host, op))
        return *failed;

    int status = kExitDone;
    const std::vector<int> lines =
        listLinesOf(session.runUpload().directory(), options.runs, status);
    if (lines.empty()) {
        std::cerr << "cvhost-cli: no run to upload" << std::endl;
        return status;
    }

    session.hostSetupStore().chooseExtractFiles(static_cast<int>(options.extract == ExtractKind::Raw
                                                                     ? ExtractChoice::ArchivePlusRaw
                                                                     : ExtractChoice::Archive));
    session.runUpload().setExtractRuns(options.extract != ExtractKind::None);
    op.setUploadDirectory(options.directory);
    std::vector<RunResult> results;
    const bool terminal = standardErrorIsTerminal();
    ProgressThrottle throttle;
    session.runUpload().setRunListener([&](const RunLogEntry& e) {
        if (terminal)
            std::cerr << "\r";
        std::cerr << runFileName(e.runNumber) << ": " << runResultText(e.result) << ", "
                  << e.receivedBytes << " of " << e.announcedBytes << " bytes" << std::endl;
        results.push_back(e.result);
        throttle.reset();
    });
    session.uploadClick(lines);
    if (!session.runUpload().uploading())
        return kExitFailed;

    int signalled = 0;
    std::int64_t cancelDeadline = 0;
    host.run([&](int signal, std::int64_t now) -> std::optional<int> {
        const RunUpload& upload = session.runUpload();
        if (!upload.uploading())
            return kExitDone;
        if (signal != 0 && signalled == 0) {
            // As "Cancel Upload": the next acknowledgement asks the logger to end the run.
            signalled = signal;
            session.runUpload().cancelUpload();
            cancelDeadline = now + 5000;
        }
        if (signalled != 0 && now >= cancelDeadline) {
            // The logger never sent its final block: the run still gets its log line.
            session.runUpload().abandonUpload();
            return kExitDone;
        }
        const UploadFacts& f = upload.facts();
        if (f.phase == UploadPhase::Receiving && throttle.due(now, false))
            std::cerr << (terminal ? "\r" : "") << progressLine(f, terminal)
                      << (terminal ? "" : "\n") << std::flush;
        return std::nullopt;
    });
    session.runUpload().setRunListener(nullptr);
    const int uploadStatus = uploadExitStatus(results, signalled);
    return uploadStatus != kExitDone ? uploadStatus : status;
}

int recordCommand(CliHost& host, const RecordOptions& options) {
    HostSession& session = host.session();
    Recorder& recorder = session.recorder();
    if (recorder.startRecording(options.mode, options.path) != RecorderStart::Started) {
        std::cerr << "cvhost-cli: cannot record: "
                  << (recorder.state().lastFailure.empty() ? options.path
                                                           : recorder.state().lastFailure)
                  << std::endl;
        return kExitFailed;
    }
    const auto limitMs = static_cast<std::int64_t>(options.forSeconds * 1000);
    std::int64_t nextSummary = host.nowMs() + 60000;
    const auto summary = [&] {
        const LinkStatistics& link = session.link();
        std::uint64_t data = 0;
        for (const auto n : link.unitPackets)
            data += n;
        std::cerr << "cvhost-cli: " << data << " data packets, " << link.gapTotal << " gaps, "
                  << recorder.state().fileName << ", " << recorder.state().sizeCounter << " bytes"
                  << std::endl;
    };
    host.run([&](int signal, std::int64_t now) -> std::optional<int> {
        if (signal != 0 || (limitMs > 0 && now >= limitMs))
            return kExitDone;
        if (now >= nextSummary) {
            summary();
            nextSummary += 60000;
        }
        return std::nullopt;
    });
    recorder.stop();
    summary();
    std::cerr << "cvhost-cli: " << linkSummary(session.link()) << std::endl;
    if (recorder.state().writeFailures != 0) {
        std::cerr << "cvhost-cli: " << recorder.state().writeFailures
                  << " records or files could not be written; the last: "
                  << recorder.state().lastFailure << std::endl;
        return kExitFailed;
    }
    return kExitDone;
}

int replayCommand(CliHost& host, const ReplayOptions& options) {
    Recorder& recorder = host.session().recorder();
    if (options.speed != 0)
        recorder.setReplaySpeed(options.speed);
    const RecordMode mode = options.continuous ? RecordMode::ContinuousReplay : RecordMode::Replay;
    if (recorder.startReplay(mode, options.path) != RecorderStart::Started) {
        std::cerr << "cvhost-cli: cannot replay "
                  << (recorder.state().lastFailure.empty() ? options.path
                                                           : recorder.state().lastFailure)
                  << std::endl;
        return kExitFailed;
    }
    host.run([&](int signal, std::int64_t) -> std::optional<int> {
        if (signal != 0 || recorder.mode() == RecordMode::Off)
            return kExitDone;
        return std::nullopt;
    });
    recorder.stop();
    std::cerr << "cvhost-cli: " << linkSummary(host.session().link()) << std::endl;
    return kExitDone;
}

}  // namespace cvh
