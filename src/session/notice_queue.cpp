#include "session/notice_queue.h"

namespace cvh {

void NoticeQueue::show(Operator& op, const std::string& caption, const std::string& text, bool beep,
                       bool deferring) {
    if (open_ + deferredCount() >= kLimit) {
        ++dropped_;
        return;
    }
    if (deferring) {
        deferred_.push_back({caption, text, beep});
        return;
    }
    open(op, {caption, text, beep});
}

void NoticeQueue::deliverOne(Operator& op) {
    if (deferred_.empty())
        return;
    PendingNotice notice = std::move(deferred_.front());
    deferred_.pop_front();
    open(op, notice);
}

void NoticeQueue::open(Operator& op, const PendingNotice& notice) {
    ++open_;
    op.notice(notice.caption, notice.text, notice.beep);
    --open_;
}

}  // namespace cvh
