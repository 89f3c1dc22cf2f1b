#include "session/run_list.h"

#include <algorithm>
#include <charconv>

namespace cvh {

namespace {

std::optional<int> runNumber(std::string_view text) {
    int value = -1;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 0 || value > kHighestRunNumber)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::vector<int>> parseRunList(std::string_view text, std::string& error) {
    std::vector<int> runs;
    const std::string whole(text);
    while (true) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const auto dash = item.find('-');
        const auto first = runNumber(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : runNumber(item.substr(dash + 1));
        if (!first || !last || *last < *first) {
            error = "'" + std::string(item) + "' in '" + whole +
                    "' is not a run number 0-999 or a range of them such as 3-5";
            return std::nullopt;
        }
        for (int run = *first; run <= *last; ++run)
            runs.push_back(run);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    std::sort(runs.begin(), runs.end());
    runs.erase(std::unique(runs.begin(), runs.end()), runs.end());
    return runs;
}

}  // namespace cvh
