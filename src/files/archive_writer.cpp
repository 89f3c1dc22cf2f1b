#include "files/archive_writer.h"

namespace cvh {

std::optional<FileError> ArchiveWriter::open(const std::filesystem::path& path,
                                             AppendingFile::Start start) {
    return file_.open(path, start);
}

bool ArchiveWriter::write(Bytes record) {
    if (auto error = file_.writeRecord(record)) {
        reportFailure(*error);
        return false;
    }
    // A whole record went in: the next failure starts a new run and is reported again.
    failingPath_.reset();
    return true;
}

void ArchiveWriter::close() {
    if (auto error = file_.close())
        reportFailure(*error);
}

void ArchiveWriter::reportFailure(const FileError& error) {
    ++failures_;
    lastFailure_ = error.describe();
    if (failingPath_ == error.path)
        return;
    failingPath_ = error.path;
    operator_.notice(kFileErrorCaption, "Unable to Write " + what_ + "\n" + error.describe(), true);
}

}  // namespace cvh
