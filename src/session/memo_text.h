// The Real Time Data text view (Memo1): bytes are shown as they come, lines end at CR or LF, a
// line is broken after 101 characters, empty lines are never added and only the last 101 lines
// are kept, so appending stays cheap however long data are displayed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cvh {

class MemoText {
public:
    static constexpr std::size_t kMaxLineLength = 101;
    static constexpr std::size_t kMaxLines = 101;

    void append(std::span<const std::uint8_t> bytes);
    void append(std::string_view text);

    const std::deque<std::string>& lines() const { return lines_; }
    const std::string& partialLine() const { return line_; }
    // Lines added since a view had shown `shown` lines in all, for a view that appends them
    // itself (it keeps the same 101-line bound); `shown` moves to the total.
    std::vector<std::string> newLinesSince(std::uint64_t& shown) const;

private:
    void addLine();

    std::deque<std::string> lines_;
    std::string line_;  // DisplayLine
    bool lastWasLineEnd_ = false;
    std::uint64_t linesAdded_ = 0;
};

}  // namespace cvh
