#include "console/page_upload.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "console/widget_helpers.h"

namespace cvh {

UploadPage::UploadPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSUpload"));

    // One line per run; the columns line up only in a fixed-pitch font.
    auto* runs = named(new QListWidget(this), QStringLiteral("LBProfiles"));
    runs->setSelectionMode(QAbstractItemView::ExtendedSelection);
    runs->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    runs->setMinimumSize(560, 300);

    // The directory and memory buttons take the device's name once a status record says which.
    auto* commands = new QVBoxLayout;
    commands->addWidget(button(this, "BTGetDirectory", "Get Logger Directory"));
    commands->addWidget(button(this, "BTUpload", "Upload Logger Data"));
    commands->addWidget(button(this, "BTCancelUpload", "Cancel Upload"));
    commands->addSpacing(12);
    commands->addWidget(button(this, "BTExtract", "Parse Run Files"));
    commands->addSpacing(12);
    commands->addWidget(button(this, "BTClearMemory", "Clear Logger Memory"));
    commands->addSpacing(12);

    auto* extract = named(new QGroupBox(QStringLiteral("Extract File Types"), this),
                          QStringLiteral("ExtractFilesRG"));
    auto* extractBox = new QVBoxLayout(extract);
    extractFiles_ = new QButtonGroup(this);
    const char* kinds[] = {"CV Archive", "CV Archive Plus Raw Files"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = named(new QRadioButton(QString::fromLatin1(kinds[i]), extract),
                            QStringLiteral("ExtractFilesRG%1").arg(i));
        extractFiles_->addButton(radio, i);
        extractBox->addWidget(radio);
    }
    commands->addWidget(extract);
    commands->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(runs, 1);
    top->addSpacing(12);
    top->addLayout(commands);

    // Progress of the run being uploaded.
    auto* progress = named(new QGroupBox(QStringLiteral("Upload Status"), this),
                           QStringLiteral("UploadStatusGB"));
    auto* progressGrid = new QGridLayout(progress);
    auto* bar = named(new QProgressBar(progress), QStringLiteral("UpLoadPB"));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    progressGrid->addWidget(bar, 0, 0, 1, 3);
    progressGrid->addWidget(named(new QLabel(progress), QStringLiteral("UpLoadRun")), 1, 0);
    progressGrid->addWidget(named(new QLabel(progress), QStringLiteral("UpLoadSize")), 1, 1);
    progressGrid->addWidget(named(new QLabel(progress), QStringLiteral("CSError")), 1, 2);
    progressGrid->setColumnStretch(0, 1);
    progressGrid->setColumnStretch(1, 1);
    progressGrid->setColumnStretch(2, 1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(top, 1);
    page->addWidget(progress);
}

int UploadPage::extractFilesIndex() const {
    return extractFiles_->checkedId();
}

void UploadPage::setExtractFilesIndex(int index) {
    QAbstractButton* chosen = extractFiles_->button(index);
    if (chosen != nullptr) {
        chosen->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last button; lift exclusivity for the moment.
    if (QAbstractButton* checked = extractFiles_->checkedButton()) {
        extractFiles_->setExclusive(false);
        checked->setChecked(false);
        extractFiles_->setExclusive(true);
    }
}

}  // namespace cvh
