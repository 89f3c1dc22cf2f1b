#include "session/live_format.h"

#include <cstdlib>

#include "base/cformat.h"

namespace cvh {

std::string wakeTestText(const WakeTest& test) {
    switch (test.stage) {
        case WakeTest::Stage::NotRun:
            return {};
        case WakeTest::Stage::Started:
            return "Ready";
        case WakeTest::Stage::Measured:
            return cformat("CTR = %d MVPDelay = %ld", test.countdownTicks,
                           static_cast<long>(test.delayMilliseconds));
    }
    return {};
}

namespace {

const char* lineChoiceDescription(int lineChoice) {
    static constexpr std::array<const char*, 12> kTexts = {
        "is OFF",       "@ 600 Baud",   "@ 1200 Baud",  "@ 2400 Baud",
        "@ 4800 Baud",  "@ 4800,7,E,1", "@ 9600 Baud",  "@ 9600,7,E,1",
        "@ 19200 Baud", "@ 38400 Baud", "@ 57600 Baud", "@ 115200 Baud",
    };
    if (lineChoice < 0 || lineChoice >= static_cast<int>(kTexts.size()))
        return "@ Unknown Baud";
    return kTexts[static_cast<std::size_t>(lineChoice)];
}

}  // namespace

std::string describePort(int comNumber, int lineChoice) {
    std::string text = comNumber == 0 ? std::string("No Port ") : cformat("COM%1d ", comNumber);
    return text + lineChoiceDescription(lineChoice);
}

PortRowTexts formatPortRow(std::int16_t rate, std::uint32_t fileSizeBytes) {
    PortRowTexts t;
    const int magnitude = std::abs(static_cast<int>(rate));
    t.rateCaption = rate < 0 ? "Bytes/Record:" : "Bytes/Second:";
    t.rate = cformat("%d", magnitude);
    // The logger's sizes are 32-bit; shown as the signed value it has always printed.
    const auto size = static_cast<std::int32_t>(fileSizeBytes);
    t.fileSize = size > 1023 ? cformat("%d K", size / 1024) : cformat("%d", size);
    return t;
}

AnalogRowTexts formatAnalogRows(const std::array<std::int16_t, 7>& millivolts,
                                std::uint32_t analogFileSizeBytes) {
    AnalogRowTexts t;
    for (std::size_t i = 0; i < millivolts.size(); ++i)
        t.volts[i] = cformat("%5.3f", voltsFromThousandths(millivolts[i]));
    const auto size = static_cast<long>(static_cast<std::int32_t>(analogFileSizeBytes));
    t.fileSize = size < 1024 ? cformat("%ld", size) : cformat("%ld k", size / 1024);
    return t;
}

std::string formatUnitLine(int unitNumber, std::uint32_t packets, std::uint32_t gapEvents,
                           std::uint32_t lastGap) {
    return cformat("Unit %d: %lu \t%1lu \t%1lu", unitNumber, static_cast<unsigned long>(packets),
                   static_cast<unsigned long>(gapEvents), static_cast<unsigned long>(lastGap));
}

std::string formatPcPortLine(int slot, int pcFunction, int bytesIn, int bytesOut) {
    switch (pcFunction) {
        case 1:
            return cformat("Port %d:  In  %4d", slot, bytesIn);
        case 2:
            return cformat("Port %d:  Out %4d", slot, bytesOut);
        case 3:
            return cformat("Port %d:  In %4d   Out %4d", slot, bytesIn, bytesOut);
        default:
            return cformat("Port %d:", slot);
    }
}

std::string formatLoggerIdCaption(int loggerId) {
    return cformat("Logger ID:  %3d", loggerId);
}

}  // namespace cvh
