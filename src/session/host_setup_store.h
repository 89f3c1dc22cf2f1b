// The host-setup store controller: the controls only the host setup file keeps, the start
// directory with its "last.cvh", and the File menu's open and save.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "base/file_write.h"
#include "session/change_marks.h"
#include "session/host_setup_controls.h"
#include "session/session_key.h"

namespace cvh {

class HostSession;

class HostSetupStore {
public:
    HostSetupStore(HostSession& session, ChangeMarks& marks);

    const HostSetupControls& controls() const { return *controls_; }
    const std::string& startDirectory() const { return startDirectory_; }
    // "last.cvh" in the start directory; empty before the session has started up.
    std::filesystem::path lastPath() const;

    // --- operator edits of the kept controls -------------------------------------------
    void chooseExtractFiles(int index);  // ExtractFilesRG
    void setDateAndTime(bool checked);   // DandTCB
    // The window was resized, minimised, maximised or restored.
    void noteWindowGeometry(const WindowGeometry& geometry);
    // The geometry a loaded file set, once; the console applies it.
    std::optional<WindowGeometry> takeLoadedGeometry();

    // --- files ---------------------------------------------------------------------------
    void setStartDirectory(const std::string& directory);
    // Start-up: loads "last.cvh"; false when the program has to start without a mode.
    bool loadLast();
    // Exit: stores "last.cvh" (nothing when the session never started up); the failure, if
    // any, with the path and the system's reason.
    std::optional<FileError> storeLast();
    // File menu: "Open Corvane Host Setup File (CVH)" and "Save Corvane Host Setup File
    // (CVH)". Both ask for a file through the operator; cancelling does nothing.
    void loadFileClick();
    void storeFileClick();

    // A loaded file's values.
    HostSetupControls& edit(SessionKey) { return controls_.edit(); }
    void geometryLoaded() { geometryLoaded_ = true; }

private:
    HostSession& session_;
    Watched<HostSetupControls> controls_;
    std::string startDirectory_;
    bool geometryLoaded_ = false;
};

}  // namespace cvh
