// The program's one notice box (ShowNotice): an exclamation beep, a modal box with caption and
// text. At most ten are open or waiting at once; further ones are dropped, so a flood of the same
// error cannot stack boxes without end. A notice raised inside a timer tick waits until the tick
// has returned: a modal box opened from the 10 ms tick would stop that timer while the box
// waits, and the logger's data would pile up in the serial buffer.
#pragma once

#include <deque>
#include <string>

#include "base/operator.h"

namespace cvh {

struct PendingNotice {
    std::string caption;
    std::string text;
    bool beep = true;
};

class NoticeQueue {
public:
    static constexpr int kLimit = 10;

    // Shows the notice now, or queues it while `deferring`; drops it at the limit.
    void show(Operator& op, const std::string& caption, const std::string& text, bool beep,
              bool deferring);
    bool hasDeferred() const { return !deferred_.empty(); }
    // Opens the oldest waiting notice (called once the tick has returned).
    void deliverOne(Operator& op);

    int openCount() const { return open_; }
    int deferredCount() const { return static_cast<int>(deferred_.size()); }
    int dropped() const { return dropped_; }

private:
    void open(Operator& op, const PendingNotice& notice);

    int open_ = 0;  // NoticeDepth: boxes now on screen, nested
    int dropped_ = 0;
    std::deque<PendingNotice> deferred_;
};

}  // namespace cvh
