#include "files/summary_report.h"

#include <array>
#include <cstdint>

#include "base/cformat.h"
#include "base/clock.h"
#include "link/logger_mode.h"

namespace cvh {
namespace {

std::string startTimeText(std::int32_t seconds) {
    const CalendarTime t = civilFromSeconds(seconds);
    return cformat("%02d/%02d/%02d at %02d:%02d:%02d", t.month, t.day, ((t.year % 100) + 100) % 100,
                   t.hour, t.minute, t.second);
}

std::string modeLine(const SummaryRecord& r) {
    const std::string when = startTimeText(r.startTime);
    switch (loggerModeOf(r.mode)) {
        case LoggerMode::Profile:
            return cformat("Run # %1d:  Profile on %s\n\n", r.runNumber, when.c_str());
        case LoggerMode::Moored:
            return cformat("Run # %1d:  Moored on %s\n\n", r.runNumber, when.c_str());
        case LoggerMode::PolledMoored:
            return cformat("Run # %1d:  Polled Moored on %s\n\n", r.runNumber, when.c_str());
        default:
            return cformat("Run # %1d: Unknown Mode %d  on %s\n\n", r.runNumber, r.mode,
                           when.c_str());
    }
}

std::string meterLine(const SummaryRecord& r) {
    const int sn = r.serialNumber, major = r.firmwareMajor, minor = r.firmwareMinor;
    const int d0 = r.firmwareDate[0], d1 = r.firmwareDate[1], d2 = r.firmwareDate[2];
    switch (r.meterType) {
        case 1:
            return cformat("kb5Plus S/N-%03d\n\nFirmware Version %2d.%02d  %2d/%02d/%02d\n\n", sn,
                           major, minor, d0, d1, d2);
        case 2:
            return cformat("TQ7 S/N-%03d\n\nFirmware Version %2d.%02d  %2d/%02d/%02d\n\n", sn,
                           major, minor, d0, d1, d2);
        case 3:
            return cformat("EXT Q-Span S/N=%03d\n\nFirmware Version %2d.%02d  %2d/%02d/%02d\n\n",
                           sn, major, minor, d0, d1, d2);
        default:
            return cformat(
                "Unknown Meter Type %d S/N-%03d\n\nFirmware Version %2d.%02d  %2d/%02d/%02d\n\n",
                r.meterType, sn, major, minor, d0, d1, d2);
    }
}

std::string powerLine(std::int32_t khz) {
    switch (khz) {
        case 3860:
            return cformat("60 %% Power:  %d kHz \n\n", khz);
        case 7860:
            return cformat("75 %% Power:  %d kHz \n\n", khz);
        case 14720:
            return cformat("Standard Power:  %d kHz \n\n", khz);
        case 16000:
            return cformat("Turbo Power:  %d kHz \n\n", khz);
        default:
            return cformat("Unknown Power: %d kHz \n\n", khz);
    }
}

std::string fileFormatLine(std::int32_t format) {
    switch (format) {
        case 0:
            return "File Format:  No Data Recorded\n";
        case 1:
            return "File Format:  Corvane Archive Files\n";
        default:
            return cformat("File Format:  Invalid File Format: %d\n", format);
    }
}

std::string outputFormatLine(std::int32_t code) {
    static constexpr std::array<const char*, 12> kNames{
        "Status",   "Real Time + Status", "Real Time", nullptr,    "Logger 1", "Logger 2",
        "Logger 3", "Logger 4",           "Logger 5",  "Logger 6", "Logger 7", "Logger 8"};
    std::string line = "Output Format:  ";
    if (code >= 0 && code < static_cast<std::int32_t>(kNames.size()) && kNames[code])
        line += cformat("%-27s", kNames[code]);
    else
        line += cformat("Invalid Output Setting %d  ", code);
    return line + "\n\n";
}

std::string loggerLines(const SummaryRecord& r) {
    if (!(r.fileFormat == 1 || r.outputFormat == 1 || r.outputFormat == 2))
        return {};
    int rate = r.packetPeriodMs;
    switch (r.packetPeriodMs) {
        case 100:
            rate = 10;
            break;
        case 125:
            rate = 8;
            break;
        case 166:
            rate = 6;
            break;
        case 200:
            rate = 5;
            break;
        case 250:
            rate = 4;
            break;
        case 333:
            rate = 3;
            break;
        case 500:
            rate = 2;
            break;
        case 1000:
            rate = 1;
            break;
        default:
            break;
    }
    return cformat("Logger:\nUnit ID: %1d\nPacket Rate: %1d %s\n\n", r.unitId, rate,
                   rate < 11 ? "Hz" : "ms");
}

std::string pumpLine(const SummaryRecord& r) {
    std::string line = "Active Pump Ports: ";
    bool any = false;
    for (std::size_t i = 0; i < r.pumpStates.size(); ++i) {
        if (r.pumpStates[i] > 0) {
            line += cformat("\t%d", static_cast<int>(i + 1));
            any = true;
        }
    }
    if (!any)
        line += "  None";
    return line + "\n\n";
}

std::string analogLine(const SummaryRecord& r) {
    std::string line = "Analog Ports: ";
    for (std::size_t i = 0; i < r.analogStates.size(); ++i) {
        const int port = static_cast<int>(i + 1);
        if (r.analogStates[i] == 1)
            line += cformat("\n%1d  On", port);
        else if (r.analogStates[i] == 2)
            line += cformat("\n%1d  Pump On", port);
    }
    return line + "\n\n";
}

char parityLetter(std::int32_t code) {
    switch (code) {
        case 0:
            return 'N';
        case 1:
            return 'O';
        case 2:
            return 'E';
        default:
            return '*';
    }
}

const char* meterTypeText(std::int32_t code) {
    static constexpr std::array<const char*, 14> kTexts{
        "        OFF", "        kb5", "        rmx", "      ASCII", "     Binary",
        "     LUX-G2", "Ashteck GPS", "       PUMP", "Remote Host", "HYD40",
        "      PHI-S", "CV-Test",     "Wake/Binary", "  CV-Logger"};
    if (code < 0 || code >= static_cast<std::int32_t>(kTexts.size()))
        return "Invalid Meter";
    return kTexts[code];
}

std::string serialPortLines(const SummaryRecord& r) {
    std::string text = "Serial Ports: Type Baud     Size  Parity Stop\n";
    text +=
        cformat("Host Port: %c%c%-6ld%c%1d%c%c%c1\n", '\t', '\t', static_cast<long>(r.baudRates[0]),
                '\t', r.dataBits[0], '\t', parityLetter(r.parities[0]), '\t');
    for (int port = 1; port <= 8; ++port) {
        if (r.portMeterTypes[port] <= 0)
            continue;
        text += cformat("Port %1d:%c%-s %-6ld%c%1d%c%c%c1\n", port, '\t',
                        meterTypeText(r.portMeterTypes[port]), static_cast<long>(r.baudRates[port]),
                        '\t', r.dataBits[port], '\t', parityLetter(r.parities[port]), '\t');
    }
    return text;
}

// Durations are unsigned seconds: the largest whole unit that divides them is shown.
std::string durationLine(const char* label, std::int32_t raw) {
    const auto seconds = static_cast<std::uint32_t>(raw);
    const auto value = [](std::uint32_t v) { return static_cast<unsigned long>(v); };
    if (seconds == 0)
        return cformat("%s:  None\n", label);
    if (seconds % 3600 == 0)
        return cformat("%s: %1lu Hours\n", label, value(seconds / 3600));
    if (seconds % 60 != 0)
        return cformat("%s: %1lu Seconds\n", label, value(seconds));
    return cformat("%s: %1lu Minutes\n", label, value(seconds / 60));
}

std::string sizeLine(const char* label, std::int32_t bytes) {
    if (bytes < 1025)
        return cformat("%s %8ld Bytes\n", label, static_cast<long>(bytes));
    return cformat("%s %8ld K\n", label, static_cast<long>(bytes / 1024));
}

}  // namespace

std::string formatSummaryReport(const SummaryRecord& r) {
    std::string text;
    text += modeLine(r);
    text += meterLine(r);
    text += powerLine(r.powerKhz);
    if (r.freeDiskBytes / 1024 <= 50)
        text += "***Warning*** This Run may have terminated early.  Out of Memory!!!\n\n";
    text += fileFormatLine(r.fileFormat);
    text += outputFormatLine(r.outputFormat);
    text += loggerLines(r);
    text += pumpLine(r);
    text += analogLine(r);
    text += serialPortLines(r);
    text += durationLine("\nDelay Before Start", r.delayBeforeStartSeconds);
    text += durationLine("Pre-Flush", r.preFlushSeconds);
    text += durationLine("Warm Up", r.warmUpSeconds);
    text += durationLine("Flush", r.flushSeconds);
    text += durationLine("Sample", r.sampleSeconds);
    if (isMooredMode(loggerModeOf(r.mode)))
        text += durationLine("Interval", r.intervalSeconds);
    text += "\n";
    text += cformat("Starting Voltage: %4.1f V\n", r.startMillivolts * 0.001);
    text += cformat("Final Voltage: %4.1f V\n", r.finalMillivolts * 0.001);
    text += cformat("Low Voltage Cutoff : %4.1lf\n\n", r.voltageTenths[1] * 0.1);
    text += "Recorded File Sizes\n";
    // The analog count has no unit below 1025 bytes, unlike the ports.
    if (r.recordedBytes[0] < 1025)
        text += cformat("Analog: %8ld\n", static_cast<long>(r.recordedBytes[0]));
    else
        text += cformat("Analog: %8ld K\n", static_cast<long>(r.recordedBytes[0] / 1024));
    for (int port = 1; port <= 8; ++port) {
        if (r.portMeterTypes[port] <= 0)
            continue;
        text += sizeLine(cformat("Port %1d:", port).c_str(), r.recordedBytes[port]);
    }
    text += cformat("\nTotal Disk Space: %1ld K\n", static_cast<long>(r.totalDiskBytes / 1024));
    text += cformat("Free Disk Space: %1ld K at End of Sample\n",
                    static_cast<long>(r.freeDiskBytes / 1024));
    return text;
}

std::string summaryFileName(int runNumber) {
    return cformat("Summary.%03d", runNumber);
}

}  // namespace cvh
