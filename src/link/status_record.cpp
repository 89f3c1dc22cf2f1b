#include "link/status_record.h"

#include "base/cformat.h"
#include "base/checksum.h"
#include "link/record_fields.h"

namespace cvh {

namespace {

// The layout: each field with its offset; the width and signedness follow the member's type,
// an array fills consecutive entries. Decode and encode both walk this one list.
template <class Status, class Visit>
void forEachField(Status& s, Visit&& visit) {
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
    visit(28, s.portValues);
    visit(46, s.powerFlags);
    visit(48, s.voltages);
    visit(54, s.runStopSwitch);
    visit(56, s.analogThousandths);
    visit(72, s.portRunBytes);
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
    forEachField(s, [&](std::size_t at, auto& field) { readLeField(record, at, field); });
    return s;
}

StatusRecordBytes encodeStatusRecord(const LoggerStatus& status) {
    StatusRecordBytes out{};
    out[0] = out[1] = 3;
    forEachField(status, [&](std::size_t at, const auto& field) { writeLeField(out, at, field); });
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
    const auto c = static_cast<OperationCode>(code);
    return c == OperationCode::Standby || c == OperationCode::EndOfRun;
}

bool takesSetupRequests(OperationCode code) {
    return code == OperationCode::Standby || code == OperationCode::Upload ||
           code == OperationCode::EndOfRun;
}

}  // namespace cvh
