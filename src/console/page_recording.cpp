#include "console/page_recording.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "console/widget_helpers.h"

namespace cvh {

namespace {

// The recording buttons share one width so the column reads as a list.
QPushButton* wideButton(QWidget* parent, const char* name, const char* caption) {
    auto* b = button(parent, name, caption);
    b->setMinimumWidth(200);
    return b;
}

}  // namespace

RecordingPage::RecordingPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSRecord"));

    auto* record = named(new QGroupBox(QStringLiteral("Record"), this), QStringLiteral("RecordGB"));
    auto* recordBox = new QVBoxLayout(record);
    recordBox->addWidget(wideButton(this, "BTRecordArchive", "Record Archive"));
    recordBox->addWidget(wideButton(this, "BTRecord1Hour", "1 Hour Archive Files"));
    recordBox->addWidget(wideButton(this, "BTRecord1Day", "1 Day Archive Files"));
    // Raw recording and its replay are not offered on this page.
    auto* raw = wideButton(this, "BTRecordRaw", "Record Raw Input");
    raw->setVisible(false);
    recordBox->addWidget(raw);
    recordBox->addSpacing(8);
    recordBox->addWidget(wideButton(this, "BTStopRecord", "Stop"));

    auto* replay = named(new QGroupBox(QStringLiteral("Replay"), this), QStringLiteral("ReplayGB"));
    auto* replayGrid = new QGridLayout(replay);
    replayGrid->addWidget(wideButton(this, "ReplayArchiveBT", "Replay Archive"), 0, 0, 1, 2);
    replayGrid->addWidget(wideButton(this, "ReplayContinuousBT", "Continuous Archive Replay"), 1, 0,
                          1, 2);
    auto* rawReplay = wideButton(this, "BTReplayRaw", "Replay Raw Input");
    rawReplay->setVisible(false);
    replayGrid->addWidget(rawReplay, 2, 0, 1, 2);
    replayGrid->addWidget(
        named(new QLabel(QStringLiteral("Replay Speed"), this), QStringLiteral("ReplaySpeedLB1")),
        3, 0);
    auto* speed = named(new QSpinBox(this), QStringLiteral("ReplaySpeedUD"));
    speed->setRange(1, 10);
    speed->setValue(6);
    speed->findChild<QLineEdit*>()->setObjectName(QStringLiteral("ReplaySpeedEdit"));
    speed->setMinimumWidth(70);
    replayGrid->addWidget(speed, 3, 1, Qt::AlignLeft);
    replayGrid->addWidget(named(new QLabel(QStringLiteral("1 = Slow, 10 = Fast"), this),
                                QStringLiteral("ReplaySpeedLB2")),
                          4, 0, 1, 2);

    auto* status = named(new QGroupBox(QStringLiteral("Record Status"), this),
                         QStringLiteral("RecordStatusGB"));
    auto* statusBox = new QVBoxLayout(status);
    statusBox->addWidget(named(new QLabel(QStringLiteral("Recording:  OFF"), this),
                               QStringLiteral("LBRecordStatus")));
    auto* fileName = named(new QLabel(this), QStringLiteral("LBArchiveFileName"));
    // Paths can be long; they wrap instead of widening the page.
    fileName->setWordWrap(true);
    fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBox->addWidget(fileName);
    statusBox->addWidget(named(new QLabel(QStringLiteral("File Size:         0 K"), this),
                               QStringLiteral("LBArchiveFileSize")));

    auto* controls = new QHBoxLayout;
    controls->addWidget(record, 0, Qt::AlignTop);
    controls->addSpacing(12);
    controls->addWidget(replay, 0, Qt::AlignTop);
    controls->addStretch(1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(controls);
    page->addSpacing(12);
    page->addWidget(status);
    page->addStretch(1);
}

}  // namespace cvh
