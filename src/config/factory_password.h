// The factory password that guards writing the hardware configuration, the analog calibration
// and the factory defaults into the logger. It is a guard against slips, not a secret: both
// pages show it in plain text.
#pragma once

#include <string_view>

#include "base/operator.h"

namespace cvh {

inline constexpr std::string_view kFactoryPassword = "KeepClear";

// One count of refusals since program start, shared by both pages: the first refusal explains
// what the password is for, every later one suggests Caps Lock.
class PasswordGate {
public:
    // Accepted when the text starts with the password (case-sensitive; anything after it is
    // ignored). A refusal is counted and told to the operator.
    bool checkPassword(std::string_view text, Operator& op);
    int failures() const { return failures_; }

private:
    int failures_ = 0;
};

}  // namespace cvh
