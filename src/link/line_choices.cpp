#include "link/line_choices.h"

#include <cstddef>

namespace cvh {

namespace {

constexpr const char* kDefaultMode = "9600,N,8,1";

struct LineChoice {
    LineParameters line;
    const char* mode;
};

constexpr std::array<LineChoice, kLineChoiceCount> kLineChoices{{
    {{0, 8, 0}, kDefaultMode},  // "OFF" opens nothing; a slot asked to, takes the default
    {{600, 8, 0}, "600,N,8,1"},
    {{1200, 8, 0}, "1200,N,8,1"},
    {{2400, 8, 0}, "2400,N,8,1"},
    {{4800, 8, 0}, "4800,N,8,1"},
    {{4800, 7, 2}, "4800,E,7,1"},
    {{9600, 8, 0}, "9600,N,8,1"},
    {{9600, 7, 2}, "9600,E,7,1"},
    {{19200, 8, 0}, "19200,N,8,1"},
    {{38400, 8, 0}, "38400,N,8,1"},
    {{57600, 8, 0}, "57600,N,8,1"},
    {{115200, 8, 0}, "115200,N,8,1"},
}};

}  // namespace

std::optional<LineParameters> lineChoiceParameters(int choice) {
    if (choice < 0 || choice >= kLineChoiceCount)
        return std::nullopt;
    return kLineChoices[static_cast<std::size_t>(choice)].line;
}

const char* lineSettingMode(int lineSetting) {
    if (lineSetting < 1 || lineSetting >= kLineChoiceCount)
        return kDefaultMode;
    return kLineChoices[static_cast<std::size_t>(lineSetting)].mode;
}

std::optional<int> lineSettingFor(std::uint32_t baudRate, int dataBitCount) {
    std::optional<int> found;
    for (int choice = 1; choice < kLineChoiceCount; ++choice) {
        const LineParameters& line = kLineChoices[static_cast<std::size_t>(choice)].line;
        if (line.baud != baudRate)
            continue;
        // A rate listed twice keeps the entry whose data bits agree: 8, or anything else.
        if (!found || (line.dataBits == 8) == (dataBitCount == 8))
            found = choice;
    }
    return found;
}

}  // namespace cvh
