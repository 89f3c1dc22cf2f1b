// Hardware (.hdw) and calibration (.alg) files come from disk and the operator's file dialog:
// any bytes must load or be refused whole, never read out of bounds, and what was loaded must
// build back into a record that keeps every byte the page could show.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/checksum.h"
#include "link/serial_port_table.h"
#include "session/factory_settings.h"

namespace {

using namespace cvh;

// No logger attached: every write to the logger port is dropped.
class NoPorts : public SerialBackend {
public:
    std::unique_ptr<SerialDevice> open(const std::string&) override { return nullptr; }
    bool exists(const std::string&) const override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The closed port table is built once: its 260 port names cost more than a load.
    static NoPorts backend;
    static NullOperator op;
    static SerialPortTable ports(backend, op);
    static LoggerCommands commands(ports, op);
    ChangeMarks marks;
    FactorySettings factory(commands, op, marks);
    const Bytes file(data, size);

    HardwareSettings& hardware = factory.hardware();
    const bool hdw = hardware.loadHardwareBytes(file);
    if (hdw != (size >= kHardwareRecordLength))
        __builtin_trap();
    hardware.setPassword(std::string(kFactoryPassword));
    if (hardware.sendHardware()) {
        // Sent only when the page could show every value: then each goes back as it came (the
        // serial number as far as its spinner reaches), retained bytes included, with entries
        // 0 and 9 cleared and a fresh checksum.
        const Bytes sent = hardware.recordBytes();
        namespace o = hardware_offset;
        const int serial = std::min<int>(readLe16(file, o::kSerialNumber), kSerialNumberMax);
        if (!checksumMatches(sent) || readLe16(sent, o::kSerialNumber) != serial ||
            !std::equal(sent.begin() + o::kDeviceType, sent.begin() + o::kRelay,
                        file.begin() + o::kDeviceType))
            __builtin_trap();
        for (int e = 0; e < kRelayEntryCount; ++e) {
            const std::uint16_t want = isRelayPortEntry(e) ? readLe16(file, o::kRelay + 2 * e) : 0;
            if (readLe16(sent, o::kRelay + 2 * e) != want)
                __builtin_trap();
        }
    }

    AnalogSettings& analog = factory.analog();
    const bool alg = analog.loadAnalogBytes(file);
    if (alg != (size >= kCalibrationRecordLength))
        __builtin_trap();
    analog.setPassword(std::string(kFactoryPassword));
    // The edits always hold numbers (the defaults, or a file's values), so the record builds,
    // every value within its limits.
    if (!analog.sendAnalog())
        __builtin_trap();
    const Bytes sent = analog.recordBytes();
    for (int ch = 0; ch < kCalibrationChannelCount; ++ch) {
        const int offset = readLe16(sent, calibration_offset::kOffset + 2 * ch);
        const int scale = readLe16(sent, calibration_offset::kScale + 2 * ch);
        if (offset > kCalibrationMax || scale < kScaleMin || scale > kCalibrationMax)
            __builtin_trap();
        if (alg && offset != std::min<int>(readLe16(file, calibration_offset::kOffset + 2 * ch),
                                           kCalibrationMax))
            __builtin_trap();
    }
    return 0;
}
