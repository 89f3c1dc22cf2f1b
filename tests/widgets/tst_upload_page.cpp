// The Upload page offscreen on a fake logger line: the directory fills the run list, an upload
// writes the run file the save dialog named, Cancel takes a press only while an upload runs, and
// the memory buttons name the device the logger reports.
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <vector>

#include "console/main_window.h"
#include "link/run_directory_record.h"
#include "link/serial_port_table.h"
#include "link/status_record.h"
#include "session/host_session.h"
#include "support/fake_serial.h"
#include "support/scripted_operator.h"
#include "support/window_rig.h"

using namespace cvh;

class TestUploadPage : public QObject {
    Q_OBJECT

    struct Rig : test::WindowRig {
        std::shared_ptr<test::FakeLine> line;
        Rig() {
            clock.now = 1'700'000'000;
            line = backend.add(session.ports().names().name(1));
            session.startUp(dir.path().toStdString());
            session.modeMenuClick(MenuItem::MenuAdvanced);
            session.linkPorts().loggerPortChange(1, kPortSetup9600);
            window.createSmallWindows();
            window.refreshView();
            window.show();
        }
        QPushButton* button(const char* name) { return find<QPushButton>(name); }
        // The logger sends `bytes`; the session reads them and the window repaints.
        template <class Packet>
        void receive(const Packet& bytes) {
            line->incoming.insert(line->incoming.end(), bytes.begin(), bytes.end());
            for (int i = 0; i < 8; ++i)
                session.onTick10ms();
            session.displayRefreshTick();
            window.refreshView();
        }
        void status(int deviceType) {
            LoggerStatus s;
            s.statusCode = 9;  // standby
            s.serialNumber = 417;
            s.deviceType = static_cast<std::int16_t>(deviceType);
            s.loggerClock = static_cast<std::int32_t>(clock.now);
            s.firmwareVersion = 7u << 28 | 9u << 20;
            receive(encodeStatusRecord(s));
        }
        void entry(int run, std::uint32_t size) {
            DirectoryEntry e;
            e.runNumber = static_cast<std::int16_t>(run);
            e.runSizeBytes = size;
            receive(encodeDirectoryEntry(e));
        }
        void second() {
            session.onTick1000ms();
            window.refreshView();
        }
    };

private slots:
    void captionsFollowTheDeviceType() {
        Rig r;
        QCOMPARE(r.button("BTClearMemory")->text(), QStringLiteral("Clear Logger Memory"));
        const std::tuple<int, const char*, const char*> cases[] = {
            {2, "Clear TQ-7 Memory", "Get TQ-7 Directory"},
            {3, "Clear Q-Span Memory", "Get Q-Span Directory"},
            {1, "Clear KB5+ Memory", "Get KB5+ Directory"},
        };
        for (const auto& [type, clear, get] : cases) {
            r.status(type);
            QCOMPARE(r.button("BTClearMemory")->text(), QLatin1String(clear));
            QCOMPARE(r.button("BTGetDirectory")->text(), QLatin1String(get));
        }
    }

    void directoryListsRunsAndUploadWritesTheChosenFile() {
        Rig r;
        r.status(2);
        auto* list = r.find<QListWidget>("LBProfiles");
        QTest::mouseClick(r.button("BTGetDirectory"), Qt::LeftButton);
        r.entry(3, 1500);
        r.entry(4, 900);
        QCOMPARE(list->count(), 2);
        QVERIFY(list->item(0)->text().contains(QLatin1String("3")));
        QVERIFY(!r.button("BTCancelUpload")->isEnabled());

        // The operator's selection survives a repaint that brings no new lines.
        list->item(1)->setSelected(true);
        r.second();
        QVERIFY(list->item(1)->isSelected());

        r.session.hostSetupStore().chooseExtractFiles(0);
        const std::filesystem::path folder = r.dir.path().toStdString();
        r.op.files.push_back((folder / "run.004").string());
        QTest::mouseClick(r.button("BTUpload"), Qt::LeftButton);
        QVERIFY(r.button("BTCancelUpload")->isEnabled());

        r.second();  // the pacing asks for the run
        const std::vector<std::uint8_t> data(900, 0x5A);
        r.receive(*encodeUploadBlock(1, Bytes(data.data(), data.size())));
        auto* bar = r.find<QProgressBar>("UpLoadPB");
        QCOMPARE(bar->value(), bar->maximum());
        r.receive(*encodeUploadBlock(2, Bytes()));
        QVERIFY(!r.button("BTCancelUpload")->isEnabled());
        QCOMPARE(r.find<QLabel>("UpLoadRun")->text(), QStringLiteral("Upload is Complete"));
        QCOMPARE(std::filesystem::file_size(folder / "run.004"), 900u);
        QVERIFY(std::filesystem::exists(folder / "run.004.sha256"));
    }

    // "Parse Run Files" tells which run file could not be read and why.
    void parseRunFilesNamesAnUnreadableFile() {
        Rig r;
        r.session.hostSetupStore().chooseExtractFiles(0);
        const std::string missing =
            (std::filesystem::path(r.dir.path().toStdString()) / "run.007").string();
        r.op.files.push_back(missing);
        QTest::mouseClick(r.button("BTExtract"), Qt::LeftButton);
        QCOMPARE(r.op.notices().size(), std::size_t{1});
        QCOMPARE(r.op.notices()[0].caption, std::string("Run.007 - File Extraction Error"));
        QVERIFY(r.op.notices()[0].text.starts_with(missing + ": "));
    }
};

QTEST_MAIN(TestUploadPage)
#include "tst_upload_page.moc"
