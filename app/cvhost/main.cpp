// cvhost: the operator console. Reads the command line, creates the windows in their order,
// reads the port-name overrides from the start directory and runs the event loop.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "console/main_window.h"
#include "console/qt_operator.h"
#include "console/start_options.h"
#include "platform/exit_signals.h"
#include "platform/qt_serial_backend.h"
#include "session/host_session.h"

int main(int argc, char** argv) {
    // The command line is read before any window system is touched, so "--help" and a wrong
    // option are answered on a terminal without a display.
    cvh::StartOptions start;
    std::optional<int> early;
    {
        QCoreApplication commandLine(argc, argv);
        early = cvh::readStartOptions(QCoreApplication::arguments(), start);
    }
    if (early)
        return *early;
    QApplication app(argc, argv);
    try {
        cvh::installExitSignalHandlers();
        cvh::QtSerialBackend backend;
        cvh::QtOperator op;
        cvh::SystemClock clock;
        cvh::HostSession session(backend, op, clock);

        const std::string startDirectory = QDir::currentPath().toStdString();
        std::vector<std::string> malformed;
        session.ports().names().loadOverrideFile(startDirectory + "/comports.txt", malformed);

        cvh::MainWindow window(session);
        op.setParent(&window);
        session.startUp(startDirectory);
        cvh::applyStartOptions(session, start);
        window.createSmallWindows();
        window.refreshView();
        window.show();
        window.startTimers();
        if (!malformed.empty()) {
            // Reported once the timers run, as every start-up notice is, so an exit signal is
            // heard while the box is open.
            std::string text = "These lines of comports.txt were ignored:";
            for (const auto& line : malformed)
                text += "\n" + line;
            session.deferNotice("Port Names", text);
        }
        const int code = app.exec();
        session.shutdown();
        return code;
    } catch (const std::exception& e) {
        cvh::QtOperator op;
        op.notice("CV Host", e.what(), true);
        return 1;
    }
}
