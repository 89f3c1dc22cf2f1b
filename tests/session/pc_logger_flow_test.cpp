// The PC logger inside the session: packets at the deck rate over simulated ticks, meter input
// passed to a logger output, the PC-port lines of the link monitor, the raw PC-logger display
// and the water-sample annotation window sending its lines in the text slot.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "session/pc_logger_flow.h"
#include "session/session_fixture.h"

namespace cvh::test {
namespace {

namespace fs = std::filesystem;

class PcLoggerFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.path().empty());
        meter = f.addLoggerLine(5);
        deck = f.addLoggerLine(6);
        f.s().startUp(dir_.str());
    }

    HostSession& s() { return f.s(); }
    // One 10 ms timer tick, the clock moved on first.
    void tick() {
        f.clock.nowMilliseconds += 10;
        if (++f.clock.nowHundredths == 100) {
            f.clock.nowHundredths = 0;
            ++f.clock.now;
        }
        s().onTick10ms();
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            tick();
    }
    // Slot 1 a meter input on COM 5, slot 2 a logger output of logger 1's `sourcePort`.
    void loadSlots(int sourcePort) {
        auto& pc = s().pcLogger();
        pc.form.rows[0].PortTypeCB = kPcPortTypeMeterInput;
        pc.form.rows[0].DeckPortCB = 5;
        pc.form.rows[0].DeckSetupCB = 6;
        pc.form.rows[1].PortTypeCB = kPcPortTypeLoggerOutput;
        pc.form.rows[1].DeckPortCB = 6;
        pc.form.rows[1].DeckSetupCB = 11;
        pc.sourceIdStepped(2, 1);
        pc.sourcePortStepped(2, sourcePort);
        pc.slotRowChanged();
        pc.loadPcSetup();
    }
    std::string deckText() const { return std::string(deck->written.begin(), deck->written.end()); }
    // The text-slot lines that reached the deck output, without their CR LF.
    std::vector<std::string> deckLines() const {
        std::vector<std::string> lines;
        const std::string text = deckText();
        std::size_t start = 0;
        for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    SessionFixture f;
    std::shared_ptr<FakeLine> meter, deck;
    // A new, empty directory per test: no "last.cvh" of another run is ever read.
    TempDir dir_{"cvh_pcf"};
};

TEST_F(PcLoggerFlowTest, PacketsFollowTheDeckRateFromSequenceZero) {
    s().pcLogger().form.CBRecordPCTime = true;
    struct Case {
        int rate;
        int packetsIn10s;
    };
    std::uint32_t before = 0;
    int sent = 0;
    for (const Case c : {Case{4, 40}, Case{20, 200}, Case{1, 10}, Case{10, 100}}) {
        s().pcLogger().deckRateStepped(c.rate);
        ticks(1000);
        const std::uint32_t packets = s().link().unitPackets[1];
        // The first interval after a change may still run at the old rate.
        EXPECT_NEAR(int(packets - before), c.packetsIn10s, 1) << c.rate;
        before = packets;
        sent = int(packets);
    }
    // Every packet took the next number from 0 on: none skipped, the receive loop saw no gap.
    EXPECT_EQ(s().pcLoggerFlow().packet.sequence(), static_cast<std::uint8_t>(sent));
    EXPECT_EQ(s().link().unitGapEvents[1], 0u);
    EXPECT_TRUE(f.op.asked.empty());
}

TEST_F(PcLoggerFlowTest, NothingReadAndNoTimeMeansNoPacketAndNoSequenceUsed) {
    loadSlots(1);
    ticks(300);
    EXPECT_EQ(s().link().unitPackets[1], 0u);
    EXPECT_EQ(s().pcLoggerFlow().packet.sequence(), 0);
    const std::string data = "$GPGGA,1\r\n";
    meter->incoming.assign(data.begin(), data.end());
    ticks(100);
    EXPECT_EQ(s().link().unitPackets[1], 1u);
    EXPECT_EQ(s().pcLoggerFlow().packet.sequence(), 1);
}

TEST_F(PcLoggerFlowTest, MeterInputLeavesTheLoggerOutputAndTheMonitorCountsBoth) {
    loadSlots(1);
    s().pcLogger().deckRateStepped(10);
    std::string sent;
    for (int n = 0; n < 30; ++n) {
        const std::string line = "T=" + std::to_string(n) + ",S=35.1\r\n";
        meter->incoming.insert(meter->incoming.end(), line.begin(), line.end());
        sent += line;
        ticks(7);
    }
    ticks(20);
    EXPECT_EQ(deckText(), sent);

    s().onTick1000ms();
    const std::string in = "Port 1:  In  " +
                           std::string(4 - std::to_string(sent.size()).size(), ' ') +
                           std::to_string(sent.size());
    EXPECT_EQ(s().dataStatus().DSPCPort[0].caption, in);
    EXPECT_EQ(s().dataStatus().PCPort[0], in);
    EXPECT_EQ(s().dataStatus().DSPCPort[1].caption,
              "Port 2:  Out " + std::string(4 - std::to_string(sent.size()).size(), ' ') +
                  std::to_string(sent.size()));
    EXPECT_TRUE(s().dataStatus().DSPCPort[0].visible);
    EXPECT_EQ(s().dataStatus().DSPCPort[2].caption, "Port 3:");
    s().onTick1000ms();
    EXPECT_EQ(s().dataStatus().DSPCPort[0].caption, "Port 1:  In     0");
}

TEST_F(PcLoggerFlowTest, RawPcLoggerDisplayShowsEachRecord) {
    s().pcLogger().form.CBRecordPCTime = true;
    s().linkPorts().rawPortChange(2, 0, 2);
    s().linkPorts().displayRawClick();
    ticks(100);
    const auto& memo = s().linkPorts().realTime().Memo1;
    std::string shown = memo.partialLine();
    for (const auto& line : memo.lines())
        shown += line;
    EXPECT_NE(shown.find("####"), std::string::npos);
    EXPECT_NE(shown.find("11/14/23"), std::string::npos);
}

TEST_F(PcLoggerFlowTest, AnnotationWindowSequencesTravelInTheTextSlot) {
    loadSlots(9);  // the output names logger 1's text slot
    auto& a = s().pcLoggerFlow().annotation;
    a.show();
    EXPECT_TRUE(a.form.visible);
    const auto sendAndTick = [&](auto click) {
        click();
        ticks(101);  // one PC-logger interval at 1 Hz
    };
    sendAndTick([&] { a.startSample(); });
    sendAndTick([&] { a.startSample(); });
    sendAndTick([&] { a.endSample(); });
    EXPECT_EQ(a.form.UDNext, 3);
    EXPECT_EQ(a.form.LBNext, "Next Water Sample:  3");
    sendAndTick([&] {
        a.resetSampleCount();
        a.endSample();
    });
    a.stepNextSample(1000);
    EXPECT_EQ(a.form.LBNext, "Next Water Sample: 1000");
    sendAndTick([&] { a.startSample(); });
    EXPECT_EQ(a.form.UDNext, 1000);
    EXPECT_EQ(a.form.LBNext, "Next Water Sample:  1001");
    sendAndTick([&] { a.startSample(); });
    a.form.EDITAnnotation.clear();
    sendAndTick([&] { a.insertTypedAnnotation(); });

    // Two marks within one interval: the first is reported and lost, the second is sent.
    a.form.EDITAnnotation = "CTD down";
    a.insertTypedAnnotation();
    EXPECT_EQ(a.form.EDITAnnotation, "");
    const std::string lost = a.pendingLine();
    a.form.EDITAnnotation = "CTD up";
    a.insertTypedAnnotation();
    ticks(101);
    ASSERT_EQ(f.op.notices().size(), 1u);
    EXPECT_EQ(f.op.notices()[0].caption,
              "Error - Unable to insert this record into the Archive File");
    EXPECT_EQ(f.op.notices()[0].text, lost);

    const std::vector<std::string> texts = {"Start Sample 1",
                                            "Start Sample 2",
                                            "End Sample 2",
                                            "End Sample 1",
                                            "Start Sample 1000",
                                            "Start Sample 1000",
                                            "",
                                            "CTD up"};
    const auto lines = deckLines();
    ASSERT_EQ(lines.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        // "%02d/%02d/%02d<tab>%02d:%02d:%02d.%03d", one blank, the text.
        ASSERT_GE(lines[i].size(), 22u) << i;
        EXPECT_EQ(lines[i].substr(0, 9), "11/14/23\t") << i;
        EXPECT_EQ(lines[i][21], ' ') << i;
        EXPECT_EQ(lines[i].substr(22), texts[i]) << i;
    }
    EXPECT_EQ(a.form.AnnotateDANDT, lines.back().substr(0, 21));
    EXPECT_EQ(a.form.LBAnnotation, "CTD up");
    a.hide();
    EXPECT_FALSE(a.form.visible);
}

}  // namespace
}  // namespace cvh::test
