// comports.txt is whatever a technician (or a broken disk) left in the start directory: any
// bytes must give names no longer than a line may be, and a report of bounded size.
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/serial_port_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of the built-in names: building them (260 formatted strings) costs more than the
    // parse.
    static const cvh::ComPortNames builtIn;
    cvh::ComPortNames names = builtIn;
    const auto report =
        names.applyOverrides(std::string(reinterpret_cast<const char*>(data), size));
    if (report.size() > 21)
        __builtin_trap();
    for (const auto& line : report)
        if (line.size() > 300)  // two shown lines of 80 characters and their numbers at most
            __builtin_trap();
    for (int com = 0; com < cvh::kComNameCount; ++com)
        if (names.name(com).size() > 4096)
            __builtin_trap();
    return 0;
}
