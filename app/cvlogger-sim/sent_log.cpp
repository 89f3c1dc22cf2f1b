#include "sent_log.h"

namespace cvh::sim {

SentLog::SentLog(const std::string& path) : file_(std::fopen(path.c_str(), "w")) {}

SentLog::~SentLog() {
    close();
}

void SentLog::note(const std::vector<std::uint8_t>& packet, LineFate fate) {
    if (!file_ || packet.size() < 2 || packet[0] != 8 || packet[1] != 8)
        return;
    static constexpr char kHex[] = "0123456789abcdef";
    line_ = std::to_string(++count_) + " " + lineFateName(fate) + " ";
    for (const std::uint8_t b : packet) {
        line_ += kHex[b >> 4];
        line_ += kHex[b & 15];
    }
    line_ += '\n';
    if (std::fwrite(line_.data(), 1, line_.size(), file_) != line_.size())
        failed_ = true;
}

bool SentLog::close() {
    if (!file_)
        return !failed_;
    if (std::fclose(file_) != 0)
        failed_ = true;
    file_ = nullptr;
    return !failed_;
}

}  // namespace cvh::sim
