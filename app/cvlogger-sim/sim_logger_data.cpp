// Instrument data while the logger samples: gathered from the ports, packed into data packets,
// recorded in the run and put on the line as the output format says.
#include "logger_limits.h"
#include "sim_logger.h"

namespace cvh::sim {

void SimLogger::collectInstrumentData(std::int64_t now) {
    const std::int64_t seconds = loggerSeconds();
    for (int p = 0; p < 8; ++p) {
        if (instruments_[p])
            instruments_[p]->produce(now, seconds, pending_[p]);
    }
    analog_->produce(now, pending_[8]);
    for (auto& p : pending_) {
        if (p.size() > kMaxPendingPerPort)
            p.erase(p.begin(), p.end() - kMaxPendingPerPort);
    }
}

void SimLogger::sendDataPacket(bool allowData) {
    DataPacketFields f;
    f.format = 1;
    f.timeUnit = 0;  // the time stamp counts seconds
    f.unit = static_cast<std::uint8_t>(loggerId_);
    f.sequence = sequence_;
    f.timeStamp = static_cast<std::uint32_t>(loggerSeconds());
    std::array<std::uint32_t, 9> taken{};
    PortBacklog none;
    const Packet packet = takeDataPacket(allowData ? pending_ : none, f, kMaxPacketPayload, taken);
    ++sequence_;
    const bool keepAlive = packet.size() == kDataOverheadLength;
    if (keepAlive) {
        ++counters_.keepAlives;
    } else {
        ++counters_.dataPackets;
        for (int p = 0; p < 9; ++p)
            bytesThisSecond_[p] += taken[p];
        if (recorder_) {
            if (!memory_.fits(recorder_->size() + packet.size() + kRunClosingReserve)) {
                endRun("memory full");
                return;
            }
            recorder_->appendDataPacket(packet);
        }
    }
    // What goes on the line depends on the output format; the run keeps everything.
    const int format = setup_.outputFormat;
    if (format == 0)
        return;  // status only
    if (keepAlive || format == 1 || format == 2) {
        send(packet);
    } else if (format == 3) {
        send(onlyPort(packet, 8));
    } else if (format >= 4 && format <= 11) {
        send(onlyPort(packet, format - 4));
    }
}

}  // namespace cvh::sim
