// The main window's refresh: each area the session marked changed is copied into its widgets.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>

#include "console/annotation_binding.h"
#include "console/factory_binding.h"
#include "console/form_port_tools.h"
#include "console/form_warning.h"
#include "console/host_setup_binding.h"
#include "console/live_pages.h"
#include "console/main_window.h"
#include "console/pc_logger_binding.h"
#include "console/recording_binding.h"
#include "console/setup_binding.h"
#include "console/sleep_binding.h"
#include "console/upload_binding.h"
#include "console/view_sync.h"
#include "session/host_session.h"
#include "session/logger_status_rows.h"

namespace cvh {

void MainWindow::refreshView() {
    pendingChanges_.add(session_.takeChanges());
    const ChangeSet changed = pendingChanges_;
    pendingChanges_ = ChangeSet();
    if (!changed.any())
        return;
    if (changed.has(Area::Window))
        refreshWindow();
    if (changed.has(Area::Window) || changed.has(Area::LoggerStatus))
        refreshLoggerStatus();
    if (changed.has(Area::Window) || changed.has(Area::SetupPages))
        setupBinding_->refresh();
    if (changed.has(Area::Recording))
        recordingBinding_->refresh();
    if (changed.has(Area::DataStatus))
        dataStatus_->refresh(session_);
    if (changed.has(Area::RealTime))
        realTime_->refresh(session_);
    if (changed.has(Area::DataStatus) || changed.has(Area::PcLogger))
        pcLoggerBinding_->refresh();
    if (changed.has(Area::HostControls))
        hostSetupBinding_->refresh();
    if (changed.has(Area::Factory))
        factoryBinding_->refresh();
    if (changed.has(Area::Upload))
        uploadBinding_->refresh();
    if (testPort_)
        refreshSmallWindows(changed);
}

void MainWindow::refreshWindow() {
    const auto& m = session_.main();
    if (windowTitle() != qs(m.title))
        setWindowTitle(qs(m.title));
    for (int i = 0; i < kMenuItemCount; ++i) {
        QAction* a = actions_[static_cast<std::size_t>(i)];
        const MenuItemState& st = m.menu[static_cast<std::size_t>(i)];
        if (a->isVisible() != st.visible)
            a->setVisible(st.visible);
        if (a->isCheckable() && a->isChecked() != st.checked) {
            const QSignalBlocker block(a);
            a->setChecked(st.checked);
        }
        auto& shown = shownCaptions_[static_cast<std::size_t>(i)];
        if (!kMenuTable[static_cast<std::size_t>(i)].separator && shown != st.caption) {
            shown = st.caption;
            a->setText(qs(st.caption));
        }
    }
    {
        const QSignalBlocker block(tabs_);
        for (int p = 0; p < kPageCount; ++p)
            if (tabs_->isTabVisible(p) != m.pageVisible[static_cast<std::size_t>(p)])
                tabs_->setTabVisible(p, m.pageVisible[static_cast<std::size_t>(p)]);
        if (tabs_->currentIndex() != m.activePage &&
            m.pageVisible[static_cast<std::size_t>(m.activePage)])
            tabs_->setCurrentIndex(m.activePage);
    }
    applyLabel(FlashPanel_, m.FlashPanel);
    applyLabel(RemoteHostPanel_, m.RemoteHostPanel);
    applyLabel(HostMode_, m.HostMode);
    applyLabel(LoggerMode_, m.LoggerMode);
    applyLabel(LBHostDandT_, m.LBHostDandT);
    const auto& port = session_.portView();
    applyLabel(PLoggerPort_, m.PLoggerPort);
    setColour(PLoggerPort_, port.pLoggerPortColour);
    applyLabel(COMStatus_, m.COMStatus);
    setShown(LoggerPortGB_, port.loggerPortGroupVisible);
    applyCombo(LoggerPortCB_, port.loggerPortIndex);
    applyCombo(LoggerSetupCB_, port.loggerSetupIndex);
    setColour(LoggerPortCB_, port.loggerPortColour);
    setColour(LoggerSetupCB_, port.loggerSetupColour);
}

void MainWindow::refreshLoggerStatus() {
    const auto& m = session_.main();
    setShown(LoggerStatusGB_, m.LoggerStatusGB.visible);
    setColour(LoggerStatusGB_, m.LoggerStatusGB.colour);
    setShown(loggerStatusBody_, m.loggerStatusExpanded);
    for (std::size_t i = 0; i < kStatusRows.size(); ++i)
        applyLabel(statusLabels_[i], kStatusRows[i].state(session_));
}

void MainWindow::refreshSmallWindows(const ChangeSet& changed) {
    if (changed.has(Area::PortTools) || changed.has(Area::Window)) {
        testPort_->refresh(session_);
        stats_->refresh(session_.linkPorts().stats());
        muxId_->refresh(session_);
    }
    if (changed.has(Area::Warning) && session_.warning().visible) {
        setText(warningText_, session_.warning().text);
        warning_->show();
        session_.warningShown();
    }
    if (changed.has(Area::Sleep))
        sleepBinding_->refresh();
    if (changed.has(Area::Annotation))
        annotationBinding_->refresh();
}

}  // namespace cvh
