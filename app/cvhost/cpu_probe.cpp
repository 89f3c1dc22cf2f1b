// The console as cvhost runs it (main window, four timers, session, Qt serial backend), with
// the logger port chosen on COM 1 and the Real Time Data display running, for a fixed time;
// prints the process CPU time over the wall time. With "record" it also records hourly archive
// files ("cpu_arch" in the current directory) as the recording page would. With "status" the
// Data Status page is in front instead of Real Time Data, with "plot" the Live Plot page,
// drawing three columns of the logger's lines. bench/cvhost_cpu drives it with a logger on a
// pseudo-terminal.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "base/clock.h"
#include "console/main_window.h"
#include "console/page_live_plot.h"
#include "console/qt_operator.h"
#include "platform/qt_serial_backend.h"
#include "session/host_session.h"

namespace {

// Notices go to stderr: a box nobody can close would stop the measurement.
class PrintingOperator : public cvh::QtOperator {
public:
    void notice(const std::string& caption, const std::string& text, bool) override {
        std::fprintf(stderr, "notice: %s: %s\n", caption.c_str(), text.c_str());
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    const bool openPort = argc > 2 && std::string(argv[2]) == "port";
    const std::string extra = argc > 3 ? argv[3] : "";
    const bool record = extra == "record";
    cvh::QtSerialBackend backend;
    PrintingOperator op;
    cvh::SystemClock clock;
    cvh::HostSession session(backend, op, clock);
    std::vector<std::string> malformed;
    session.ports().names().loadOverrideFile(QDir::currentPath().toStdString() + "/comports.txt",
                                             malformed);
    cvh::MainWindow window(session);
    session.startUp(QDir::currentPath().toStdString());
    window.createSmallWindows();
    if (openPort) {
        session.modeMenuClick(cvh::MenuItem::MenuRealTimeOutput);
        session.linkPorts().loggerPortChange(1, 6);
        window.tabs()->setCurrentIndex(cvh::pageIndex(cvh::Page::RealTime));
        session.linkPorts().rawPortChange(0, 0, 1);
        session.linkPorts().displayRawClick();
        session.linkPorts().hostPortStatsClick();
        if (extra == "status")
            window.tabs()->setCurrentIndex(cvh::pageIndex(cvh::Page::DataStatus));
        if (extra == "plot") {
            session.liveDataWatch().choosePlot({1, 1, {2, 4, 6, 0}, 0});
            window.tabs()->setCurrentIndex(cvh::pageIndex(cvh::Page::LivePlot));
        }
    }
    if (record && session.recorder().startRecording(
                      cvh::RecordMode::Hourly, QDir::currentPath().toStdString() + "/cpu_arch") !=
                      cvh::RecorderStart::Started)
        return 2;
    window.refreshView();
    window.show();
    window.startTimers();
    const auto wallStart = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    QTimer::singleShot(seconds * 1000, &app, [&] {
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        std::printf(
            "wall %.1f s cpu %.3f s -> %.2f %% of a core; packets %lu, units[1] %lu, "
            "recorded %lld bytes, plot redrawn %llu times\n",
            wall, cpu, 100.0 * cpu / wall, static_cast<unsigned long>(session.link().packetCount),
            static_cast<unsigned long>(session.link().unitPackets[1]),
            static_cast<long long>(session.recorder().state().sizeCounter),
            static_cast<unsigned long long>(
                window.findChild<cvh::LivePlotPage*>(QStringLiteral("TSLivePlot"))->repaints()));
        std::fflush(stdout);
        window.confirmedExit();
    });
    return app.exec();
}
