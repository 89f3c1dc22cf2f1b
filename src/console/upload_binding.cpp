#include "console/upload_binding.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "console/view_sync.h"
#include "session/host_session.h"
#include "session/upload_view.h"

namespace cvh {

UploadBinding::UploadBinding(QWidget& page, HostSession& session, std::function<void()> changed)
    : QObject(&page), session_(session), changed_(std::move(changed)) {
    LBProfiles_ = require<QListWidget>(page, "LBProfiles");
    UpLoadPB_ = require<QProgressBar>(page, "UpLoadPB");
    UpLoadRun_ = require<QLabel>(page, "UpLoadRun");
    UpLoadSize_ = require<QLabel>(page, "UpLoadSize");
    CSError_ = require<QLabel>(page, "CSError");
    BTGetDirectory_ = require<QPushButton>(page, "BTGetDirectory");
    BTUpload_ = require<QPushButton>(page, "BTUpload");
    BTCancelUpload_ = require<QPushButton>(page, "BTCancelUpload");
    BTExtract_ = require<QPushButton>(page, "BTExtract");
    BTClearMemory_ = require<QPushButton>(page, "BTClearMemory");

    // clicked() comes only from the operator, never from refresh().
    auto onClick = [this](QPushButton* button, auto action) {
        connect(button, &QPushButton::clicked, this, [this, action] {
            action();
            changed_();
        });
    };
    onClick(BTGetDirectory_, [this] { session_.getDirectoryClick(); });
    onClick(BTUpload_, [this] { session_.uploadClick(selectedLines()); });
    onClick(BTCancelUpload_, [this] { session_.runUpload().cancelUpload(); });
    onClick(BTExtract_, [this] { session_.parseRunFilesClick(); });
    onClick(BTClearMemory_, [this] { session_.runUpload().clearMemory(); });
    refresh();
}

std::vector<int> UploadBinding::selectedLines() const {
    std::vector<int> lines;
    for (int i = 0; i < LBProfiles_->count(); ++i)
        if (LBProfiles_->item(i)->isSelected())
            lines.push_back(i);
    return lines;
}

void UploadBinding::refresh() {
    const UploadPageView v = presentUpload(session_.runUpload());
    // New items only when the lines changed, so the operator's selection stays.
    if (v.LBProfiles != shownLines_) {
        shownLines_ = v.LBProfiles;
        LBProfiles_->clear();
        for (const std::string& line : shownLines_)
            LBProfiles_->addItem(qs(line));
    }
    if (UpLoadPB_->maximum() != v.UpLoadPBMaximum)
        UpLoadPB_->setRange(0, v.UpLoadPBMaximum);
    if (UpLoadPB_->value() != v.UpLoadPBPosition)
        UpLoadPB_->setValue(v.UpLoadPBPosition);
    setText(UpLoadRun_, v.UpLoadRun);
    setText(UpLoadSize_, v.UpLoadSize);
    setText(CSError_, v.CSError);
    BTGetDirectory_->setEnabled(v.BTGetDirectoryEnabled);
    BTUpload_->setEnabled(v.BTUploadEnabled);
    BTClearMemory_->setEnabled(v.BTClearMemoryEnabled);
    BTCancelUpload_->setEnabled(v.BTCancelUploadEnabled);

    // The buttons keep the page's own captions until a status record names the device.
    const LoggerFacts& logger = session_.logger();
    if (!logger.clearMemoryCaption.empty())
        setText(BTClearMemory_, logger.clearMemoryCaption);
    if (!logger.getDirectoryCaption.empty())
        setText(BTGetDirectory_, logger.getDirectoryCaption);
}

}  // namespace cvh
