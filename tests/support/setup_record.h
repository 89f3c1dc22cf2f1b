// A logger setup record as the logger sends it, written field by field at the record's offsets,
// and the command frames the host writes back, read the same way.
#pragma once

#include <cstdint>
#include <vector>

#include "base/bytes.h"
#include "base/checksum.h"

namespace cvh::test {

// A moored-mode setup that Send Setup reproduces byte for byte when nothing is edited: every
// port encoded as the host encodes it, one cut-off for all nine slots, no time source, a rate
// the moored mode keeps, and non-zero bytes in every field the host does not interpret.
// `hostBaud` is the logger's host port (8 data bits).
inline std::vector<std::uint8_t> mooredSetupRecord(std::uint32_t hostBaud = 9600) {
    std::vector<std::uint8_t> b(192, 0);
    MutableBytes m(b);
    b[0] = b[1] = 1;
    writeLe16(m, 2, 1);           // "Moored Mode"
    writeLe32(m, 4, 0xEFBEADDE);  // retained
    writeLe32(m, 8, 0x00000102);  // once per hour: port 2 and analog channel 1
    writeLe32(m, 12, 10);         // delay 10 s
    writeLe32(m, 16, 60);         // pre-flush 1 min
    writeLe32(m, 20, 7200);       // warm-up 2 h
    writeLe32(m, 24, 5);          // flush 5 s
    writeLe32(m, 28, 90);         // sample 90 s (not a whole number of minutes)
    writeLe32(m, 32, 900);        // interval 15 min
    const std::uint32_t baud[9] = {hostBaud, 19200, 4800, 9600, 0, 0, 0, 0, 0};
    const std::uint16_t meter[9] = {0, 1, 6, 3, 0, 0, 0, 0, 0};  // -, KB5, GPS, ASCII
    const std::uint16_t bits[9] = {8, 8, 8, 7, 8, 8, 8, 8, 8};
    const std::uint16_t parity[9] = {0, 0, 0, 2, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < 9; ++i) {
        writeLe32(m, 36 + 4 * i, baud[i]);
        writeLe16(m, 72 + 2 * i, meter[i]);
        writeLe16(m, 90 + 2 * i, bits[i]);
        writeLe16(m, 108 + 2 * i, parity[i]);
        writeLe16(m, 126 + 2 * i, 120);  // 12.0 V
    }
    writeLe16(m, 144 + 2 * 1, 1);   // analog 1 on
    writeLe16(m, 144 + 2 * 2, 2);   // analog 2 "Pump ON"
    writeLe16(m, 160 + 2 * 3, 5);   // pump 4 "Purge 2000 ms"
    writeLe16(m, 168, 0x5AA5);      // retained
    writeLe16(m, 170, 4);           // 4 Hz
    writeLe16(m, 172, 0);           // "Status"
    writeLe16(m, 174, 1);           // "CV Archive Files"
    writeLe32(m, 176, 0x04030201);  // retained
    writeLe16(m, 180, 1);           // start when powered
    writeLe32(m, 182, 0x08070605);  // retained
    writeLe16(m, 186, 0);           // internal time
    writeLe16(m, 188, 0x0B0A);      // retained
    storeChecksum(m);
    return b;
}

// The same record with port `port` (1..8) given another meter type, checksum renewed.
inline std::vector<std::uint8_t> withMeterType(std::vector<std::uint8_t> record, int port,
                                               std::uint16_t meterType) {
    MutableBytes m(record);
    writeLe16(m, 72 + 2 * static_cast<std::size_t>(port), meterType);
    storeChecksum(m);
    return record;
}

struct SentCommand {
    std::uint16_t code = 0;
    std::uint32_t argumentA = 0;
    std::uint16_t argumentB = 0;
    bool valid = false;  // 12 bytes, marker 02 02, checksum right
};
inline SentCommand readCommand(const std::vector<std::uint8_t>& bytes, std::size_t at = 0) {
    SentCommand c;
    if (bytes.size() < at + 12)
        return c;
    const Bytes frame(bytes.data() + at, 12);
    c.code = readLe16(frame, 2);
    c.argumentA = readLe32(frame, 4);
    c.argumentB = readLe16(frame, 8);
    c.valid = frame[0] == 2 && frame[1] == 2 && checksumMatches(frame);
    return c;
}

}  // namespace cvh::test
