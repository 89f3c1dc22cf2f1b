#include "console/start_options.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <cstdio>

#include "base/operator.h"
#include "files/recorder.h"
#include "session/host_session.h"

namespace cvh {

namespace {

struct RecordKind {
    const char* name;
    RecordMode mode;
};
constexpr RecordKind kRecordKinds[] = {{"continuous", RecordMode::Continuous},
                                       {"hourly", RecordMode::Hourly},
                                       {"daily", RecordMode::Daily},
                                       {"raw", RecordMode::RawInput}};

ParsedStartOptions invalid(const QString& text) {
    return {ParsedStartOptions::Outcome::Invalid, {}, text.toStdString()};
}

RecorderStart start(Recorder& recorder, const StartOptions& options) {
    return isReplay(options.mode) ? recorder.startReplay(options.mode, options.path)
                                  : recorder.startRecording(options.mode, options.path);
}

}  // namespace

ParsedStartOptions parseStartOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("CV Host: the data logger's host program."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show these options and exit."));
    const QCommandLineOption record(
        QStringLiteral("record"),
        QStringLiteral("Start recording at start-up: continuous:PATH (one archive file), "
                       "hourly:BASE or daily:BASE (one archive file per hour or day, named from "
                       "BASE), raw:PATH (the logger port's raw bytes)."),
        QStringLiteral("mode:path"));
    const QCommandLineOption replay(QStringLiteral("replay"),
                                    QStringLiteral("Replay the archive PATH at start-up."),
                                    QStringLiteral("path"));
    const QCommandLineOption continuous(
        QStringLiteral("continuous"),
        QStringLiteral("With --replay: start over at the end of the archive until stopped."));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("With --replay: replay speed, 1 = slow .. "
                                                  "10 = fast (one record every 10 ms)."),
                                   QStringLiteral("N"));
    parser.addOptions({help, record, replay, continuous, speed});
    if (!parser.parse(arguments))
        return invalid(parser.errorText());
    if (parser.isSet(help))
        return {ParsedStartOptions::Outcome::Help, {}, parser.helpText().toStdString()};
    if (!parser.positionalArguments().isEmpty())
        return invalid(QStringLiteral("unexpected argument '%1'")
                           .arg(parser.positionalArguments().constFirst()));
    for (const auto* once : {&record, &replay, &speed})
        if (parser.values(*once).size() > 1)
            return invalid(QStringLiteral("--%1 given more than once").arg(once->names().first()));

    ParsedStartOptions parsed;
    StartOptions& o = parsed.options;
    if (parser.isSet(record)) {
        if (parser.isSet(replay))
            return invalid(QStringLiteral("--record and --replay cannot be used together"));
        const QString value = parser.value(record);
        const qsizetype colon = value.indexOf(QLatin1Char(':'));
        const QString kind = value.left(colon < 0 ? 0 : colon);
        for (const RecordKind& k : kRecordKinds)
            if (kind == QLatin1String(k.name))
                o.mode = k.mode;
        if (o.mode == RecordMode::Off)
            return invalid(QStringLiteral("--record needs continuous:PATH, hourly:BASE, "
                                          "daily:BASE or raw:PATH, not '%1'")
                               .arg(value));
        o.path = value.mid(colon + 1).toStdString();
        if (o.path.empty())
            return invalid(QStringLiteral("--record %1: no path given").arg(value));
    }
    if (!parser.isSet(replay) && (parser.isSet(continuous) || parser.isSet(speed)))
        return invalid(QStringLiteral("--continuous and --speed go with --replay"));
    if (parser.isSet(replay)) {
        o.mode = parser.isSet(continuous) ? RecordMode::ContinuousReplay : RecordMode::Replay;
        o.path = parser.value(replay).toStdString();
        if (o.path.empty())
            return invalid(QStringLiteral("--replay: no path given"));
    }
    if (parser.isSet(speed)) {
        bool ok = false;
        o.replaySpeed = parser.value(speed).toInt(&ok);
        if (!ok || o.replaySpeed < kReplaySpeedMin || o.replaySpeed > kReplaySpeedMax)
            return invalid(
                QStringLiteral("--speed must be 1 to 10, not '%1'").arg(parser.value(speed)));
    }
    return parsed;
}

std::string probeStartFile(const StartOptions& options, const Clock& clock) {
    if (options.mode == RecordMode::Off)
        return {};
    // The recorder itself tries the file, so the probe and the real start cannot differ in
    // what they open (a continuous or raw file is truncated by both).
    // Nobody is told: the fault is printed instead of shown in a box.
    NullOperator quiet;
    Recorder probe(quiet, clock);
    const RecorderStart result = start(probe, options);
    probe.stop();
    if (result == RecorderStart::Started)
        return {};
    if (!probe.state().lastFailure.empty())
        return probe.state().lastFailure;
    return options.path + ": cannot be opened for replay";
}

std::optional<int> readStartOptions(const QStringList& arguments, StartOptions& options) {
    const ParsedStartOptions parsed = parseStartOptions(arguments);
    switch (parsed.outcome) {
        case ParsedStartOptions::Outcome::Help:
            std::fputs(parsed.text.c_str(), stdout);
            return 0;
        case ParsedStartOptions::Outcome::Invalid:
            std::fprintf(stderr, "cvhost: %s\nTry 'cvhost --help'.\n", parsed.text.c_str());
            return 2;
        case ParsedStartOptions::Outcome::Run:
            break;
    }
    SystemClock clock;
    if (const std::string fault = probeStartFile(parsed.options, clock); !fault.empty()) {
        std::fprintf(stderr, "cvhost: %s\n", fault.c_str());
        return 2;
    }
    options = parsed.options;
    return std::nullopt;
}

void applyStartOptions(HostSession& session, const StartOptions& options) {
    if (options.mode == RecordMode::Off)
        return;
    if (options.replaySpeed != 0)
        session.recorder().setReplaySpeed(options.replaySpeed);
    // A file that failed since the probe is reported as the button's start would report it.
    start(session.recorder(), options);
}

}  // namespace cvh
