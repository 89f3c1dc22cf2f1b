#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/file_write.h"
#include "support/temp_dir.h"

namespace cvh {
namespace {

std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct FaultGuard {
    explicit FaultGuard(WriteFaultHook hook) { setWriteFaultHook(std::move(hook)); }
    ~FaultGuard() { setWriteFaultHook({}); }
};

TEST(ReplacingFile, ReplacesOnlyWhenEverythingWasWritten) {
    test::TempDir dir;
    const auto target = dir / "last.cvh";
    ASSERT_FALSE(replaceFile(target, std::string_view("good\n")));
    EXPECT_EQ(readAll(target), "good\n");
    {
        FaultGuard guard([](const std::filesystem::path&, std::size_t bytes) {
            return bytes > 0 ? ENOSPC : 0;
        });
        const auto err = replaceFile(target, std::string_view("new and longer\n"));
        ASSERT_TRUE(err);
        EXPECT_EQ(err->path, target);
        EXPECT_EQ(err->describe(), target.string() + ": " + systemReason(ENOSPC));
    }
    EXPECT_EQ(readAll(target), "good\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "last.cvh.part"));
}

TEST(ReplacingFile, ReportsWhyItCouldNotBeCreatedOrRenamed) {
    test::TempDir dir;
    auto err = replaceFile(dir / "missing" / "x", std::string_view("a"));
    ASSERT_TRUE(err);
    EXPECT_EQ(err->reason, systemReason(ENOENT));
    // A directory where the file should go: the rename fails, nothing else is touched.
    std::filesystem::create_directory(dir / "taken");
    err = replaceFile(dir / "taken", std::string_view("a"));
    ASSERT_TRUE(err);
    EXPECT_FALSE(err->reason.empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken"));
    EXPECT_FALSE(std::filesystem::exists(dir / "taken.part"));
}

TEST(AppendingFile, AFailedRecordIsCutBackAndTheNextOneLands) {
    test::TempDir dir;
    const auto path = dir / "arch.dat";
    AppendingFile file;
    ASSERT_FALSE(file.open(path, AppendingFile::Start::Truncate));
    ASSERT_FALSE(file.writeRecord(std::string_view("AAAA")));
    {
        FaultGuard guard([](const std::filesystem::path&, std::size_t) { return ENOSPC; });
        const auto err = file.writeRecord(std::string_view("BBBBBBBB"));
        ASSERT_TRUE(err);
        EXPECT_EQ(err->reason, systemReason(ENOSPC));
    }
    EXPECT_EQ(file.size(), 4u);
    ASSERT_FALSE(file.writeRecord(std::string_view("CC")));
    ASSERT_FALSE(file.close());
    EXPECT_EQ(readAll(path), "AAAACC");

    // Appending to an existing file starts after what it holds.
    ASSERT_FALSE(file.open(path, AppendingFile::Start::Append));
    EXPECT_EQ(file.size(), 6u);
    ASSERT_FALSE(file.writeRecord(std::string_view("D")));
    file.close();
    EXPECT_EQ(readAll(path), "AAAACCD");
}

TEST(AppendingFile, AFullDeviceIsReportedNotCounted) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this system";
    AppendingFile file;
    ASSERT_FALSE(file.open("/dev/full", AppendingFile::Start::Append));
    const std::vector<std::uint8_t> record(100, 7);
    const auto err = file.writeRecord(record);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->reason, systemReason(ENOSPC));
    EXPECT_EQ(file.size(), 0u);
}

}  // namespace
}  // namespace cvh
