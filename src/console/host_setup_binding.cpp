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
#include "session/host_setup_flow.h"

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
    appliedGeometry_ = session_.hostControls.geometryRevision;
    noteGeometry();
    window_.installEventFilter(this);

    if (auto* open = window_.findChild<QAction*>(QStringLiteral("LoadHostSetupFile")))
        connect(open, &QAction::triggered, this, [this] {
            LoadHostSetupFileClick(session_);
            edited();
        });
    if (auto* save = window_.findChild<QAction*>(QStringLiteral("StoreHostSetupFile")))
        connect(save, &QAction::triggered, this, [this] {
            StoreHostSetupFileClick(session_);
            edited();
        });
    if (auto* upload = window_.findChild<UploadPage*>())
        connect(upload->extractFilesButtons(), &QButtonGroup::idClicked, this, [this](int id) {
            session_.hostControls.ExtractFilesRG = id;
            edited();
        });
    if (auto* speed = window_.findChild<QSpinBox*>(QStringLiteral("ReplaySpeedUD")))
        connect(speed, &QSpinBox::valueChanged, this, [this](int v) {
            session_.hostControls.ReplaySpeedUD = v;
            edited();
        });
    if (auto* dandt = window_.findChild<QCheckBox*>(QStringLiteral("DandTCB")))
        connect(dandt, &QCheckBox::clicked, this, [this](bool checked) {
            session_.hostControls.DandTCB = checked;
            edited();
        });
}

void HostSetupBinding::edited() {
    ++session_.revision;
    if (changed_)
        changed_();
}

bool HostSetupBinding::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ &&
        (event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange))
        noteGeometry();
    return QObject::eventFilter(watched, event);
}

void HostSetupBinding::noteGeometry() {
    auto& c = session_.hostControls;
    const Qt::WindowStates state = window_.windowState();
    c.windowState = state & Qt::WindowMinimized ? 1 : state & Qt::WindowMaximized ? 2 : 0;
    // The size is that of the normal window, so a maximised one comes back to it.
    const QSize size = c.windowState == 0 || !window_.normalGeometry().isValid()
                           ? window_.size()
                           : window_.normalGeometry().size();
    c.windowWidth = size.width();
    c.windowHeight = size.height();
}

void HostSetupBinding::applyGeometry() {
    const auto& c = session_.hostControls;
    // Sizes go first: Qt keeps them as the normal size of a window that is then maximised.
    const int width = c.windowWidth;
    const int height = c.windowHeight;
    if (width >= kMinimumWidth && height >= kMinimumHeight)
        window_.resize(width, height);
    const Qt::WindowStates state = c.windowState == 1   ? Qt::WindowMinimized
                                   : c.windowState == 2 ? Qt::WindowMaximized
                                                        : Qt::WindowNoState;
    window_.setWindowState(state);
}

void HostSetupBinding::refresh() {
    auto& c = session_.hostControls;
    if (appliedGeometry_ != c.geometryRevision) {
        appliedGeometry_ = c.geometryRevision;
        applyGeometry();
    }
    if (auto* upload = window_.findChild<UploadPage*>())
        if (upload->extractFilesIndex() != c.ExtractFilesRG)
            upload->setExtractFilesIndex(c.ExtractFilesRG);
    applySpin(window_.findChild<QSpinBox*>(QStringLiteral("ReplaySpeedUD")), c.ReplaySpeedUD);
    if (auto* dandt = window_.findChild<QCheckBox*>(QStringLiteral("DandTCB"));
        dandt && dandt->isChecked() != c.DandTCB) {
        const QSignalBlocker block(dandt);
        dandt->setChecked(c.DandTCB);
    }
    const auto& lc = session_.setup.loggerControl;
    setShown(window_.findChild<QLabel*>(QStringLiteral("ModeLB")), lc.ModeCB.visible);
    setShown(window_.findChild<QLabel*>(QStringLiteral("FileLB")), lc.FileCB.visible);
    setShown(window_.findChild<QLabel*>(QStringLiteral("OutputLB")), lc.OutputCB.visible);
}

}  // namespace cvh
