#include "session/memo_text.h"

#include <algorithm>

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
    lines_.push_back(std::move(line_));
    ++linesAdded_;
    line_.clear();
}

std::vector<std::string> MemoText::newLinesSince(std::uint64_t& shown) const {
    const std::uint64_t added = linesAdded_ - std::min(shown, linesAdded_);
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(added, lines_.size()));
    shown = linesAdded_;
    return std::vector<std::string>(lines_.end() - static_cast<std::ptrdiff_t>(count),
                                    lines_.end());
}

}  // namespace cvh
