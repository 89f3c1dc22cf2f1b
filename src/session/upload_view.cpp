#include "session/upload_view.h"

#include <algorithm>
#include <limits>

#include "base/cformat.h"

namespace cvh {

namespace {

int toInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, 0, std::numeric_limits<int>::max()));
}

}  // namespace

UploadPageView presentUpload(const RunUpload& upload) {
    const UploadFacts& f = upload.facts();
    UploadPageView v;
    for (const RunDirectoryLine& line : upload.directory().lines())
        v.LBProfiles.push_back(line.text);

    v.UpLoadPBMaximum = toInt(f.progressMaximum);
    // A run bigger than announced stops at the end of the bar instead of leaving it.
    v.UpLoadPBPosition = std::min(toInt(f.progressPosition), v.UpLoadPBMaximum);

    switch (f.runLabel) {
        case UploadRunLabel::None:
            break;
        case UploadRunLabel::RunFile:
            v.UpLoadRun = f.runFileName;
            break;
        case UploadRunLabel::Complete:
            v.UpLoadRun = "Upload is Complete";
            break;
        case UploadRunLabel::Cancelled:
            v.UpLoadRun = "Upload Cancelled";
            break;
    }
    if (f.shownKilobytes)
        v.UpLoadSize = cformat("File Size:  %1lld K", static_cast<long long>(*f.shownKilobytes));
    switch (f.countLabel) {
        case CountLabel::None:
            break;
        case CountLabel::RunNumber:
            v.CSError = cformat("Run Number: %d", static_cast<int>(f.countValue));
            break;
        case CountLabel::Duplicates:
            v.CSError = cformat("Duplicate Packets:  %1lld", static_cast<long long>(f.countValue));
            break;
    }
    v.BTCancelUploadEnabled = upload.uploading();
    return v;
}

}  // namespace cvh
