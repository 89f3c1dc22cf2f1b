// The port-statistics window (TStatsForm): eleven lines of live figures, bound to one serial-port
// slot at a time. Writers name the slot they report on; updates for another slot are ignored,
// so the window never mixes two ports' figures.
#pragma once

#if defined(CVH_CORE_FACTS_ONLY)
#error "presentation header: link, config and files report facts, the session presents them"
#endif

#include <array>
#include <string>

#include "session/colour.h"

namespace cvh {

struct StatsLine {
    std::string text;
    Colour colour = Colour::ButtonFace;
    bool visible = false;
};

class StatsWindow {
public:
    static constexpr int kLineCount = 11;
    // The bytes the bound port lost: those that came faster than they were read, and those
    // its send queue had no room for.
    static constexpr int kOverrunLine = 10;
    static constexpr int kWriteOverflowLine = 11;

    // Binds the window to `slot` and shows lines 1..lineCount; any other count closes it.
    void openStats(int slot, int lineCount, const std::string& caption);
    void closeStats();
    void setStatsLine(int slot, int line, const std::string& text);
    void setStatsColour(int slot, int line, Colour colour);

    int boundSlot() const { return boundSlot_; }
    bool visible() const { return visible_; }
    const std::string& caption() const { return caption_; }
    const StatsLine& line(int line) const { return lines_.at(static_cast<std::size_t>(line - 1)); }

private:
    bool accepts(int slot, int line) const {
        return slot == boundSlot_ && boundSlot_ >= 0 && line >= 1 && line <= kLineCount;
    }

    int boundSlot_ = -1;
    bool visible_ = false;
    std::string caption_ = "Statistics Form";
    std::array<StatsLine, kLineCount> lines_{};
};

}  // namespace cvh
