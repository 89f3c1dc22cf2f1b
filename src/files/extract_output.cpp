#include "files/extract_output.h"

namespace cvh {

namespace {

class FileOutput final : public ExtractOutput {
public:
    explicit FileOutput(const std::filesystem::path& path) { file_.create(path); }
    bool write(Bytes bytes) override { return file_.write(bytes); }
    std::uint64_t size() const override { return file_.size(); }
    const std::optional<FileError>& error() const override { return file_.error(); }
    std::optional<FileError> commit() override { return file_.commit(); }

private:
    ReplacingFile file_;
};

class MemoryOutput final : public ExtractOutput {
public:
    MemoryOutput(MemoryTarget& target, std::string name)
        : target_(target), name_(std::move(name)) {}
    bool write(Bytes bytes) override {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return true;
    }
    std::uint64_t size() const override { return bytes_.size(); }
    const std::optional<FileError>& error() const override { return none_; }
    std::optional<FileError> commit() override {
        target_.outputs[name_] = std::move(bytes_);
        bytes_.clear();
        return std::nullopt;
    }

private:
    MemoryTarget& target_;
    std::string name_;
    std::vector<std::uint8_t> bytes_;
    std::optional<FileError> none_;
};

}  // namespace

std::unique_ptr<ExtractOutput> FolderTarget::create(const std::string& name) {
    return std::make_unique<FileOutput>(folder_ / name);
}

std::unique_ptr<ExtractOutput> MemoryTarget::create(const std::string& name) {
    return std::make_unique<MemoryOutput>(*this, name);
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
