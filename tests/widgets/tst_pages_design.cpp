// The pages and small windows as designed: the console and the host setup file find every
// control by its name, so a missing or renamed control, a wrong list, range or caption, or a
// page that clips its controls at the usual window size is a fault the operator would feel.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include <map>
#include <memory>

#include "console/form_annotation.h"
#include "console/form_sleep.h"
#include "console/form_warning.h"
#include "console/page_analog.h"
#include "console/page_hardware.h"
#include "console/page_logger_control.h"
#include "console/page_pc_logger.h"
#include "console/page_port_setup.h"
#include "console/page_recording.h"
#include "console/page_upload.h"

namespace {

QStringList numberedTexts(const QString& pattern, int first, int last) {
    QStringList texts;
    for (int n = first; n <= last; ++n)
        texts << pattern.arg(n);
    return texts;
}

const QStringList kLineChoices{"OFF",  "600",        "1200",  "2400",  "4800",  "4800,7,E,1",
                               "9600", "9600,7,E,1", "19200", "38400", "57600", "115200"};

}  // namespace

class PagesDesign : public QObject {
    Q_OBJECT

private:
    // Every page and window, by the name its tests use.
    std::map<QString, std::unique_ptr<QWidget>> windows_;

    QWidget* control(const QString& window, const QString& name) {
        QWidget* top = windows_.at(window).get();
        if (top->objectName() == name)
            return top;
        const auto found = top->findChildren<QWidget*>(name);
        if (found.size() != 1)
            qWarning("%s: %lld controls named %s", qPrintable(window),
                     static_cast<long long>(found.size()), qPrintable(name));
        return found.size() == 1 ? found.front() : nullptr;
    }

    static QString caption(const QWidget* w) {
        if (auto* group = qobject_cast<const QGroupBox*>(w))
            return group->title();
        if (w->isWindow())
            return w->windowTitle();
        return w->property("text").toString();
    }

private slots:
    void initTestCase() {
        windows_["PortSetup"] = std::make_unique<cvh::PortSetupPage>();
        windows_["LoggerControl"] = std::make_unique<cvh::LoggerControlPage>();
        windows_["Upload"] = std::make_unique<cvh::UploadPage>();
        windows_["Recording"] = std::make_unique<cvh::RecordingPage>();
        windows_["PcLogger"] = std::make_unique<cvh::PcLoggerPage>();
        windows_["Hardware"] = std::make_unique<cvh::HardwarePage>();
        windows_["Analog"] = std::make_unique<cvh::AnalogPage>();
        windows_["Warning"] = std::make_unique<cvh::WarningForm>();
        windows_["Sleep"] = std::make_unique<cvh::SleepForm>();
        windows_["Annotation"] = std::make_unique<cvh::AnnotationForm>();
    }

    void cleanupTestCase() { windows_.clear(); }

    // ---- captions -----------------------------------------------------------------------------

    void controlsCarryTheirCaptions_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const struct {
            const char* window;
            const char* name;
            const char* text;
        } rows[] = {
            {"PortSetup", "TSPortSetup", ""},
            {"PortSetup", "BTGetSetup1", "Get Setup"},
            {"PortSetup", "BTSendSetup1", "Send Setup"},
            {"PortSetup", "Button1", "Polled-Wake"},
            {"PortSetup", "Button2", "Polled-Sleep"},
            {"PortSetup", "SOPHLB1", "Once"},
            {"PortSetup", "SOPHLB2", "per Hour"},
            {"PortSetup", "AOPHLB2", "per Hour"},
            {"PortSetup", "POPHLB1", "Once"},
            {"PortSetup", "LBAnalogSetup", "Analog Ports"},
            {"PortSetup", "LBPump", "    Pump Ports    "},
            {"PortSetup", "LBAnalog1", "Port 9"},
            {"PortSetup", "LBAnalog7", "Port 15"},
            {"PortSetup", "LBPump1", "Port 16"},
            {"PortSetup", "LBPump4", "Port 19"},
            {"PortSetup", "HostType", "Host:"},
            {"LoggerControl", "BTGetSetup2", "Get Setup"},
            {"LoggerControl", "BTSendSetup2", "Send Setup"},
            {"LoggerControl", "GroupBox7", "Operational Controls"},
            {"LoggerControl", "BTBegin", "Begin Sample"},
            {"LoggerControl", "BTStop", "Stop"},
            {"LoggerControl", "BTSleep", "Sleep"},
            {"LoggerControl", "Button3", "Polled-Wake"},
            {"LoggerControl", "Button4", "Polled-Sleep"},
            {"LoggerControl", "CBAutoStart", "Start Sample When Powered"},
            {"LoggerControl", "DandTCB", "Add Date/Time to Archive File"},
            {"LoggerControl", "LBLowVoltage", " 6.5 V"},
            {"LoggerControl", "LBAnalogRate", "1 Hz  1000 ms"},
            {"LoggerControl", "DelayEdit", "5"},
            {"LoggerControl", "IntervalEdit", "5"},
            {"Upload", "BTGetDirectory", "Get Logger Directory"},
            {"Upload", "BTUpload", "Upload Logger Data"},
            {"Upload", "BTCancelUpload", "Cancel Upload"},
            {"Upload", "BTClearMemory", "Clear Logger Memory"},
            {"Upload", "BTExtract", "Parse Run Files"},
            {"Upload", "ExtractFilesRG", "Extract File Types"},
            {"Upload", "ExtractFilesRG0", "CV Archive"},
            {"Upload", "ExtractFilesRG1", "CV Archive Plus Raw Files"},
            {"Recording", "BTRecordArchive", "Record Archive"},
            {"Recording", "BTRecord1Hour", "1 Hour Archive Files"},
            {"Recording", "BTRecord1Day", "1 Day Archive Files"},
            {"Recording", "BTRecordRaw", "Record Raw Input"},
            {"Recording", "BTStopRecord", "Stop"},
            {"Recording", "ReplayArchiveBT", "Replay Archive"},
            {"Recording", "ReplayContinuousBT", "Continuous Archive Replay"},
            {"Recording", "BTReplayRaw", "Replay Raw Input"},
            {"Recording", "ReplaySpeedLB1", "Replay Speed"},
            {"Recording", "ReplaySpeedLB2", "1 = Slow, 10 = Fast"},
            {"Recording", "ReplaySpeedEdit", "6"},
            {"Recording", "RecordStatusGB", "Record Status"},
            {"Recording", "LBRecordStatus", "Recording:  OFF"},
            {"Recording", "LBArchiveFileSize", "File Size:         0 K"},
            {"PcLogger", "PCLoggerGB", "PC Logger ID = 1"},
            {"PcLogger", "PCInHdr", "  PC  I/O  "},
            {"PcLogger", "LBDeckType1", "Output Logger ID=2"},
            {"PcLogger", "PCOutPort8", "Port=1"},
            {"PcLogger", "LBDeckRate", "Deck Rate:  1 Hz"},
            {"PcLogger", "LBDeckInterval", "Deck Interval: 1000 ms"},
            {"PcLogger", "CBRecordPCTime", "Add PC Time to Port 9 "},
            {"PcLogger", "PCLoggerPanel", "Setup is Not Loaded"},
            {"PcLogger", "BTLoadDeck", "Load New Setup"},
            {"PcLogger", "BTRestoreDeck", "Restore Last Setup"},
            {"PcLogger", "BTClearDeck", "Clear Setup"},
            {"Hardware", "BTGetHardware", "Get Hardware Configuration"},
            {"Hardware", "BTSendHardwareSetup", "Send Hardware Configuration"},
            {"Hardware", "BTLoadHardwareFile", "Load Hardware Config File"},
            {"Hardware", "BTSaveHardwareFile", "Save Hardware Config File"},
            {"Hardware", "BTTQ7Defaults",
             "Load Default Hardware Setup, Analog Calibration, Mux ID and Host Interface Setup "
             "into Flash Memory"},
            {"Hardware", "BTDoneWithHardware", "Done"},
            {"Hardware", "HardwarePanel", "Hardware Setup is Not Current"},
            {"Hardware", "HWPasswordLB", "Password=KeepClear"},
            {"Hardware", "HWPassword", ""},
            {"Hardware", "SNEdit", "0"},
            {"Hardware", "SerialRelayGB", "Serial Ports"},
            {"Hardware", "AnalogRelayGB", "Analog Ports"},
            {"Hardware", "PumpRelayGB", "Pump Power"},
            {"Analog", "BTGetAnalog", "Get Analog Calibration"},
            {"Analog", "BTSendAnalogCalibration", "Send Analog Calibration"},
            {"Analog", "BTLoadAnalogFile", "Load Analog Calibration File"},
            {"Analog", "BTSaveAnalogFile", "Save Analog Calibration File"},
            {"Analog", "BTDoneWithAnalog", "Done"},
            {"Analog", "AnalogPanel", "Analog Calibration is Not Current"},
            {"Analog", "ALGPasswordLB", "Password=KeepClear"},
            {"Analog", "LBChannel1", "Port 9:   Analog 1"},
            {"Analog", "LBChannel7", "Port 15: Analog 7"},
            {"Analog", "MEOffset0", "200"},
            {"Analog", "MEScale0", "790"},
            {"Analog", "MEOffset7", "150"},
            {"Analog", "MEScale7", "5325"},
            {"Warning", "TForm2", "WARNING!!!"},
            {"Warning", "Label1", ""},
            {"Sleep", "TSleepForm", "Sleep Options"},
            {"Sleep", "SleepOptionGB", "Moored Mode Sleep Option"},
            {"Sleep", "METime", "HH:MM:SS"},
            {"Sleep", "MEDate", "MM/DD/YY"},
            {"Sleep", "SleepButton", "SLEEP"},
            {"Sleep", "CancelButton", "CANCEL"},
            {"Sleep", "HostTime", ""},
            {"Sleep", "SleepDate", ""},
            {"Annotation", "TAnnotationForm", "Annotate Archive File"},
            {"Annotation", "LBNext", "Next Water Sample:  1"},
            {"Annotation", "EDITAnnotation", "Annotate Here"},
            {"Annotation", "AnnotateDANDT", "Date and Time"},
            {"Annotation", "LBAnnotation", "Last Annotation..."},
            {"Annotation", "lbx", "Last Annotation"},
            {"Annotation", "BTStart", "Start Water Sample"},
            {"Annotation", "BTEnd", "End Water Sample"},
            {"Annotation", "BTSend", "Insert Annotation"},
            {"Annotation", "BTReset", "Reset Sample Count"},
            {"Annotation", "BTClose", "Close"},
        };
        for (const auto& r : rows)
            QTest::newRow(qPrintable(QStringLiteral("%1.%2").arg(r.window, r.name)))
                << QString::fromLatin1(r.window) << QString::fromLatin1(r.name)
                << QString::fromLatin1(r.text);
    }

    void controlsCarryTheirCaptions() {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QWidget* w = control(window, name);
        QVERIFY2(w != nullptr, qPrintable(name));
        if (w->isWindow() || !text.isEmpty() || w->property("text").isValid())
            QCOMPARE(caption(w), text);
    }

    void sleepWindowNotesReadAsDesigned() {
        // The sleep window's labels and notes carry no component names; their texts still count.
        QWidget* sleep = windows_.at("Sleep").get();
        QStringList shown;
        for (QLabel* label : sleep->findChildren<QLabel*>())
            shown << label->text();
        for (const char* expected :
             {"Sleep Until:", "on", "Don't Forget about Daylight Savings Time Changes",
              "Host Time and Date:", "Meter Time and Date:",
              "Note:  All times are in a 24-hour format.  (00:00:00-23-59:59)",
              "Dates are MM/DD/YY"})
            QVERIFY2(shown.contains(QString::fromLatin1(expected)), expected);
    }

    // ---- lists --------------------------------------------------------------------------------

    void listsHoldTheirItems_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("placeholder");

        const QStringList meters{"OFF",    "KB5",     "RMX",          "ASCII",       "BINARY",
                                 "LUX-G2", "GPS",     "Pump",         "Remote Host", "HYD-52 SM",
                                 "PHI-S",  "CV TEST", "Wake / Binary"};
        const QStringList portSetups = kLineChoices + QStringList{"ON"};
        QStringList pump4{"Pump 4 OFF", "Pump 4 ON"};
        for (int ms = 500; ms <= 5000; ms += 500)
            pump4 << QStringLiteral("Purge %1 ms").arg(ms);
        QStringList comPorts{"No Port Selected"};
        comPorts << numberedTexts(QStringLiteral("COM %1"), 1, 255);
        QStringList deckSetups = kLineChoices;
        deckSetups[7] = QStringLiteral("9600, 7,E,1");
        QStringList relays{"None"};
        relays << numberedTexts(QStringLiteral("Relay %1"), 1, 8) << QStringLiteral("Self Powered");

        auto row = [](const char* window, const QString& name, const QStringList& items,
                      int current, const char* placeholder = "") {
            QTest::newRow(qPrintable(QStringLiteral("%1.%2").arg(window, name)))
                << QString::fromLatin1(window) << name << items << current
                << QString::fromLatin1(placeholder);
        };
        for (int n = 1; n <= 8; ++n) {
            row("PortSetup", QStringLiteral("ComboMeter%1").arg(n), meters, -1, "OFF");
            row("PortSetup", QStringLiteral("CBPort%1Setup").arg(n), portSetups, -1, "OFF");
            row("PcLogger", QStringLiteral("PortType%1CB").arg(n),
                {"In Active", "Meter Input", "Logger Output"}, -1, "Not Selected");
            row("PcLogger", QStringLiteral("DeckPort%1CB").arg(n), comPorts, 0);
            row("PcLogger", QStringLiteral("DeckSetup%1CB").arg(n), deckSetups, 6);
            row("Hardware", QStringLiteral("RelaySP%1").arg(n), relays, 0);
        }
        for (int n = 1; n <= 7; ++n) {
            row("PortSetup", QStringLiteral("CBAnalog%1").arg(n),
                {QStringLiteral("Analog %1 OFF").arg(n), QStringLiteral("Analog %1 ON").arg(n),
                 QStringLiteral("Pump ON")},
                0);
            row("Hardware", QStringLiteral("RelayAP%1").arg(n), relays, 0);
        }
        for (int n = 1; n <= 3; ++n)
            row("PortSetup", QStringLiteral("CBPump%1").arg(n),
                {QStringLiteral("Pump %1 OFF").arg(n), QStringLiteral("Pump %1 ON").arg(n)}, 0);
        row("PortSetup", "CBPump4", pump4, 0);
        for (int n = 1; n <= 4; ++n)
            row("Hardware", QStringLiteral("RelayPP%1").arg(n), relays, 0);
        row("PortSetup", "CBHostPortSetup", kLineChoices, -1, "OFF");

        row("LoggerControl", "ModeCB",
            QStringList{"Profile Mode", "Moored Mode", "Real Time Mode", "Analog Mode"} +
                numberedTexts(QStringLiteral("Run Logger Port %1"), 1, 8) +
                QStringList{"Polled Moored Mode"},
            -1, "Press Get Setup");
        row("LoggerControl", "OutputCB",
            QStringList{"Status", "Real Time Data + Status", "Real Time Data", "Analog Data"} +
                numberedTexts(QStringLiteral("Output Logger Port %1"), 1, 7) +
                QStringList{"Output Logger Por 8"},
            -1, "Press Get Setup");
        row("LoggerControl", "FileCB", {"No Data Storage", "CV Archive Files"}, -1,
            "Press Get Setup");
        row("LoggerControl", "TimeSourceCB",
            {"Internal - No Time Updates", "Host PC Time", "GPS Time", "GPS Time or Host PC  "}, 0);
        for (const char* unit : {"Delay", "PreFlush", "Warmup", "Flush", "Sample"})
            row("LoggerControl", QString::fromLatin1(unit) + "Combo",
                {"Seconds", "Minutes", "Hours"}, -1, "Seconds");
        row("LoggerControl", "IntervalCombo", {"Seconds", "Minutes", "Hours"}, -1, "Minutes");

        row("Hardware", "DeviceTypeCB", {"None Selected", "kb5Plus", "TQ7", "EXT Q-Span"}, -1,
            "Select Device Type");
        row("Hardware", "StatusLEDCB", {"No Status LED", "SX-28 Status LED", "Direct Status LED"},
            0);
        row("Hardware", "RunStopCB",
            {"No Switch", "SX-28 Normal Polarity", "SX-28 Reverse Polarity", "Direct Input Switch"},
            0);
    }

    void listsHoldTheirItems() {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(QStringList, items);
        QFETCH(int, current);
        QFETCH(QString, placeholder);
        auto* box = qobject_cast<QComboBox*>(control(window, name));
        QVERIFY2(box != nullptr, qPrintable(name));
        QStringList shown;
        for (int i = 0; i < box->count(); ++i)
            shown << box->itemText(i);
        QCOMPARE(shown, items);
        QCOMPARE(box->currentIndex(), current);
        // A list with nothing selected shows its initial text, and Send refuses it.
        if (current < 0)
            QCOMPARE(box->placeholderText(), placeholder);
    }

    // ---- spinners -----------------------------------------------------------------------------

    void spinnersHaveTheirRanges_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("value");
        auto row = [](const char* window, const QString& name, int min, int max, int step,
                      int value) {
            QTest::newRow(qPrintable(QStringLiteral("%1.%2").arg(window, name)))
                << QString::fromLatin1(window) << name << min << max << step << value;
        };
        row("LoggerControl", "DelayUD", 0, 100, 5, 5);
        row("LoggerControl", "PreFlushUD", 0, 300, 5, 5);
        row("LoggerControl", "WarmupUD", 0, 10000, 5, 5);
        row("LoggerControl", "FlushUD", 0, 300, 5, 5);
        row("LoggerControl", "SampleUD", 1, 10000, 5, 5);
        row("LoggerControl", "IntervalUD", 1, 10000, 5, 5);
        row("LoggerControl", "UDLVCutOff", 65, 140, 1, 65);
        row("LoggerControl", "UDAnalogRate", 1, 20, 1, 1);
        row("Recording", "ReplaySpeedUD", 1, 10, 1, 6);
        row("PcLogger", "UDDeckRate", 1, 20, 1, 1);
        for (int n = 1; n <= 8; ++n) {
            row("PcLogger", QStringLiteral("UDDeckType%1").arg(n), 1, 4, 1, 2);
            row("PcLogger", QStringLiteral("UDOutPort%1").arg(n), 1, 9, 1, 1);
        }
        row("Hardware", "UDSerialNumber", 0, 1000, 1, 0);
        row("Annotation", "UDNext", 1, 1000, 1, 1);
    }

    void spinnersHaveTheirRanges() {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, step);
        QFETCH(int, value);
        auto* spin = qobject_cast<QSpinBox*>(control(window, name));
        QVERIFY2(spin != nullptr, qPrintable(name));
        QCOMPARE(spin->minimum(), min);
        QCOMPARE(spin->maximum(), max);
        QCOMPARE(spin->singleStep(), step);
        QCOMPARE(spin->value(), value);
        // The spinners count up to their end and stop; none wraps round.
        QVERIFY(!spin->wrapping());
    }

    // ---- rows and types -----------------------------------------------------------------------

    void rowTablesAreComplete() {
        // Parts of the console address rows by number; every number must resolve to its type.
        auto expect = [this](const char* window, const char* pattern, int first, int last,
                             const QMetaObject& type) {
            for (int n = first; n <= last; ++n) {
                const QString name = QString::fromLatin1(pattern).arg(n);
                QWidget* w = control(QString::fromLatin1(window), name);
                QVERIFY2(w != nullptr && w->metaObject()->inherits(&type), qPrintable(name));
            }
        };
        expect("PortSetup", "LBS%1", 1, 8, QLabel::staticMetaObject);
        expect("PortSetup", "SOPH%1", 1, 8, QCheckBox::staticMetaObject);
        expect("PortSetup", "LBAnalog%1", 1, 7, QLabel::staticMetaObject);
        expect("PortSetup", "AOPH%1", 1, 7, QCheckBox::staticMetaObject);
        expect("PortSetup", "LBPump%1", 1, 4, QLabel::staticMetaObject);
        expect("PortSetup", "POPH%1", 1, 4, QCheckBox::staticMetaObject);
        expect("PcLogger", "PCPort%1", 1, 8, QLabel::staticMetaObject);
        expect("PcLogger", "LBDeckType%1", 1, 8, QLabel::staticMetaObject);
        expect("PcLogger", "PCOutPort%1", 1, 8, QLabel::staticMetaObject);
        expect("Analog", "MEOffset%1", 0, 7, QLineEdit::staticMetaObject);
        expect("Analog", "MEScale%1", 0, 7, QLineEdit::staticMetaObject);
        for (const char* edit :
             {"DelayEdit", "PreFlushEdit", "WarmupEdit", "FlushEdit", "SampleEdit", "IntervalEdit"})
            QVERIFY(qobject_cast<QLineEdit*>(control("LoggerControl", QString::fromLatin1(edit))));
        QVERIFY(qobject_cast<QListWidget*>(control("Upload", "LBProfiles")));
        QCOMPARE(qobject_cast<QListWidget*>(control("Upload", "LBProfiles"))->selectionMode(),
                 QAbstractItemView::ExtendedSelection);
        QVERIFY(qobject_cast<QProgressBar*>(control("Upload", "UpLoadPB")));
        for (const char* label : {"UpLoadRun", "UpLoadSize", "CSError"})
            QVERIFY(qobject_cast<QLabel*>(control("Upload", QString::fromLatin1(label))));
        for (const char* label : {"HostTime", "HostDate", "SleepTime", "SleepDate"})
            QVERIFY(qobject_cast<QLabel*>(control("Sleep", QString::fromLatin1(label))));
    }

    void designHidesWhatTheModesShow() {
        // Hidden until moored logging, polled mode, a logger output or their menu item asks.
        const struct {
            const char* window;
            const char* name;
        } hidden[] = {
            {"PortSetup", "SOPH1"},
            {"PortSetup", "SOPH8"},
            {"PortSetup", "AOPH7"},
            {"PortSetup", "POPH4"},
            {"PortSetup", "SOPHLB1"},
            {"PortSetup", "POPHLB2"},
            {"PortSetup", "Button1"},
            {"PortSetup", "Button2"},
            {"LoggerControl", "Button3"},
            {"LoggerControl", "Button4"},
            {"LoggerControl", "BTSleep"},
            {"LoggerControl", "IntervalUD"},
            {"LoggerControl", "IntervalLB"},
            {"LoggerControl", "IntervalCombo"},
            {"LoggerControl", "TimeSourceCB"},
            {"LoggerControl", "TimeSourceLB"},
            {"LoggerControl", "DandTCB"},
            {"Recording", "BTRecordRaw"},
            {"Recording", "BTReplayRaw"},
            {"PcLogger", "UDDeckType1"},
            {"PcLogger", "LBDeckType8"},
            {"PcLogger", "UDOutPort3"},
            {"PcLogger", "PCOutPort5"},
            {"PcLogger", "PCOutHdr"},
            {"PcLogger", "PCLoggerPanel"},
        };
        for (const auto& h : hidden) {
            QWidget* w = control(QString::fromLatin1(h.window), QString::fromLatin1(h.name));
            QVERIFY2(w != nullptr && w->isHidden(), h.name);
        }
        for (const char* shown : {"ModeCB", "FileCB", "OutputCB", "CBAutoStart", "BTBegin"})
            QVERIFY2(!control("LoggerControl", QString::fromLatin1(shown))->isHidden(), shown);
        QVERIFY(!control("Hardware", "HardwarePanel")->isHidden());
        QVERIFY(!control("Analog", "AnalogPanel")->isHidden());
        QVERIFY(!qobject_cast<QCheckBox*>(control("LoggerControl", "CBAutoStart"))->isChecked());
    }

    void extractionChoiceStartsUnchosenAndTakesEitherItem() {
        auto* upload = static_cast<cvh::UploadPage*>(windows_.at("Upload").get());
        QCOMPARE(upload->extractFilesIndex(), -1);
        upload->setExtractFilesIndex(1);
        QCOMPARE(upload->extractFilesIndex(), 1);
        QVERIFY(qobject_cast<QRadioButton*>(control("Upload", "ExtractFilesRG1"))->isChecked());
        upload->setExtractFilesIndex(0);
        QCOMPARE(upload->extractFilesIndex(), 0);
        // A host setup file that stored no choice clears it again.
        upload->setExtractFilesIndex(-1);
        QCOMPARE(upload->extractFilesIndex(), -1);
    }

    void warningWindowShowsItsMessage() {
        auto* warning = static_cast<cvh::WarningForm*>(windows_.at("Warning").get());
        const QString text =
            QStringLiteral("This Host Program is incompatible with Firmware Version 6.90");
        warning->setMessage(text);
        QCOMPARE(qobject_cast<QLabel*>(control("Warning", "Label1"))->text(), text);
        QCOMPARE(warning->message(), text);
        QVERIFY(!warning->isModal());
    }

    void annotationEditKeepsToItsBuffer() {
        auto* edit = qobject_cast<QLineEdit*>(control("Annotation", "EDITAnnotation"));
        QVERIFY(edit != nullptr);
        QCOMPARE(edit->maxLength(), 199);
        QVERIFY(windows_.at("Annotation")->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void calibrationEditsTakeReceivedValuesWhole() {
        // A received value arrives as "%5d"; the edit must keep all five characters.
        auto* offset = qobject_cast<QLineEdit*>(control("Analog", "MEOffset3"));
        auto* scale = qobject_cast<QLineEdit*>(control("Analog", "MEScale3"));
        offset->setText(QStringLiteral("32700"));
        scale->setText(QStringLiteral(" 5325"));
        QCOMPARE(offset->text(), QStringLiteral("32700"));
        QCOMPARE(scale->text(), QStringLiteral(" 5325"));
        // Typing stays within the digits the calibration allows.
        offset->clear();
        QTest::keyClicks(offset, QStringLiteral("123456x"));
        QCOMPARE(offset->text(), QStringLiteral("1234"));
        scale->clear();
        QTest::keyClicks(scale, QStringLiteral("123456x"));
        QCOMPARE(scale->text(), QStringLiteral("12345"));
    }

    // ---- names and layout ---------------------------------------------------------------------

    void namesAreUniqueAcrossAllPages() {
        // The pages live together in one main window, where a name found twice is ambiguous.
        QSet<QString> seen;
        for (const char* page : {"PortSetup", "LoggerControl", "Upload", "Recording", "PcLogger",
                                 "Hardware", "Analog"}) {
            for (QWidget* w : windows_.at(page)->findChildren<QWidget*>()) {
                const QString name = w->objectName();
                if (name.isEmpty() || name.startsWith(QStringLiteral("qt_")))
                    continue;
                QVERIFY2(!seen.contains(name), qPrintable(name));
                seen.insert(name);
            }
        }
    }

    void pagesFitTheTabAreaWithoutClipping_data() {
        QTest::addColumn<QString>("window");
        for (const char* w : {"PortSetup", "LoggerControl", "Upload", "Recording", "PcLogger",
                              "Hardware", "Analog"})
            QTest::newRow(w) << QString::fromLatin1(w);
    }

    void pagesFitTheTabAreaWithoutClipping() {
        QFETCH(QString, window);
        // The page area of the main window at 1280x800.
        const QSize pageArea(1000, 700);
        QWidget* page = windows_.at(window).get();
        // Show every control the modes may show, so the worst case is laid out.
        // Put the design back however the checks end, so later tests see it unchanged.
        struct Restore {
            QWidget* page;
            QList<QWidget*> hidden;
            ~Restore() {
                page->hide();
                for (QWidget* w : hidden)
                    w->setVisible(false);
            }
        } restore{page, {}};
        QList<QWidget*>& hidden = restore.hidden;
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (w->isHidden() && !w->objectName().startsWith(QStringLiteral("qt_")) &&
                !w->objectName().isEmpty() && !w->objectName().endsWith(QStringLiteral("Raw"))) {
                hidden << w;
                w->setVisible(true);
            }
        }
        const QSize needed = page->minimumSizeHint();
        QVERIFY2(needed.width() <= pageArea.width() && needed.height() <= pageArea.height(),
                 qPrintable(QStringLiteral("%1x%2").arg(needed.width()).arg(needed.height())));
        page->resize(pageArea);
        page->show();
        QApplication::processEvents();
        const QRect area = page->rect();
        for (QWidget* w : page->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(page) || w->objectName().isEmpty() ||
                w->objectName().startsWith(QStringLiteral("qt_")))
                continue;
            const QRect r(w->mapTo(page, QPoint(0, 0)), w->size());
            QVERIFY2(area.contains(r), qPrintable(w->objectName()));
            // A caption narrower than its text is cut off.
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w) ||
                qobject_cast<QComboBox*>(w)) {
                if (!(qobject_cast<QLabel*>(w) && qobject_cast<QLabel*>(w)->wordWrap()))
                    QVERIFY2(w->width() >= w->minimumSizeHint().width(),
                             qPrintable(w->objectName()));
            }
        }
    }

    void windowsShowAllTheirTextAtTheirOwnSize() {
        for (const char* name : {"Warning", "Sleep", "Annotation"}) {
            QWidget* window = windows_.at(name).get();
            window->show();
            window->adjustSize();
            QApplication::processEvents();
            QVERIFY2(window->width() <= 800 && window->height() <= 600, name);
            for (QWidget* w : window->findChildren<QWidget*>()) {
                if (w->isHidden() ||
                    !(qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w)))
                    continue;
                if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap())
                    continue;
                QVERIFY2(w->width() >= w->minimumSizeHint().width(), qPrintable(caption(w)));
            }
            window->hide();
        }
    }
};

QTEST_MAIN(PagesDesign)
#include "tst_pages_design.moc"
