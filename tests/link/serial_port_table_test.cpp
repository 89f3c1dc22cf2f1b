#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "link/serial_port_table.h"
#include "support/fake_serial.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

using test::FakeLine;
using test::FakeSerialBackend;
using test::ScriptedOperator;

class SerialPortTableTest : public ::testing::Test {
protected:
    SerialPortTableTest() {
        // Platform-neutral device names, so the same tests hold on every system.
        for (int com : {1, 3, 9, 12}) {
            const std::string name = "fake" + std::to_string(com);
            table.names().set(com, name);
            lines[com] = backend.add(name);
        }
    }
    std::vector<std::uint8_t> take(int slot, std::size_t room) {
        std::vector<std::uint8_t> buffer(room);
        std::size_t count = room;
        table.readPort(slot, buffer.data(), count);
        buffer.resize(count);
        return buffer;
    }

    FakeSerialBackend backend;
    ScriptedOperator op;
    SerialPortTable table{backend, op};
    std::map<int, std::shared_ptr<FakeLine>> lines;
};

TEST(ComPortNames, LinuxDefaultsCoverSerialUsbAndAcmRanges) {
    ComPortNames names;
#ifdef _WIN32
    EXPECT_EQ(names.name(0), "COMX");
    EXPECT_EQ(names.name(1), "COM1");
    EXPECT_EQ(names.name(8), "COM8");
    EXPECT_EQ(names.name(9), "\\\\.\\COM9");
    EXPECT_EQ(names.name(259), "\\\\.\\COM259");
#else
    EXPECT_EQ(names.name(0), "");
    EXPECT_EQ(names.name(1), "/dev/ttyS0");
    EXPECT_EQ(names.name(32), "/dev/ttyS31");
    EXPECT_EQ(names.name(33), "/dev/ttyUSB0");
    EXPECT_EQ(names.name(64), "/dev/ttyUSB31");
    EXPECT_EQ(names.name(65), "/dev/ttyACM0");
    EXPECT_EQ(names.name(96), "/dev/ttyACM31");
    EXPECT_EQ(names.name(97), "");
    EXPECT_EQ(names.name(256), "");
#endif
    EXPECT_EQ(names.name(-1), "");
    EXPECT_EQ(names.name(260), "");
}

TEST(ComPortNames, OverridesSkipCommentsAndReportEachMalformedLineOnce) {
    ComPortNames names;
    const auto malformed = names.applyOverrides(
        "# bench adapters\r\n"
        "COM3 /dev/ttyUSB1\r\n"
        "\n"
        "   \n"
        "  # indented comment\n"
        "COM200   /dev/pts/7  \n"
        "com5 /dev/serial/by-id/usb-Adapter Name-if00\n"
        "COM /dev/ttyS1\n"
        "COM0 /dev/ttyS1\n"
        "COM260 /dev/ttyS1\n"
        "COM7\n"
        "COM7x /dev/ttyS1\n"
        "PORT4 /dev/ttyS1\n"
        "COM3 /dev/ttyUSB9\n" +
        std::string(5'000'000, 'x') + "\n" + "COM8 /dev/" + std::string(4090, 'p') + "\n");
    EXPECT_EQ(names.name(3), "/dev/ttyUSB9");  // the later line wins
    EXPECT_EQ(names.name(200), "/dev/pts/7");
    EXPECT_EQ(names.name(5), "/dev/serial/by-id/usb-Adapter Name-if00");
    const std::string cut = std::string(80, 'x') + "...";
    const std::vector<std::string> expected = {
        "line 8: COM /dev/ttyS1",
        "line 9: COM0 /dev/ttyS1",
        "line 10: COM260 /dev/ttyS1",
        "line 11: COM7",
        "line 12: COM7x /dev/ttyS1",
        "line 13: PORT4 /dev/ttyS1",
        "line 2: COM3 /dev/ttyUSB1 (replaced by line 14: COM3 /dev/ttyUSB9)",
        "line 15: " + cut,
        "line 16: COM8 /dev/" + std::string(70, 'p') + "..."};
    EXPECT_EQ(malformed, expected);

    // A file of nothing but damage gives a report of bounded size.
    std::string garbage;
    for (int i = 0; i < 1000; ++i)
        garbage += "junk\n";
    const auto many = ComPortNames().applyOverrides(garbage);
    ASSERT_EQ(many.size(), 21u);
    EXPECT_EQ(many.back(), "(980 more not shown)");
    const ComPortNames defaults;
    EXPECT_EQ(names.name(7), defaults.name(7));
    EXPECT_EQ(names.name(0), defaults.name(0));
}

TEST(ComPortNames, LoadsTheOverrideFileAndToleratesItsAbsence) {
    const auto dir =
        std::filesystem::temp_directory_path() /
        ("cvh_comports_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    const auto path = dir / kComPortsFileName;
    std::vector<std::string> malformed{"stale"};
    ComPortNames names;
    EXPECT_FALSE(names.loadOverrideFile(path.string(), malformed));
    {
        std::ofstream out(path);
        out << "COM2 /dev/pts/3\nbad line\n";
    }
    EXPECT_TRUE(names.loadOverrideFile(path.string(), malformed));
    EXPECT_EQ(names.name(2), "/dev/pts/3");
    EXPECT_EQ(malformed, std::vector<std::string>{"line 2: bad line"});
    std::filesystem::remove_all(dir);
}

TEST_F(SerialPortTableTest, EveryChoiceOpensWithItsModeString) {
    for (int choice = 1; choice < kLineChoiceCount; ++choice) {
        EXPECT_EQ(table.setLineSettingFromChoice(2, choice), choice);
        EXPECT_EQ(table.lineSetting(2), choice);
        table.openPort(2, 3);
        ASSERT_TRUE(table.isPortOpen(2));
        EXPECT_EQ(lines[3]->modes.back(), lineSettingMode(choice));
        table.closePort(2);
    }
    EXPECT_EQ(lines[3]->modes[4], "4800,E,7,1");  // choice 5 "4800,7,E,1"
    EXPECT_EQ(lines[3]->modes[6], "9600,E,7,1");  // choice 7 "9600,7,E,1"
    // "OFF" changes nothing and tells the caller not to open.
    EXPECT_EQ(table.setLineSettingFromChoice(2, 0), 0);
    EXPECT_EQ(table.lineSetting(2), 11);
}

TEST_F(SerialPortTableTest, BaudTableKeepsSettingForUnknownRatesAndSevenBitsOnlyAt4800And9600) {
    table.setLineSetting(0, 4800, 7);
    EXPECT_EQ(table.lineSetting(0), 5);
    table.setLineSetting(0, 300, 8);
    EXPECT_EQ(table.lineSetting(0), 5);
    table.setLineSetting(0, 9600, 6);  // anything but 8 bits selects the 7E1 entry
    EXPECT_EQ(table.lineSetting(0), 7);
    table.setLineSetting(0, 9600, 8);
    EXPECT_EQ(table.lineSetting(0), 6);
    table.setLineSetting(0, 19200, 7);
    EXPECT_EQ(table.lineSetting(0), 8);
    table.setLineSetting(0, 0, 8);
    EXPECT_EQ(table.lineSetting(0), 8);
}

TEST_F(SerialPortTableTest, ClosedSlotDropsWritesAndLeavesReadBufferUntouched) {
    std::array<std::uint8_t, 4> buffer{0xAA, 0xBB, 0xCC, 0xDD};
    std::size_t count = buffer.size();
    lines[3]->incoming = {1, 2, 3};
    table.readPort(0, buffer.data(), count);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 4>{0xAA, 0xBB, 0xCC, 0xDD}));
    const std::uint8_t out[] = {9, 9};
    table.writePort(0, out, 2);
    table.openPort(0, 3);
    table.closePort(0);
    table.writePort(0, out, 2);
    EXPECT_TRUE(lines[3]->written.empty());
    EXPECT_EQ(table.unwrittenBytes(0), 0u);
    // Slots outside the table behave as closed ones.
    count = buffer.size();
    table.readPort(260, buffer.data(), count);
    EXPECT_EQ(count, 0u);
    table.writePort(-1, out, 2);
    EXPECT_FALSE(table.isPortOpen(260));
    EXPECT_TRUE(op.asked.empty());
}

TEST_F(SerialPortTableTest, ReadsReturnArrivedBytesInOrderWithinTheRoom) {
    table.openPort(0, 9);
    EXPECT_TRUE(take(0, 8).empty());  // nothing arrived: returns at once with 0
    lines[9]->incoming = {1, 2, 3, 4, 5};
    EXPECT_EQ(take(0, 3), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(take(0, 8), (std::vector<std::uint8_t>{4, 5}));
    EXPECT_TRUE(take(0, 0).empty());
    EXPECT_EQ(table.openOn(0), 9);
}

TEST_F(SerialPortTableTest, ShortWritesAreCountedNotRetried) {
    table.openPort(1, 12);
    lines[12]->writeLimit = 3;
    const std::uint8_t out[] = {1, 2, 3, 4, 5};
    table.writePort(1, out, 5);
    EXPECT_EQ(lines[12]->written, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(table.unwrittenBytes(1), 2u);
}

TEST_F(SerialPortTableTest, ALostDeviceIsLetGoReportedOnceAndReopenedWhenItReturns) {
    table.setLineSettingFromChoice(1, 11);
    table.openPort(1, 12);
    table.openPort(0, 3);
    lines[12]->incoming = {1, 2};
    lines[12]->gone = true;
    lines[12]->overrun = 5;
    // The bytes that came before the loss are still handed on; the device goes at once.
    EXPECT_EQ(take(1, 8), (std::vector<std::uint8_t>{1, 2}));
    EXPECT_TRUE(table.isPortLost(1));
    EXPECT_TRUE(table.isPortOpen(1));
    EXPECT_EQ(table.openOn(1), 12);
    EXPECT_FALSE(lines[12]->open);
    EXPECT_EQ(table.overrunBytes(1), 5u);
    const std::uint8_t out[] = {7};
    table.writePort(1, out, 1);
    EXPECT_TRUE(lines[12]->written.empty());

    // A slot that is only written (or not used at all) is found by the check.
    lines[3]->gone = true;
    table.checkDevices();
    const auto lost = table.takeLostPorts();
    ASSERT_EQ(lost.size(), 2u);
    EXPECT_EQ(lost[0].slot, 0);
    EXPECT_EQ(lost[1].slot, 1);
    EXPECT_EQ(lost[1].comNumber, 12);
    EXPECT_EQ(lost[1].device, "fake12");
    EXPECT_TRUE(table.takeLostPorts().empty());

    EXPECT_FALSE(table.reopenLost(1));  // still missing
    lines[12]->gone = false;
    lines[12]->overrun = 0;
    EXPECT_TRUE(table.reopenLost(1));
    EXPECT_FALSE(table.isPortLost(1));
    EXPECT_EQ(lines[12]->modes.back(), lineSettingMode(11));
    EXPECT_EQ(lines[12]->opens, 2);
    EXPECT_EQ(table.overrunBytes(1), 5u);
    table.writePort(1, out, 1);
    EXPECT_EQ(lines[12]->written, (std::vector<std::uint8_t>{7}));
    EXPECT_FALSE(table.reopenLost(1));  // not lost
    EXPECT_TRUE(table.takeLostPorts().empty());

    // Closing a lost slot is quiet.
    table.closePort(0);
    EXPECT_FALSE(table.isPortLost(0));
    EXPECT_TRUE(op.asked.empty());
}

TEST_F(SerialPortTableTest, OpenFailureShowsTheBoxAndLeavesTheSlotClosed) {
    backend.busy.insert("fake12");
    table.openPort(4, 12);
    EXPECT_FALSE(table.isPortOpen(4));
    table.openPort(4, 97);  // no device name behind it on this system (Linux) or absent (Windows)
    table.names().set(97, "");
    table.openPort(4, 97);
    EXPECT_FALSE(table.isPortOpen(4));
    ASSERT_EQ(op.notices().size(), 3u);
    EXPECT_EQ(op.notices()[0].caption, "Could Not Open COM12");
    // The first line as it always read, then the device path and the system's reason.
    EXPECT_EQ(op.notices()[0].text,
              "COM12 may already be assigned or may not exist\nfake12: Device or resource busy");
    EXPECT_EQ(op.notices()[2].caption, "Could Not Open COM97");
    EXPECT_EQ(op.notices()[2].text,
              "COM97 may already be assigned or may not exist\n"
              "(no device): no device is named for this number");
}

TEST_F(SerialPortTableTest, SettingsRejectedByTheDeviceKeepThePortOpen) {
    lines[1]->rejectModes = true;
    table.openPort(0, 1);
    EXPECT_TRUE(table.isPortOpen(0));
    EXPECT_TRUE(op.asked.empty());
}

TEST_F(SerialPortTableTest, CloseFailureShowsCommErrorAndTheSlotIsClosedAnyway) {
    table.closePort(0);  // closed slot: nothing happens
    EXPECT_TRUE(op.asked.empty());
    table.openPort(0, 1);
    lines[1]->failClose = true;
    table.closePort(0);
    EXPECT_FALSE(table.isPortOpen(0));
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "Comm Error");
    EXPECT_EQ(op.notices()[0].text, "Could Not Close Comm  Port");
}

TEST_F(SerialPortTableTest, OpeningAnOpenSlotReleasesTheDeviceItHeld) {
    table.openPort(0, 1);
    table.openPort(0, 3);
    EXPECT_FALSE(lines[1]->open);
    EXPECT_EQ(table.openOn(0), 3);
    table.openPort(5, 1);  // the released device opens again elsewhere
    EXPECT_TRUE(table.isPortOpen(5));
    EXPECT_TRUE(op.asked.empty());
}

TEST_F(SerialPortTableTest, ResetAndCloseAllReleaseEveryDevice) {
    table.setLineSetting(0, 115200, 8);
    table.openPort(0, 1);
    table.openPort(8, 3);
    table.resetToDefaults();
    EXPECT_FALSE(table.isPortOpen(0));
    EXPECT_FALSE(lines[1]->open);
    EXPECT_EQ(table.lineSetting(0), 6);
    table.openPort(0, 1);
    table.openPort(1, 9);
    table.closeAll();
    EXPECT_FALSE(lines[1]->open || lines[9]->open);
    EXPECT_TRUE(table.comPresent(9));
    EXPECT_FALSE(table.comPresent(0));
}

}  // namespace
}  // namespace cvh
