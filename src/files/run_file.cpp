#include "files/run_file.h"

#include <cctype>
#include <climits>
#include <cstring>

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
    if (file_)
        std::fclose(file_);
}

bool RunFileReader::open(const std::filesystem::path& path) {
    if (file_)
        std::fclose(file_);
    file_ = std::fopen(path.string().c_str(), "rb");
    buffer_.assign(kReadBufferSize, 0);
    begin_ = end_ = 0;
    offset_ = skipped_ = 0;
    eof_ = false;
    return file_ != nullptr;
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
        const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
        if (got == 0)
            eof_ = true;
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
