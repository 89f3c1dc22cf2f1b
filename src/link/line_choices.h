// The twelve line choices that every port-setup control, record and file shares: "OFF", "600"
// .. "115200", two of them 7 data bits with even parity. The index of a choice is the
// line-setting index. One table gives each choice its line parameters and the mode string a
// serial port opens with; the port table, the port-test frame and the setup record all read it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace cvh {

inline constexpr int kLineChoiceCount = 12;
// "OFF" .. "115200" with entry 7 "9600,7,E,1" (CBHostPortSetup, CBTestPortSetup, and with
// "ON" added the port boxes of the Port Setup page).
inline constexpr std::array<const char*, kLineChoiceCount> kLineChoiceTexts = {
    "OFF",  "600",        "1200",  "2400",  "4800",  "4800,7,E,1",
    "9600", "9600,7,E,1", "19200", "38400", "57600", "115200"};
// The same list as LoggerSetupCB and DeckSetup1CB..DeckSetup8CB show it: entry 7 "9600, 7,E,1".
inline constexpr std::array<const char*, kLineChoiceCount> kPortSetupChoiceTexts = {
    "OFF",  "600",         "1200",  "2400",  "4800",  "4800,7,E,1",
    "9600", "9600, 7,E,1", "19200", "38400", "57600", "115200"};

// Line parameters behind a choice. "OFF" gives baud 0: the logger reads it as a port switched
// off, and the port-test window refuses it before sending.
struct LineParameters {
    std::uint32_t baud = 0;
    std::uint16_t dataBits = 8;
    std::uint16_t parity = 0;  // 0 none, 2 even
    bool operator==(const LineParameters&) const = default;
};
// Nothing outside 0..11.
std::optional<LineParameters> lineChoiceParameters(int choice);

// Mode string of a line-setting index; any index outside 1..11 gives "9600,N,8,1".
const char* lineSettingMode(int lineSetting);
// Line-setting index 1..11 for a baud rate and data-bit count; nothing for a baud rate not
// listed (0 included). Only 4800 and 9600 tell 7 data bits (with even parity) from 8: any count
// but 8 selects their 7-bit entry.
std::optional<int> lineSettingFor(std::uint32_t baudRate, int dataBitCount);

}  // namespace cvh
