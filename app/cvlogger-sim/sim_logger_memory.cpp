// What the host asks of the stored runs: the directory, an upload, and clearing the memory.
#include "base/cformat.h"
#include "sim_logger.h"

namespace cvh::sim {

void SimLogger::sendDirectory() {
    if (!isIdle(state()) || portTest_) {
        say("directory request ignored: not in standby");
        return;
    }
    for (const auto& run : memory_.runs()) {
        send(packetOf(encodeDirectoryEntry(run.entry)));
        ++counters_.directoryEntries;
    }
    say(cformat("directory: %zu runs", memory_.runs().size()));
}

void SimLogger::startUpload(int runNumber) {
    // A repeated request for a run restarts it: the host starts its file again too.
    if (!(isIdle(state()) || upload_.active()) || portTest_) {
        say("upload request ignored: not in standby");
        return;
    }
    const StoredRun* run = memory_.find(runNumber);
    // An unknown run is answered with the end block at once, so the host is not left waiting.
    std::vector<std::uint8_t> file = run ? run->file : std::vector<std::uint8_t>{};
    say(cformat("upload of run %d, %zu bytes", runNumber, file.size()));
    send(upload_.begin(std::move(file), nowMs()));
    ++counters_.uploadBlocks;
}

void SimLogger::finishUpload() {
    const auto outcome = upload_.outcome();
    say(outcome == UploadSender::Outcome::Complete    ? "upload complete"
        : outcome == UploadSender::Outcome::Cancelled ? "upload cancelled"
                                                      : "upload abandoned: no acknowledgement");
    counters_.uploadResends += upload_.resends();
    upload_.abandon();
    idleState_ = LoggerState::Standby;
}

void SimLogger::clearMemory() {
    if (clearDoneMs_)
        return;
    halt();
    say("clearing memory");
    clearDoneMs_ = nowMs() + config_.clearMemoryMs;
}

}  // namespace cvh::sim
