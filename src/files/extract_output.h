// Where the outputs of an extraction go. Each output is put in place whole or not at all, and a
// failure carries the file's path and the system's reason. On disk every output is a
// ReplacingFile (a temporary file, flushed and renamed over the final name), so a failed or
// interrupted extraction never leaves a half-written file where a good one was; in memory the
// same extraction runs without touching the disk (fuzzing, tests).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/bytes.h"
#include "base/file_write.h"

namespace cvh {

class ExtractOutput {
public:
    virtual ~ExtractOutput() = default;
    // Appends bytes; after a failure further writes are ignored and commit() reports it.
    virtual bool write(Bytes bytes) = 0;
    bool write(std::string_view text) {
        return write(Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
    // Bytes written so far.
    virtual std::uint64_t size() const = 0;
    // The failure so far (the output could not be created, or a write failed).
    virtual const std::optional<FileError>& error() const = 0;
    // Puts the output in place; the error when it could not be written whole.
    virtual std::optional<FileError> commit() = 0;
};

class ExtractTarget {
public:
    virtual ~ExtractTarget() = default;
    // Starts the output `name` (such as "archive.042"); an earlier output of that name stays
    // until the new one is committed. Never null: one that could not be created says so in
    // error().
    virtual std::unique_ptr<ExtractOutput> create(const std::string& name) = 0;
};

// Files in a folder.
class FolderTarget final : public ExtractTarget {
public:
    explicit FolderTarget(std::filesystem::path folder) : folder_(std::move(folder)) {}
    std::unique_ptr<ExtractOutput> create(const std::string& name) override;

private:
    std::filesystem::path folder_;
};

// Outputs kept in memory: each committed output under its name, a later one of the same name
// replacing the earlier.
class MemoryTarget final : public ExtractTarget {
public:
    std::unique_ptr<ExtractOutput> create(const std::string& name) override;
    std::map<std::string, std::vector<std::uint8_t>> outputs;
};

// Converts "\n" to the platform's line end, as a C text-mode stream would on writing.
std::string toPlatformLineEnds(const std::string& text);

}  // namespace cvh
