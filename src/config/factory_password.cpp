#include "config/factory_password.h"

namespace cvh {

bool PasswordGate::checkPassword(std::string_view text, Operator& op) {
    if (text.substr(0, kFactoryPassword.size()) == kFactoryPassword)
        return true;
    op.notice("Password Error",
              failures_++ == 0 ? "You Must Enter a Valid Password to Change the Hardware "
                                 "Configuration or Analog Calibration"
                               : "An Invalid Password Was Entered -- Please Check Caps Lock",
              true);
    return false;
}

}  // namespace cvh
