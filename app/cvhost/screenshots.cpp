// Renders the main window in every host mode, each page of the Advanced User mode and each
// small window to PNG files, offscreen, for a look at the layout without a display.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPixmap>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <string>

#include "base/bytes.h"
#include "base/cformat.h"
#include "base/checksum.h"
#include "base/clock.h"
#include "console/main_window.h"
#include "console/page_live_plot.h"
#include "link/data_packet.h"
#include "session/host_session.h"

namespace {

// A logger that has reported its status once, so the status group and the rows are filled.
void feedStatus(cvh::HostSession& s, std::int64_t now) {
    std::array<std::uint8_t, 132> b{};
    cvh::MutableBytes m(b);
    b[0] = b[1] = 3;
    cvh::writeLe16(m, 4, 6);
    cvh::writeLe16(m, 6, 12);
    cvh::writeLe32(m, 8, static_cast<std::uint32_t>(now + 7));
    cvh::writeLe32(m, 12, 3725);
    cvh::writeLe16(m, 16, 17);
    cvh::writeLe16(m, 18, 2);
    cvh::writeLe16(m, 20, 2);
    cvh::writeLe16(m, 22, 0x000F);
    cvh::writeLe16(m, 24, 0x0007);
    for (int p = 0; p < 4; ++p)
        cvh::writeLe16(m, 30 + 2 * p, static_cast<std::uint16_t>(120 + p));
    cvh::writeLe16(m, 46, 0x00A5);
    cvh::writeLe16(m, 48, 12600);
    cvh::writeLe16(m, 50, 12800);
    cvh::writeLe16(m, 52, 12500);
    cvh::writeLe16(m, 54, 2);
    for (int a = 0; a < 3; ++a)
        cvh::writeLe16(m, 58 + 2 * a, static_cast<std::uint16_t>(1234 * (a + 1)));
    for (int p = 0; p < 4; ++p)
        cvh::writeLe32(m, 76 + 4 * p, static_cast<std::uint32_t>(5000 * (p + 1)));
    cvh::writeLe32(m, 108, 4096);
    cvh::writeLe32(m, 116, 60 * 1024 * 1024);
    cvh::writeLe32(m, 120, 64 * 1024 * 1024);
    cvh::writeLe32(m, 124, 7u << 28 | 9u << 20);
    cvh::storeChecksum(m);
    auto& rec = s.receiveLoop().records();
    std::copy(b.begin(), b.end(), rec.status.begin());
    rec.statusPacketPending = true;
    s.displayRefreshTick();
}

// A setup as the logger would send it: ports 1..4 with instruments, three analog channels, one
// sample every 2 s.
void feedSetup(cvh::HostSession& s) {
    cvh::LoggerSetup setup;
    setup.intervalSeconds = 2;
    const int meters[4] = {3, 1, 6, 5};
    for (int p = 1; p <= 4; ++p) {
        setup.baud[static_cast<std::size_t>(p)] = 9600;
        setup.dataBits[static_cast<std::size_t>(p)] = 8;
        setup.meterType[static_cast<std::size_t>(p)] = static_cast<std::uint16_t>(meters[p - 1]);
    }
    for (int a = 1; a <= 3; ++a)
        setup.analogSetting[static_cast<std::size_t>(a)] = 1;
    cvh::SetupSnapshot snapshot;
    snapshot.encode(setup);
    auto& rec = s.receiveLoop().records();
    std::copy(snapshot.bytes().begin(), snapshot.bytes().end(), rec.setup.begin());
    rec.setupPacketPending = true;
    s.displayRefreshTick();
}

// Ten minutes of a CTD on port 1, a meter on port 2, a GPS on port 3 that stops after seven,
// and three analog channels, recorded to an archive as the recorder keeps it.
void writeArchive(cvh::Recorder& recorder, const std::string& path) {
    recorder.startRecording(cvh::RecordMode::Continuous, path);
    for (int i = 0; i < 300; ++i) {
        const double t = i * 2.0;
        const std::string ctd =
            cvh::cformat("CTD %05d %7.3f %7.4f %7.2f\r\n", i, 12.0 + 1.5 * std::sin(t / 90.0),
                         35.1 + 0.04 * std::cos(t / 50.0), 101.3 + 0.01 * i);
        const std::string kb5 = cvh::cformat("%d,%d\r\n", 400 + i % 17, 3 * i % 29);
        const std::string gps =
            i < 210 ? cvh::cformat("$GPGGA,%06d,4124.8963,N,08151.6838,W,1,05\r\n", 120000 + i)
                    : std::string();
        const std::string analog = cvh::cformat(
            "AN %05d %4d %4d %4d\r\n", i, 1200 + static_cast<int>(300 * std::sin(t / 60)), 2500 + i,
            3300 - static_cast<int>(200 * std::cos(t / 40)));
        std::array<cvh::Bytes, cvh::kDataPortCount> segments{};
        auto bytes = [](const std::string& text) {
            return cvh::Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        };
        segments[0] = bytes(ctd);
        segments[1] = bytes(kb5);
        segments[2] = bytes(gps);
        segments[8] = bytes(analog);
        cvh::DataPacketFields fields;
        fields.unit = 2;
        fields.sequence = static_cast<std::uint8_t>(i);
        fields.timeStamp = static_cast<std::uint32_t>(1734264000 + i * 2);
        auto packet = *cvh::buildDataPacket(fields, segments);
        cvh::MutableBytes record(packet.data() + cvh::data_record::kStart, packet.size() - 4);
        cvh::swapRecordHeaderOrder(record);
        recorder.appendPacket(record, cvh::RecordMode::Continuous);
    }
    recorder.stop();
}

class NoSerial : public cvh::SerialBackend {
public:
    std::unique_ptr<cvh::SerialDevice> open(const std::string&) override { return nullptr; }
    bool exists(const std::string&) const override { return false; }
};

class SilentOperator : public cvh::Operator {
public:
    void notice(const std::string&, const std::string&, bool) override {}
    cvh::Answer askOkCancel(const std::string&, const std::string&, cvh::Icon, bool) override {
        return cvh::Answer::Ok;
    }
    cvh::Answer askYesNo(const std::string&, const std::string&, cvh::Icon, bool) override {
        return cvh::Answer::Yes;
    }
    cvh::Answer askYesNoCancel(const std::string&, const std::string&, cvh::Icon) override {
        return cvh::Answer::Yes;
    }
    std::optional<std::string> openFile(const cvh::FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFile(const cvh::FileDialogRequest&) override { return {}; }
    void beep() override {}
};

bool save(QWidget* w, const QString& dir, const QString& name) {
    QApplication::processEvents();
    const bool ok = w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(name));
    return ok;
}

// The main window in each host mode, with no logger yet.
bool saveHostModes(cvh::HostSession& session, cvh::MainWindow& window, const QString& dir) {
    bool ok = save(&window, dir, QStringLiteral("mode_none"));
    using cvh::HostMode;
    const std::pair<HostMode, const char*> modes[] = {
        {HostMode::Analog, "mode_1_analog"},     {HostMode::Moored, "mode_2_moored"},
        {HostMode::Profile, "mode_3_profile"},   {HostMode::RealTimeOutput, "mode_4_realtime"},
        {HostMode::PcLogger, "mode_8_pclogger"}, {HostMode::Advanced, "mode_5_advanced"}};
    for (const auto& [mode, name] : modes) {
        session.markSetup(0);
        session.selectHostMode(mode);
        window.refreshView();
        ok = save(&window, dir, QLatin1String(name)) && ok;
    }
    return ok;
}

// Every visible page of the Advanced User mode, the factory pages included, with a logger
// reporting its status and live rows.
bool saveLoggerPages(cvh::HostSession& session, cvh::MainWindow& window, const QString& dir,
                     std::int64_t now) {
    // The factory pages, which only their menu items show.
    session.toggleFactoryPageClick(cvh::FactoryPage::Hardware);
    session.toggleFactoryPageClick(cvh::FactoryPage::Analog);
    // The status group and the live rows with a logger reporting.
    session.onTick10ms();
    feedStatus(session, now);
    session.onTick1000ms();
    session.linkPorts().appendDisplayText(
        std::string("$GPGGA,120000,4124.8963,N,08151.6838,W,1,05,1.5,280.2,M\r\nT= 12.345 C= "
                    "3.4567 P= 101.3\r\n"));
    window.refreshView();
    bool ok = true;
    for (int p = 0; p < cvh::kPageCount; ++p) {
        if (!session.main().pageVisible[static_cast<std::size_t>(p)])
            continue;
        window.tabs()->setCurrentIndex(p);
        window.refreshView();
        ok = save(&window, dir,
                  QStringLiteral("page_%1").arg(
                      QLatin1String(cvh::kPages[static_cast<std::size_t>(p)].objectName))) &&
             ok;
    }
    return ok;
}

// The live plot of a replayed archive, and a port that fell silent during the replay.
bool saveReplay(cvh::HostSession& session, cvh::MainWindow& window, const QString& dir,
                cvh::FixedClock& clock, const QString& startDir) {
    feedSetup(session);
    const std::string archive =
        (QDir(startDir).filePath(QStringLiteral("cruise.arc"))).toStdString();
    writeArchive(session.recorder(), archive);
    auto* plot = window.findChild<cvh::LivePlotPage*>(QStringLiteral("TSLivePlot"));
    plot->PlotColumnUD[0]->setValue(3);
    plot->PlotColumnUD[1]->setValue(4);
    plot->PlotWindowCB->setCurrentIndex(2);
    emit plot->PlotWindowCB->activated(2);
    session.recorder().startReplay(cvh::RecordMode::Replay, archive);
    session.recorder().setReplaySpeed(10);
    feedStatus(session, clock.now);
    for (int i = 0; i < 320 && session.recordMode() != cvh::RecordMode::Off; ++i) {
        clock.now += 2;
        session.onTick10ms();
        session.onTick1000ms();
    }
    window.tabs()->setCurrentIndex(cvh::pageIndex(cvh::Page::LivePlot));
    window.refreshView();
    plot->repaintIfChanged();
    bool ok = save(&window, dir, QStringLiteral("live_plot_replay"));
    window.tabs()->setCurrentIndex(cvh::pageIndex(cvh::Page::DataStatus));
    window.refreshView();
    return save(&window, dir, QStringLiteral("data_status_silent")) && ok;
}

// Each small window that exists, at its own size.
bool saveSmallWindows(cvh::HostSession& session, cvh::MainWindow& window, const QString& dir) {
    session.linkPorts().hostPortStatsClick();
    session.onTick1000ms();
    session.portTools().showTestPortWindow();
    session.portTools().showMuxIdWindow();
    window.refreshView();
    bool ok = true;
    for (const char* name :
         {"TForm2", "TSleepForm", "TAnnotationForm", "TTestPortForm", "TStatsForm", "TMuxIDForm"}) {
        auto* w = window.findChild<QWidget*>(QLatin1String(name));
        if (!w)
            continue;
        w->show();
        w->adjustSize();
        ok = save(w, dir, QLatin1String(name)) && ok;
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    const int width = argc > 2 ? std::atoi(argv[2]) : 1280;
    const int height = argc > 3 ? std::atoi(argv[3]) : 800;
    QDir().mkpath(dir);
    NoSerial backend;
    SilentOperator op;
    cvh::FixedClock clock;
    clock.now = 1734264000;
    // An empty start directory: no host setup file of an earlier run changes the pictures,
    // and none is left behind.
    QTemporaryDir startDir;
    cvh::HostSession session(backend, op, clock);
    cvh::MainWindow window(session);
    session.startUp(startDir.path().toStdString());
    window.createSmallWindows();
    window.resize(width, height);
    window.show();
    window.refreshView();
    bool ok = saveHostModes(session, window, dir);
    ok = saveLoggerPages(session, window, dir, clock.now) && ok;
    ok = saveReplay(session, window, dir, clock, startDir.path()) && ok;
    ok = saveSmallWindows(session, window, dir) && ok;
    return ok ? 0 : 1;
}
