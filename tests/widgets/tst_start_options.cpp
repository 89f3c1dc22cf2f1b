// The command line: what each form of --record and --replay starts, the faults that end the
// program with status 2, and the real program refusing an archive it cannot create before any
// window opens.
#include <QProcess>
#include <QTest>

#include "console/start_options.h"
#include "support/temp_dir.h"

using namespace cvh;
using Outcome = ParsedStartOptions::Outcome;

Q_DECLARE_METATYPE(StartOptions)

class TestStartOptions : public QObject {
    Q_OBJECT

private slots:
    void parses_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<StartOptions>("options");
        auto row = [](const char* name, QStringList args, Outcome outcome, StartOptions o = {}) {
            args.prepend(QStringLiteral("cvhost"));
            QTest::newRow(name) << args << static_cast<int>(outcome) << o;
        };
        using M = RecordMode;
        row("nothing", {}, Outcome::Run);
        row("help", {"--help"}, Outcome::Help);
        row("continuous", {"--record", "continuous:/d/a.arc"}, Outcome::Run,
            {M::Continuous, "/d/a.arc"});
        row("hourly, = form", {"--record=hourly:arch"}, Outcome::Run, {M::Hourly, "arch"});
        row("daily, colon in path", {"--record", "daily:C:/x"}, Outcome::Run, {M::Daily, "C:/x"});
        row("raw", {"--record", "raw:in.raw"}, Outcome::Run, {M::RawInput, "in.raw"});
        row("replay", {"--replay", "a.arc"}, Outcome::Run, {M::Replay, "a.arc"});
        row("continuous replay at 10", {"--replay", "a.arc", "--continuous", "--speed", "10"},
            Outcome::Run, {M::ContinuousReplay, "a.arc", 10});
        row("unknown option", {"--recrod", "x"}, Outcome::Invalid);
        row("unknown kind", {"--record", "weekly:x"}, Outcome::Invalid);
        row("no kind", {"--record", "a.arc"}, Outcome::Invalid);
        row("no path", {"--record", "hourly:"}, Outcome::Invalid);
        row("record and replay", {"--record", "raw:x", "--replay", "y"}, Outcome::Invalid);
        row("record twice", {"--record", "raw:x", "--record", "raw:y"}, Outcome::Invalid);
        row("speed without replay", {"--speed", "3"}, Outcome::Invalid);
        row("continuous without replay", {"--continuous"}, Outcome::Invalid);
        row("speed 0", {"--replay", "a", "--speed", "0"}, Outcome::Invalid);
        row("speed 11", {"--replay", "a", "--speed", "11"}, Outcome::Invalid);
        row("speed not a number", {"--replay", "a", "--speed", "fast"}, Outcome::Invalid);
        row("stray argument", {"a.arc"}, Outcome::Invalid);
    }
    void parses() {
        QFETCH(QStringList, args);
        QFETCH(int, outcome);
        QFETCH(StartOptions, options);
        const ParsedStartOptions parsed = parseStartOptions(args);
        QCOMPARE(static_cast<int>(parsed.outcome), outcome);
        if (parsed.outcome == Outcome::Run)
            QVERIFY(parsed.options == options);
        else
            QVERIFY(!parsed.text.empty());
    }

    void probeTriesTheFileAsTheStartWill() {
        test::TempDir dir{"cvh_start_options"};
        FixedClock clock;
        const std::string missingDir = (dir.path() / "no" / "such").string();
        QVERIFY(probeStartFile({RecordMode::Continuous, (dir.path() / "a.arc").string()}, clock)
                    .empty());
        QVERIFY(probeStartFile({RecordMode::Hourly, (dir.path() / "h").string()}, clock).empty());
        for (RecordMode mode : {RecordMode::Continuous, RecordMode::Hourly, RecordMode::RawInput,
                                RecordMode::Replay}) {
            const std::string fault = probeStartFile({mode, missingDir}, clock);
            QVERIFY2(fault.starts_with(missingDir), fault.c_str());
        }
    }

    void unwritableArchiveEndsTheProgramWithStatusTwo() {
        QProcess cvhost;
        cvhost.setProcessEnvironment([] {
            auto env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            return env;
        }());
        cvhost.start(QStringLiteral(CVHOST_PATH),
                     {QStringLiteral("--record"), QStringLiteral("continuous:/nonexistent/x.arc")});
        QVERIFY(cvhost.waitForFinished(20000));
        QCOMPARE(cvhost.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cvhost.exitCode(), 2);
        QVERIFY(cvhost.readAllStandardError().contains("/nonexistent/x.arc"));
    }
};

QTEST_MAIN(TestStartOptions)
#include "tst_start_options.moc"
