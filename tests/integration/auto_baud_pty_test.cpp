// The port manager on the real Qt backend: a logger talking at a speed the host does not
// expect sends bytes but no packets; the auto-baud scan reopens the pty at each line setting.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "link/port_manager.h"
#include "platform/qt_serial_backend.h"
#include "session/logger_port_view.h"
#include "support/pty.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

constexpr int kCom = 41;

speed_t speedOf(int choice) {
    static const speed_t kSpeeds[] = {B9600, B600,  B1200,  B2400,  B4800,  B4800,
                                      B9600, B9600, B19200, B38400, B57600, B115200};
    return kSpeeds[choice];
}

class AutoBaudPtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        table.names().set(kCom, pty.slavePath());
        manager.state().loggerPortIndex = kCom;
        manager.state().loggerSetupIndex = 6;
        manager.onLoggerPortChange();
        ASSERT_TRUE(table.isPortOpen(0));
    }

    // One second of the host: what arrived is read, the timers run, the watchdog acts.
    void second() {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::uint8_t buffer[4096];
        std::size_t count = sizeof buffer;
        table.readPort(0, buffer, count);
        if (count > 0) {
            stats.noDataTimer = 2;
            framer.appendBytes(buffer, count);
        } else {
            --stats.noDataTimer;
        }
        --stats.badDataTimer;  // no packet in this stream
        manager.linkWatchdog();
    }

    speed_t lineSpeed() const {
        const termios t = pty.slaveSettings();
        return cfgetospeed(&t);
    }

    test::Pty pty;
    QtSerialBackend backend;
    test::ScriptedOperator op;
    SerialPortTable table{backend, op};
    PacketFramer framer;
    LinkStatistics stats;
    PortManager manager{table, framer, stats};
};

TEST_F(AutoBaudPtyTest, ScanReopensTheLineAtEachSpeedDownwardAndWraps) {
    manager.toggleAutoBaud();
    EXPECT_EQ(lineSpeed(), B9600);

    std::vector<int> tried;
    const std::vector<std::uint8_t> garbage(50, 0xF0);
    for (int s = 0; s < 6 * 12 && tried.size() < 12; ++s) {
        ASSERT_TRUE(pty.write(garbage));
        const int before = presentLoggerPort(manager.state()).loggerSetupIndex;
        second();
        if (presentLoggerPort(manager.state()).loggerSetupIndex != before) {
            tried.push_back(presentLoggerPort(manager.state()).loggerSetupIndex);
            ASSERT_TRUE(table.isPortOpen(0));
            EXPECT_EQ(lineSpeed(), speedOf(tried.back())) << tried.back();
            EXPECT_EQ(framer.size(), 0u);
            EXPECT_EQ(presentLoggerPort(manager.state()).loggerSetupColour, Colour::Red);
        }
    }
    EXPECT_EQ(tried, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 11, 10}));
    EXPECT_TRUE(op.asked.empty());
}

TEST_F(AutoBaudPtyTest, SilentLoggerFlagsThePortAfterTheStartGraceWithoutAScan) {
    manager.toggleAutoBaud();
    stats.noDataTimer = 15;
    stats.badDataTimer = 20;
    int seconds = 0;
    while (presentLoggerPort(manager.state()).loggerPortColour != Colour::Red && seconds < 30) {
        second();
        ++seconds;
    }
    EXPECT_EQ(seconds, 16);  // 15 down to -1
    EXPECT_EQ(presentLoggerPort(manager.state()).loggerSetupIndex,
              11);  // shown by the toggle, never tried
    EXPECT_EQ(lineSpeed(), B9600);
    EXPECT_TRUE(presentLoggerPort(manager.state()).loggerPortGroupVisible);
}

}  // namespace
}  // namespace cvh
