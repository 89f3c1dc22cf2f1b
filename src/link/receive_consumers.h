// Where the receive loop hands what it received. Each consumer is optional: while one is not
// installed, its packets are only stored (and, for data, counted and shown).
#pragma once

#include <cstddef>

#include "base/bytes.h"
#include "link/data_packet.h"
#include "link/record_mode.h"

namespace cvh {

// The recorder: raw bytes in RawInput mode, accepted data records in the archive modes.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    // A chunk as it was read from the logger port; true when it was written.
    virtual bool appendRaw(Bytes bytes) = 0;
    // An accepted data record (the packet from byte 2 without its checksum, header
    // little-endian); opens the hour's or day's file first when needed; true when written.
    virtual bool appendPacket(Bytes record, RecordMode mode) = 0;
};

// The archive replayer: fills the empty receive buffer with at most one rebuilt data packet.
class ReplaySource {
public:
    virtual ~ReplaySource() = default;
    // Writes at most buffer.size() bytes; returns how many (0 = nothing this tick).
    virtual std::size_t nextReplayPacket(MutableBytes buffer) = 0;
};

// The upload: acknowledges and stores each block of the run being uploaded.
class UploadSink {
public:
    virtual ~UploadSink() = default;
    virtual void onUploadBlock(Bytes block) = 0;  // the whole 1036-byte packet
};

// The run directory: adds each entry to the run list.
class DirectorySink {
public:
    virtual ~DirectorySink() = default;
    virtual void onDirectoryEntry(Bytes entry) = 0;  // the whole 64-byte packet
};

// The analog-calibration page: shows a received calibration at once.
class CalibrationSink {
public:
    virtual ~CalibrationSink() = default;
    virtual void onCalibration(Bytes record) = 0;  // the whole 44-byte packet
};

// The hardware configuration: decodes a received record (the loop also raises
// hardwarePacketPending for the display-refresh tick).
class HardwareSink {
public:
    virtual ~HardwareSink() = default;
    virtual void onHardwareRecord(Bytes record) = 0;  // the whole 58-byte packet
};

// Live watchers of the data: every packet accepted in sequence, live or replayed.
class DataSink {
public:
    virtual ~DataSink() = default;
    // The header in host order and the packet's payload (the nine port segments).
    virtual void onDataRecord(const DataHeader& header, Bytes payload) = 0;
};

struct ReceiveConsumers {
    RecordSink* recorder = nullptr;
    ReplaySource* replay = nullptr;
    UploadSink* upload = nullptr;
    DirectorySink* directory = nullptr;
    CalibrationSink* calibration = nullptr;
    HardwareSink* hardware = nullptr;
    DataSink* data = nullptr;
};

}  // namespace cvh
