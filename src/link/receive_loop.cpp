#include "link/receive_loop.h"

#include <algorithm>
#include <cstring>

#include "base/cformat.h"
#include "link/serial_port_table.h"

namespace cvh {

namespace {

template <std::size_t N>
void store(std::array<std::uint8_t, N>& into, Bytes packet) {
    std::copy_n(packet.begin(), N, into.begin());
}

void appendText(std::string& into, Bytes bytes) {
    into.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

ReceiveLoop::ReceiveLoop(SerialPortTable& ports, Operator& op)
    : ports_(ports), operator_(op), commands_(ports, op) {
    // No unit has sent yet: 255 makes sequence 0 the expected first packet.
    lastSequence_.fill(255);
}

int ReceiveLoop::receiveStep(RecordMode recordMode) {
    std::size_t count = 0;
    if (isReplay(recordMode)) {
        // While replaying, the logger port is left alone; the archive supplies one packet.
        framer_.flush();
        if (consumers_.replay)
            count = std::min(consumers_.replay->nextReplayPacket(readBuffer_), readBuffer_.size());
    } else {
        count = framer_.room();
        ports_.readPort(kLoggerSlot, readBuffer_.data(), count);
        count = std::min(count, framer_.room());
    }

    int result = kReceivedNothing;
    if (count > 0) {
        result = kReceivedBytes;
        const Bytes chunk(readBuffer_.data(), count);
        if (recordMode == RecordMode::RawInput && consumers_.recorder &&
            consumers_.recorder->appendRaw(chunk))
            archiveBytes_ += static_cast<std::int64_t>(count);
        if (rawDisplay.on && rawDisplay.source == kRawSourceLogger)
            appendText(pending_.rawLoggerText, chunk);
        statistics_.totalInputBytes += static_cast<std::uint32_t>(count);
        framer_.appendBytes(chunk);
    }

    // At most one packet (or one rejected packet) per tick; bytes that start no packet are
    // skipped freely.
    const Frame frame = framer_.next();
    if (frame.packet()) {
        ++statistics_.packetCount;
        result = kReceivedPacket;
        dispatch(frame, recordMode);
    }
    return result;
}

void ReceiveLoop::dispatch(const Frame& frame, RecordMode recordMode) {
    const Bytes packet = frame.bytes;
    switch (frame.type) {
        case PacketType::Setup:
            store(records_.setup, packet);
            records_.setupPacketPending = true;
            break;
        case PacketType::FlashStatus:
            store(records_.flashStatus, packet);
            records_.flashErrorIndicator =
                readLeS16(records_.flashStatus, flash_status_frame::kIndicator);
            break;
        case PacketType::Status:
            store(records_.status, packet);
            records_.statusPacketPending = true;
            break;
        case PacketType::UploadBlock:
            store(records_.uploadBlock, packet);
            if (consumers_.upload)
                consumers_.upload->onUploadBlock(records_.uploadBlock);
            break;
        case PacketType::DirectoryEntry:
            store(records_.directoryEntry, packet);
            if (consumers_.directory)
                consumers_.directory->onDirectoryEntry(records_.directoryEntry);
            break;
        case PacketType::Calibration:
            store(records_.calibration, packet);
            if (consumers_.calibration)
                consumers_.calibration->onCalibration(records_.calibration);
            break;
        case PacketType::Hardware:
            store(records_.hardware, packet);
            records_.hardwarePacketPending = true;
            if (consumers_.hardware)
                consumers_.hardware->onHardwareRecord(records_.hardware);
            break;
        case PacketType::Data: {
            const std::size_t length = packet.size();
            // The header is converted in place for the archive; work on a copy so the framer's
            // bytes stay as received.
            std::copy_n(packet.begin(), length, readBuffer_.begin());
            handleDataPacket(MutableBytes(readBuffer_.data() + data_record::kStart, length - 4),
                             recordMode, archiveBytes_);
            const auto payload = static_cast<std::uint32_t>(length - kDataOverheadLength);
            statistics_.largestPayload = std::max(statistics_.largestPayload, payload);
            statistics_.largestPayloadEver = std::max(statistics_.largestPayloadEver, payload);
            break;
        }
    }
}

void ReceiveLoop::handleDataPacket(MutableBytes record, RecordMode recordMode,
                                   std::int64_t& recordedBytes) {
    // A record whose header is cut short or whose payload runs past its end cannot come from
    // the framer; from any other caller it is dropped before a byte of it is used.
    if (!readDataRecordHeader(record, HeaderOrder::Wire)) {
        ++statistics_.malformedRecords;
        return;
    }
    swapRecordHeaderOrder(record);
    const DataHeader header = *readDataRecordHeader(record, HeaderOrder::Archive);
    const int unit = header.unit;

    // The sequence memory covers units 0..8; a unit beyond it is refused before the duplicate
    // and keep-alive tests would index it.
    if (unit >= kSequenceMemoryUnits) {
        reportBadUnit(unit);
        return;
    }
    std::uint8_t& last = lastSequence_[unit];

    // The same packet twice: ignore the copy entirely.
    if (header.sequence == last) {
        ++statistics_.duplicatePackets;
        return;
    }
    // A keep-alive takes its sequence number but carries no data.
    if (header.payloadLength == 0) {
        last = header.sequence;
        ++statistics_.keepAlivePackets;
        return;
    }
    if (unit >= kUnitCount) {
        reportBadUnit(unit);
        return;
    }
    ++statistics_.unitPackets[unit];

    // A gap: count the missing packets; the packet revealing it is not used.
    const auto expected = static_cast<std::uint8_t>(last + 1);
    if (header.sequence != expected) {
        ++statistics_.gapTotal;
        ++statistics_.unitGapEvents[unit];
        statistics_.unitLastGap[unit] =
            header.sequence > last ? header.sequence - last - 1u : header.sequence + 255u - last;
        last = header.sequence;
        return;
    }
    acceptInSequence(record, header, recordMode, recordedBytes);
    last = header.sequence;
}

void ReceiveLoop::acceptInSequence(MutableBytes record, const DataHeader& header,
                                   RecordMode recordMode, std::int64_t& recordedBytes) {
    const Bytes payload = Bytes(record).subspan(data_record::kPayload, header.payloadLength);
    const int unit = header.unit;

    // Port view: the selected port of the selected unit.
    const int viewPort = rawDisplay.port;
    if (rawDisplay.on && rawDisplay.source == kRawSourceParsed && unit == rawDisplay.unit &&
        viewPort >= 0 && viewPort < kDataPortCount && header.counts[viewPort] != 0) {
        if (const auto segment = payloadSegment(payload, header.counts, viewPort))
            appendText(pending_.portText, *segment);
        else
            ++statistics_.segmentsOutsidePayload;
    }

    // Deck forwarding: unit 0 is the logger's own host unit and is never passed on.
    if (unit >= 1) {
        for (int slot = 1; slot < kDeckSlotCount; ++slot) {
            if (!deckRouting_.forwards(slot) || deckRouting_.pcSourceId[slot] != unit)
                continue;
            const int port = deckRouting_.pcSourcePort[slot] - 1;
            if (port < 0 || port >= kDataPortCount || header.counts[port] == 0)
                continue;
            const auto segment = payloadSegment(payload, header.counts, port);
            if (!segment) {
                ++statistics_.segmentsOutsidePayload;
                continue;
            }
            ports_.writePort(slot, segment->data(), segment->size());
            deckRouting_.pcBytesOut[slot] += static_cast<int>(segment->size());
        }
    }

    if (consumers_.data)
        consumers_.data->onDataRecord(header, payload);

    // Recording: the whole record, header now little-endian.
    if (isArchiving(recordMode) && consumers_.recorder &&
        consumers_.recorder->appendPacket(record, recordMode))
        recordedBytes += static_cast<std::int64_t>(record.size());
}

void ReceiveLoop::reportBadUnit(int unit) {
    ++statistics_.badUnitPackets;
    operator_.notice("Mux ID Error", cformat("%c%cSender Unit %d %d", '\r', '\n', unit, unit),
                     true);
}

void ReceiveLoop::resetUnitCounters() {
    statistics_.unitPackets.fill(0);
    statistics_.unitGapEvents.fill(0);
    statistics_.unitLastGap.fill(0);
}

void ReceiveLoop::startWake(int mvpScrollPosition) {
    commands_.sendText(kPolledWakeText);
    // The scroll bar runs 1..500; a countdown below 1 would never run out.
    wakeCountdown_ = std::max(1, mvpScrollPosition);
    wakeTest_ = {WakeTest::Stage::Started, 0, 0};
}

void ReceiveLoop::wakeStep(std::int64_t nowMilliseconds, int mvpScrollPosition) {
    if (wakeCountdown_ == 0)
        return;
    if (wakeCountdown_ == mvpScrollPosition)
        wakeStartMilliseconds_ = nowMilliseconds;
    if (--wakeCountdown_ != 0)
        return;
    commands_.sendText(kWakeText);
    wakeTest_ = {WakeTest::Stage::Measured, mvpScrollPosition,
                 nowMilliseconds - wakeStartMilliseconds_};
}

PendingDisplay ReceiveLoop::takePendingDisplay() {
    PendingDisplay out = std::move(pending_);
    pending_ = PendingDisplay{};
    return out;
}

}  // namespace cvh
