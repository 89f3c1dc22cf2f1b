// The factory pages over a pseudo-terminal with the Qt serial backend: what the logger reports
// goes back to it byte for byte once the password is given, retained bytes included.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <random>
#include <thread>
#include <vector>

#include "link/port_manager.h"
#include "link/receive_loop.h"
#include "platform/qt_serial_backend.h"
#include "session/factory_settings.h"
#include "support/factory_records.h"
#include "support/pty.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

using Bytes8 = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

class FactoryPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(logger.ok());
        table.names().set(62, logger.slavePath());
        ASSERT_EQ(ports.reopenPort(kLoggerSlot, 62, 11), 11);
        loop.setConsumers({.calibration = &factory.analog(), .hardware = &factory.hardware()});
    }
    // Ticks the receive loop, 10 ms apart, until `done` or two seconds have passed.
    bool tickUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + 2s;
        while (std::chrono::steady_clock::now() < end) {
            loop.receiveStep(RecordMode::Off);
            if (done())
                return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }
    Bytes8 frame(CommandCode code) {
        const CommandFrame f = buildCommandFrame(code);
        return Bytes8(f.begin(), f.end());
    }

    test::Pty logger;
    QtSerialBackend backend;
    test::ScriptedOperator op;
    SerialPortTable table{backend, op};
    ReceiveLoop loop{table, op};
    PortManager ports{table, loop.framer(), loop.statistics()};
    ChangeMarks marks;
    FactorySettings factory{loop.commands(), op, marks};
};

TEST_F(FactoryPty, ReceivedHardwareConfigurationIsSentBackWholeAfterThePassword) {
    std::mt19937 rng(17);
    const Bytes8 record = test::randomHardwareRecord(rng);
    HardwareSettings& hardware = factory.hardware();
    hardware.getHardware();
    EXPECT_EQ(logger.read(12), frame(CommandCode::GetHardware));
    ASSERT_TRUE(logger.write(record));
    auto& records = loop.records();
    ASSERT_TRUE(tickUntil([&] { return records.hardwarePacketPending; }));
    EXPECT_EQ(hardware.view().identity->serialNumber, readLe16(record, 2));
    // The display refresh fills the page.
    records.hardwarePacketPending = false;
    hardware.applyHardware();

    hardware.setPassword("KeepClea");
    EXPECT_FALSE(hardware.sendHardware());
    EXPECT_TRUE(logger.readUntilQuiet(50ms).empty());
    hardware.setPassword("KeepClear");
    EXPECT_TRUE(hardware.sendHardware());
    EXPECT_EQ(logger.read(kHardwareRecordLength), record);
}

TEST_F(FactoryPty, ReceivedAnalogCalibrationIsSentBackWholeAfterThePassword) {
    std::mt19937 rng(19);
    const Bytes8 record = test::randomCalibrationRecord(rng);
    AnalogSettings& analog = factory.analog();
    analog.getAnalog();
    EXPECT_EQ(logger.read(12), frame(CommandCode::GetAnalogCalibration));
    ASSERT_TRUE(logger.write(record));
    ASSERT_TRUE(tickUntil([&] { return analog.view().current; }));

    analog.setPassword("KeepClear");
    EXPECT_TRUE(analog.sendAnalog());
    EXPECT_EQ(logger.read(kCalibrationRecordLength), record);
    EXPECT_TRUE(op.asked.empty());
}

}  // namespace
}  // namespace cvh
