// The setup exchange through the real window on a pseudo-terminal: the test plays the logger on
// the master side, the program opens the slave through the Qt serial backend with the console's
// own timers running. A setup record shows on both pages as current, an operator edit makes it
// not current, Send Setup writes the edited record back; the command buttons, the polled
// buttons, the sleep window and the moored time source work through their widgets.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "console/main_window.h"
#include "platform/qt_serial_backend.h"
#include "session/host_session.h"
#include "support/pty.h"
#include "support/scripted_operator.h"
#include "support/setup_record.h"

using namespace cvh;

namespace {

constexpr int kCom = 1;  // the first entry of LoggerPortCB, pointed at the pty
using Ms = test::Pty::Ms;

QByteArray bytes(const std::vector<std::uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

}  // namespace

class TestSetupExchange : public QObject {
    Q_OBJECT

    struct Rig {
        // A directory of the rig's own: a "last.cvh" left elsewhere must not change start-up.
        QTemporaryDir dir;
        test::Pty pty;
        QtSerialBackend backend;
        test::ScriptedOperator op;
        FixedClock clock;
        HostSession session{backend, op, clock};
        MainWindow window{session};

        Rig() {
            clock.now = 1'700'000'000;  // 11/14/23 22:13:20, local time is UTC here
            session.ports().names().set(kCom, pty.slavePath());
            session.startUp(dir.path().toStdString());
            window.createSmallWindows();
            window.refreshView();
            window.show();
            window.action(MenuItem::MenuMoored)->trigger();
            // The operator picks the logger port: one step down from "No Port Selected".
            choose(find<QComboBox>("LoggerPortCB"), kCom);
            window.startTimers();
        }
        template <class W>
        W* find(const char* name) {
            return window.findChild<W*>(QLatin1String(name));
        }
        QWidget* page(const char* name) { return find<QWidget>(name); }
        template <class W>
        W* on(const char* pageName, const char* name) {
            return page(pageName)->findChild<W*>(QLatin1String(name));
        }
        QString pstore() { return find<QPushButton>("PStore")->text(); }

        // As the operator does it: focus the list and step with the arrow keys, one activation
        // per step.
        static void choose(QComboBox* box, int index) {
            box->setFocus();
            while (box->currentIndex() < index)
                QTest::keyClick(box, Qt::Key_Down);
            while (box->currentIndex() > index)
                QTest::keyClick(box, Qt::Key_Up);
        }

        // The logger sends a setup record; the 10 ms tick stores it and the next refresh tick
        // applies it.
        bool receiveSetup(const std::vector<std::uint8_t>& record) {
            if (!pty.write(record))
                return false;
            return QTest::qWaitFor(
                [&] {
                    return !session.receiveLoop().records().setupPacketPending &&
                           session.setupExchange().forms().PStore.caption == "Setup is Current";
                },
                5000);
        }
        // Everything the program wrote, once it has been quiet for a moment.
        QByteArray written(std::size_t want) {
            QByteArray out;
            (void)QTest::qWaitFor(
                [&] {
                    out += bytes(pty.read(want - static_cast<std::size_t>(out.size()), Ms(20)));
                    return static_cast<std::size_t>(out.size()) >= want;
                },
                3000);
            return out;
        }
        void drain() {
            QTest::qWait(50);
            pty.readUntilQuiet(Ms(50));
        }
    };

private slots:
    void initTestCase() { QVERIFY(test::Pty().ok()); }

    void receivedSetupShowsOnBothPagesEditAndSendItBack() {
        Rig r;
        QCOMPARE(r.session.portView().loggerPortIndex, kCom);
        QCOMPARE(r.pstore(), QStringLiteral("Setup is Not Current"));
        const auto record = test::mooredSetupRecord();
        QVERIFY(r.receiveSetup(record));

        // Port Setup.
        const char* ps = "TSPortSetup";
        QCOMPARE(r.pstore(), QStringLiteral("Setup is Current"));
        QCOMPARE(r.on<QComboBox>(ps, "ComboMeter1")->currentText(), QStringLiteral("KB5"));
        QCOMPARE(r.on<QComboBox>(ps, "CBPort1Setup")->currentText(), QStringLiteral("19200"));
        QCOMPARE(r.on<QComboBox>(ps, "ComboMeter2")->currentText(), QStringLiteral("GPS"));
        QCOMPARE(r.on<QComboBox>(ps, "ComboMeter3")->currentText(), QStringLiteral("ASCII"));
        QCOMPARE(r.on<QComboBox>(ps, "CBPort3Setup")->currentText(), QStringLiteral("9600,7,E,1"));
        QCOMPARE(r.on<QComboBox>(ps, "ComboMeter4")->currentText(), QStringLiteral("OFF"));
        QCOMPARE(r.on<QComboBox>(ps, "CBHostPortSetup")->currentText(), QStringLiteral("9600"));
        QCOMPARE(r.on<QComboBox>(ps, "CBAnalog2")->currentIndex(), 2);
        QCOMPARE(r.on<QComboBox>(ps, "CBPump4")->currentText(), QStringLiteral("Purge 2000 ms"));
        QVERIFY(r.on<QCheckBox>(ps, "SOPH2")->isChecked());
        QVERIFY(r.on<QCheckBox>(ps, "SOPH2")->isVisible());
        QVERIFY(r.on<QCheckBox>(ps, "AOPH1")->isChecked());
        QVERIFY(!r.on<QCheckBox>(ps, "SOPH1")->isChecked());
        QVERIFY(r.on<QLabel>(ps, "SOPHLB1")->isVisible());
        // Logger Control.
        const char* lc = "TSLoggerControl";
        QCOMPARE(r.on<QComboBox>(lc, "ModeCB")->currentText(), QStringLiteral("Moored Mode"));
        QCOMPARE(r.on<QComboBox>(lc, "FileCB")->currentText(), QStringLiteral("CV Archive Files"));
        QCOMPARE(r.on<QSpinBox>(lc, "DelayUD")->value(), 10);
        QCOMPARE(r.on<QComboBox>(lc, "DelayCombo")->currentText(), QStringLiteral("Seconds"));
        QCOMPARE(r.on<QSpinBox>(lc, "WarmupUD")->value(), 2);
        QCOMPARE(r.on<QComboBox>(lc, "WarmupCombo")->currentText(), QStringLiteral("Hours"));
        QCOMPARE(r.on<QSpinBox>(lc, "IntervalUD")->value(), 15);
        QCOMPARE(r.on<QComboBox>(lc, "IntervalCombo")->currentText(), QStringLiteral("Minutes"));
        QVERIFY(r.on<QSpinBox>(lc, "IntervalUD")->isVisibleTo(r.page(lc)));
        QCOMPARE(r.on<QLabel>(lc, "LBLowVoltage")->text(), QStringLiteral("12.0 V"));
        QCOMPARE(r.on<QSpinBox>(lc, "UDAnalogRate")->value(), 4);
        QCOMPARE(r.on<QLabel>(lc, "LBAnalogRate")->text(), QStringLiteral("4 Hz   250 ms"));
        QVERIFY(r.on<QCheckBox>(lc, "CBAutoStart")->isChecked());
        QVERIFY(r.on<QPushButton>(lc, "BTSleep")->isVisibleTo(r.page(lc)));
        QVERIFY(r.find<QLabel>("LoggerMode")->isVisible());
        QCOMPARE(r.find<QLabel>("LoggerMode")->text(), QStringLiteral("Moored Logging       "));

        // Port 3 becomes "BINARY": one step down in its meter list.
        auto* meter3 = r.on<QComboBox>(ps, "ComboMeter3");
        Rig::choose(meter3, 4);
        QCOMPARE(r.session.setupExchange().forms().portSetup.ComboMeter[2].index, 4);
        QCOMPARE(r.pstore(), QStringLiteral("Setup is Not Current"));

        r.drain();
        QTest::mouseClick(r.on<QPushButton>(ps, "BTSendSetup1"), Qt::LeftButton);
        const QByteArray sent = r.written(192);
        QCOMPARE(sent, bytes(test::withMeterType(record, 3, 4)));
        QCOMPARE(r.pstore(), QStringLiteral("Setup is Not Current"));
    }

    void spinnerStepOnTheLoggerControlPageIsAnEdit() {
        Rig r;
        auto record = test::mooredSetupRecord();
        QVERIFY(r.receiveSetup(record));
        const char* lc = "TSLoggerControl";
        auto* rate = r.on<QSpinBox>(lc, "UDAnalogRate");
        rate->setFocus();
        QTest::keyClick(rate, Qt::Key_Up);
        QCOMPARE(rate->value(), 5);
        QCOMPARE(r.on<QLabel>(lc, "LBAnalogRate")->text(), QStringLiteral("5 Hz   200 ms"));
        QCOMPARE(r.pstore(), QStringLiteral("Setup is Not Current"));

        r.drain();
        QTest::mouseClick(r.on<QPushButton>(lc, "BTSendSetup2"), Qt::LeftButton);
        MutableBytes m(record);
        writeLe16(m, 170, 5);
        storeChecksum(m);
        QCOMPARE(r.written(192), bytes(record));

        // A typed duration counts when the operator finishes typing.
        auto* delay = r.on<QSpinBox>(lc, "DelayUD");
        QVERIFY(r.receiveSetup(test::mooredSetupRecord()));
        delay->setFocus();
        delay->selectAll();
        QTest::keyClicks(delay, QStringLiteral("20"));
        QCOMPARE(r.pstore(), QStringLiteral("Setup is Current"));  // not per keystroke
        QTest::keyClick(delay, Qt::Key_Return);
        QCOMPARE(r.session.setupExchange().forms().loggerControl.duration(Duration::Delay).number,
                 20);
        QCOMPARE(r.pstore(), QStringLiteral("Setup is Not Current"));
    }

    void commandButtonsAndPolledButtons() {
        Rig r;
        QVERIFY(r.receiveSetup(test::mooredSetupRecord()));
        r.drain();
        QTest::mouseClick(r.on<QPushButton>("TSPortSetup", "BTGetSetup1"), Qt::LeftButton);
        QCOMPARE(test::readCommand(r.pty.read(12)).code, std::uint16_t(0xACAC));
        QTest::mouseClick(r.on<QPushButton>("TSLoggerControl", "BTBegin"), Qt::LeftButton);
        QCOMPARE(test::readCommand(r.pty.read(12)).code, std::uint16_t(0xA2A2));

        // Polled moored mode: the last entry of the mode list.
        auto* mode = r.on<QComboBox>("TSLoggerControl", "ModeCB");
        Rig::choose(mode, 12);
        QCOMPARE(r.pstore(), QStringLiteral("Setup is Not Current"));
        for (const char* b : {"Button1", "Button2", "Button3", "Button4", "MVPScroll"})
            QVERIFY2(r.find<QWidget>(b)->isVisibleTo(r.find<QWidget>(b)->parentWidget()), b);
        QTest::mouseClick(r.find<QPushButton>("Button4"), Qt::LeftButton);
        QCOMPARE(QByteArray(r.written(5)), QByteArray("SLEEP"));
        r.find<QScrollBar>("MVPScroll")->setValue(2);
        QTest::mouseClick(r.find<QPushButton>("Button1"), Qt::LeftButton);
        QCOMPARE(QByteArray(r.written(15)), QByteArray("      WAKE WAKE"));
        QTRY_VERIFY(r.find<QLabel>("MVPLabel")->text().startsWith(QStringLiteral("CTR = 2")));

        // Back to profile mode: the polled buttons and the sleep button go.
        Rig::choose(mode, 0);
        QVERIFY(
            !r.find<QWidget>("Button1")->isVisibleTo(r.find<QWidget>("Button1")->parentWidget()));
        QVERIFY(
            !r.find<QWidget>("BTSleep")->isVisibleTo(r.find<QWidget>("BTSleep")->parentWidget()));
        QVERIFY(!r.on<QCheckBox>("TSPortSetup", "SOPH2")->isChecked());
    }

    void sleepWindowSendsTheWakeTime() {
        Rig r;
        QVERIFY(r.receiveSetup(test::mooredSetupRecord()));
        r.drain();
        auto* form = r.find<QDialog>("TSleepForm");
        QVERIFY(!form->isVisible());
        QTest::mouseClick(r.on<QPushButton>("TSLoggerControl", "BTSleep"), Qt::LeftButton);
        QVERIFY(form->isVisible());

        auto type = [&](const char* name, const QString& text) {
            auto* edit = form->findChild<QLineEdit*>(QLatin1String(name));
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, text);
        };
        type("METime", QStringLiteral("22:13:40"));  // only 20 s ahead
        type("MEDate", QStringLiteral("11/14/23"));
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("SleepButton")),
                          Qt::LeftButton);
        QVERIFY(form->isVisible());
        QVERIFY(r.op.notices().back().caption == "Sleep Error");
        QVERIFY(r.pty.read(12, Ms(100)).empty());

        type("METime", QStringLiteral("23:00:00"));
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("SleepButton")),
                          Qt::LeftButton);
        const auto command = test::readCommand(r.pty.read(12));
        QVERIFY(command.valid);
        QCOMPARE(command.code, std::uint16_t(0xA7A7));
        QCOMPARE(command.argumentA, 1'700'002'800u);
        QVERIFY(!form->isVisible());

        // CANCEL hides it again, nothing sent.
        QTest::mouseClick(r.on<QPushButton>("TSLoggerControl", "BTSleep"), Qt::LeftButton);
        QVERIFY(form->isVisible());
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("CancelButton")),
                          Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QVERIFY(r.pty.read(1, Ms(100)).empty());
    }

    void mooredTimeSourceMenuShowsTheSelector() {
        Rig r;
        auto* box = r.on<QComboBox>("TSLoggerControl", "TimeSourceCB");
        auto* label = r.on<QLabel>("TSLoggerControl", "TimeSourceLB");
        QVERIFY(!box->isVisible());
        r.window.action(MenuItem::MenuMooredTimeUpdate)->trigger();
        r.window.tabs()->setCurrentWidget(r.page("TSLoggerControl"));
        QVERIFY(box->isVisible());
        QVERIFY(label->isVisible());
        QVERIFY(r.window.action(MenuItem::MenuMooredTimeUpdate)->isChecked());
        // Choosing a source is an edit; Send Setup still sends the internal clock.
        QVERIFY(r.receiveSetup(test::mooredSetupRecord()));
        Rig::choose(box, 2);
        QCOMPARE(r.pstore(), QStringLiteral("Setup is Not Current"));
        r.window.action(MenuItem::MenuMooredTimeUpdate)->trigger();
        QVERIFY(!box->isVisible());
        QVERIFY(!label->isVisible());
    }
};

QTEST_MAIN(TestSetupExchange)
#include "tst_setup_exchange.moc"
