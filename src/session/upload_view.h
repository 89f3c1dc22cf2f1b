// The "Upload Logger Data" page as plain state: the run list, the progress bar and its three
// labels, and which buttons take a press. Filled from the upload's facts; the console copies it
// into the controls of the same names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/run_upload.h"

namespace cvh {

struct UploadPageView {
    std::vector<std::string> LBProfiles;  // one line per listed run, list position = line
    int UpLoadPBMaximum = 100;
    int UpLoadPBPosition = 0;
    std::string UpLoadRun;
    std::string UpLoadSize;
    std::string CSError;
    // The directory, upload and memory buttons always take a press and refuse with the notice
    // operators know ("Upload in progress"); Cancel only means something during an upload.
    bool BTGetDirectoryEnabled = true;
    bool BTUploadEnabled = true;
    bool BTClearMemoryEnabled = true;
    bool BTCancelUploadEnabled = false;
    bool operator==(const UploadPageView&) const = default;
};

UploadPageView presentUpload(const RunUpload& upload);

}  // namespace cvh
