// An output file of the extraction. It is written under a temporary name beside its final name
// and renamed over the final name only when every byte was written, so a failed or interrupted
// extraction never leaves a half-written file where a good one was.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/bytes.h"

namespace cvh {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Starts the file (replacing any earlier content on commit); false when it cannot be created.
    bool create(const std::filesystem::path& finalPath);
    bool isOpen() const { return file_ != nullptr; }
    // Appends bytes; a failed write marks the file as failed, and it will not be committed.
    bool write(Bytes bytes);
    bool write(const std::string& text);
    // Bytes written so far.
    std::uint64_t size() const { return size_; }
    bool failed() const { return failed_; }

    // Closes the file and puts it in place; false when any write, the close or the rename failed
    // (the temporary file is then removed and an earlier file of that name is left alone).
    bool commit();
    // Closes and removes the temporary file.
    void discard();

private:
    std::FILE* file_ = nullptr;
    std::filesystem::path final_;
    std::filesystem::path temp_;
    std::vector<char> buffer_;
    std::uint64_t size_ = 0;
    bool failed_ = false;
};

// Converts "\n" to the platform's line end, as a C text-mode stream would on writing.
std::string toPlatformLineEnds(const std::string& text);

}  // namespace cvh
