#include "session/memo_text.h"

namespace cvh {

void MemoText::append(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) {
        if (b == '\r' || b == '\n') {
            // A CR LF pair, or a line end right after a 101-character break, adds no empty line.
            if (!lastWasLineEnd_ && !line_.empty())
                addLine();
            lastWasLineEnd_ = true;
            continue;
        }
        lastWasLineEnd_ = false;
        line_.push_back(static_cast<char>(b));
        if (line_.size() >= kMaxLineLength)
            addLine();
    }
}

void MemoText::append(std::string_view text) {
    append(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()),
                                         text.size()));
}

void MemoText::addLine() {
    if (lines_.size() >= kMaxLines)
        lines_.pop_front();
    lines_.push_back(line_);
    fresh_.push_back(std::move(line_));
    if (fresh_.size() > kMaxLines)
        fresh_.erase(fresh_.begin());
    line_.clear();
}

std::vector<std::string> MemoText::takeNewLines() {
    std::vector<std::string> out;
    out.swap(fresh_);
    return out;
}

}  // namespace cvh
