// Controls of the main window that only the host setup file reads and writes: the window's
// state and size, the extraction choice of the Upload page, the replay speed and the hidden
// "Add Date/Time to Archive File" box. The console copies them to and from the widgets.
#pragma once

namespace cvh {

struct HostSetupControls {
    // 0 normal, 1 minimised, 2 maximised; the size of the window in its normal state. The
    // console writes these whenever the window changes.
    int windowState = 0;
    int windowHeight = 0;
    int windowWidth = 0;
    // Bumped when a loaded file sets the geometry, so the console applies it once.
    unsigned geometryRevision = 0;

    // ExtractFilesRG: 0 "CV Archive", 1 "CV Archive Plus Raw Files", -1 none chosen yet. It is
    // also the extraction choice of "Parse Run Files".
    int ExtractFilesRG = -1;
    int ReplaySpeedUD = 1;  // 1..10
    bool DandTCB = false;   // "Add Date/Time to Archive File": kept, read by nothing else
};

}  // namespace cvh
