// The Live Plot page offscreen: it is shown with Real Time Data, the operator's choices reach the
// session's plot, and the chart is redrawn only while the page is on screen and data changed.
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "console/main_window.h"
#include "console/page_live_plot.h"
#include "session/host_session.h"
#include "support/fake_serial.h"
#include "support/logger_packets.h"
#include "support/scripted_operator.h"
#include "support/temp_dir.h"

using namespace cvh;

class TestLivePlot : public QObject {
    Q_OBJECT

private slots:
    void choicesReachTheSessionAndOnlyAShownPageRepaints() {
        test::TempDir dir{"cvh_live_plot"};
        test::FakeSerialBackend backend;
        test::ScriptedOperator op;
        FixedClock clock;
        HostSession session{backend, op, clock};
        auto& line = *backend.add(session.ports().names().name(5));
        session.startUp(dir.str());
        MainWindow window{session};
        window.createSmallWindows();
        session.modeMenuClick(MenuItem::MenuRealTimeOutput);
        session.linkPorts().loggerPortChange(5, 11);
        window.refreshView();
        window.show();
        auto* page = window.findChild<LivePlotPage*>(QStringLiteral("TSLivePlot"));
        QVERIFY(page);
        const int index = window.tabs()->indexOf(page);
        QCOMPARE(window.tabs()->tabText(index), QStringLiteral("Live Plot"));
        QVERIFY(window.tabs()->isTabVisible(index));

        page->PlotColumnUD[1]->setValue(2);
        page->PlotPortCB->setCurrentIndex(2);
        emit page->PlotPortCB->activated(2);
        page->PlotWindowCB->setCurrentIndex(2);
        emit page->PlotWindowCB->activated(2);
        const PlotChoice chosen = session.liveDataWatch().plot().choice();
        QCOMPARE(chosen.port, 3);
        QCOMPARE(chosen.columns, (std::array<int, 4>{1, 2, 0, 0}));
        QCOMPARE(chosen.window, 2);

        int sequence = 0;
        auto feed = [&](const char* text) {
            const auto p = test::dataPacket(2, sequence++, 2, text);
            line.incoming.insert(line.incoming.end(), p.begin(), p.end());
            session.onTick10ms();
        };
        const auto hiddenRepaints = page->repaints();
        feed("\r\n12.5 3\r\n");
        QTest::qWait(2 * LivePlotPage::kRepaintMilliseconds);
        QCOMPARE(page->repaints(), hiddenRepaints);  // another page is in front

        window.tabs()->setCurrentIndex(index);
        QCOMPARE(page->repaints(), hiddenRepaints + 1);
        QCOMPARE(session.liveDataWatch().plot().series(1).size(), std::size_t{1});
        QTest::qWait(2 * LivePlotPage::kRepaintMilliseconds);
        QCOMPARE(page->repaints(), hiddenRepaints + 1);  // nothing new: no redraw
        for (int i = 0; i < 20; ++i)
            feed("13 4\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(page->repaints(), hiddenRepaints + 2, 1000);
        QCOMPARE(page->PlotLinesLabel->text(), QStringLiteral("Lines plotted: 21   skipped: 0"));
    }
};

QTEST_MAIN(TestLivePlot)
#include "tst_live_plot.moc"
