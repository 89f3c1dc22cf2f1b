// The port table on the real Qt backend over pseudo-terminals: the test is the far end.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <numeric>
#include <vector>

#include "link/serial_port_table.h"
#include "platform/qt_serial_backend.h"
#include "support/pty.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

using Clock = std::chrono::steady_clock;
using test::Pty;

constexpr int kCom = 40;  // any number; the override points it at the pty

class QtSerialPtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        table.names().set(kCom, pty.slavePath());
    }

    // Polls the slot as the 10 ms tick does, without an event loop in between.
    std::vector<std::uint8_t> poll(std::size_t want, std::chrono::milliseconds limit) {
        std::vector<std::uint8_t> got;
        const auto end = Clock::now() + limit;
        std::uint8_t buffer[4095];
        while (got.size() < want && Clock::now() < end) {
            std::size_t count = sizeof buffer;
            table.readPort(0, buffer, count);
            got.insert(got.end(), buffer, buffer + count);
        }
        return got;
    }

    static std::vector<std::uint8_t> pattern(std::size_t n, unsigned seed) {
        std::vector<std::uint8_t> v(n);
        for (std::size_t i = 0; i < n; ++i)
            v[i] = static_cast<std::uint8_t>((i * 131 + seed) ^ (i >> 8));
        return v;
    }

    Pty pty;
    QtSerialBackend backend;
    test::ScriptedOperator op;
    SerialPortTable table{backend, op};
};

TEST(LineModeParsing, AcceptsTheTableModesAndRejectsMalformedOnes) {
    const auto m = parseLineMode("4800,E,7,1");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->baudRate, 4800);
    EXPECT_EQ(m->parity, QSerialPort::EvenParity);
    EXPECT_EQ(m->dataBits, QSerialPort::Data7);
    EXPECT_EQ(m->stopBits, QSerialPort::OneStop);
    for (int setting = 0; setting < kLineChoiceCount; ++setting)
        EXPECT_TRUE(parseLineMode(lineSettingMode(setting))) << setting;
    for (const char* bad : {"", "9600", "9600,N,8", "9600,X,8,1", "fast,N,8,1", "9600,N,9,1",
                            "9600,N,8,3", "-9600,N,8,1", "9600,N,8,1,1"})
        EXPECT_FALSE(parseLineMode(bad)) << bad;
}

TEST_F(QtSerialPtyTest, BytesFromTheFarEndComeOutInOrderWithoutAnEventLoop) {
    table.setLineSettingFromChoice(0, 11);
    table.openPort(0, kCom);
    ASSERT_TRUE(table.isPortOpen(0)) << (op.asked.empty() ? "" : op.asked[0].text);

    // Several chunks, written while the program polls nothing, then a long stream.
    const auto first = pattern(300, 1);
    ASSERT_TRUE(pty.write(first));
    EXPECT_EQ(poll(first.size(), std::chrono::milliseconds(2000)), first);

    const auto stream = pattern(20000, 7);
    std::vector<std::uint8_t> got;
    std::size_t sent = 0;
    const auto end = Clock::now() + std::chrono::seconds(5);
    while (got.size() < stream.size() && Clock::now() < end) {
        if (sent < stream.size()) {
            const std::size_t n = std::min<std::size_t>(777, stream.size() - sent);
            ASSERT_TRUE(pty.write(stream.data() + sent, n));
            sent += n;
        }
        std::uint8_t buffer[4095];
        std::size_t count = sizeof buffer;
        table.readPort(0, buffer, count);
        got.insert(got.end(), buffer, buffer + count);
    }
    EXPECT_EQ(got, stream);
}

TEST_F(QtSerialPtyTest, ReadsOfAQuietLineReturnAtOnce) {
    table.openPort(0, kCom);
    ASSERT_TRUE(table.isPortOpen(0));
    std::vector<double> micros;
    for (int i = 0; i < 200; ++i) {
        std::uint8_t buffer[4095];
        std::size_t count = sizeof buffer;
        const auto t0 = Clock::now();
        table.readPort(0, buffer, count);
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        EXPECT_EQ(count, 0u);
    }
    std::sort(micros.begin(), micros.end());
    EXPECT_LT(micros[micros.size() / 2], 1000.0);  // a blocking read would take its time-out
    EXPECT_LT(micros.back(), 20000.0);
    RecordProperty("quiet_read_median_ns", static_cast<int>(1000 * micros[micros.size() / 2]));
}

TEST_F(QtSerialPtyTest, WrittenBytesReachTheFarEndAndAClosedSlotDropsThem) {
    table.openPort(0, kCom);
    ASSERT_TRUE(table.isPortOpen(0));
    const auto frame = pattern(12, 3);
    table.writePort(0, frame.data(), frame.size());
    const auto big = pattern(3000, 9);
    table.writePort(0, big.data(), big.size());
    QCoreApplication::processEvents();  // the event loop sends the queue
    std::vector<std::uint8_t> expected = frame;
    expected.insert(expected.end(), big.begin(), big.end());
    EXPECT_EQ(pty.read(expected.size()), expected);
    EXPECT_EQ(table.unwrittenBytes(0), 0u);

    table.closePort(0);
    EXPECT_TRUE(op.asked.empty());
    table.writePort(0, frame.data(), frame.size());
    EXPECT_TRUE(pty.readUntilQuiet(std::chrono::milliseconds(100)).empty());
    // Far-end bytes are not read on a closed slot.
    ASSERT_TRUE(pty.write(frame));
    std::uint8_t buffer[64];
    std::size_t count = sizeof buffer;
    table.readPort(0, buffer, count);
    EXPECT_EQ(count, 0u);
}

TEST_F(QtSerialPtyTest, ModeStringsReachTheLineAndRefusedPartsLeaveThePortWorking) {
    // The kernel holds a pseudo-terminal at 8 bits without parity and refuses 7E1, as a real
    // port may refuse a setting: the speed still reaches the line and the port stays usable.
    struct Case {
        int choice;
        speed_t speed;
    };
    for (const Case c :
         {Case{5, B4800}, Case{7, B9600}, Case{11, B115200}, Case{1, B600}, Case{6, B9600}}) {
        table.setLineSettingFromChoice(0, c.choice);
        table.openPort(0, kCom);
        ASSERT_TRUE(table.isPortOpen(0));
        const termios t = pty.slaveSettings();
        EXPECT_EQ(cfgetospeed(&t), c.speed) << c.choice;
        EXPECT_EQ(t.c_cflag & CSTOPB, 0u) << c.choice;
        const std::vector<std::uint8_t> ping{1, 2, static_cast<std::uint8_t>(c.choice)};
        table.writePort(0, ping.data(), ping.size());
        QCoreApplication::processEvents();
        EXPECT_EQ(pty.read(ping.size()), ping) << c.choice;
        table.closePort(0);
    }
    EXPECT_TRUE(op.asked.empty());
}

TEST_F(QtSerialPtyTest, WritesToAFarEndThatReadsNothingNeverBlock) {
    table.openPort(0, kCom);
    ASSERT_TRUE(table.isPortOpen(0));
    const auto chunk = pattern(4096, 5);
    double worstMs = 0;
    for (int i = 0; i < 40; ++i) {
        const auto t0 = Clock::now();
        table.writePort(0, chunk.data(), chunk.size());
        QCoreApplication::processEvents();  // the event loop sends what the line takes
        worstMs =
            std::max(worstMs, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    // The queue is bounded: what neither the line nor the queue took was refused and counted.
    EXPECT_GT(table.unwrittenBytes(0), 0u);
    EXPECT_EQ(table.unwrittenBytes(0) % chunk.size(), 0u);
    EXPECT_LT(worstMs, 5.0);
    // What did go out is whole chunks in order: a refused write is refused as a whole.
    std::vector<std::uint8_t> got;
    for (int i = 0; i < 50; ++i) {
        QCoreApplication::processEvents();
        const auto more = pty.readUntilQuiet(std::chrono::milliseconds(20));
        got.insert(got.end(), more.begin(), more.end());
    }
    ASSERT_GE(got.size(), chunk.size());
    EXPECT_EQ(got.size() + table.unwrittenBytes(0), 40 * chunk.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], chunk[i % chunk.size()]) << i;
    table.closePort(0);
}

TEST_F(QtSerialPtyTest, AVanishedDeviceClosesQuietlyAndCannotBeReopened) {
    table.openPort(0, kCom);
    ASSERT_TRUE(table.isPortOpen(0));
    pty.closeSlave();
    pty.closeMaster();
    std::uint8_t buffer[64];
    for (int i = 0; i < 3; ++i) {
        std::size_t count = sizeof buffer;
        table.readPort(0, buffer, count);
        EXPECT_EQ(count, 0u);
        table.writePort(0, buffer, 8);
    }
    EXPECT_TRUE(table.isPortLost(0));
    table.closePort(0);  // the device is already gone: no "Comm Error"
    EXPECT_TRUE(op.asked.empty());
    // Tests running in parallel may be handed the freed pty number at once; the refusal can
    // only be checked while the old path is still free.
    if (std::filesystem::exists(pty.slavePath()))
        return;
    table.openPort(0, kCom);
    EXPECT_FALSE(table.isPortOpen(0));
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "Could Not Open COM40");
}

TEST_F(QtSerialPtyTest, ExistsKnowsPseudoTerminalsAndMissingDevices) {
    EXPECT_TRUE(backend.exists(pty.slavePath()));
    EXPECT_TRUE(table.comPresent(kCom));
    EXPECT_FALSE(backend.exists("/dev/pts/999999"));
    EXPECT_FALSE(backend.exists(""));
    EXPECT_EQ(backend.open("/dev/pts/999999"), nullptr);
    // The port boxes ask about every number in a row.
    const auto t0 = Clock::now();
    int present = 0;
    for (int com = 1; com < 256; ++com)
        present += table.comPresent(com) ? 1 : 0;
    EXPECT_GE(present, 1);
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - t0).count(), 1.0);
}

TEST_F(QtSerialPtyTest, ASecondOpenOfTheSameDeviceIsRefused) {
    table.openPort(0, kCom);
    ASSERT_TRUE(table.isPortOpen(0));
    table.openPort(1, kCom);
    EXPECT_FALSE(table.isPortOpen(1));
    ASSERT_EQ(op.notices().size(), 1u);
    const std::string text = op.notices()[0].text;
    const std::string head =
        "COM40 may already be assigned or may not exist\n" + table.names().name(kCom) + ": ";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_GT(text.size(), head.size()) << "the system's reason";
}

}  // namespace
}  // namespace cvh
