#include "platform/file_walk.h"

#include <gtest/gtest.h>

#include <ctime>
#include <map>

#include "platform/system.h"
#include "support/temp_dir.h"

namespace {

std::map<std::wstring, WalkedFile> Walk(const std::filesystem::path& root) {
    std::map<std::wstring, WalkedFile> files;
    WalkRegularFiles(WideFromPath(root), [&](const std::wstring& path, const WalkedFile& file) {
        files[path] = file;
    });
    return files;
}

TEST(WalkRegularFiles, VisitsEveryFileWithSizeAndTime) {
    TempDir dir;
    WriteBytes(dir.path() / "a.jsonl", "12345");
    WriteBytes(dir.path() / "sub" / "deeper" / "b.txt", "");
    std::filesystem::create_directories(dir.path() / "empty");
    const auto files = Walk(dir.path());
    ASSERT_EQ(files.size(), 2u);
    const WalkedFile& a = files.at(dir.File("a.jsonl"));
    EXPECT_EQ(a.size, 5u);
    EXPECT_LE(std::abs(a.lastWriteTime - static_cast<int64_t>(std::time(nullptr))), 5);
    EXPECT_EQ(files.count(WideFromPath(dir.path() / "sub" / "deeper" / "b.txt")), 1u);
}

TEST(WalkRegularFiles, AMissingOrFileRootGivesNothing) {
    TempDir dir;
    EXPECT_TRUE(Walk(dir.path() / "missing").empty());
    WriteBytes(dir.path() / "file", "x");
    EXPECT_TRUE(Walk(dir.path() / "file").empty());
    EXPECT_TRUE(PathExists(dir.File("file")));
    EXPECT_FALSE(PathExists(dir.File("missing")));
}

TEST(WalkRegularFiles, ReportsTheSetModificationTime) {
    TempDir dir;
    WriteBytes(dir.path() / "old.jsonl", "x");
    const auto eightDays = std::chrono::seconds(691200 + 60);
    std::filesystem::last_write_time(dir.path() / "old.jsonl",
                                     std::filesystem::file_time_type::clock::now() - eightDays);
    const auto files = Walk(dir.path());
    const int64_t expected = static_cast<int64_t>(std::time(nullptr)) - 691260;
    EXPECT_LE(std::abs(files.at(dir.File("old.jsonl")).lastWriteTime - expected), 5);
}

}  // namespace
