// The runs held in the logger's memory, as the last directory request listed them: one table
// entry and one list line per type-5 entry, in arrival order. The operator picks runs by their
// list line; each line remembers its table entry, so the two never fall out of step even when
// the list was emptied while entries were still arriving.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/operator.h"
#include "link/run_directory_record.h"

namespace cvh {

inline constexpr int kRunDirectoryCapacity = 512;

struct RunDirectoryEntry {
    std::int32_t runNumber = 0;
    std::int64_t runSize = 0;  // bytes announced by the logger
    bool selected = false;     // still to be uploaded in the current upload
};

struct RunDirectoryLine {
    int entryIndex = 0;  // the table entry the line shows
    std::string text;
};

// The list line of one entry: run number, kind, start time, the two values, the size (bytes
// below 1 KB, else whole KB) and the serial, analog and pump channels in use.
std::string formatDirectoryLine(const DirectoryEntry& entry);

class RunDirectory {
public:
    // A new directory request: table, list and the once-per-request warning start afresh.
    void clear();
    // One type-5 entry: stored and listed, or refused with the logger's overload notice.
    void add(const DirectoryEntry& entry, Operator& op);
    // "Clear Logger Memory" empties the list only; the table stays until the next request.
    void clearLines() { lines_.clear(); }

    int entryCount() const { return entryCount_; }
    const RunDirectoryEntry& entry(int index) const { return entries_[checked(index)]; }
    RunDirectoryEntry& entry(int index) { return entries_[checked(index)]; }
    const std::vector<RunDirectoryLine>& lines() const { return lines_; }

private:
    static std::size_t checked(int index);

    std::array<RunDirectoryEntry, kRunDirectoryCapacity> entries_{};
    int entryCount_ = 0;
    std::vector<RunDirectoryLine> lines_;
    int warningsThisRequest_ = 0;
};

}  // namespace cvh
