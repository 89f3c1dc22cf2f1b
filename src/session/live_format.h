// Text rules of the live displays: the port description under the logger-port panel, the Data
// Status rows, the per-unit and PC-logger port lines written once a second.
#pragma once

#if defined(CVH_CORE_FACTS_ONLY)
#error "presentation header: link, config and files report facts, the session presents them"
#endif

#include <array>
#include <cstdint>
#include <string>

#include "link/receive_loop.h"

namespace cvh {

// MVPLabel: "Ready" once the polled-wake test started, "CTR = 3 MVPDelay = 25" when measured.
std::string wakeTestText(const WakeTest& test);

// "COM3 @ 9600,7,E,1", "No Port is OFF": the COMStatus text of a COM number and line choice.
std::string describePort(int comNumber, int lineChoice);

struct PortRowTexts {
    std::string rateCaption;  // "Bytes/Second:" or "Bytes/Record:"
    std::string rate;
    std::string fileSize;
};
// A negative rate is bytes per record; sizes from 1024 bytes up are shown in K.
PortRowTexts formatPortRow(std::int16_t rate, std::uint32_t fileSizeBytes);

struct AnalogRowTexts {
    std::array<std::string, 7> volts;  // Analog1..Analog7
    std::string fileSize;              // AnalogFileSizeLabel, lower-case k
};
// The logger reports analog channels in thousandths of a volt.
constexpr double voltsFromThousandths(double thousandths) {
    return thousandths * 0.001;
}
AnalogRowTexts formatAnalogRows(const std::array<std::int16_t, 7>& millivolts,
                                std::uint32_t analogFileSizeBytes);

// LBUnit1..LBUnit4: "Unit 1: <packets> \t<gap events> \t<last gap>".
std::string formatUnitLine(int unitNumber, std::uint32_t packets, std::uint32_t gapEvents,
                           std::uint32_t lastGap);

// DSPCPortk / PCPortk: by the slot's pcFunction 1 input, 2 output, 3 both; else "Port k:".
std::string formatPcPortLine(int slot, int pcFunction, int bytesIn, int bytesOut);

// RawMuxIDLB.
std::string formatLoggerIdCaption(int loggerId);

}  // namespace cvh
