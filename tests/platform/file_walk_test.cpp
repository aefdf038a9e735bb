#include "platform/file_walk.h"

#include <gtest/gtest.h>

#include <ctime>
#include <map>

#include "platform/folder_watch.h"
#include "platform/read_only_file.h"
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

// Project folders nest deep (Claude Code names each after the full path of its project), and the
// desktop app's sessions deeper still: past 260 characters they are walked, listed, watched and
// read all the same, and the walk gives their paths as the program spells them.
TEST(WalkRegularFiles, AFolderNestedPastTheOldPathLimitIsWalkedAndRead) {
    TempDir dir;
    std::filesystem::path deep = dir.path();
    for (int i = 0; i < 10; ++i)
        deep /= std::string(30, 'd') + std::to_string(i);
    std::error_code error;
    std::filesystem::create_directories(deep, error);
    if (error)
        GTEST_SKIP() << "this system cannot make the folders: " << error.message();
    WriteBytes(deep / "a.jsonl", "12345");
    const std::wstring file = WideFromPath(deep / "a.jsonl");
    ASSERT_GT(file.size(), 300u);
    const auto files = Walk(dir.path());
    ASSERT_EQ(files.count(file), 1u);
    EXPECT_EQ(files.at(file).size, 5u);
    EXPECT_TRUE(PathExists(file));
    EXPECT_EQ(ListSubfolders(WideFromPath(deep.parent_path()), 8),
              std::vector<std::wstring>{WideFromPath(deep.filename())});
    ReadOnlyFile read;
    ASSERT_TRUE(read.Open(file));
    char bytes[8] = {};
    EXPECT_EQ(read.Read(bytes, sizeof bytes), 5u);
    EXPECT_EQ(std::string(bytes, 5), "12345");
    EXPECT_NE(WatchFolder(WideFromPath(deep)), nullptr);
}

}  // namespace
