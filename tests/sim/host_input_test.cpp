#include <gtest/gtest.h>

#include <string>

#include "base/checksum.h"
#include "config/logger_setup.h"
#include "host_input.h"
#include "link/command_frames.h"

namespace cvh::sim {
namespace {

using Kind = HostRequest::Kind;
using Stream = std::vector<std::uint8_t>;

void add(Stream& s, Bytes b) {
    s.insert(s.end(), b.begin(), b.end());
}
void add(Stream& s, std::string_view t) {
    s.insert(s.end(), t.begin(), t.end());
}

// What a host typically writes in one session: a stop sequence, a setup, a test and texts.
Stream session(Bytes setupRecord) {
    Stream s;
    add(s, buildCommandFrame(CommandCode::Stop));
    add(s, kBreakText);
    add(s, buildCommandFrame(CommandCode::SetTime, 300, 0));
    add(s, setupRecord);
    add(s, *buildPortTestFrame(3, 7, 6));
    add(s, kStop7E1Text);
    add(s, kPolledWakeText);
    add(s, kSleepText);
    add(s, buildCommandFrame(CommandCode::UploadRun, 0, 17));
    return s;
}

std::vector<Kind> kinds(const std::vector<HostRequest>& r) {
    std::vector<Kind> k;
    for (const auto& x : r)
        k.push_back(x.kind);
    return k;
}

TEST(HostInput, RecognisesEverythingInOrderHoweverTheStreamIsSplit) {
    SetupSnapshot setup;
    LoggerSetup fields;
    fields.mode = 12;
    setup.encode(fields);
    const Stream s = session(setup.bytes());
    const std::vector<Kind> expected{Kind::Command,  Kind::StopText,  Kind::Command,
                                     Kind::Setup,    Kind::PortTest,  Kind::StopText,
                                     Kind::WakeText, Kind::SleepText, Kind::Command};
    for (std::size_t cut = 0; cut <= s.size(); ++cut) {
        HostInput in;
        std::vector<HostRequest> out;
        in.feed(Bytes(s).first(cut), out);
        in.feed(Bytes(s).subspan(cut), out);
        ASSERT_EQ(kinds(out), expected) << "split at " << cut;
        EXPECT_EQ(out[0].code, 0xA1A1);
        EXPECT_EQ(out[2].code, 0xAEAE);
        EXPECT_EQ(out[2].argumentA, 300u);
        EXPECT_EQ(out[3].record, Stream(setup.bytes().begin(), setup.bytes().end()));
        EXPECT_EQ(out[4].portTest.port, 3);
        EXPECT_EQ(out[4].portTest.testBaud, 9600u);
        EXPECT_EQ(out[4].portTest.hostBaud, 9600u);
        EXPECT_EQ(out[8].argumentB, 17);
    }
}

TEST(HostInput, DamagedFramesAreDroppedAndTheNextIntactOneIsTaken) {
    Stream s{0x55, 0x02, 0x02};  // garbage, with a false start
    auto bad = buildCommandFrame(CommandCode::GetSetup);
    bad[10] ^= 1;
    add(s, bad);
    auto swapped = buildCommandFrame(CommandCode::GetHardware);
    std::swap(swapped[10], swapped[11]);  // a big-endian checksum is not the logger's
    add(s, swapped);
    add(s, buildCommandFrame(CommandCode::GetDirectory));
    HostInput in;
    std::vector<HostRequest> out;
    in.feed(s, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].code, 0xB8B8);
    EXPECT_GE(in.counters().checksumFailures, 2u);
}

TEST(HostInput, ConfigurationRecordsComeWithTheirBytes) {
    std::array<std::uint8_t, 58> hw{7, 7, 1, 0, 3, 0};
    std::array<std::uint8_t, 44> cal{6, 6, 15, 0};
    storeChecksum(hw);
    storeChecksum(cal);
    Stream s;
    add(s, hw);
    add(s, cal);
    HostInput in;
    std::vector<HostRequest> out;
    in.feed(s, out);
    ASSERT_EQ(kinds(out), (std::vector<Kind>{Kind::Hardware, Kind::Calibration}));
    EXPECT_EQ(out[0].record, Stream(hw.begin(), hw.end()));
    EXPECT_EQ(out[1].record, Stream(cal.begin(), cal.end()));
}

TEST(HostInput, OrdinaryTypedTextIsNotACommand) {
    Stream s;
    add(s, std::string_view("DS\r\nWAK\r\nE STOP\r\n"));
    HostInput in;
    std::vector<HostRequest> out;
    in.feed(s, out);
    EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace cvh::sim
