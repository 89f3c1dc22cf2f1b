#include "base/file_write.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace cvh {

namespace {

WriteFaultHook& faultHook() {
    static WriteFaultHook hook;
    return hook;
}

int injectedFault(const std::filesystem::path& path, std::size_t bytes) {
    const auto& hook = faultHook();
    return hook ? hook(path, bytes) : 0;
}

int lastError(int fallback = EIO) {
    return errno != 0 ? errno : fallback;
}

// Flushes the C library's buffer and asks the system to put the file on the disk.
int flushToDisk(std::FILE* file, const std::filesystem::path& path) {
    if (const int err = injectedFault(path, 0))
        return err;
    errno = 0;
    if (std::fflush(file) != 0)
        return lastError();
#if defined(_WIN32)
    if (_commit(_fileno(file)) != 0)
        return lastError();
#else
    if (::fsync(fileno(file)) != 0 && errno != EINVAL && errno != EROFS)
        return lastError();  // EINVAL: a pipe or terminal, nothing to put on a disk
#endif
    return 0;
}

}  // namespace

std::string FileError::describe() const {
    return path.string() + ": " + reason;
}

std::string systemReason(int err) {
    return std::system_category().message(err);
}

void setWriteFaultHook(WriteFaultHook hook) {
    faultHook() = std::move(hook);
}

// --- ReplacingFile ------------------------------------------------------------------------

ReplacingFile::~ReplacingFile() {
    discard();
}

std::optional<FileError> ReplacingFile::create(const std::filesystem::path& finalPath) {
    discard();
    final_ = finalPath;
    temp_ = finalPath;
    temp_ += ".part";
    size_ = 0;
    error_.reset();
    errno = 0;
    file_ = std::fopen(temp_.string().c_str(), "wb");
    if (!file_)
        error_ = FileError{final_, systemReason(lastError(ENOENT))};
    return error_;
}

void ReplacingFile::fail(int err) {
    if (!error_)
        error_ = FileError{final_, systemReason(err)};
}

bool ReplacingFile::write(Bytes bytes) {
    if (!file_ || error_)
        return false;
    if (bytes.empty())
        return true;
    if (const int err = injectedFault(final_, bytes.size())) {
        fail(err);
        return false;
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        fail(lastError());
        return false;
    }
    size_ += bytes.size();
    return true;
}

bool ReplacingFile::write(std::string_view text) {
    return write(Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::optional<FileError> ReplacingFile::commit() {
    if (!file_)
        return error_ ? error_ : FileError{final_, "not open"};
    if (!error_)
        if (const int err = flushToDisk(file_, final_))
            fail(err);
    errno = 0;
    if (std::fclose(file_) != 0)
        fail(lastError());
    file_ = nullptr;
    std::error_code ec;
    if (!error_) {
        if (const int err = injectedFault(final_, 0))
            fail(err);
        else {
            std::filesystem::rename(temp_, final_, ec);
            if (ec)
                error_ = FileError{final_, ec.message()};
        }
    }
    if (error_)
        std::filesystem::remove(temp_, ec);
    return error_;
}

void ReplacingFile::discard() {
    if (!file_)
        return;
    std::fclose(file_);
    file_ = nullptr;
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
}

std::optional<FileError> replaceFile(const std::filesystem::path& path, Bytes bytes) {
    ReplacingFile file;
    if (auto err = file.create(path))
        return err;
    file.write(bytes);
    return file.commit();
}

std::optional<FileError> replaceFile(const std::filesystem::path& path, std::string_view text) {
    return replaceFile(path, Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// --- AppendingFile ------------------------------------------------------------------------

AppendingFile::~AppendingFile() {
    close();
}

std::optional<FileError> AppendingFile::open(const std::filesystem::path& path, Start start) {
    close();
    path_ = path;
    size_ = 0;
    errno = 0;
    file_ = std::fopen(path.string().c_str(), start == Start::Append ? "ab" : "wb");
    if (!file_)
        return FileError{path_, systemReason(lastError(ENOENT))};
    // Unbuffered: each record reaches the system in one call, and nothing of a failed record
    // can linger in a buffer to be written after it was cut back.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    std::error_code ec;
    const auto existing = std::filesystem::file_size(path_, ec);
    size_ = ec ? 0 : existing;
    return std::nullopt;
}

std::optional<FileError> AppendingFile::writeRecord(Bytes bytes) {
    if (!file_)
        return FileError{path_, "not open"};
    if (bytes.empty())
        return std::nullopt;
    int err = injectedFault(path_, bytes.size());
    std::size_t done = 0;
    errno = 0;
    if (err != 0) {
        // An injected failure writes part of the record first, as a full disk would.
        done = std::fwrite(bytes.data(), 1, bytes.size() / 2, file_);
    } else {
        done = std::fwrite(bytes.data(), 1, bytes.size(), file_);
        if (done != bytes.size())
            err = lastError(ENOSPC);
    }
    if (err == 0) {
        size_ += done;
        return std::nullopt;
    }
    // Cut the torn record off so the file stays whole records.
    std::clearerr(file_);
    std::error_code ec;
    std::filesystem::resize_file(path_, size_, ec);
    std::fseek(file_, 0, SEEK_END);
    return FileError{path_, systemReason(err)};
}

std::optional<FileError> AppendingFile::writeRecord(std::string_view text) {
    return writeRecord(Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::optional<FileError> AppendingFile::sync() {
    if (!file_)
        return FileError{path_, "not open"};
    if (const int err = flushToDisk(file_, path_))
        return FileError{path_, systemReason(err)};
    return std::nullopt;
}

std::optional<FileError> AppendingFile::close() {
    if (!file_)
        return std::nullopt;
    std::optional<FileError> result;
    errno = 0;
    if (std::fclose(file_) != 0)
        result = FileError{path_, systemReason(lastError())};
    file_ = nullptr;
    return result;
}

}  // namespace cvh
