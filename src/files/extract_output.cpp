#include "files/extract_output.h"

#include <system_error>

namespace cvh {

namespace {
constexpr std::size_t kWriteBufferSize = 256 * 1024;
}

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::create(const std::filesystem::path& finalPath) {
    discard();
    final_ = finalPath;
    temp_ = finalPath;
    temp_ += ".part";
    size_ = 0;
    failed_ = false;
    file_ = std::fopen(temp_.string().c_str(), "wb");
    if (!file_)
        return false;
    buffer_.resize(kWriteBufferSize);
    std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
    return true;
}

bool OutputFile::write(Bytes bytes) {
    if (!file_ || failed_)
        return false;
    if (bytes.empty())
        return true;
    const std::size_t done = std::fwrite(bytes.data(), 1, bytes.size(), file_);
    if (done != bytes.size()) {
        failed_ = true;
        return false;
    }
    size_ += done;
    return true;
}

bool OutputFile::write(const std::string& text) {
    return write(Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool OutputFile::commit() {
    if (!file_)
        return false;
    bool ok = !failed_;
    if (std::fclose(file_) != 0)
        ok = false;
    file_ = nullptr;
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(temp_, final_, ec);
        if (ec)
            ok = false;
    }
    if (!ok)
        std::filesystem::remove(temp_, ec);
    return ok;
}

void OutputFile::discard() {
    if (!file_)
        return;
    std::fclose(file_);
    file_ = nullptr;
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
}

std::string toPlatformLineEnds(const std::string& text) {
#if defined(_WIN32)
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
#else
    return text;
#endif
}

}  // namespace cvh
