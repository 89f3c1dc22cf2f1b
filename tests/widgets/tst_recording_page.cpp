// The recording page offscreen: Record Archive asks for the file and starts recording, the
// status line and tab caption follow at once, the size only with the 1 s tick (no repaint per
// packet), Stop enables the seven start buttons again, and the speed spinner sets the speed.
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "console/main_window.h"
#include "link/data_packet.h"
#include "session/host_session.h"
#include "support/fake_serial.h"
#include "support/scripted_operator.h"
#include "support/temp_dir.h"

using namespace cvh;

class TestRecordingPage : public QObject {
    Q_OBJECT

    static constexpr int kLoggerCom = 5;
    static constexpr const char* kStartButtons[] = {
        "BTRecordArchive", "BTRecordRaw", "BTRecord1Hour",     "BTRecord1Day",
        "ReplayArchiveBT", "BTReplayRaw", "ReplayContinuousBT"};

private slots:
    void recordArchiveShowsStatusAndSizeEachSecondAndStopEnablesTheButtons() {
        test::TempDir dir{"cvh_recording_page"};
        test::FakeSerialBackend backend;
        test::ScriptedOperator op;
        FixedClock clock;
        HostSession session{backend, op, clock};
        auto& line = *backend.add(session.ports().names().name(kLoggerCom));
        session.startUp(dir.str());
        MainWindow window{session};
        window.createSmallWindows();
        session.modeMenuClick(MenuItem::MenuRealTimeOutput);
        session.linkPorts().loggerPortChange(kLoggerCom, 11);
        window.refreshView();
        window.show();
        auto label = [&](const char* name) {
            return window.findChild<QLabel*>(QLatin1String(name))->text();
        };
        auto button = [&](const char* name) {
            return window.findChild<QPushButton*>(QLatin1String(name));
        };
        const int page = window.tabs()->indexOf(window.findChild<QWidget*>("TSRecord"));

        const std::string path = (dir.path() / "cruise.arc").string();
        op.files.push_back(path);
        button("BTRecordArchive")->click();
        QCOMPARE(op.asked.back().caption, std::string("Record Continuous Archive"));
        QCOMPARE(label("LBRecordStatus"), QStringLiteral("Recording:  Archive File"));
        QCOMPARE(window.tabs()->tabText(page), QStringLiteral("Recording:  Archive File"));
        QCOMPARE(label("LBArchiveFileName"), QString::fromStdString("Archive File:  " + path));
        for (const char* name : kStartButtons)
            QVERIFY2(!button(name)->isEnabled(), name);
        QVERIFY(button("BTStopRecord")->isEnabled());

        // Ten packets of 300 data bytes: 3320 bytes recorded, shown as 3 K a second later.
        const std::vector<std::uint8_t> data(300, 'x');
        for (int n = 0; n < 10; ++n) {
            std::array<Bytes, kDataPortCount> segments{};
            segments[0] = data;
            DataPacketFields fields;
            fields.unit = 1;
            fields.sequence = static_cast<std::uint8_t>(n);
            const auto wire = buildDataPacket(fields, segments).value();
            line.incoming.insert(line.incoming.end(), wire.begin(), wire.end());
            session.onTick10ms();
        }
        session.onTick10ms();
        window.refreshView();
        QCOMPARE(session.recorder().state().sizeCounter, 3320);
        QCOMPARE(label("LBArchiveFileSize"), QStringLiteral("File Size:         0 K"));
        session.onTick1000ms();
        window.refreshView();
        QCOMPARE(label("LBArchiveFileSize"), QStringLiteral("File Size:         3 K"));

        button("BTStopRecord")->click();
        QCOMPARE(label("LBRecordStatus"), QStringLiteral("Recording:  OFF"));
        QCOMPARE(window.tabs()->tabText(page), QStringLiteral("Recording:  OFF"));
        for (const char* name : kStartButtons)
            QVERIFY2(button(name)->isEnabled(), name);
        // The operator's step of the spinner reaches the recorder.
        window.findChild<QSpinBox*>("ReplaySpeedUD")->stepUp();
        QCOMPARE(session.recorder().state().replaySpeed, 7);
        QVERIFY(op.notices().empty());
        session.shutdown();
    }
};

QTEST_MAIN(TestRecordingPage)
#include "tst_recording_page.moc"
