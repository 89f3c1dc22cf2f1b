// The main window offscreen: the Modes menu drives captions, pages and menu items; the port
// tools and the live page forward operator edits; programmatic updates never count as edits.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "console/form_port_tools.h"
#include "console/main_window.h"
#include "session/host_session.h"
#include "support/fake_serial.h"
#include "support/scripted_operator.h"
#include "support/session_access.h"
#include "support/window_rig.h"

using namespace cvh;

class TestMainWindow : public QObject {
    Q_OBJECT

    struct Rig : test::WindowRig {
        Rig() {
            clock.now = 1'700'000'000;
            start();
        }
        QLabel* label(const char* name) { return window.findChild<QLabel*>(QLatin1String(name)); }
        QStringList visiblePages() {
            QStringList out;
            for (int i = 0; i < window.tabs()->count(); ++i)
                if (window.tabs()->isTabVisible(i))
                    out << window.tabs()->widget(i)->objectName();
            return out;
        }
        // Each caption of the Logger Operation box is shown exactly while its box is.
        void labelsFollowTheirBoxes() {
            const std::pair<const char*, const char*> pairs[] = {{"ModeLB", "ModeCB"},
                                                                 {"FileLB", "FileCB"},
                                                                 {"OutputLB", "OutputCB"},
                                                                 {"TimeSourceLB", "TimeSourceCB"}};
            for (const auto& [lb, cb] : pairs) {
                auto* box = window.findChild<QComboBox*>(QLatin1String(cb));
                QVERIFY2(label(lb) && box, lb);
                QVERIFY2(label(lb)->isHidden() == box->isHidden(), lb);
            }
        }
        bool menuShown(const char* name) {
            auto* a = window.findChild<QAction*>(QLatin1String(name));
            return a && a->isVisible();
        }
    };

private slots:
    void startsWithNoMode() {
        Rig r;
        QCOMPARE(r.window.windowTitle(), QStringLiteral("CV Host: v7.09e"));
        QCOMPARE(r.label("HostMode")->text(), QStringLiteral("No Mode Selected"));
        QVERIFY(r.visiblePages().isEmpty());
        QVERIFY(r.window.findChild<QWidget*>(QStringLiteral("LoggerPortGB"))->isVisible());
        QVERIFY(r.menuShown("MenuFactorySettings"));
        QVERIFY(r.menuShown("ResetToMonitor"));
        QVERIFY(!r.menuShown("MenuTestOneSerialPort"));
        QVERIFY(!r.menuShown("MenuAnnotateFile"));
        QVERIFY(!r.menuShown("Menukb5PassThru"));
        for (const char* name : {"TForm2", "TSleepForm", "TAnnotationForm", "TTestPortForm",
                                 "TStatsForm", "TMuxIDForm"}) {
            auto* w = r.window.findChild<QWidget*>(QLatin1String(name));
            QVERIFY2(w, name);
            QVERIFY(!w->isVisible());
        }
    }

    void modesMenu_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QStringList>("shownMenus");
        QTest::addColumn<QStringList>("hiddenMenus");
        QTest::addColumn<bool>("portPanel");
        QTest::newRow("analog") << "MenuAnalog"
                                << "Analog Output"
                                << QStringList{"TSPortSetup", "TSLoggerControl", "TSRecord",
                                               "TSRealTime", "TSLivePlot"}
                                << QStringList{"MenuLoggerTimeUpdate", "HardwareConfig"}
                                << QStringList{"MenuTestOneSerialPort", "MenuAnnotateFile",
                                               "ToggleDebug"}
                                << true;
        QTest::newRow("moored") << "MenuMoored"
                                << "Moored Logging"
                                << QStringList{"TSPortSetup", "TSLoggerControl", "TSUpload",
                                               "TSDataStatus"}
                                << QStringList{"MenuTestOneSerialPort", "N5", "AnalogCal"}
                                << QStringList{"MenuAnnotateFile", "MenuChangeLoggerID"} << true;
        QTest::newRow("profile") << "MenuProfile"
                                 << "Profile Logging"
                                 << QStringList{"TSPortSetup", "TSLoggerControl", "TSUpload",
                                                "TSDataStatus"}
                                 << QStringList{"MenuAutoTimeUpdate"}
                                 << QStringList{"LoadDefaultFlashSetup"} << true;
        QTest::newRow("realtime") << "MenuRealTimeOutput"
                                  << "Real Time Data"
                                  << QStringList{"TSPortSetup", "TSLoggerControl", "TSPCLogger",
                                                 "TSRecord",    "TSRealTime",      "TSDataStatus",
                                                 "TSLivePlot"}
                                  << QStringList{"MenuAnnotateFile", "MenuChangeLoggerID", "N11"}
                                  << QStringList{"ToggleDebug", "MenuMooredTimeUpdate"} << true;
        QTest::newRow("advanced") << "MenuAdvanced"
                                  << "Advanced User"
                                  << QStringList{"TSPortSetup",  "TSLoggerControl", "TSPCLogger",
                                                 "TSRecord",     "TSRealTime",      "TSUpload",
                                                 "TSDataStatus", "TSLivePlot"}
                                  << QStringList{"ToggleDebug", "LoadDefaultFlashSetup"}
                                  << QStringList{"MenuMooredTimeUpdate", "N9"} << true;
        QTest::newRow("pclogger") << "PCLogger"
                                  << "PC Logger"
                                  << QStringList{"TSPCLogger", "TSRecord", "TSRealTime",
                                                 "TSLivePlot"}
                                  << QStringList{"MenuAnnotateFile"}
                                  << QStringList{"MenuFactorySettings", "MenuLoggerPortSetup",
                                                 "MenuLoggerTimeUpdate"}
                                  << false;
    }

    void modesMenu() {
        QFETCH(QString, item);
        QFETCH(QString, caption);
        QFETCH(QStringList, pages);
        QFETCH(QStringList, shownMenus);
        QFETCH(QStringList, hiddenMenus);
        QFETCH(bool, portPanel);
        Rig r;
        auto* action = r.window.findChild<QAction*>(item);
        QVERIFY(action);
        action->trigger();
        QCOMPARE(r.label("HostMode")->text(), caption);
        QCOMPARE(r.visiblePages(), pages);
        for (const QString& m : shownMenus)
            QVERIFY2(r.menuShown(m.toLatin1()), qPrintable(m));
        for (const QString& m : hiddenMenus)
            QVERIFY2(!r.menuShown(m.toLatin1()), qPrintable(m));
        QCOMPARE(r.window.findChild<QWidget*>(QStringLiteral("LoggerPortGB"))->isVisible(),
                 portPanel);
        QCOMPARE(r.window.findChild<QWidget*>(QStringLiteral("LoggerStatusGB"))->isVisible(),
                 portPanel);
        auto* store = r.window.findChild<QPushButton*>(QStringLiteral("PStore"));
        QCOMPARE(store->isVisible(), portPanel);
        if (portPanel)
            QCOMPARE(store->text(), QStringLiteral("Setup is Not Current"));
        QVERIFY(!r.window.findChild<QWidget*>(QStringLiteral("TSPlotSetup"))->isVisible());
        r.labelsFollowTheirBoxes();
        // The moored time source comes and goes with its menu item; its caption with it.
        if (auto* moored = r.window.findChild<QAction*>(QStringLiteral("MenuMooredTimeUpdate"));
            moored && moored->isVisible()) {
            moored->trigger();
            r.window.refreshView();
            r.labelsFollowTheirBoxes();
            moored->trigger();
            r.window.refreshView();
            r.labelsFollowTheirBoxes();
        }
    }

    void programmaticUpdatesAreNotEdits() {
        Rig r;
        r.window.findChild<QAction*>(QStringLiteral("MenuRealTimeOutput"))->trigger();
        r.session.markSetup(1);
        r.window.refreshView();
        // A received setup or a mode switch moves ModeCB; that must not mark the setup edited.
        SessionTestAccess::setup(r.session).loggerControl.ModeCB.index = 1;
        r.window.refreshView();
        QCOMPARE(r.session.setupExchange().forms().PStore.caption, std::string("Setup is Current"));
        // Switching pages by the program does not stop nor start the display twice.
        r.session.linkPorts().displayRawClick();
        r.window.refreshView();
        QVERIFY(r.session.linkPorts().realTime().displayEnabled);
        r.window.tabs()->setCurrentIndex(pageIndex(Page::DataStatus));  // the operator's change
        QVERIFY(!r.session.linkPorts().realTime().displayEnabled);
    }

    void loggerPortChoiceOpensThePort() {
        Rig r;
        auto line = r.backend.add(r.session.ports().names().name(2));
        auto* box = r.window.findChild<QComboBox*>(QStringLiteral("LoggerPortCB"));
        QCOMPARE(box->count(), 256);
        QVERIFY(box->itemText(2).startsWith(QStringLiteral("COM 2")));
        QVERIFY(box->itemText(3).endsWith(QStringLiteral("(absent)")));
        emit box->activated(2);
        QVERIFY(r.session.ports().isPortOpen(0));
        QCOMPARE(r.session.ports().openOn(0), 2);
    }

    void testPortWindowSendsItsFrame() {
        Rig r;
        auto line = r.backend.add(r.session.ports().names().name(1));
        r.session.linkPorts().loggerPortChange(1, 6);
        r.window.findChild<QAction*>(QStringLiteral("MenuMoored"))->trigger();
        r.window.findChild<QAction*>(QStringLiteral("MenuTestOneSerialPort"))->trigger();
        auto* form = r.window.findChild<TestPortForm*>(QStringLiteral("TTestPortForm"));
        QVERIFY(form->isVisible());
        emit form->CBTestPort->activated(8);
        emit form->CBTestPortSetup->activated(5);
        line->written.clear();
        QTest::mouseClick(form->BTTestPort, Qt::LeftButton);
        QCOMPARE(line->written.size(), std::size_t(24));
        QCOMPARE(int(line->written[3]), 9);
        QCOMPARE(r.window.tabs()->currentWidget()->objectName(), QStringLiteral("TSRealTime"));
        QCOMPARE(r.window.findChild<QComboBox*>(QStringLiteral("RawSourceCB"))->currentIndex(), 1);
        form->close();
        QVERIFY(!r.window.tabs()->isTabVisible(pageIndex(Page::RealTime)));
    }

    void statisticsWindowShowsTheLinkFigures() {
        Rig r;
        r.window.findChild<QAction*>(QStringLiteral("HostPortStats"))->trigger();
        r.session.onTick1000ms();
        r.window.refreshView();
        auto* stats = r.window.findChild<QWidget*>(QStringLiteral("TStatsForm"));
        QVERIFY(stats->isVisible());
        QCOMPARE(stats->windowTitle(), QStringLiteral("Logger Port Statistics"));
        QCOMPARE(stats->findChild<QLabel*>(QStringLiteral("SFLB1"))->text(),
                 QStringLiteral("Bytes/Sec:  0"));
        QCOMPARE(stats->findChild<QLabel*>(QStringLiteral("SFLB9"))->text(),
                 QStringLiteral("Bad Data Timer: 019"));
        stats->close();
        QCOMPARE(r.session.linkPorts().stats().boundSlot(), -1);
    }

    void sendLineAndMemo() {
        Rig r;
        auto line = r.backend.add(r.session.ports().names().name(1));
        r.session.linkPorts().loggerPortChange(1, 6);
        r.window.findChild<QAction*>(QStringLiteral("MenuRealTimeOutput"))->trigger();
        r.window.tabs()->setCurrentIndex(pageIndex(Page::RealTime));
        auto* edit = r.window.findChild<QLineEdit*>(QStringLiteral("EditSendText"));
        edit->clear();
        line->written.clear();
        QTest::keyClicks(edit, QStringLiteral("TS"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(line->written.data()),
                            int(line->written.size())),
                 QByteArray("TS\r\n"));
        QCOMPARE(edit->text(), QString());
        auto* memo = r.window.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        QVERIFY(memo->toPlainText().contains(QStringLiteral("TS")));
    }

    void exitQuestionCancelKeepsRunning() {
        Rig r;
        r.op.answers.push_back(Answer::Cancel);
        r.window.close();
        QVERIFY(r.window.isVisible());
        QCOMPARE(QString::fromStdString(r.op.asked.back().caption),
                 QStringLiteral("Program Termination"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
