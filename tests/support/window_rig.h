// The main window over a session on fake serial lines, a scripted operator and a fixed clock,
// started in a directory of its own so that no stray "last.cvh" is read or left behind.
#pragma once

#include <QTemporaryDir>
#include <QWidget>

#include "console/main_window.h"
#include "session/host_session.h"
#include "support/fake_serial.h"
#include "support/scripted_operator.h"

namespace cvh::test {

struct WindowRig {
    QTemporaryDir dir;
    FakeSerialBackend backend;
    ScriptedOperator op;
    FixedClock clock;
    HostSession session{backend, op, clock};
    MainWindow window{session};

    // Starts the session in `dir` and shows the window with its small windows.
    void start() {
        session.startUp(dir.path().toStdString());
        window.createSmallWindows();
        window.refreshView();
        window.show();
    }
    template <class W = QWidget>
    W* find(const QString& name) {
        return window.findChild<W*>(name);
    }
    template <class W = QWidget>
    W* find(const char* name) {
        return find<W>(QLatin1String(name));
    }
};

}  // namespace cvh::test
