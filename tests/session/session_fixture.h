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

namespace cvh::test {

// An empty start directory of the test's own, made on first use and removed with it, so no
// test reads a "last.cvh" another run left behind or leaves one for the next.
class ScratchDir {
public:
    ScratchDir() = default;
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir() {
        if (path_.empty())
            return;
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() {
        if (path_.empty()) {
            std::string pattern =
                (std::filesystem::temp_directory_path() / "cvh_session_XXXXXX").string();
            if (::mkdtemp(pattern.data()) != nullptr)
                path_ = pattern;
        }
        return path_;
    }

private:
    std::string path_;
};

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
    const std::string& dir() { return scratch.path(); }
    // The device behind COM 1 on this platform, present on the fake backend.
    std::shared_ptr<FakeLine> addLoggerLine(int com = 1) {
        return backend.add(session->ports().names().name(com));
    }

private:
    ScratchDir scratch;  // the destructor ends the session before this goes
};

}  // namespace cvh::test
