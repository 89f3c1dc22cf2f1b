#include "session/pc_logger_flow.h"

namespace cvh {

PcLoggerFlow::PcLoggerFlow(const Clock& systemClock, SerialPortTable& ports, ReceiveLoop& loop,
                           Operator& noticeOperator)
    : clock(systemClock),
      annotation(clock, noticeOperator),
      sink(loop),
      packet(clock, ports, loop.deckRouting(), sink, &annotation) {}

std::string PcLoggerFlow::tick(const PcLoggerForm& form, int cycleMs,
                               const RawDisplaySettings& display, RecordMode recordMode) {
    packet.rawDisplayOn = display.on && display.source == kRawSourcePcLogger;
    packet.buildPCLoggerPacket(form.CBRecordPCTime, cycleMs, 1, kPcSlotCount, recordMode);
    return packet.takeRawDisplayText();
}

}  // namespace cvh
