// Access to a controller's state for the steps that arrange several controllers at once: the
// host modes and the host setup file's apply. Only the conductor, the host setup apply and the
// tests' SessionTestAccess (tests/support/session_access.h) can make a key, so the console can
// read every view but edit none.
#pragma once

namespace cvh {

class HostSession;
struct HostSetupApply;
struct SessionTestAccess;

class SessionKey {
    friend class HostSession;
    friend struct HostSetupApply;
    friend struct SessionTestAccess;
    SessionKey() = default;
};

}  // namespace cvh
