// ShowNotice nesting, its limit and its deferral out of timer ticks; the text view's line rules.
#include <gtest/gtest.h>

#include <string>

#include "session/memo_text.h"
#include "session/notice_queue.h"
#include "session_fixture.h"

namespace cvh::test {
namespace {

// An operator whose every box raises another notice while it is open, as a timer tick firing
// under a modal box would.
class NestingOperator : public ScriptedOperator {
public:
    HostSession* session = nullptr;
    int deepest = 0;
    void notice(const std::string& caption, const std::string& text, bool beep) override {
        ScriptedOperator::notice(caption, text, beep);
        deepest = std::max(deepest, session->notices().openCount());
        session->showNotice("Nested", std::to_string(asked.size()));
    }
};

TEST(ShowNotice, NestsUpToTenBoxesAndDropsTheRest) {
    FakeSerialBackend backend;
    NestingOperator op;
    FixedClock clock;
    HostSession session(backend, op, clock);
    op.session = &session;
    session.showNotice("First", "one");
    EXPECT_EQ(op.notices().size(), 10u);
    EXPECT_EQ(op.deepest, 10);
    EXPECT_EQ(op.beeps, 10);
    EXPECT_EQ(session.notices().openCount(), 0);
    EXPECT_EQ(session.notices().dropped(), 1);
    // Once the boxes are closed, notices show again.
    session.showNotice("Again", "two");
    EXPECT_EQ(op.notices().size(), 20u);
}

TEST(ShowNotice, NoticesFromATickWaitUntilTheTickReturns) {
    ScriptedOperator op;
    NoticeQueue q;
    q.show(op, "Mux ID Error", "\r\nSender Unit 5 5", true, /*deferring=*/true);
    EXPECT_TRUE(op.asked.empty());
    EXPECT_TRUE(q.hasDeferred());
    q.deliverOne(op);
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "Mux ID Error");
    EXPECT_FALSE(q.hasDeferred());
}

TEST(ShowNotice, WaitingNoticesCountTowardsTheLimit) {
    ScriptedOperator op;
    NoticeQueue q;
    for (int i = 0; i < 25; ++i)
        q.show(op, "Mux ID Error", "x", true, true);
    EXPECT_EQ(q.deferredCount(), 10);
    EXPECT_EQ(q.dropped(), 15);
    while (q.hasDeferred())
        q.deliverOne(op);
    EXPECT_EQ(op.notices().size(), 10u);
}

TEST(ShowNotice, LowerLayersReportThroughTheSession) {
    SessionFixture f;
    f.s().linkPorts().loggerPortChange(7, 6);  // no such device on the fake backend
    ASSERT_EQ(f.op.notices().size(), 1u);
    EXPECT_EQ(f.op.notices()[0].caption, "Could Not Open COM7");
}

std::vector<std::string> lines(const MemoText& m) {
    return {m.lines().begin(), m.lines().end()};
}

TEST(MemoText, CrLfPairsEndOneLineAndEmptyLinesNeverAppear) {
    MemoText m;
    m.append(std::string_view("ab\r\n\r\ncd\r\n"));
    EXPECT_EQ(lines(m), (std::vector<std::string>{"ab", "cd"}));
    m.append(std::string_view("\n\r\r\n"));
    EXPECT_EQ(m.lines().size(), 2u);
}

TEST(MemoText, LongRunsBreakAfter101Characters) {
    MemoText m;
    m.append(std::string(250, 'x'));
    ASSERT_EQ(m.lines().size(), 2u);
    EXPECT_EQ(m.lines()[0].size(), 101u);
    EXPECT_EQ(m.lines()[1].size(), 101u);
    EXPECT_EQ(m.partialLine().size(), 48u);
    m.append(std::string_view("\r"));
    ASSERT_EQ(m.lines().size(), 3u);
    EXPECT_EQ(m.lines()[2].size(), 48u);
    // A line end right after a break adds nothing.
    MemoText exact;
    exact.append(std::string(101, 'y') + "\r\n");
    EXPECT_EQ(exact.lines().size(), 1u);
}

TEST(MemoText, KeepsTheLast101Lines) {
    MemoText m;
    for (int i = 0; i < 150; ++i)
        m.append("line " + std::to_string(i) + "\n");
    ASSERT_EQ(m.lines().size(), 101u);
    EXPECT_EQ(m.lines().front(), "line 49");
    EXPECT_EQ(m.lines().back(), "line 149");
    std::uint64_t shown = 0;
    const auto fresh = m.newLinesSince(shown);
    EXPECT_EQ(fresh.size(), 101u);
    EXPECT_TRUE(m.newLinesSince(shown).empty());
}

TEST(MemoText, BinaryBytesAreShownAsTheyAre) {
    MemoText m;
    const std::uint8_t bytes[] = {0x01, 0xFF, 'A', 0x00, '\n'};
    m.append(std::span<const std::uint8_t>(bytes));
    ASSERT_EQ(m.lines().size(), 1u);
    EXPECT_EQ(m.lines()[0], std::string("\x01\xFF"
                                        "A",
                                        3) +
                                std::string(1, '\0'));
}

}  // namespace
}  // namespace cvh::test
