#include "console/host_setup_binding.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QSpinBox>

#include "console/page_upload.h"
#include "console/view_sync.h"
#include "session/host_session.h"

namespace cvh {

namespace {

// A stored size smaller than this is no size the window ever had (a file that never held
// one): the window keeps its own.
constexpr int kMinimumWidth = 320;
constexpr int kMinimumHeight = 240;

}  // namespace

HostSetupBinding::HostSetupBinding(QMainWindow& window, HostSession& session,
                                   std::function<void()> changed)
    : QObject(&window), window_(window), session_(session), changed_(std::move(changed)) {
    noteGeometry();
    window_.installEventFilter(this);
    HostSetupStore& store = session_.hostSetupStore();
    connect(require<QAction>(window_, "LoadHostSetupFile"), &QAction::triggered, this,
            [this, &store] {
                store.loadFileClick();
                changed_();
            });
    connect(require<QAction>(window_, "StoreHostSetupFile"), &QAction::triggered, this,
            [this, &store] {
                store.storeFileClick();
                changed_();
            });
    upload_ = window_.findChild<UploadPage*>();
    Q_ASSERT(upload_);
    connect(upload_->extractFilesButtons(), &QButtonGroup::idClicked, this, [this, &store](int id) {
        store.chooseExtractFiles(id);
        changed_();
    });
    DandTCB_ = require<QCheckBox>(window_, "DandTCB");
    connect(DandTCB_, &QCheckBox::clicked, this, [this, &store](bool checked) {
        store.setDateAndTime(checked);
        changed_();
    });
}

bool HostSetupBinding::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ &&
        (event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange))
        noteGeometry();
    return QObject::eventFilter(watched, event);
}

void HostSetupBinding::noteGeometry() {
    WindowGeometry g;
    const Qt::WindowStates state = window_.windowState();
    g.state = state & Qt::WindowMinimized ? 1 : state & Qt::WindowMaximized ? 2 : 0;
    // The size is that of the normal window, so a maximised one comes back to it.
    const QSize size = g.state == 0 || !window_.normalGeometry().isValid()
                           ? window_.size()
                           : window_.normalGeometry().size();
    g.width = size.width();
    g.height = size.height();
    session_.hostSetupStore().noteWindowGeometry(g);
}

void HostSetupBinding::applyGeometry(const WindowGeometry& g) {
    // Sizes go first: Qt keeps them as the normal size of a window that is then maximised.
    if (g.width >= kMinimumWidth && g.height >= kMinimumHeight)
        window_.resize(g.width, g.height);
    const Qt::WindowStates state = g.state == 1   ? Qt::WindowMinimized
                                   : g.state == 2 ? Qt::WindowMaximized
                                                  : Qt::WindowNoState;
    window_.setWindowState(state);
}

void HostSetupBinding::refresh() {
    if (const auto loaded = session_.hostSetupStore().takeLoadedGeometry())
        applyGeometry(*loaded);
    const HostSetupControls& c = session_.hostSetupStore().controls();
    if (upload_->extractFilesIndex() != c.ExtractFilesRG)
        upload_->setExtractFilesIndex(c.ExtractFilesRG);
    if (DandTCB_->isChecked() != c.DandTCB) {
        const QSignalBlocker block(DandTCB_);
        DandTCB_->setChecked(c.DandTCB);
    }
}

}  // namespace cvh
