#include "session/stats_window.h"

namespace cvh {

void StatsWindow::openStats(int slot, int lineCount, const std::string& caption) {
    if (lineCount < 1 || lineCount > kLineCount) {
        closeStats();
        return;
    }
    boundSlot_ = slot;
    for (int i = 0; i < kLineCount; ++i)
        lines_[static_cast<std::size_t>(i)].visible = i < lineCount;
    caption_ = caption;
    visible_ = true;
}

void StatsWindow::closeStats() {
    boundSlot_ = -1;
    visible_ = false;
    caption_ = "Closed";
    for (auto& l : lines_)
        l.visible = false;
}

void StatsWindow::setStatsLine(int slot, int line, const std::string& text) {
    if (!accepts(slot, line))
        return;
    auto& l = lines_[static_cast<std::size_t>(line - 1)];
    if (l.text == text)
        return;
    l.text = text;
}

void StatsWindow::setStatsColour(int slot, int line, Colour colour) {
    if (!accepts(slot, line))
        return;
    auto& l = lines_[static_cast<std::size_t>(line - 1)];
    if (l.colour == colour)
        return;
    l.colour = colour;
}

}  // namespace cvh
