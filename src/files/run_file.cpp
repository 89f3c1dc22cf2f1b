#include "files/run_file.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <system_error>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace cvh {

std::optional<int> runNumberFromPath(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    std::size_t at;
    const auto dot = name.rfind('.');
    if (dot != std::string::npos)
        at = dot + 1;
    else if (!name.empty())
        at = 1;
    else
        return std::nullopt;

    while (at < name.size() && std::isspace(static_cast<unsigned char>(name[at])))
        ++at;
    bool negative = false;
    if (at < name.size() && (name[at] == '+' || name[at] == '-')) {
        negative = name[at] == '-';
        ++at;
    }
    long long value = 0;
    std::size_t digits = 0;
    while (at < name.size() && std::isdigit(static_cast<unsigned char>(name[at]))) {
        value = value * 10 + (name[at] - '0');
        // A number too large for an int names no run.
        if (value > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
        ++at;
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return std::nullopt;
    return static_cast<int>(value);
}

namespace {
constexpr std::size_t kReadBufferSize = 1024 * 1024;
}

RunFileReader::~RunFileReader() {
    reset();
}

void RunFileReader::reset() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    begin_ = end_ = 0;
    offset_ = skipped_ = 0;
    eof_ = false;
    path_.clear();
    readError_.reset();
}

std::optional<FileError> RunFileReader::open(const std::filesystem::path& path) {
    reset();
    path_ = path;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec)
        return FileError{path, ec.message()};
    if (!std::filesystem::is_regular_file(status))
        return FileError{path, "not a regular file"};
#if defined(_WIN32)
    errno = 0;
    file_ = std::fopen(path.string().c_str(), "rb");
    if (!file_)
        return FileError{path, systemReason(errno != 0 ? errno : ENOENT)};
#else
    // Not blocking, and checked again once open: the name may have been swapped for a FIFO
    // in between.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return FileError{path, systemReason(errno)};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return FileError{path, "not a regular file"};
    }
    file_ = ::fdopen(fd, "rb");
    if (!file_) {
        const int err = errno;
        ::close(fd);
        return FileError{path, systemReason(err)};
    }
#endif
    buffer_.assign(kReadBufferSize, 0);
    return std::nullopt;
}

void RunFileReader::openBytes(Bytes bytes) {
    reset();
    buffer_.assign(bytes.begin(), bytes.end());
    end_ = buffer_.size();
    eof_ = true;
}

bool RunFileReader::fill(std::size_t need) {
    if (end_ - begin_ >= need)
        return true;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    while (end_ < need && !eof_ && file_) {
        errno = 0;
        const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
        if (got == 0) {
            if (std::ferror(file_))
                readError_ = FileError{path_, systemReason(errno != 0 ? errno : EIO)};
            eof_ = true;
        }
        end_ += got;
    }
    return end_ - begin_ >= need;
}

RunFileReader::Step RunFileReader::next(RunRecord& record) {
    for (;;) {
        // A few bytes too short for a header are the end of the run.
        if (!fill(kRunHeaderSize))
            return Step::End;
        const Bytes head(buffer_.data() + begin_, kRunHeaderSize);
        const int size = readLeS16(head, 0);
        const int type = readLeS16(head, 2);
        if (!plausibleRunHeader(size, type)) {
            if (offset_ == 0)
                return Step::BadStart;
            // Try again one byte after the start of the bad header.
            ++begin_;
            ++offset_;
            ++skipped_;
            continue;
        }
        const std::size_t total = kRunHeaderSize + static_cast<std::size_t>(size);
        record.type = type;
        record.offset = offset_;
        if (!fill(total)) {
            record.payload =
                Bytes(buffer_.data() + begin_ + kRunHeaderSize, end_ - begin_ - kRunHeaderSize);
            offset_ += end_ - begin_;
            begin_ = end_;
            return Step::Truncated;
        }
        record.payload =
            Bytes(buffer_.data() + begin_ + kRunHeaderSize, static_cast<std::size_t>(size));
        begin_ += total;
        offset_ += total;
        return Step::Record;
    }
}

}  // namespace cvh
