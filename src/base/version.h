// The program's version as it appears in the title bar and in every host setup file it writes.
#pragma once

namespace cvh {

inline constexpr double kHostVersion = 7.09;  // printed "%4.2f"
inline constexpr char kHostVersionLetter = 'e';

}  // namespace cvh
