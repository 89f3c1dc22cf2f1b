// Controls of the main window that only the host setup file reads and writes: the window's
// state and size, the extraction choice of the Upload page and the hidden
// "Add Date/Time to Archive File" box.
#pragma once

namespace cvh {

// The window's state and the size of its normal state.
struct WindowGeometry {
    int state = 0;  // 0 normal, 1 minimised, 2 maximised
    int height = 0;
    int width = 0;
    bool operator==(const WindowGeometry&) const = default;
};

struct HostSetupControls {
    // The console notes every change of the window here.
    WindowGeometry geometry;
    // ExtractFilesRG: 0 "CV Archive", 1 "CV Archive Plus Raw Files", -1 none chosen yet. It is
    // also the extraction choice of "Parse Run Files".
    int ExtractFilesRG = -1;
    bool DandTCB = false;  // "Add Date/Time to Archive File": kept, read by nothing else
};

}  // namespace cvh
