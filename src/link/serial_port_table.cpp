#include "link/serial_port_table.h"

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

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

// A line longer than any name a system gives a device is not an override but damage (or a
// file that is not comports.txt at all); it is refused without being kept whole.
constexpr std::size_t kMaxLineLength = 4096;
// How much of a refused line the operator is shown.
constexpr std::size_t kShownLength = 80;
// Entries of one report; a file of garbage must not make a box of thousands of lines.
constexpr std::size_t kMaxReported = 20;

std::string shown(const std::string& line) {
    return line.size() <= kShownLength ? line : line.substr(0, kShownLength) + "...";
}

// One line without its '\n'; at most a little more than kMaxLineLength characters are kept,
// `tooLong` tells of the rest. False at the end of the input.
bool readLimitedLine(std::streambuf& in, std::string& line, bool& tooLong) {
    using Traits = std::char_traits<char>;
    line.clear();
    tooLong = false;
    bool any = false;
    for (auto c = in.sbumpc(); !Traits::eq_int_type(c, Traits::eof()); c = in.sbumpc()) {
        any = true;
        if (c == '\n')
            return true;
        if (line.size() <= kMaxLineLength + 1)  // room for a '\r' after a line of full length
            line.push_back(Traits::to_char_type(c));
        else
            tooLong = true;
    }
    return any;
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
    std::istringstream in(text);
    return applyOverrides(in);
}

std::vector<std::string> ComPortNames::applyOverrides(std::istream& in) {
    std::vector<std::string> report;
    std::size_t leftOut = 0;
    const auto tell = [&](std::string entry) {
        if (report.size() < kMaxReported)
            report.push_back(std::move(entry));
        else
            ++leftOut;
    };
    std::map<int, std::pair<int, std::string>> given;  // COM number: line number, shown text
    std::string raw;
    bool tooLong = false;
    int lineNumber = 0;
    while (in.rdbuf() && readLimitedLine(*in.rdbuf(), raw, tooLong)) {
        ++lineNumber;
        std::string line = trim(raw);  // also drops the '\r' of a file written on Windows
        if (!tooLong && (line.empty() || line[0] == '#'))
            continue;
        int comNumber = 0;
        std::string path;
        if (tooLong || line.size() > kMaxLineLength || !parseOverride(line, comNumber, path)) {
            tell(cformat("line %d: %s", lineNumber, shown(line).c_str()));
            continue;
        }
        auto [earlier, first] = given.try_emplace(comNumber, lineNumber, shown(line));
        if (!first) {
            tell(cformat("line %d: %s (replaced by line %d: %s)", earlier->second.first,
                         earlier->second.second.c_str(), lineNumber, shown(line).c_str()));
            earlier->second = {lineNumber, shown(line)};
        }
        set(comNumber, path);
    }
    if (leftOut > 0)
        report.push_back(cformat("(%zu more not shown)", leftOut));
    return report;
}

bool ComPortNames::loadOverrideFile(const std::string& path, std::vector<std::string>& malformed) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    malformed = applyOverrides(file);
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

void SerialPortTable::releaseDevice(Slot& s) {
    if (!s.device)
        return;
    s.overrunBytes += s.device->overrunBytes();
    s.device->close();
    s.device.reset();
}

void SerialPortTable::noticeLoss(Slot& s) {
    if (!s.device || !s.device->lost())
        return;
    // The descriptor goes now: a gone device left open can keep the system signalling it, and
    // it holds the name a returning adapter needs.
    releaseDevice(s);
    s.lost = true;
    s.lossPending = true;
}

void SerialPortTable::openPort(int slot, int comNumber) {
    if (!validSlot(slot))
        return;
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    // A device still held here would stay locked against every later open; let it go first.
    releaseDevice(s);
    s.openOn = 0;
    s.lost = s.lossPending = false;
    s.overrunBytes = 0;

    const std::string& name = names_.name(comNumber);
    std::unique_ptr<SerialDevice> device = name.empty() ? nullptr : backend_.open(name);
    if (!device) {
        // The operator needs the path and the system's reason to tell a missing adapter from
        // a port held by another program or one without permission.
        std::string reason =
            name.empty() ? std::string("no device is named for this number") : backend_.openError();
        if (reason.empty())
            reason = "the device could not be opened";
        operator_.notice(cformat("Could Not Open COM%1d", comNumber),
                         cformat("COM%1d may already be assigned or may not exist", comNumber) +
                             "\n" + (name.empty() ? std::string("(no device)") : name) + ": " +
                             reason,
                         false);
        return;
    }
    // A port that rejects its settings stays open with whatever settings it had.
    device->configure(lineSettingMode(s.lineSetting));
    s.device = std::move(device);
    s.openOn = comNumber;
    s.deviceName = name;
}

void SerialPortTable::closePort(int slot) {
    if (!validSlot(slot))
        return;
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    if (s.openOn == 0)
        return;
    bool closed = true;
    if (s.device) {
        s.overrunBytes += s.device->overrunBytes();
        closed = s.device->close();
        s.device.reset();
    }
    s.openOn = 0;
    s.lost = s.lossPending = false;
    if (!closed)
        operator_.notice("Comm Error", "Could Not Close Comm  Port", false);
}

void SerialPortTable::writePort(int slot, const std::uint8_t* bytes, std::size_t count) {
    if (!isPortOpen(slot) || count == 0)
        return;
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    if (!s.device)
        return;
    // One attempt: what the device's queue cannot take whole is lost.
    const std::size_t written = s.device->write(bytes, count);
    if (written < count)
        s.unwrittenBytes += count - written;
    noticeLoss(s);
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
    // Bytes that came before the loss are still handed on.
    noticeLoss(s);
}

bool SerialPortTable::isPortLost(int slot) const {
    return validSlot(slot) && slots_[static_cast<std::size_t>(slot)].lost;
}

void SerialPortTable::checkDevices() {
    for (Slot& s : slots_)
        noticeLoss(s);
}

std::vector<LostPort> SerialPortTable::takeLostPorts() {
    std::vector<LostPort> lost;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        Slot& s = slots_[static_cast<std::size_t>(slot)];
        if (s.lossPending) {
            s.lossPending = false;
            lost.push_back({slot, s.openOn, s.deviceName});
        }
    }
    return lost;
}

bool SerialPortTable::reopenLost(int slot) {
    if (!isPortLost(slot))
        return false;
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    if (!backend_.exists(s.deviceName))
        return false;
    std::unique_ptr<SerialDevice> device = backend_.open(s.deviceName);
    if (!device)
        return false;
    device->configure(lineSettingMode(s.lineSetting));
    s.device = std::move(device);
    s.lost = false;
    // A loss not yet asked for stays reported: the operator still learns that data was missed.
    return true;
}

std::uint64_t SerialPortTable::overrunBytes(int slot) const {
    if (!validSlot(slot))
        return 0;
    const Slot& s = slots_[static_cast<std::size_t>(slot)];
    return s.overrunBytes + (s.device ? s.device->overrunBytes() : 0);
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
        releaseDevice(s);
        s.openOn = 0;
        s.lost = s.lossPending = false;
        s.lineSetting = 6;
    }
}

void SerialPortTable::closeAll() {
    for (int slot = 0; slot < kSlotCount; ++slot)
        closePort(slot);
}

}  // namespace cvh
