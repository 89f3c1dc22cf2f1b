#include "files/pc_logger_packet.h"
#include "link/receive_loop.h"

namespace cvh {

void ReceiveLoopPacketSink::handleDataPacket(MutableBytes record, RecordMode recordMode) {
    loop_.handleDataPacket(record, recordMode, loop_.archiveBytes());
}

}  // namespace cvh
