// A fresh directory under the system's temporary folder for one test, removed with everything in
// it when the test ends, so parallel tests never see each other's files.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace cvh::test {

class TempDir {
public:
    explicit TempDir(const std::string& prefix = "cvh") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (prefix + "_XXXXXX")).string();
        if (::mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // A sub-folder, created.
    std::filesystem::path sub(const std::string& name) const {
        auto p = path_ / name;
        std::filesystem::create_directories(p);
        return p;
    }

private:
    std::filesystem::path path_;
};

}  // namespace cvh::test
