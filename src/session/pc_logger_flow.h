// The host's own logger as the session runs it: its clock, the annotation window's state and
// the packet builder, which hands each record to the receive loop like a logger packet.
#pragma once

#include <string>

#include "base/clock.h"
#include "base/operator.h"
#include "files/annotation.h"
#include "files/pc_logger_packet.h"
#include "files/pc_logger_packet_clock.h"
#include "link/receive_loop.h"
#include "link/record_mode.h"
#include "link/serial_port_table.h"
#include "session/pc_logger_setup.h"

namespace cvh {

class PcLoggerFlow {
public:
    // Annotation notices go to `noticeOperator` (the session's ShowNotice).
    PcLoggerFlow(const Clock& clock, SerialPortTable& ports, ReceiveLoop& loop,
                 Operator& noticeOperator);
    PcLoggerFlow(const PcLoggerFlow&) = delete;
    PcLoggerFlow& operator=(const PcLoggerFlow&) = delete;

    // Start-up: an empty packet, stamped now, with sequence number 0.
    void reset() { packet.resetPCLoggerPacket(true); }

    // The PC logger's part of the 10 ms tick. The builder keeps its own interval, so this runs
    // on every tick. Returns the bytes for the raw display when it shows "Raw PC Logger Data".
    std::string tick(const PcLoggerForm& form, int cycleMs, const RawDisplaySettings& display,
                     RecordMode recordMode);

    PCLoggerClock clock;
    WaterSampleAnnotation annotation;
    ReceiveLoopPacketSink sink;
    PCLoggerPacket packet;
};

}  // namespace cvh
