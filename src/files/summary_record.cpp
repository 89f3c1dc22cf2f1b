#include "files/summary_record.h"

#include <algorithm>
#include <type_traits>

namespace cvh {
namespace {

// One entry per field (or run of equal fields): offset, width of one element, how many, and
// where it lives in the struct. Decode and encode both walk this table.
struct FieldLayout {
    std::size_t offset;
    std::size_t width;  // 2 or 4
    std::size_t count;
    std::int32_t* (*at)(SummaryRecord&);
};

template <auto Member>
constexpr FieldLayout scalar(std::size_t offset, std::size_t width) {
    return {offset, width, 1, [](SummaryRecord& r) { return &(r.*Member); }};
}

template <auto Member>
constexpr FieldLayout array(std::size_t offset, std::size_t width) {
    using Array = std::remove_cvref_t<decltype(SummaryRecord{}.*Member)>;
    return {offset, width, std::tuple_size_v<Array>,
            [](SummaryRecord& r) { return (r.*Member).data(); }};
}

constexpr std::array<FieldLayout, 31> kLayout{{
    scalar<&SummaryRecord::runNumber>(0, 2),
    scalar<&SummaryRecord::mode>(2, 2),
    scalar<&SummaryRecord::meterType>(4, 2),
    scalar<&SummaryRecord::serialNumber>(6, 2),
    scalar<&SummaryRecord::fileFormat>(8, 2),
    scalar<&SummaryRecord::outputFormat>(10, 2),
    array<&SummaryRecord::portMeterTypes>(12, 2),
    scalar<&SummaryRecord::powerKhz>(30, 2),
    array<&SummaryRecord::baudRates>(36, 4),
    array<&SummaryRecord::dataBits>(72, 2),
    array<&SummaryRecord::parities>(90, 2),
    array<&SummaryRecord::voltageTenths>(108, 2),
    array<&SummaryRecord::analogStates>(130, 2),
    array<&SummaryRecord::pumpStates>(144, 2),
    scalar<&SummaryRecord::delayBeforeStartSeconds>(152, 4),
    scalar<&SummaryRecord::preFlushSeconds>(156, 4),
    scalar<&SummaryRecord::warmUpSeconds>(160, 4),
    scalar<&SummaryRecord::flushSeconds>(164, 4),
    scalar<&SummaryRecord::sampleSeconds>(168, 4),
    scalar<&SummaryRecord::intervalSeconds>(172, 4),
    scalar<&SummaryRecord::startTime>(176, 4),
    scalar<&SummaryRecord::unitId>(188, 2),
    scalar<&SummaryRecord::packetPeriodMs>(190, 2),
    scalar<&SummaryRecord::startMillivolts>(192, 2),
    scalar<&SummaryRecord::finalMillivolts>(194, 2),
    array<&SummaryRecord::recordedBytes>(200, 4),
    scalar<&SummaryRecord::freeDiskBytes>(236, 4),
    scalar<&SummaryRecord::totalDiskBytes>(240, 4),
    scalar<&SummaryRecord::firmwareMajor>(244, 2),
    scalar<&SummaryRecord::firmwareMinor>(246, 2),
    array<&SummaryRecord::firmwareDate>(248, 2),
}};

}  // namespace

std::optional<SummaryRecord> decodeSummaryRecord(Bytes bytes) {
    if (bytes.size() < kSummaryRecordSize)
        return std::nullopt;
    SummaryRecord r;
    for (const auto& f : kLayout) {
        std::int32_t* field = f.at(r);
        for (std::size_t i = 0; i < f.count; ++i) {
            const std::size_t at = f.offset + i * f.width;
            field[i] = f.width == 2 ? static_cast<std::int16_t>(readBe16(bytes, at))
                                    : static_cast<std::int32_t>(readBe32(bytes, at));
        }
    }
    return r;
}

bool encodeSummaryRecord(const SummaryRecord& record, MutableBytes out) {
    if (out.size() < kSummaryRecordSize)
        return false;
    std::fill(out.begin(), out.begin() + kSummaryRecordSize, 0);
    SummaryRecord copy = record;
    for (const auto& f : kLayout) {
        const std::int32_t* field = f.at(copy);
        for (std::size_t i = 0; i < f.count; ++i) {
            const std::size_t at = f.offset + i * f.width;
            if (f.width == 2)
                writeBe16(out, at, static_cast<std::uint16_t>(field[i]));
            else
                writeBe32(out, at, static_cast<std::uint32_t>(field[i]));
        }
    }
    return true;
}

}  // namespace cvh
