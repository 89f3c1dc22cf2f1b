// The runs a command line names: "1,3-5" lists run numbers and inclusive ranges of them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cvh {

inline constexpr int kHighestRunNumber = 999;  // run files are named run.000 .. run.999

// The run numbers in ascending order, each once; nothing when the text is not such a list,
// with what is wrong in `error`.
std::optional<std::vector<int>> parseRunList(std::string_view text, std::string& error);

}  // namespace cvh
