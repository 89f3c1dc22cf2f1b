#include "cli_host.h"

#include <QCoreApplication>
#include <QDir>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <thread>

#include "link/line_choices.h"
#include "link/port_manager.h"
#include "platform/exit_signals.h"
#include "session/command_line_rules.h"

namespace cvh {

namespace {

using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A late wake-up catches up on missed 10 ms ticks, but only on a few: the receive loop takes
// one packet a tick, and a machine that stalled for long must not burst through its backlog.
constexpr int kMaxCatchUpTicks = 5;

std::optional<int> comNumber(const std::string& text) {
    if (text.size() < 4 || QString::fromStdString(text.substr(0, 3)).toUpper() != "COM")
        return std::nullopt;
    int n = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data() + 3, end, n);
    if (ec != std::errc() || ptr != end || n < 1 || n >= kComBoxItemCount)
        return std::nullopt;
    return n;
}

std::optional<int> lineChoice(const std::string& text) {
    for (int i = 1; i < kLineChoiceCount; ++i)
        if (text == kLineChoiceTexts[static_cast<std::size_t>(i)] ||
            text == kPortSetupChoiceTexts[static_cast<std::size_t>(i)])
            return i;
    return std::nullopt;
}

int usage(const std::string& text) {
    std::cerr << "cvhost-cli: " << text << std::endl;
    return kExitUsage;
}

}  // namespace

CliHost::CliHost(const GlobalOptions& options, StreamOperator& op)
    : options_(options), op_(op), session_(backend_, op, clock_), start_(Steady::now()) {}

CliHost::~CliHost() {
    session_.shutdown();
}

std::int64_t CliHost::nowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start_).count();
}

std::string CliHost::portName() {
    return "COM" + std::to_string(session_.linkPorts().portManager().state().loggerPortIndex);
}

std::optional<int> CliHost::start(bool needPort) {
    std::optional<int> com;
    if (!options_.port.empty() && !(com = comNumber(options_.port)))
        return usage("--port " + options_.port + ": not a port COM1 to COM255");
    std::optional<int> line;
    if (!options_.line.empty() && !(line = lineChoice(options_.line)))
        return usage("--line " + options_.line + ": not a line setting such as 9600 or 115200");

    const std::string startDirectory = QDir::currentPath().toStdString();
    std::vector<std::string> malformed;
    session_.ports().names().loadOverrideFile(startDirectory + "/comports.txt", malformed);
    for (const auto& bad : malformed)
        std::cerr << "cvhost-cli: comports.txt: line ignored: " << bad << std::endl;
    const bool hostSetupFile = std::filesystem::exists(startDirectory + "/last.cvh");
    session_.startUp(startDirectory);
    // Without a host setup file the console starts with no mode; the command line works in
    // "Advanced User", where every function is at hand.
    if (session_.activeHostMode() == HostMode::None)
        session_.modeMenuClick(MenuItem::MenuAdvanced);
    while (session_.hasDeferredNotices())
        session_.deliverDeferredNotice();

    const LoggerPortState& chosen = session_.linkPorts().portManager().state();
    if (!needPort)
        return std::nullopt;
    if (!com && (!hostSetupFile || chosen.loggerPortIndex == 0))
        return usage(
            "no logger port: give --port COMn or start in a directory whose last.cvh "
            "chooses one");
    if (com || line) {
        const int lineSetting =
            line ? *line
                 : (hostSetupFile && chosen.loggerSetupIndex > 0 ? chosen.loggerSetupIndex
                                                                 : kPortSetup9600);
        session_.linkPorts().loggerPortChange(com ? *com : chosen.loggerPortIndex, lineSetting);
    }
    while (session_.hasDeferredNotices())
        session_.deliverDeferredNotice();
    if (!session_.ports().isPortOpen(kLoggerSlot)) {
        const int n = chosen.loggerPortIndex;
        return usage("cannot open the logger port COM" + std::to_string(n) + " (" +
                     session_.ports().names().name(n) + ")");
    }
    if (options_.verbose)
        std::cerr << "cvhost-cli: logger port " << portName() << " ("
                  << session_.ports().names().name(chosen.loggerPortIndex) << ")" << std::endl;
    return std::nullopt;
}

void CliHost::tick() {
    const auto now = Steady::now();
    int ticks = 0;
    while (now >= next10_ && ticks++ < kMaxCatchUpTicks) {
        session_.onTick10ms();
        next10_ += 10ms;
    }
    if (now >= next10_)
        next10_ = now + 10ms;
    if (now >= nextSecond_) {
        session_.onTick1000ms();
        nextSecond_ += 1s;
        if (nextSecond_ <= now)
            nextSecond_ = now + 1s;
    }
    if (now >= nextRefresh_) {
        session_.displayRefreshTick();
        nextRefresh_ += 1s;
        if (nextRefresh_ <= now)
            nextRefresh_ = now + 1s;
    }
    // TTimeout runs exactly while the upload wants it, from the moment it is wanted.
    const bool wanted = session_.timeoutTimerEnabled();
    if (wanted && !timeoutRunning_)
        nextTimeout_ = now + 1500ms;
    timeoutRunning_ = wanted;
    if (wanted && now >= nextTimeout_) {
        session_.onTimeoutTick();
        nextTimeout_ = now + 1500ms;
    }
    while (session_.hasDeferredNotices())
        session_.deliverDeferredNotice();
}

int CliHost::run(const std::function<std::optional<int>(int, std::int64_t)>& step) {
    const auto now = Steady::now();
    next10_ = now + 10ms;
    nextSecond_ = now + 1s;
    nextRefresh_ = now + 1s;
    for (;;) {
        QCoreApplication::processEvents();
        tick();
        if (const auto status = step(exitSignal(), nowMs()))
            return *status;
        std::this_thread::sleep_until(std::min(next10_, Steady::now() + 10ms));
    }
}

std::optional<int> CliHost::waitForStatus() {
    const auto limitMs = static_cast<std::int64_t>(options_.timeoutSeconds * 1000);
    const std::int64_t startMs = nowMs();
    const int status = run([&](int signal, std::int64_t now) -> std::optional<int> {
        if (signal != 0)
            return interruptedStatus(signal);
        if (session_.logger().operationCode != OperationCode::Off)
            return kExitDone;
        if (now - startMs >= limitMs) {
            std::cerr << "cvhost-cli: no status record from the logger on " << portName()
                      << " within " << options_.timeoutSeconds << " s" << std::endl;
            return kExitNoLogger;
        }
        return std::nullopt;
    });
    if (status == kExitDone)
        return std::nullopt;
    return status;
}

}  // namespace cvh
