#include "session/factory_settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <random>
#include <vector>

#include "base/checksum.h"
#include "config/factory_files.h"
#include "link/serial_port_table.h"
#include "support/factory_records.h"
#include "support/fake_serial.h"
#include "support/scripted_operator.h"
#include "support/temp_dir.h"

namespace cvh {
namespace {

using Bytes8 = std::vector<std::uint8_t>;
using test::randomCalibrationRecord;
using test::randomHardwareRecord;

Bytes8 fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes8(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& path, const Bytes8& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class FactorySettingsTest : public ::testing::Test {
protected:
    FactorySettingsTest() {
        backend.add("logger");
        ports.names().set(1, "logger");
        ports.openPort(kLoggerSlot, 1);
    }
    Bytes8 takeWritten() { return std::exchange(backend.line("logger").written, {}); }
    std::vector<std::string> noticeTexts() const {
        std::vector<std::string> out;
        for (const auto& n : op.notices())
            out.push_back(n.text);
        return out;
    }

    test::FakeSerialBackend backend;
    test::ScriptedOperator op;
    SerialPortTable ports{backend, op};
    LoggerCommands commands{ports, op};
    ChangeMarks marks;
    FactorySettings factory{commands, op, marks};
    HardwareSettings& hardware = factory.hardware();
    AnalogSettings& analog = factory.analog();
    test::TempDir dir{"factory"};
};

TEST(FactoryRecordLayout, FieldsMarkerRetainedAndChecksumTileEachRecordOnce) {
    auto tiles = [](auto fields, std::size_t length,
                    std::vector<std::pair<std::size_t, std::size_t>> rest) {
        std::vector<int> owners(length);
        auto claim = [&](std::size_t at, std::size_t size) {
            for (std::size_t i = at; i < at + size; ++i)
                ++owners.at(i);
        };
        decltype(fields)::visitLayout(fields,
                                      [&](std::size_t at, auto& f) { claim(at, sizeof(f)); });
        claim(0, 2);
        claim(length - 2, 2);
        for (auto [at, size] : rest)
            claim(at, size);
        for (std::size_t i = 0; i < length; ++i)
            EXPECT_EQ(owners[i], 1) << "byte " << i << " of " << length;
    };
    tiles(HardwareConfig{}, kHardwareRecordLength,
          {{hardware_offset::kRetained10, kHardwareRetainedLength}});
    tiles(AnalogCalibration{}, kCalibrationRecordLength, {});
}

TEST_F(FactorySettingsTest, ReceivedHardwareGoesBackAndIntoItsFileByteForByte) {
    std::mt19937 rng(7);
    std::vector<LoggerIdentity> identities;
    hardware.setIdentityListener([&](const LoggerIdentity& id) { identities.push_back(id); });
    hardware.setPassword("KeepClear");
    for (int i = 0; i < 200; ++i) {
        const Bytes8 record = randomHardwareRecord(rng);
        hardware.onHardwareRecord(record);
        ASSERT_EQ(identities.back(), (LoggerIdentity{readLe16(record, 2), readLe16(record, 4)}));
        hardware.applyHardware();
        ASSERT_TRUE(hardware.sendHardware());
        ASSERT_EQ(takeWritten(), record) << "record " << i;
        if (i % 20 != 0)
            continue;
        op.files.push_back((dir / "unit.hdw").string());
        ASSERT_TRUE(hardware.saveHardwareFile());
        ASSERT_EQ(fileBytes(dir / "unit.hdw"), record);
    }
    EXPECT_TRUE(op.notices().empty());
    ASSERT_EQ(op.asked.size(), 10u);  // the save dialogs, never the not-current question
    EXPECT_EQ(op.asked[0].caption, "Save Hardware Configuration File");
    EXPECT_EQ(op.asked[0].text, "Hardware Configuration (*.hdw);;All Files (*.*)");
}

TEST_F(FactorySettingsTest, ReceivedCalibrationGoesBackAndIntoItsFileByteForByte) {
    std::mt19937 rng(11);
    analog.setPassword("KeepClear");
    for (int i = 0; i < 200; ++i) {
        const Bytes8 record = randomCalibrationRecord(rng);
        analog.onCalibration(record);
        ASSERT_TRUE(analog.view().current);
        ASSERT_TRUE(analog.sendAnalog());
        ASSERT_EQ(takeWritten(), record) << "record " << i;
        if (i % 20 != 0)
            continue;
        op.files.push_back((dir / "unit.alg").string());
        ASSERT_TRUE(analog.saveAnalogFile());
        ASSERT_EQ(fileBytes(dir / "unit.alg"), record);
    }
    EXPECT_TRUE(op.notices().empty());
    EXPECT_EQ(op.asked.back().caption, "Save Analog Calibration File");
}

TEST_F(FactorySettingsTest, FilesShorterThanARecordChangeNothingLongerOnesGiveTheirFirstBytes) {
    std::mt19937 rng(3);
    const Bytes8 hdw = randomHardwareRecord(rng);
    const Bytes8 alg = randomCalibrationRecord(rng);
    // Bytes beyond the record; -1 is one byte short.
    for (const int extra : {-1, 0, 100}) {
        const bool applied = extra >= 0;
        for (const auto& [record, name] : {std::pair{hdw, "a.hdw"}, std::pair{alg, "a.alg"}}) {
            Bytes8 file = record;
            if (applied)
                file.insert(file.end(), static_cast<std::size_t>(extra), 0xEE);
            else
                file.pop_back();
            writeFile(dir / name, file);
            op.files.push_back((dir / name).string());
        }
        FactorySettings fresh(commands, op, marks);
        EXPECT_EQ(fresh.hardware().loadHardwareFile(), applied);
        EXPECT_EQ(fresh.analog().loadAnalogFile(), applied);
        const Bytes h = fresh.hardware().recordBytes(), a = fresh.analog().recordBytes();
        EXPECT_EQ(Bytes8(h.begin(), h.end()), applied ? hdw : Bytes8(kHardwareRecordLength, 0));
        EXPECT_EQ(Bytes8(a.begin(), a.end()), applied ? alg : Bytes8(kCalibrationRecordLength, 0));
        EXPECT_EQ(fresh.hardware().view().form == HardwareForm{}, !applied);
        EXPECT_EQ(fresh.analog().view().form == AnalogForm{}, !applied);
        // A loaded file is shown but is not what the logger holds.
        EXPECT_FALSE(fresh.hardware().view().current);
        EXPECT_FALSE(fresh.analog().view().current);
    }
    EXPECT_EQ(op.asked.front().caption, "Load Hardare Configuration File");
    EXPECT_EQ(op.asked.back().caption, "Load Analog Calibration File");
    EXPECT_EQ(op.asked.back().text, "Analog Calibration (*.alg);;All Files (*.*)");
}

TEST_F(FactorySettingsTest, PasswordIsItsNineCharactersAtTheStartAndRefusalsShareOneCount) {
    struct Case {
        const char* text;
        bool accepted;
    };
    const Case cases[] = {{"KeepClear", true},  {"KeepClear and more", true}, {"KeepClea", false},
                          {"keepclear", false}, {" KeepClear", false},        {"", false}};
    PasswordGate gate;
    for (const Case& c : cases)
        EXPECT_EQ(gate.checkPassword(c.text, op), c.accepted) << c.text;
    EXPECT_EQ(gate.failures(), 4);

    // One count across both pages: the first refusal explains, every later one suggests Caps Lock.
    op.asked.clear();
    hardware.setDeviceType(1);
    hardware.setSerialNumber(12);
    hardware.setPassword("KeepClea");
    EXPECT_FALSE(hardware.sendHardware());
    EXPECT_FALSE(analog.sendAnalog());
    EXPECT_FALSE(hardware.loadDefaults());
    EXPECT_EQ(factory.passwordFailures(), 3);
    const std::string first =
        "You Must Enter a Valid Password to Change the Hardware Configuration or Analog "
        "Calibration";
    const std::string later = "An Invalid Password Was Entered -- Please Check Caps Lock";
    EXPECT_EQ(noticeTexts(), (std::vector<std::string>{first, later, later}));
    EXPECT_EQ(op.notices().front().caption, "Password Error");
    EXPECT_TRUE(takeWritten().empty());

    hardware.setPassword("KeepClear!");
    EXPECT_TRUE(hardware.loadDefaults());
    const CommandFrame defaults = buildCommandFrame(CommandCode::LoadDefaultHardware);
    EXPECT_EQ(takeWritten(), Bytes8(defaults.begin(), defaults.end()));
}

TEST_F(FactorySettingsTest, SendRefusesWhatThePageCannotShowBeforeAskingForThePassword) {
    Bytes8 record(kHardwareRecordLength);
    record[0] = record[1] = 7;
    writeLe16(record, hardware_offset::kSerialNumber, 0xFFFF);
    writeLe16(record, hardware_offset::kDeviceType, 2);
    writeLe16(record, hardware_offset::kRelay, 5);            // entry 0: no port
    writeLe16(record, hardware_offset::kRelay + 2 * 9, 5);    // entry 9: no port
    writeLe16(record, hardware_offset::kRelay + 2 * 12, 12);  // port 11: no such relay entry
    hardware.onHardwareRecord(record);
    hardware.applyHardware();
    EXPECT_EQ(hardware.view().identity, (LoggerIdentity{0, 2}));
    EXPECT_EQ(hardware.view().form.serialNumber, 0);
    EXPECT_EQ(hardware.view().form.relay[12], -1);
    hardware.setPassword("KeepClear");

    struct Step {
        std::function<void()> edit;
        std::string notice;  // "" when the record goes out
    };
    const std::string missing = "A meter type and Non-zero SN MUST be selected";
    const Step steps[] = {
        {[] {}, missing},  // serial 0xFFFF shows as 0
        {[&] { hardware.setSerialNumber(5); },
         "No relay of Port 11 is selected -- please select one before sending"},
        {[&] { hardware.setRelay(12, 9); }, ""},
        {[&] { hardware.setDeviceType(-1); }, missing},
        {[&] { hardware.setDeviceType(0); }, ""},  // "None Selected" is an entry
        {[&] { hardware.setStatusLed(3); },
         "No Status LED is selected -- please select one before sending"},
    };
    for (const Step& step : steps) {
        op.asked.clear();
        step.edit();
        const bool sent = hardware.sendHardware();
        EXPECT_EQ(sent, step.notice.empty());
        EXPECT_EQ(noticeTexts(), step.notice.empty() ? std::vector<std::string>{}
                                                     : std::vector<std::string>{step.notice});
        const Bytes8 written = takeWritten();
        if (sent) {
            ASSERT_EQ(written.size(), kHardwareRecordLength);
            EXPECT_TRUE(checksumMatches(written));
            EXPECT_EQ(readLe16(written, hardware_offset::kRelay), 0);
            EXPECT_EQ(readLe16(written, hardware_offset::kRelay + 2 * 9), 0);
            EXPECT_EQ(readLe16(written, hardware_offset::kRelay + 2 * 12), 9);
        } else {
            EXPECT_TRUE(written.empty());
        }
    }
    EXPECT_EQ(factory.passwordFailures(), 0);
}

TEST_F(FactorySettingsTest, SaveAsksOnlyWhenThePageIsNotCurrentAndCancelWritesNothing) {
    std::mt19937 rng(5);
    const auto path = (dir / "x.alg").string();
    analog.onCalibration(randomCalibrationRecord(rng));
    op.files.push_back(path);
    EXPECT_TRUE(analog.saveAnalogFile());
    EXPECT_EQ(op.asked.size(), 1u);  // the dialog alone

    analog.setOffset(3, "17");
    EXPECT_FALSE(analog.view().current);
    std::filesystem::remove(path);
    op.asked.clear();
    op.answers.push_back(Answer::Cancel);
    op.files.push_back(path);
    EXPECT_FALSE(analog.saveAnalogFile());
    ASSERT_EQ(op.asked.size(), 1u);
    EXPECT_EQ(op.asked[0].kind, "okcancel");
    EXPECT_EQ(op.asked[0].caption, "**** Warning ****");
    EXPECT_EQ(op.asked[0].text,
              "The Analog Calibration shown on the Host Program may not match the Analog "
              "Calibration in the Data Logger.\n\nDo you still want to save the displayed Analog "
              "Calibration?");
    EXPECT_FALSE(std::filesystem::exists(path));

    op.files.clear();
    hardware.setRelay(3, 2);
    op.asked.clear();
    op.answers.push_back(Answer::Ok);
    op.files.push_back((dir / "x.hdw").string());
    EXPECT_TRUE(hardware.saveHardwareFile());
    EXPECT_EQ(op.asked[0].text.rfind("The Hardware Configuration shown on the Host Program", 0),
              0u);
    const Bytes8 saved = fileBytes(dir / "x.hdw");
    ASSERT_EQ(saved.size(), kHardwareRecordLength);
    EXPECT_TRUE(checksumMatches(saved));
    EXPECT_EQ(readLe16(saved, hardware_offset::kRelay + 2 * 3), 2);
    EXPECT_EQ(readLe16(saved, hardware_offset::kDeviceType), 0xFFFF);  // nothing selected
}

TEST_F(FactorySettingsTest, CalibrationEditsAreLimitedAndAnEditWithoutANumberIsRefused) {
    Bytes8 record(kCalibrationRecordLength);
    writeLe16(record, calibration_offset::kScale + 2 * 4, 5325);
    analog.onCalibration(record);
    EXPECT_EQ(analog.view().form.scale[4], " 5325");
    EXPECT_EQ(analog.view().form.offset[0], "    0");
    analog.setPassword("KeepClear");

    struct Case {
        const char* offset;
        const char* scale;
        int sentOffset;  // -1: refused
        int sentScale;
    };
    const Case cases[] = {
        {"32701", "0", 32700, 1}, {" 12 ", "-4", 12, 1}, {"+7", "99999999999", 7, 32700},
        {"", "5", -1, 0},         {"4", "   ", -1, 0},   {"1a", "5", -1, 0},
    };
    for (const Case& c : cases) {
        op.asked.clear();
        analog.setOffset(6, c.offset);
        analog.setScale(6, c.scale);
        const bool sent = analog.sendAnalog();
        EXPECT_EQ(sent, c.sentOffset >= 0) << c.offset << " / " << c.scale;
        const Bytes8 written = takeWritten();
        if (!sent) {
            EXPECT_TRUE(written.empty());
            op.files.push_back((dir / "refused.alg").string());
            EXPECT_FALSE(analog.saveAnalogFile());
            const bool scale = c.offset[0] == '4';
            const std::string notice = std::string("The ") + (scale ? "Scale" : "Offset") +
                                       " of Port 14: Analog 6 is not a number -- please enter one";
            EXPECT_EQ(noticeTexts(), (std::vector<std::string>{notice, notice}));
            EXPECT_FALSE(std::filesystem::exists(dir / "refused.alg"));
            op.files.clear();
            continue;
        }
        ASSERT_EQ(written.size(), kCalibrationRecordLength);
        EXPECT_EQ(readLe16(written, calibration_offset::kOffset + 2 * 6), c.sentOffset);
        EXPECT_EQ(readLe16(written, calibration_offset::kScale + 2 * 6), c.sentScale);
        EXPECT_EQ(readLe16(written, calibration_offset::kFixedCount), 15);
        EXPECT_EQ(readLe32(written, calibration_offset::kFixedOne), 1u);
        EXPECT_TRUE(checksumMatches(written));
    }
}

TEST_F(FactorySettingsTest, ARecordArrivingWhileTheSaveDialogIsOpenDoesNotChangeTheFile) {
    struct DuringSave : test::ScriptedOperator {
        std::function<void()> arrive;
        std::optional<std::string> saveFile(const FileDialogRequest& r) override {
            arrive();
            return ScriptedOperator::saveFile(r);
        }
    } dialogs;
    FactorySettings own(commands, dialogs, marks);
    std::mt19937 rng(9);
    const Bytes8 shown = randomCalibrationRecord(rng), arriving = randomCalibrationRecord(rng);
    own.analog().onCalibration(shown);
    dialogs.arrive = [&] { own.analog().onCalibration(arriving); };
    dialogs.files.push_back((dir / "c.alg").string());
    EXPECT_TRUE(own.analog().saveAnalogFile());
    EXPECT_EQ(fileBytes(dir / "c.alg"), shown);
}

TEST_F(FactorySettingsTest, AFileThatCannotBeWrittenIsReportedWithItsPath) {
    const auto path = (dir / "missing" / "unit.hdw").string();
    hardware.onHardwareRecord(Bytes8(kHardwareRecordLength, 0));
    hardware.applyHardware();
    op.files.push_back(path);
    EXPECT_FALSE(hardware.saveHardwareFile());
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "File Error");
    EXPECT_NE(op.notices()[0].text.find(path), std::string::npos);
}

}  // namespace
}  // namespace cvh
