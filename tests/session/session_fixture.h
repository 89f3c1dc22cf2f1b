// A host session on a fake serial backend, a scripted operator and a fixed clock.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "base/clock.h"
#include "session/host_session.h"
#include "support/fake_serial.h"
#include "support/scripted_operator.h"
#include "support/session_access.h"
#include "support/temp_dir.h"

namespace cvh::test {

struct SessionFixture {
    FakeSerialBackend backend;
    ScriptedOperator op;
    FixedClock clock;
    std::unique_ptr<HostSession> session;

    SessionFixture() {
        clock.now = 1'700'000'000;
        session = std::make_unique<HostSession>(backend, op, clock);
    }
    ~SessionFixture() { session.reset(); }
    SessionFixture(const SessionFixture&) = delete;
    SessionFixture& operator=(const SessionFixture&) = delete;

    HostSession& s() { return *session; }
    std::string dir() const { return scratch.str(); }
    // The device behind COM 1 on this platform, present on the fake backend.
    std::shared_ptr<FakeLine> addLoggerLine(int com = 1) {
        return backend.add(session->ports().names().name(com));
    }

private:
    TempDir scratch{"cvh_session"};  // the destructor ends the session before this goes
};

}  // namespace cvh::test
