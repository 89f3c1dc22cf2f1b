#include "session/host_setup_store.h"

#include "session/host_session.h"
#include "session/host_setup_flow.h"

namespace cvh {

HostSetupStore::HostSetupStore(HostSession& session, ChangeMarks& marks)
    : session_(session), controls_(marks, Area::HostControls) {}

std::filesystem::path HostSetupStore::lastPath() const {
    if (startDirectory_.empty())
        return {};
    return std::filesystem::path(startDirectory_) / kLastHostSetupName;
}

void HostSetupStore::chooseExtractFiles(int index) {
    controls_.edit().ExtractFilesRG = index;
}

void HostSetupStore::setDateAndTime(bool checked) {
    controls_.edit().DandTCB = checked;
}

void HostSetupStore::noteWindowGeometry(const WindowGeometry& geometry) {
    // Noting the window's own change needs no repaint.
    if (controls_->geometry != geometry)
        controls_.edit().geometry = geometry;
}

std::optional<WindowGeometry> HostSetupStore::takeLoadedGeometry() {
    if (!geometryLoaded_)
        return std::nullopt;
    geometryLoaded_ = false;
    return controls_->geometry;
}

void HostSetupStore::setStartDirectory(const std::string& directory) {
    startDirectory_ = directory.substr(0, 260);
}

bool HostSetupStore::loadLast() {
    const auto path = lastPath();
    if (path.empty())
        return false;
    // A missing or unreadable file leaves the program without a mode, unreported; a bad one
    // has shown its notice.
    const HostSetupLoad load = loadHostSetup(path, session_.noticeOperator());
    if (!load.loaded())
        return false;
    applyHostSetup(session_, *load.setup, false);
    return true;
}

std::optional<FileError> HostSetupStore::storeLast() {
    const auto path = lastPath();
    if (path.empty())
        return std::nullopt;
    return storeHostSetupFrom(session_, path);
}

void HostSetupStore::loadFileClick() {
    const auto chosen = session_.noticeOperator().openFile(openHostSetupDialog());
    if (!chosen)
        return;
    loadHostSetupInto(session_, *chosen, true);
}

void HostSetupStore::storeFileClick() {
    const FileDialogRequest dialog = saveHostSetupDialog();
    const auto chosen = session_.noticeOperator().saveFile(dialog);
    if (!chosen)
        return;
    // The operator asked for this file: a failure is told with its path and reason.
    if (const auto error = storeHostSetupFrom(session_, *chosen))
        session_.showNotice(dialog.title, error->describe());
}

}  // namespace cvh
