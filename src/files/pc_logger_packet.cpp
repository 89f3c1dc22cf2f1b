#include "files/pc_logger_packet.h"

#include <algorithm>

namespace cvh {

PCLoggerPacket::PCLoggerPacket(PCLoggerClock& clock, SerialPortTable& ports,
                               const DeckRouting& routing, PcLoggerPacketSink& sink,
                               WaterSampleAnnotation* annotation)
    : clock_(clock), ports_(ports), routing_(routing), sink_(sink), annotation_(annotation) {}

void PCLoggerPacket::resetPCLoggerPacket(bool newSequence) {
    packetStartMs_ = clock_.readClock();
    buffer_[data_record::kFormat] = 1;
    buffer_[data_record::kTimeUnit] = 1;  // the time stamp counts 10 ms units
    buffer_[data_record::kUnit] = kPcLoggerId;
    if (newSequence)
        buffer_[data_record::kSequence] = nextSequence_++;
}

bool PCLoggerPacket::buildPCLoggerPacket(bool addPcTime, std::int64_t intervalMs, int firstPort,
                                         int lastPort, RecordMode recordMode) {
    const std::int64_t now = clock_.readClock(stampText_);
    const std::int64_t elapsed = now - packetStartMs_;
    if (elapsed < 0) {
        // The PC clock was set back: start the interval again instead of waiting for the old
        // instant to come round.
        packetStartMs_ = now;
        return false;
    }
    if (elapsed < intervalMs)
        return false;

    // The text slot of this packet: a waiting annotation first, else the PC time when asked.
    const bool annotationWaits = annotation_ != nullptr && annotation_->pending();
    const bool hasText = annotationWaits || addPcTime;
    const std::string& text = annotationWaits ? annotation_->pendingLine() : stampText_;
    const std::size_t textBytes = hasText ? text.size() + 2 : 0;  // the line and CR LF
    // A text that was put off keeps its room this time, so full ports cannot starve it.
    const std::size_t reserved = textDeferred_ ? std::min(textBytes, kPcLoggerDataArea) : 0;
    const std::size_t portBudget = kPcLoggerDataArea - reserved;

    MutableBytes record(buffer_);
    std::uint8_t* data = buffer_.data() + data_record::kPayload;
    PortCounts counts{};
    std::size_t length = 0;
    for (int n = std::max(firstPort, 1); n <= std::min(lastPort, 8); ++n) {
        const int function = routing_.pcFunction[static_cast<std::size_t>(n)];
        if (function != kPcFunctionMeterInput && function != kPcFunctionInputAndOutput)
            continue;
        std::size_t got = portBudget - length;
        if (got == 0)
            break;  // full: later ports are read in the next packet
        ports_.readPort(n, data + length, got);
        got = std::min(got, portBudget - length);
        counts[static_cast<std::size_t>(n - 1)] = static_cast<std::uint16_t>(got);
        length += got;
        pcBytesIn_[static_cast<std::size_t>(n)] += static_cast<int>(got);
    }

    if (hasText) {
        if (length + textBytes <= kPcLoggerDataArea) {
            std::copy(text.begin(), text.end(), data + length);
            data[length + text.size()] = '\r';
            data[length + text.size() + 1] = '\n';
            length += textBytes;
            counts[kPcTextSlot - 1] = static_cast<std::uint16_t>(textBytes);
            pcBytesIn_[kPcTextSlot] = static_cast<int>(textBytes);
            if (annotationWaits)
                annotation_->takePendingAnnotation();
            textDeferred_ = false;
        } else {
            textDeferred_ = true;
        }
    } else {
        textDeferred_ = false;
    }

    if (length == 0) {
        resetPCLoggerPacket(false);
        return false;
    }

    std::copy(kPcLoggerTrailer.begin(), kPcLoggerTrailer.end(), data + length);
    // The header travels big-endian, as on the logger's wire.
    writeBe16(record, data_record::kPayloadLength, static_cast<std::uint16_t>(length));
    writeBe32(record, data_record::kTimeStamp, static_cast<std::uint32_t>(packetStartMs_ / 10));
    for (std::size_t p = 0; p < counts.size(); ++p) {
        writeBe16(record, data_record::kCounts + 2 * p, counts[p]);
    }

    const std::size_t recordLength = length + data_record::kOverhead;
    if (rawDisplayOn)
        rawDisplayText_.append(buffer_.begin(), buffer_.begin() + recordLength);
    sink_.handleDataPacket(record.first(recordLength), recordMode);
    resetPCLoggerPacket(true);
    return true;
}

std::string PCLoggerPacket::takeRawDisplayText() {
    std::string text = std::move(rawDisplayText_);
    rawDisplayText_.clear();
    return text;
}

std::array<int, 10> PCLoggerPacket::takeBytesIn() {
    const auto counts = pcBytesIn_;
    pcBytesIn_.fill(0);
    return counts;
}

}  // namespace cvh
