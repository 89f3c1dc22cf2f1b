#include <gtest/gtest.h>

#include <algorithm>

#include "base/checksum.h"
#include "fault_injector.h"
#include "line_pacer.h"
#include "logger_records.h"
#include "sim_options.h"
#include "sim_test_support.h"

namespace cvh::sim {
namespace {

TEST(FaultInjector, EachFaultDoesWhatItSaysAndTextPassesUntouched) {
    const Packet packet = buildFlashStatus(0);
    std::vector<std::uint8_t> line;

    FaultInjector drop({0, 0, 1.0, 0}, 1);
    EXPECT_EQ(drop.apply(packet, true, line), LineFate::Dropped);
    EXPECT_TRUE(line.empty());

    FaultInjector twice({0, 0, 0, 1.0}, 1);
    EXPECT_EQ(twice.apply(packet, true, line), LineFate::Duplicated);
    ASSERT_EQ(line.size(), 2 * packet.size());
    EXPECT_TRUE(std::equal(packet.begin(), packet.end(), line.begin() + packet.size()));

    line.clear();
    FaultInjector corrupt({0, 1.0, 0, 0}, 1);
    EXPECT_EQ(corrupt.apply(packet, true, line), LineFate::Corrupted);
    EXPECT_FALSE(checksumMatches(line));
    // Corrupted and sent twice: neither copy can be taken, so it counts as corrupted.
    line.clear();
    FaultInjector both({0, 1.0, 0, 1.0}, 1);
    EXPECT_EQ(both.apply(packet, true, line), LineFate::Corrupted);

    // Garbage goes before the packet, which the host's framer still finds.
    line.clear();
    FaultInjector garbage({1.0, 0, 0, 0}, 3);
    garbage.apply(packet, true, line);
    EXPECT_GT(line.size(), packet.size());
    test::Received got;
    test::PacketSorter sorter;
    sorter.feed(line, got);
    EXPECT_EQ(got.byType[2].size(), 1u);

    line.clear();
    FaultInjector all({1.0, 1.0, 1.0, 1.0}, 1);
    all.apply({'S', 'I', 'M'}, false, line);
    EXPECT_EQ(line, (std::vector<std::uint8_t>{'S', 'I', 'M'}));
}

TEST(FaultInjector, RatesComeOutNearTheirChance) {
    FaultInjector f({0, 0, 0.1, 0}, 7);
    std::vector<std::uint8_t> line;
    for (int i = 0; i < 10000; ++i)
        f.apply(buildFlashStatus(0), true, line);
    EXPECT_NEAR(static_cast<double>(f.counters().dropped), 1000, 150);
}

TEST(LinePacer, CarriesATenthOfTheBaudEachSecondInSmallBursts) {
    LinePacer p(9600, 0);  // 960 bytes a second
    std::size_t sent = 0;
    std::int64_t now = 0;
    while (now <= 1000) {
        const std::size_t n = p.allowance(now);
        p.sent(n);
        sent += n;
        EXPECT_LE(n, 10u);
        now += std::max<std::int64_t>(1, p.waitMs(1000, now));
    }
    EXPECT_NEAR(static_cast<double>(sent), 960, 20);
    // An idle line does not save up more than one burst.
    EXPECT_LE(p.allowance(60000), 10u);
    EXPECT_EQ(LinePacer(0).waitMs(100000, 0), 0);
}

TEST(SimOptions, ParsesIdentityFaultsAndRefusesNonsense) {
    const auto ok = parseSimOptions({"--device-type", "1", "--serial=12", "--firmware", "7.05",
                                     "--drop", "0.25", "--baud", "115200", "--autostart"});
    ASSERT_TRUE(ok.options);
    EXPECT_EQ(ok.options->deviceType, 1);
    EXPECT_EQ(ok.options->serialNumber, 12);
    EXPECT_EQ(ok.options->firmwareMinor, 5);
    EXPECT_DOUBLE_EQ(ok.options->faults.drop, 0.25);
    EXPECT_EQ(ok.options->baud, 115200u);
    EXPECT_TRUE(ok.options->autoStart);

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--firmware", "6.90"},
                                                {"--device-type", "4"},
                                                {"--drop", "1.5"},
                                                {"--baud", "1000"},
                                                {"--serial"},
                                                {"--what"},
                                                {"--rate", "2x"}}) {
        const auto r = parseSimOptions(bad);
        EXPECT_FALSE(r.options) << bad[0];
        EXPECT_TRUE(r.error);
    }
    EXPECT_FALSE(parseSimOptions({"--help"}).error);
}

}  // namespace
}  // namespace cvh::sim
