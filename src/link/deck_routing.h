// Which logger port's data each PC deck port (slots 1..8) passes on. The PC-logger port setup
// fills the tables; the receive loop reads them and counts what it wrote. Index 0 is unused.
#pragma once

#include <array>

namespace cvh {

inline constexpr int kDeckSlotCount = 9;  // slots 1..8, index 0 unused

enum PcFunction : int {
    kPcFunctionOff = 0,
    kPcFunctionMeterInput = 1,
    kPcFunctionLoggerOutput = 2,
    kPcFunctionInputAndOutput = 3,
};

struct DeckRouting {
    std::array<int, kDeckSlotCount> pcFunction{};
    std::array<int, kDeckSlotCount> pcSourceId{};    // sending unit whose data goes out
    std::array<int, kDeckSlotCount> pcSourcePort{};  // logger port 1..9 (9 = analog)
    std::array<int, kDeckSlotCount> pcBytesOut{};    // bytes written to the slot

    bool forwards(int slot) const {
        return pcFunction[slot] == kPcFunctionLoggerOutput ||
               pcFunction[slot] == kPcFunctionInputAndOutput;
    }
};

}  // namespace cvh
