#ifndef CVH_CONSOLE_PAGE_UPLOAD_H
#define CVH_CONSOLE_PAGE_UPLOAD_H

#include <QWidget>

class QButtonGroup;

namespace cvh {

// The "Upload Logger Data" page: the run list of the logger's memory (LBProfiles, several lines
// may be selected), the directory, upload, cancel, clear-memory and parse buttons, the
// extraction choice ExtractFilesRG and the upload progress. Every control carries its
// component name as objectName; the console connects them.
class UploadPage : public QWidget {
    Q_OBJECT
public:
    explicit UploadPage(QWidget* parent = nullptr);

    // ExtractFilesRG is a radio group: the item index of its checked button, -1 when none is
    // checked (as at start, until the operator or a host setup file chooses one).
    int extractFilesIndex() const;
    void setExtractFilesIndex(int index);
    // The group's buttons, ids 0 and 1, for connecting the operator's choice.
    QButtonGroup* extractFilesButtons() const { return extractFiles_; }

private:
    QButtonGroup* extractFiles_ = nullptr;
};

}  // namespace cvh

#endif
