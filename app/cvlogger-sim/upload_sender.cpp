#include "upload_sender.h"

#include <algorithm>

namespace cvh::sim {

Packet UploadSender::begin(std::vector<std::uint8_t> file, std::int64_t nowMs) {
    file_ = std::move(file);
    offset_ = 0;
    inFlightSize_ = 0;
    // Blocks count from 1: the host takes a block numbered like the one before as a repeat,
    // and its memory of the last number starts at 0 and outlives a run.
    blockNumber_ = 0;
    finalInFlight_ = false;
    cancelled_ = false;
    resendTotal_ = 0;
    outcome_ = Outcome::Active;
    return sendNext(nowMs);
}

Packet UploadSender::buildCurrent() {
    const Bytes data =
        finalInFlight_ ? Bytes{} : Bytes(file_).subspan(offset_ - inFlightSize_, inFlightSize_);
    // A block in flight never holds more than one block's data, so the encoder always builds.
    return packetOf(*encodeUploadBlock(blockNumber_, data));
}

Packet UploadSender::sendNext(std::int64_t nowMs) {
    // Zero is skipped when the number wraps, for the same reason blocks start at 1.
    blockNumber_ = static_cast<std::uint16_t>(blockNumber_ == 0xFFFF ? 1 : blockNumber_ + 1);
    if (cancelled_ || offset_ >= file_.size()) {
        finalInFlight_ = true;
        inFlightSize_ = 0;
    } else {
        inFlightSize_ = std::min(kUploadDataCapacity, file_.size() - offset_);
        offset_ += inFlightSize_;
    }
    sentAtMs_ = nowMs;
    resends_ = 0;
    return buildCurrent();
}

std::optional<Packet> UploadSender::onAck(std::uint32_t argumentA, std::uint16_t blockNumber,
                                          std::int64_t nowMs) {
    if (outcome_ != Outcome::Active || blockNumber != blockNumber_)
        return std::nullopt;
    if (finalInFlight_) {
        outcome_ = cancelled_ ? Outcome::Cancelled : Outcome::Complete;
        return std::nullopt;
    }
    if (argumentA == 2)
        cancelled_ = true;
    return sendNext(nowMs);
}

std::optional<Packet> UploadSender::onTimer(std::int64_t nowMs) {
    if (outcome_ != Outcome::Active || nowMs - sentAtMs_ < settings_.ackTimeoutMs) {
        return std::nullopt;
    }
    if (resends_ >= settings_.maxResends) {
        outcome_ = Outcome::GaveUp;
        return std::nullopt;
    }
    ++resends_;
    ++resendTotal_;
    sentAtMs_ = nowMs;
    return buildCurrent();
}

std::optional<std::int64_t> UploadSender::deadlineMs() const {
    if (outcome_ != Outcome::Active)
        return std::nullopt;
    return sentAtMs_ + settings_.ackTimeoutMs;
}

}  // namespace cvh::sim
