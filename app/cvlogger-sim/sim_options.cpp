#include "sim_options.h"

#include <charconv>
#include <cstdlib>
#include <functional>
#include <map>

#include "base/cformat.h"
#include "link/line_choices.h"

namespace cvh::sim {

namespace {

bool parseInt(const std::string& text, std::int64_t min, std::int64_t max, std::int64_t& out) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < min || value > max)
        return false;
    out = value;
    return true;
}

bool parseChance(const std::string& text, double& out) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(value >= 0.0 && value <= 1.0)) {
        return false;
    }
    out = value;
    return true;
}

// "7.12" -> 7, 12. The host refuses to work with firmware older than 7.0, and a real logger in
// this family reports 7.x, so only that is offered.
bool parseFirmware(const std::string& text, int& major, int& minor) {
    const auto dot = text.find('.');
    if (dot == std::string::npos)
        return false;
    std::int64_t a = 0;
    std::int64_t b = 0;
    if (!parseInt(text.substr(0, dot), 7, 7, a) || !parseInt(text.substr(dot + 1), 0, 99, b)) {
        return false;
    }
    major = static_cast<int>(a);
    minor = static_cast<int>(b);
    return true;
}

// 0 (unpaced) or a rate of the host's line choices.
bool isLineSpeed(std::int64_t baud) {
    return baud == 0 || (baud > 0 && lineSettingFor(static_cast<std::uint32_t>(baud), 8));
}

using Setter = std::function<bool(const std::string&)>;

template <typename Field>
Setter integer(Field& field, std::int64_t min, std::int64_t max) {
    return [&field, min, max](const std::string& v) {
        std::int64_t value = 0;
        if (!parseInt(v, min, max, value))
            return false;
        field = static_cast<Field>(value);
        return true;
    };
}

Setter chance(double& field) {
    return [&field](const std::string& v) { return parseChance(v, field); };
}

// A path or device name: anything but empty.
Setter text(std::optional<std::string>& field) {
    return [&field](const std::string& v) {
        field = v;
        return !v.empty();
    };
}

// The options that take a value, each with what checks and stores it in `o`.
std::map<std::string, Setter> valuedOptions(SimOptions& o) {
    return {
        {"--write-host-setup", text(o.writeHostSetup)},
        {"--device", text(o.device)},
        {"--device-type", integer(o.deviceType, 1, 3)},
        {"--serial", integer(o.serialNumber, 1, 1000)},
        {"--logger-id", integer(o.loggerId, 0, 254)},
        {"--firmware",
         [&o](const std::string& v) { return parseFirmware(v, o.firmwareMajor, o.firmwareMinor); }},
        {"--rate", integer(o.packetRateHz, 1, 100)},
        {"--analog-rate", integer(o.analogRateHz, 1, 100)},
        {"--packets", integer(o.packetLimit, 1, INT64_MAX)},
        {"--sent-log", text(o.sentLog)},
        {"--memory-kb", integer(o.memoryKb, 64, 1048576)},
        {"--runs", integer(o.storedRuns, 0, 20)},
        {"--run-kb", integer(o.storedRunKb, 1, 65536)},
        {"--baud",
         [&o](const std::string& v) {
             std::int64_t baud = 0;
             if (!parseInt(v, 0, 115200, baud) || !isLineSpeed(baud))
                 return false;
             o.baud = static_cast<std::uint32_t>(baud);
             return true;
         }},
        {"--garbage", chance(o.faults.garbage)},
        {"--corrupt", chance(o.faults.corrupt)},
        {"--drop", chance(o.faults.drop)},
        {"--duplicate", chance(o.faults.duplicate)},
        {"--clock-offset", integer(o.clockOffsetSeconds, -100000000, 100000000)},
        {"--seed", integer(o.seed, 0, INT64_MAX)},
    };
}

}  // namespace

std::string simUsage() {
    return "usage: cvlogger-sim [options]\n"
           "A SIMULATED data logger on a pseudo-terminal (or on --device). It prints the\n"
           "device to connect the host program to, then runs until SIGINT or SIGTERM.\n"
           "\n"
           "  --device PATH        use this serial device instead of a new pseudo-terminal\n"
           "  --device-type N      logger model 1, 2 or 3 (default 2)\n"
           "  --serial N           serial number 1..1000 (default 901)\n"
           "  --logger-id N        logger ID 0..254 (default 1; data packets carry it as unit)\n"
           "  --firmware 7.NN      firmware version reported (default 7.12)\n"
           "  --rate HZ            data packets per second while sampling, 1..100 (default 2)\n"
           "  --analog-rate HZ     analog lines a second, 1..100 (default: the setup's); at the\n"
           "                       packet rate every packet carries data\n"
           "  --packets N          send no more data after N data packets (default: no limit)\n"
           "  --sent-log FILE      log every data packet produced, in order, with its fate on\n"
           "                       the line (sent, corrupted, duplicated, dropped) and its bytes\n"
           "  --memory-kb N        flash memory size in KB, 64..1048576 (default 32768)\n"
           "  --runs N             runs already stored at power-on, 0..20 (default 0)\n"
           "  --run-kb N           record each stored run until it holds N KB, 1..65536\n"
           "                       (default: a minute or two of sampling)\n"
           "  --autostart          begin sampling at power-on\n"
           "  --baud N             pace the output like a serial line at N baud\n"
           "                       (600..115200; default: unpaced)\n"
           "  --garbage P          chance 0..1 of random bytes before a packet\n"
           "  --corrupt P          chance 0..1 of a packet with a wrong checksum\n"
           "  --drop P             chance 0..1 of a packet being lost\n"
           "  --duplicate P        chance 0..1 of a packet being sent twice\n"
           "  --clock-offset S     logger clock starts S seconds off the PC clock\n"
           "  --seed N             seed of the simulated instruments and faults (default 1)\n"
           "  --verbose            log every command received on stderr\n"
           "  --write-host-setup PATH\n"
           "                       write a host setup file for the host program (COM1, the\n"
           "                       line speed of --baud, \"Advanced User\" mode) and exit\n"
           "  --help               this text\n";
}

OptionsResult parseSimOptions(const std::vector<std::string>& args) {
    OptionsResult result;
    SimOptions o;
    auto fail = [&](const std::string& problem) {
        result.error = true;
        result.message = "cvlogger-sim: " + problem + "\n" + simUsage();
        return result;
    };
    const std::map<std::string, Setter> valued = valuedOptions(o);

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            result.message = simUsage();
            return result;
        }
        if (a == "--autostart") {
            o.autoStart = true;
            continue;
        }
        if (a == "--verbose") {
            o.verbose = true;
            continue;
        }
        std::string name = a;
        std::optional<std::string> value;
        if (const auto eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        }
        const auto it = valued.find(name);
        if (it == valued.end())
            return fail("unknown option '" + a + "'");
        if (!value) {
            if (i + 1 >= args.size())
                return fail("option " + name + " needs a value");
            value = args[++i];
        }
        if (!it->second(*value))
            return fail(cformat("bad value '%s' for %s", value->c_str(), name.c_str()));
    }
    result.options = o;
    return result;
}

}  // namespace cvh::sim
