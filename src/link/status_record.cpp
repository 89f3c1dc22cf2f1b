#include "link/status_record.h"

#include <type_traits>

#include "base/cformat.h"
#include "base/checksum.h"

namespace cvh {

namespace {

// The layout: each field with its offset; the width and signedness follow the member's type.
// Decode and encode both walk this one list.
template <class Status, class Visit>
void forEachField(Status& s, Visit&& visit) {
    auto array = [&](std::size_t offset, auto& values) {
        for (std::size_t i = 0; i < values.size(); ++i)
            visit(offset + i * sizeof(values[i]), values[i]);
    };
    visit(4, s.statusCode);
    visit(6, s.runNumber);
    visit(8, s.loggerClock);
    visit(12, s.timeLeftSeconds);
    visit(16, s.serialNumber);
    visit(18, s.deviceType);
    visit(20, s.loggerId);
    visit(22, s.serialPortMask);
    visit(24, s.analogMask);
    visit(26, s.pumpMask);
    array(28, s.portValues);
    visit(46, s.powerFlags);
    array(48, s.voltages);
    visit(54, s.runStopSwitch);
    array(56, s.analogThousandths);
    array(72, s.portRunBytes);
    visit(108, s.analogRunBytes);
    visit(112, s.otherRunBytes);
    visit(116, s.freeMemoryBytes);
    visit(120, s.totalMemoryBytes);
    visit(124, s.firmwareVersion);
}

struct StatusText {
    int code;
    const char* text;
};

constexpr StatusText kStatusTexts[] = {
    {0, "OFF"},
    {2, "Delay"},
    {3, "Pre-Flush"},
    {4, "Warmup"},
    {5, "Flush"},
    {6, "Sampling"},
    {7, "Clear Memory"},
    {8, "Sleeping"},
    {9, "Standby"},
    {10, "Upload"},
    {13, "Low Voltage"},
    {14, "8 volt Limit"},
    {16, "Manual Switch"},
    {17, "Low Power"},
    {27, "Zero Volt Cutoff"},
    {30, "End of Run"},
};

}  // namespace

std::optional<LoggerStatus> decodeStatusRecord(Bytes record) {
    if (record.size() < kStatusPacketLength)
        return std::nullopt;
    LoggerStatus s;
    forEachField(s, [&](std::size_t at, auto& field) {
        using T = std::remove_reference_t<decltype(field)>;
        if constexpr (sizeof(T) == 2)
            field = static_cast<T>(readLe16(record, at));
        else
            field = static_cast<T>(readLe32(record, at));
    });
    return s;
}

StatusRecordBytes encodeStatusRecord(const LoggerStatus& status) {
    StatusRecordBytes out{};
    out[0] = out[1] = 3;
    forEachField(status, [&](std::size_t at, const auto& field) {
        using T = std::remove_cvref_t<decltype(field)>;
        if constexpr (sizeof(T) == 2)
            writeLe16(out, at, static_cast<std::uint16_t>(field));
        else
            writeLe32(out, at, static_cast<std::uint32_t>(field));
    });
    storeChecksum(out);
    return out;
}

std::string statusCodeText(int code) {
    for (const StatusText& t : kStatusTexts)
        if (t.code == code)
            return t.text;
    return cformat("Invalid Status %02x", code);
}

bool isIdleStatus(int code) {
    return code == 9 || code == 30;
}

}  // namespace cvh
