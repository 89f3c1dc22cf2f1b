// cvlogger-sim: a SIMULATED data logger on a pseudo-terminal, for demonstrations and tests.
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/clock.h"
#include "config/logger_setup.h"
#include "fault_injector.h"
#include "files/host_setup_file.h"
#include "line_endpoint.h"
#include "line_pacer.h"
#include "link/host_mode.h"
#include "session/host_setup_flow.h"
#include "session/pc_logger_setup.h"
#include "sim_logger.h"
#include "sim_options.h"
#include "sim_runner.h"

namespace {

using namespace cvh::sim;

const cvh::sim::StopPipe* gStop = nullptr;

extern "C" void onStopSignal(int) {
    if (gStop)
        gStop->notify();
}

// The host's line choice ("600" .. "115200") for a baud rate; 9600 when unpaced.
int lineChoiceOf(std::uint32_t baud) {
    return cvh::lineSettingFor(baud, 8).value_or(cvh::kPortSetup9600);
}

int writeHostSetup(const std::string& path, std::uint32_t baud, int loggerId) {
    const int line = lineChoiceOf(baud);
    // COM1, which the start directory's comports.txt points here, and "Advanced User" so that
    // every page shows; the live view follows this logger's own unit, so "Display Data" shows
    // its lines at once. The rest as a fresh host starts: time sync on, the Logger_Port menu
    // shown, PC-logger slots reading unit 2, port 1.
    const std::pair<const char*, int> controls[] = {
        {"LoggerPortCB", 1},
        {"LoggerSetupCB", line},
        {"CBHostPortSetup", line},
        {"ActiveHostMode", cvh::hostModeNumber(cvh::HostMode::Advanced)},
        {"RawMuxIDUD", loggerId},
        {"MenuAutoTimeUpdate.Checked", 1},
        {"MenuLoggerPortSetup.Visible", 1},
        {"UDDeckRate", 1},
    };
    cvh::HostSetup setup;
    auto set = [&setup](const std::string& control, int value) {
        const auto place = cvh::hostSetupPlace(control);
        if (place)
            setup.setValue(place->record, place->field, static_cast<std::int16_t>(value));
    };
    for (const auto& [control, value] : controls)
        set(control, value);
    for (int slot = 1; slot <= cvh::kPcSlotCount; ++slot) {
        set("UDDeckType" + std::to_string(slot), 2);
        set("UDOutPort" + std::to_string(slot), 1);
    }
    if (cvh::storeHostSetup(path, setup) != cvh::HostSetupStoreResult::Stored) {
        std::fprintf(stderr, "cvlogger-sim: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

const char* modelName(int deviceType) {
    switch (deviceType) {
        case 1:
            return "kb5Plus";
        case 2:
            return "TQ7";
        case 3:
            return "EXT Q-Span";
        default:
            return "?";
    }
}

LoggerConfig configOf(const SimOptions& o) {
    LoggerConfig config;
    config.deviceType = o.deviceType;
    config.serialNumber = o.serialNumber;
    config.loggerId = o.loggerId;
    config.firmwareMajor = o.firmwareMajor;
    config.firmwareMinor = o.firmwareMinor;
    config.packetRateHz = o.packetRateHz;
    config.packetLimit = o.packetLimit;
    config.analogRateHz = o.analogRateHz;
    config.memoryBytes = o.memoryKb * 1024u;
    config.clockOffsetSeconds = o.clockOffsetSeconds;
    config.seed = o.seed;
    config.autoStart = o.autoStart;
    config.storedRuns = o.storedRuns;
    config.storedRunBytes = o.storedRunKb * 1024u;
    config.hostBaud = o.baud != 0 ? o.baud : 9600;
    return config;
}

void installStopHandlers(StopPipe& stop) {
    gStop = &stop;
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void printCounters(const LoggerCounters& c, const RunnerCounters& r, const FaultCounters& f) {
    std::fprintf(
        stderr,
        "cvlogger-sim: stopped. %llu status records, %llu data packets, %llu "
        "keep-alives, %llu upload blocks; %llu bytes out, %llu in, %llu dropped; faults: "
        "%llu garbage, %llu corrupted, %llu lost, %llu doubled\n",
        static_cast<unsigned long long>(c.statusRecords),
        static_cast<unsigned long long>(c.dataPackets),
        static_cast<unsigned long long>(c.keepAlives),
        static_cast<unsigned long long>(c.uploadBlocks),
        static_cast<unsigned long long>(r.bytesOut), static_cast<unsigned long long>(r.bytesIn),
        static_cast<unsigned long long>(r.bytesDropped),
        static_cast<unsigned long long>(f.garbageBursts),
        static_cast<unsigned long long>(f.corrupted), static_cast<unsigned long long>(f.dropped),
        static_cast<unsigned long long>(f.duplicated));
}

}  // namespace

int main(int argc, char** argv) {
    using namespace cvh::sim;
    const OptionsResult parsed = parseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::fputs(parsed.message.c_str(), parsed.error ? stderr : stdout);
        return parsed.error ? 2 : 0;
    }
    const SimOptions& o = *parsed.options;
    if (o.writeHostSetup)
        return writeHostSetup(*o.writeHostSetup, o.baud, o.loggerId);

    std::string error;
    std::unique_ptr<LineEndpoint> line = o.device
                                             ? LineEndpoint::openDevice(*o.device, o.baud, error)
                                             : LineEndpoint::openPseudoTerminal(error);
    if (!line) {
        std::fprintf(stderr, "cvlogger-sim: %s\n", error.c_str());
        return 1;
    }

    cvh::SystemClock clock;
    const LoggerConfig config = configOf(o);
    SimLogger logger(config, clock);
    if (o.verbose) {
        logger.log = [](const std::string& text) {
            std::fprintf(stderr, "cvlogger-sim: %s\n", text.c_str());
        };
    }

    // The first line of stdout is the device to give the host; scripts read it.
    std::printf("%s\n", line->hostPath().c_str());
    std::fflush(stdout);
    std::fprintf(stderr,
                 "cvlogger-sim: SIMULATED LOGGER (not a real instrument): %s S/N %03d, logger ID "
                 "%d, firmware %d.%02d, on %s%s\n",
                 modelName(o.deviceType), o.serialNumber, o.loggerId, o.firmwareMajor,
                 o.firmwareMinor, line->hostPath().c_str(),
                 o.baud ? (", paced at " + std::to_string(o.baud) + " baud").c_str() : "");

    StopPipe stop;
    installStopHandlers(stop);

    FaultInjector faults(o.faults, o.seed);
    LinePacer pacer(o.baud, clock.milliseconds());
    SimRunner runner(logger, *line, faults, pacer, clock, stop);
    std::unique_ptr<SentLog> sentLog;
    if (o.sentLog) {
        sentLog = std::make_unique<SentLog>(*o.sentLog);
        if (!sentLog->ok()) {
            std::fprintf(stderr, "cvlogger-sim: cannot write %s\n", o.sentLog->c_str());
            return 1;
        }
        runner.setSentLog(sentLog.get());
    }
    logger.powerOn();
    runner.run();
    gStop = nullptr;
    const bool sentLogWritten = !sentLog || sentLog->close();
    if (!sentLogWritten)
        std::fprintf(stderr, "cvlogger-sim: writing %s failed\n", o.sentLog->c_str());

    printCounters(logger.counters(), runner.counters(), faults.counters());
    return sentLogWritten ? 0 : 1;
}
