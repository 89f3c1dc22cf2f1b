// The host setup file (".cvh", "last.cvh"): every setting of the host program itself, as a
// version line and 34 numbered records of decimal fields. Field users keep these files across
// program versions, so the layout below is fixed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_write.h"
#include "base/operator.h"

namespace cvh {

inline constexpr int kHostSetupRecordCount = 34;
inline constexpr const char* kLastHostSetupName = "last.cvh";

// The count of fields each record carries (index = record number; entry 0 unused).
extern const std::array<int, kHostSetupRecordCount + 1> kHostSetupFieldCounts;
// The most fields a record of this layout carries (record 12).
inline constexpr int kMaxHostSetupFields = 15;

// Every number of the file by record (1..34) and field (from 0). Which control a number belongs
// to is the program's business, not the file's: the file knows the layout, the counts and the
// one constant it always carries. Every value is a 16-bit signed number.
class HostSetup {
public:
    HostSetup();
    // 0 for a place the layout does not have.
    std::int16_t value(int record, int field) const;
    // Ignored for a place the layout does not have.
    void setValue(int record, int field, std::int16_t value);

    // false when record 1 was read with two fields (a file older than 7.07).
    bool hasHostPortSetup = true;

    bool operator==(const HostSetup&) const = default;

private:
    std::array<std::array<std::int16_t, kMaxHostSetupFields>, kHostSetupRecordCount + 1> values_{};
};

// The whole file text, lines ending in '\n' (the writer turns them into the platform's end).
std::string formatHostSetup(const HostSetup& setup);

enum class HostSetupStoreResult { Stored, NotCreated, WriteFailed };

struct HostSetupStoreOutcome {
    HostSetupStoreResult result = HostSetupStoreResult::Stored;
    std::optional<FileError> error;  // the path and the system's reason when not stored
    bool operator==(HostSetupStoreResult r) const { return result == r; }
};

// Writes to a temporary file next to `path` and renames it over `path` only when every byte
// was written, so a good file is never replaced by a half-written one.
HostSetupStoreOutcome storeHostSetup(const std::filesystem::path& path, const HostSetup& setup);

enum class HostSetupLoadResult {
    Loaded,      // every record passed; `setup` holds the values to apply
    Missing,     // no such file: nothing shown, nothing applied
    Unreadable,  // exists but cannot be read: nothing shown, nothing applied
    Invalid,     // one notice was shown; nothing applied
};

struct HostSetupLoad {
    HostSetupLoadResult result = HostSetupLoadResult::Missing;
    std::optional<HostSetup> setup;
    bool loaded() const { return result == HostSetupLoadResult::Loaded; }
};

// Checks the whole text before anything may be applied: the first failing record shows one
// notice through `op` and the load fails with nothing returned.
HostSetupLoad parseHostSetup(std::string_view text, Operator& op);
// Reads the file (its first kMaxHostSetupFileBytes) and parses it.
inline constexpr std::size_t kMaxHostSetupFileBytes = 1 << 20;
HostSetupLoad loadHostSetup(const std::filesystem::path& path, Operator& op);

// Record 32 keeps the numbers shown in edit boxes: leading decimal digits only, 0 if none.
std::int16_t editTextValue(const std::string& text);

// The File menu's dialogs (SaveCVHostDlg, OpenCVHostDlg).
FileDialogRequest saveHostSetupDialog();
FileDialogRequest openHostSetupDialog();

}  // namespace cvh
