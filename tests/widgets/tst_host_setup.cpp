// The host setup file, the PC-Logger page and the annotation window offscreen: a file opened
// from the File menu restores the widgets; operator edits reach the session, restored values
// never count as edits; "Program Termination" stores the window's size in "last.cvh".
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

#include "console/main_window.h"
#include "console/page_upload.h"
#include "files/host_setup_file.h"
#include "session/host_session.h"
#include "session/pc_logger_flow.h"
#include "session/pc_logger_setup.h"
#include "support/fake_serial.h"
#include "support/host_setup_values.h"
#include "support/scripted_operator.h"
#include "support/window_rig.h"

using namespace cvh;

class TestHostSetup : public QObject {
    Q_OBJECT

    struct Rig : test::WindowRig {
        Rig() {
            clock.now = 1'700'000'000;
            for (int com : {5, 6})
                backend.add(session.ports().names().name(com));
            start();
        }
        int combo(const char* name) { return find<QComboBox>(name)->currentIndex(); }
        QString text(const char* name) { return find<QLabel>(name)->text(); }
        void trigger(const char* action) { find<QAction>(action)->trigger(); }
    };

    static HostSetup sampleFile() {
        const std::pair<const char*, int> stored[] = {
            {"ActiveHostMode", 5}, {"WindowWidth", 1500},   {"WindowHeight", 1000},
            {"ExtractFilesRG", 1}, {"RawSourceCB", 1},      {"RawMuxIDUD", 3},
            {"RawPortCB", 4},      {"UDDeckRate", 16},      {"CBRecordPCTime", 1},
            {"PortType1CB", 1},    {"PortType2CB", 2},      {"DeckPort1CB", 5},
            {"DeckPort2CB", 6},    {"DeckSetup1CB", 6},     {"DeckSetup2CB", 11},
            {"UDDeckType2", 3},    {"UDOutPort2", 7},       {"ReplaySpeedUD", 7},
            {"DandTCB", 1},        {"ModeCB.Visible", 1},   {"ModeCB", 12},
            {"FileCB.Visible", 1}, {"OutputCB.Visible", 1}, {"ModeCB.Final", 12},
            {"FileCB.Final", 1},   {"OutputCB.Final", 4},   {"MenuAnnotateFile.Visible", 1}};
        HostSetup f;
        for (const auto& [control, value] : stored)
            test::setControl(f, control, value);
        return f;
    }

private slots:
    void fileMenuOpenRestoresTheWidgets() {
        Rig r;
        const QString path = r.dir.filePath(QStringLiteral("field.cvh"));
        QCOMPARE(int(storeHostSetup(path.toStdString(), sampleFile()).result),
                 int(HostSetupStoreResult::Stored));
        r.op.files.push_back(path.toStdString());
        r.trigger("LoadHostSetupFile");

        QCOMPARE(QString::fromStdString(r.op.asked.back().caption),
                 QStringLiteral("Open CV Host Program Setup"));
        QCOMPARE(r.op.notices().size(), std::size_t(0));
        QCOMPARE(r.text("HostMode"), QStringLiteral("Advanced User"));
        QCOMPARE(r.combo("PortType1CB"), 1);
        QCOMPARE(r.combo("DeckPort1CB"), 5);
        QCOMPARE(r.combo("DeckSetup1CB"), 6);
        QCOMPARE(r.combo("PortType2CB"), 2);
        QCOMPARE(r.combo("DeckSetup2CB"), 11);
        QCOMPARE(r.find<QSpinBox>("UDDeckType2")->value(), 3);
        QVERIFY(!r.find("UDDeckType2")->isHidden());
        QCOMPARE(r.text("LBDeckType2"), QStringLiteral("Output Logger ID=3"));
        QCOMPARE(r.text("PCOutPort2"), QStringLiteral("Port=7"));
        QVERIFY(r.find("UDOutPort1")->isHidden());
        QVERIFY(!r.find("PortType3CB")->isHidden());
        QVERIFY(r.find("DeckPort3CB")->isHidden());
        QCOMPARE(r.find<QSpinBox>("UDDeckRate")->value(), 16);
        QCOMPARE(r.text("LBDeckRate"), QStringLiteral("Deck Rate: 16 Hz"));
        QCOMPARE(r.text("LBDeckInterval"), QStringLiteral("Deck Interval:   62 ms"));
        QVERIFY(r.find<QCheckBox>("CBRecordPCTime")->isChecked());
        QVERIFY(r.find("PCLoggerPanel")->isHidden());  // loaded, so not "Setup is Not Loaded"
        QCOMPARE(r.combo("RawSourceCB"), 1);
        QCOMPARE(r.combo("RawPortCB"), 4);
        QCOMPARE(r.find<QSpinBox>("RawMuxIDUD")->value(), 3);
        QCOMPARE(r.window.findChild<UploadPage*>()->extractFilesIndex(), 1);
        QCOMPARE(r.find<QSpinBox>("ReplaySpeedUD")->value(), 7);
        QVERIFY(r.find<QCheckBox>("DandTCB")->isChecked());
        QCOMPARE(r.combo("ModeCB"), 12);
        QCOMPARE(r.combo("FileCB"), 1);
        QCOMPARE(r.combo("OutputCB"), 4);
        QVERIFY(!r.find("ModeLB")->isHidden());
        QTRY_COMPARE(r.window.size(), QSize(1500, 1000));
        // The PC ports opened with the page's choices.
        QVERIFY(r.session.ports().isPortOpen(1));
        QVERIFY(r.session.ports().isPortOpen(2));
    }

    void pcLoggerPageEditsReachTheSession() {
        Rig r;
        r.session.modeMenuClick(MenuItem::PCLogger);
        r.window.refreshView();
        auto* type = r.find<QComboBox>("PortType3CB");
        type->setCurrentIndex(2);
        emit type->activated(2);
        QVERIFY(!r.find("PCLoggerPanel")->isHidden());
        QVERIFY(!r.find("UDOutPort3")->isHidden());
        QCOMPARE(r.text("PCOutPort3"), QStringLiteral("Port=1"));
        r.find<QSpinBox>("UDOutPort3")->stepUp();
        QCOMPARE(r.text("PCOutPort3"), QStringLiteral("Port=2"));
        auto* com = r.find<QComboBox>("DeckPort3CB");
        com->setCurrentIndex(6);
        emit com->activated(6);
        QCOMPARE(r.session.pcLogger().form.rows[2].DeckPortCB, 6);

        // The deck rate snaps: up from 6 to 8, down from 8 to 6.
        auto* rate = r.find<QSpinBox>("UDDeckRate");
        rate->setValue(6);
        rate->stepUp();
        QCOMPARE(rate->value(), 8);
        QCOMPARE(r.text("LBDeckInterval"), QStringLiteral("Deck Interval:  125 ms"));
        rate->stepDown();
        QCOMPARE(rate->value(), 6);

        QTest::mouseClick(r.find<QCheckBox>("CBRecordPCTime"), Qt::LeftButton);
        QVERIFY(r.session.pcLogger().form.CBRecordPCTime);

        r.find<QPushButton>("BTLoadDeck")->click();
        QVERIFY(r.find("PCLoggerPanel")->isHidden());
        QCOMPARE(r.session.deckRouting().pcFunction[3], 2);
        QCOMPARE(r.session.deckRouting().pcSourcePort[3], 2);
        QVERIFY(r.session.ports().isPortOpen(3));

        r.find<QPushButton>("BTClearDeck")->click();
        QCOMPARE(r.combo("PortType3CB"), 0);
        QVERIFY(r.find("DeckPort3CB")->isHidden());
        QVERIFY(r.session.ports().isPortOpen(3));  // open until the next load

        r.find<QPushButton>("BTRestoreDeck")->click();
        QCOMPARE(r.combo("PortType3CB"), 2);
        QCOMPARE(r.combo("DeckPort3CB"), 6);
        QVERIFY(!r.find("PCLoggerPanel")->isHidden());
    }

    void annotationWindowFromTheCommandsMenu() {
        Rig r;
        r.session.modeMenuClick(MenuItem::MenuRealTimeOutput);
        r.window.refreshView();
        auto* form = r.window.findChild<QDialog*>(QStringLiteral("TAnnotationForm"));
        QVERIFY(!form->isVisible());
        r.trigger("MenuAnnotateFile");
        QVERIFY(form->isVisible());
        form->findChild<QPushButton*>(QStringLiteral("BTStart"))->click();
        QCOMPARE(form->findChild<QLabel*>(QStringLiteral("LBAnnotation"))->text(),
                 QStringLiteral("Start Sample 1"));
        QCOMPARE(form->findChild<QLabel*>(QStringLiteral("LBNext"))->text(),
                 QStringLiteral("Next Water Sample:  2"));
        QCOMPARE(form->findChild<QSpinBox*>(QStringLiteral("UDNext"))->value(), 2);
        QVERIFY(form->findChild<QLabel*>(QStringLiteral("AnnotateDANDT"))
                    ->text()
                    .startsWith(QStringLiteral("11/14/23\t")));
        auto& annotation = r.session.pcLoggerFlow().annotation;
        QVERIFY(annotation.pending());
        QVERIFY(annotation.pendingLine().ends_with(" Start Sample 1"));

        auto* edit = form->findChild<QLineEdit*>(QStringLiteral("EDITAnnotation"));
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("Bottle 4"));
        form->findChild<QPushButton*>(QStringLiteral("BTSend"))->click();
        QCOMPARE(edit->text(), QString());
        // The first line had not been sent yet: reported and lost.
        QCOMPARE(r.op.notices().size(), std::size_t(1));
        QVERIFY(annotation.pendingLine().ends_with(" Bottle 4"));

        form->findChild<QPushButton*>(QStringLiteral("BTClose"))->click();
        QVERIFY(!form->isVisible());
        QVERIFY(!annotation.form.visible);
    }

    void exitStoresTheWindowSizeInLastCvh() {
        Rig r;
        r.window.resize(1450, 980);
        QTRY_COMPARE(r.session.hostSetupStore().controls().geometry.width, 1450);
        QCOMPARE(r.session.hostSetupStore().controls().geometry.height, 980);
        r.op.answers.push_back(Answer::Ok);
        QVERIFY(r.session.requestExit());
        QFile file(r.dir.filePath(QStringLiteral("last.cvh")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.startsWith("CV Host Version=7.09e\n"));
        QVERIFY(text.contains("\n3 3 0 980 1450\n"));
    }
};

QTEST_MAIN(TestHostSetup)
#include "tst_host_setup.moc"
