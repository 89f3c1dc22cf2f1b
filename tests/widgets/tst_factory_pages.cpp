// The Hardware Configuration and Analog Calibration pages offscreen, reached from the "Access
// Factory Settings" menu in every mode that offers them: the menu item and the Done button show
// and hide each page with their caption changes, a received record is shown as current, and an
// operator edit marks the page not current again.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <random>

#include "console/main_window.h"
#include "session/host_session.h"
#include "support/factory_records.h"
#include "support/fake_serial.h"
#include "support/scripted_operator.h"
#include "support/window_rig.h"

using namespace cvh;

class TestFactoryPages : public QObject {
    Q_OBJECT

    struct Rig : test::WindowRig {
        explicit Rig(const QString& modeItem) {
            start();
            action(modeItem)->trigger();
        }
        QAction* action(const QString& name) { return window.findChild<QAction*>(name); }
        template <class W = QWidget>
        W* find(const QString& name) {
            W* w = WindowRig::find<W>(name);
            if (!w)
                qFatal("no control %s", qPrintable(name));
            return w;
        }
        QString current() { return window.tabs()->currentWidget()->objectName(); }
        bool pageShown(const QString& page) {
            return window.tabs()->isTabVisible(window.tabs()->indexOf(find(page)));
        }
    };

    struct PageCase {
        QString menuItem, page, done, hideCaption, showCaption, panel;
    };

private slots:
    void bothPages_data() {
        QTest::addColumn<QString>("modeItem");
        for (const char* mode :
             {"MenuAnalog", "MenuMoored", "MenuProfile", "MenuRealTimeOutput", "MenuAdvanced"})
            QTest::newRow(mode) << QString::fromLatin1(mode);
    }

    void bothPages() {
        QFETCH(QString, modeItem);
        Rig r(modeItem);
        QVERIFY(r.action(QStringLiteral("MenuFactorySettings"))->isVisible());
        const PageCase cases[] = {
            {"HardwareConfig", "TSHardware", "BTDoneWithHardware", "Hide Hardware Setup",
             "Show Hardware Setup", "HardwarePanel"},
            {"AnalogCal", "TSAnalog", "BTDoneWithAnalog", "Hide Analog Calibration",
             "Show Analog Calibration", "AnalogPanel"},
        };
        for (const PageCase& c : cases) {
            QAction* item = r.action(c.menuItem);
            QVERIFY(item->isVisible());
            QVERIFY(!r.pageShown(c.page));
            item->trigger();
            QVERIFY(r.pageShown(c.page));
            QCOMPARE(r.current(), c.page);
            QCOMPARE(item->text(), c.hideCaption);
            QVERIFY(!r.find<QLabel>(c.panel)->isHidden());  // nothing received yet
        }

        // A received record is shown as current; one operator edit marks it not current.
        std::mt19937 rng(3);
        HardwareSettings& hardware = r.session.factorySettings().hardware();
        hardware.onHardwareRecord(test::randomHardwareRecord(rng));
        hardware.applyHardware();
        r.session.factorySettings().analog().onCalibration(test::randomCalibrationRecord(rng));
        r.window.refreshView();
        QVERIFY(r.find<QLabel>("HardwarePanel")->isHidden());
        QVERIFY(r.find<QLabel>("AnalogPanel")->isHidden());
        QCOMPARE(r.find<QComboBox>("DeviceTypeCB")->currentIndex(),
                 hardware.view().form.deviceType);
        auto* relay = r.find<QComboBox>("RelayAP3");
        relay->setFocus();
        QTest::keyClick(relay, relay->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
        r.window.refreshView();
        QVERIFY(!r.find<QLabel>("HardwarePanel")->isHidden());
        QCOMPARE(r.find<QLabel>("HardwarePanel")->text(),
                 QStringLiteral("Hardware Setup is Not Current"));
        QCOMPARE(hardware.view().form.relay[analogRelayEntry(3)], relay->currentIndex());
        QTest::keyClicks(r.find<QLineEdit>("MEScale4"), "7");
        r.window.refreshView();
        QVERIFY(!r.find<QLabel>("AnalogPanel")->isHidden());
        QCOMPARE(r.find<QLabel>("AnalogPanel")->text(),
                 QStringLiteral("Analog Calibration is Not Current"));
        QCOMPARE(r.session.factorySettings().analog().view().form.scale[4],
                 r.find<QLineEdit>("MEScale4")->text().toStdString());

        // Done hides each page again and leaves the window on another shown page.
        for (const PageCase& c : cases) {
            r.window.tabs()->setCurrentWidget(r.find(c.page));
            QTest::mouseClick(r.find<QPushButton>(c.done), Qt::LeftButton);
            QVERIFY(!r.pageShown(c.page));
            QVERIFY(r.current() != c.page);
            QCOMPARE(r.action(c.menuItem)->text(), c.showCaption);
        }
    }
};

QTEST_MAIN(TestFactoryPages)
#include "tst_factory_pages.moc"
