// Saving and loading a factory page as a file that holds its record's bytes and nothing else
// (.hdw, .alg): the question before saving a page that may not match the logger, the dialogs,
// the checked write and the bounded read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/operator.h"

namespace cvh {

// What a factory page's file dialogs and warning say.
struct RecordFileTexts {
    const char* saveTitle;
    const char* loadTitle;
    const char* filter;            // "description|pattern|..."
    const char* defaultExtension;  // "*.ext"
    const char* notCurrentQuestion;
};

// True when saving may go on: always for a current page, otherwise when the operator answers
// OK to the warning.
bool confirmSaveNotCurrent(bool current, const RecordFileTexts& texts, Operator& op);
// The save dialog, then the record as it was when called replaces the chosen file whole (never
// a torn file). A write
// that failed is told to the operator with the path and the reason. False when cancelled or
// failed.
bool saveRecordFile(Bytes record, const RecordFileTexts& texts, Operator& op);
// The open dialog, then the file's first `length` bytes; nothing when cancelled, unreadable or
// shorter than a record.
std::optional<std::vector<std::uint8_t>> loadRecordFile(std::size_t length,
                                                        const RecordFileTexts& texts, Operator& op);
// At most the first `length` bytes of a file, or nothing when it cannot be read.
std::optional<std::vector<std::uint8_t>> readFilePrefix(const std::filesystem::path& path,
                                                        std::size_t length);

}  // namespace cvh
