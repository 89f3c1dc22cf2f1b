#include "link/serial_port_table.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "base/cformat.h"

namespace cvh {

namespace {

std::string trim(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

// "COM<n> <device path>": the COM number and the rest of the line as the path.
bool parseOverride(const std::string& line, int& comNumber, std::string& path) {
    if (line.size() < 4)
        return false;
    for (int i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(line[i])) != "COM"[i])
            return false;
    std::size_t pos = 3;
    long n = 0;
    std::size_t digits = 0;
    while (pos < line.size() && std::isdigit(static_cast<unsigned char>(line[pos]))) {
        if (++digits > 3)
            return false;
        n = n * 10 + (line[pos] - '0');
        ++pos;
    }
    if (digits == 0 || n < 1 || n >= kComNameCount)
        return false;
    if (pos >= line.size() || !std::isspace(static_cast<unsigned char>(line[pos])))
        return false;
    path = trim(line.substr(pos));
    if (path.empty())
        return false;
    comNumber = static_cast<int>(n);
    return true;
}

}  // namespace

ComPortNames::ComPortNames() {
#ifdef _WIN32
    names_[0] = "COMX";
    for (int n = 1; n < kComNameCount; ++n)
        names_[static_cast<std::size_t>(n)] =
            n <= 8 ? cformat("COM%d", n) : cformat("\\\\.\\COM%d", n);
#else
    // COM 0 means "no port" and has no device; numbers above 96 are free for comports.txt.
    for (int i = 0; i < 32; ++i) {
        names_[static_cast<std::size_t>(1 + i)] = cformat("/dev/ttyS%d", i);
        names_[static_cast<std::size_t>(33 + i)] = cformat("/dev/ttyUSB%d", i);
        names_[static_cast<std::size_t>(65 + i)] = cformat("/dev/ttyACM%d", i);
    }
#endif
}

const std::string& ComPortNames::name(int comNumber) const {
    static const std::string kNone;
    if (comNumber < 0 || comNumber >= kComNameCount)
        return kNone;
    return names_[static_cast<std::size_t>(comNumber)];
}

void ComPortNames::set(int comNumber, std::string deviceName) {
    if (comNumber < 0 || comNumber >= kComNameCount)
        return;
    names_[static_cast<std::size_t>(comNumber)] = std::move(deviceName);
}

std::vector<std::string> ComPortNames::applyOverrides(const std::string& text) {
    std::vector<std::string> malformed;
    std::istringstream in(text);
    std::string raw;
    int lineNumber = 0;
    while (std::getline(in, raw)) {
        ++lineNumber;
        std::string line = trim(raw);  // also drops the '\r' of a file written on Windows
        if (line.empty() || line[0] == '#')
            continue;
        int comNumber = 0;
        std::string path;
        if (parseOverride(line, comNumber, path))
            set(comNumber, path);
        else
            malformed.push_back(cformat("line %d: %s", lineNumber, line.c_str()));
    }
    return malformed;
}

bool ComPortNames::loadOverrideFile(const std::string& path, std::vector<std::string>& malformed) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream text;
    text << file.rdbuf();
    malformed = applyOverrides(text.str());
    return true;
}

SerialPortTable::SerialPortTable(SerialBackend& backend, Operator& op)
    : backend_(backend), operator_(op) {}

// Devices close themselves when released; no box at destruction, the operator may be gone.
SerialPortTable::~SerialPortTable() = default;

bool SerialPortTable::comPresent(int comNumber) const {
    const std::string& n = names_.name(comNumber);
    return !n.empty() && backend_.exists(n);
}

void SerialPortTable::openPort(int slot, int comNumber) {
    if (!validSlot(slot))
        return;
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    // A device still held here would stay locked against every later open; let it go first.
    if (s.device) {
        s.device->close();
        s.device.reset();
    }
    s.openOn = 0;

    const std::string& name = names_.name(comNumber);
    std::unique_ptr<SerialDevice> device = name.empty() ? nullptr : backend_.open(name);
    if (!device) {
        operator_.notice(cformat("Could Not Open COM%1d", comNumber),
                         cformat("COM%1d may already be assigned or may not exist", comNumber),
                         false);
        return;
    }
    // A port that rejects its settings stays open with whatever settings it had.
    device->configure(lineSettingMode(s.lineSetting));
    s.device = std::move(device);
    s.openOn = comNumber;
}

void SerialPortTable::closePort(int slot) {
    if (!validSlot(slot))
        return;
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    if (s.openOn == 0)
        return;
    const bool closed = !s.device || s.device->close();
    s.device.reset();
    s.openOn = 0;
    if (!closed)
        operator_.notice("Comm Error", "Could Not Close Comm  Port", false);
}

void SerialPortTable::writePort(int slot, const std::uint8_t* bytes, std::size_t count) {
    if (!isPortOpen(slot) || count == 0)
        return;
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    if (!s.device)
        return;
    // One attempt: the device waits a bounded time; whatever it did not take is lost.
    const std::size_t written = s.device->write(bytes, count);
    if (written < count)
        s.unwrittenBytes += count - written;
}

void SerialPortTable::readPort(int slot, std::uint8_t* buffer, std::size_t& count) {
    if (!isPortOpen(slot) || count == 0) {
        count = 0;
        return;
    }
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    const std::size_t room = count;
    const std::size_t got = s.device ? s.device->read(buffer, room) : 0;
    count = got <= room ? got : room;
}

bool SerialPortTable::isPortOpen(int slot) const {
    return openOn(slot) != 0;
}

int SerialPortTable::openOn(int slot) const {
    return validSlot(slot) ? slots_[static_cast<std::size_t>(slot)].openOn : 0;
}

int SerialPortTable::lineSetting(int slot) const {
    return validSlot(slot) ? slots_[static_cast<std::size_t>(slot)].lineSetting : 0;
}

void SerialPortTable::setLineSetting(int slot, int baudRate, int dataBitCount) {
    if (!validSlot(slot))
        return;
    if (auto setting = lineSettingFor(baudRate, dataBitCount))
        slots_[static_cast<std::size_t>(slot)].lineSetting = *setting;
}

int SerialPortTable::setLineSettingFromChoice(int slot, int choiceIndex) {
    // "OFF" changes nothing: the caller does not open the port.
    if (const auto line = lineChoiceParameters(choiceIndex); line && choiceIndex != 0)
        setLineSetting(slot, static_cast<int>(line->baud), line->dataBits);
    return choiceIndex;
}

std::uint64_t SerialPortTable::unwrittenBytes(int slot) const {
    return validSlot(slot) ? slots_[static_cast<std::size_t>(slot)].unwrittenBytes : 0;
}

void SerialPortTable::resetToDefaults() {
    for (Slot& s : slots_) {
        // Marked closed; a device still held is released rather than leaked, so the port can
        // be opened again.
        if (s.device)
            s.device->close();
        s.device.reset();
        s.openOn = 0;
        s.lineSetting = 6;
    }
}

void SerialPortTable::closeAll() {
    for (int slot = 0; slot < kSlotCount; ++slot)
        closePort(slot);
}

}  // namespace cvh
