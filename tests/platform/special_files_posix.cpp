// Links, folders that cannot be listed and FIFOs: what the POSIX file functions make of them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <set>
#include <vector>

#include "platform/whole_file.h"
#include "platform/file_walk.h"
#include "platform/ini.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace {

TEST(WalkRegularFilesPosix, FollowsLinksToFilesButNotToFolders) {
    TempDir dir;
    WriteBytes(dir.path() / "elsewhere" / "inner.jsonl", "x");
    WriteBytes(dir.path() / "root" / "real.jsonl", "x");
    std::filesystem::create_directory_symlink(dir.path() / "elsewhere", dir.path() / "root" / "dirlink");
    std::filesystem::create_symlink(dir.path() / "elsewhere" / "inner.jsonl",
                                    dir.path() / "root" / "filelink.jsonl");
    std::filesystem::create_symlink(dir.path() / "nowhere", dir.path() / "root" / "dangling.jsonl");
    std::set<std::wstring> seen;
    WalkRegularFiles(dir.File("root"),
                     [&](const std::wstring& path, const WalkedFile&) { seen.insert(path); });
    EXPECT_EQ(seen, (std::set<std::wstring>{dir.File("root/real.jsonl"),
                                            dir.File("root/filelink.jsonl")}));
}

}  // namespace

namespace {

// Makes below `parent` a chain of folders whose full path is longer than the system allows to
// open, and returns a function that removes it again (std::filesystem cannot reach its end).
std::function<void()> MakeTooDeepChain(const std::filesystem::path& parent) {
    const std::string name(200, 'd');
    std::vector<int> fds{::open(parent.c_str(), O_RDONLY | O_DIRECTORY)};
    for (int depth = 0; depth < 24; ++depth) {  // 24 * 201 bytes: past PATH_MAX (4096)
        ::mkdirat(fds.back(), name.c_str(), 0755);
        fds.push_back(::openat(fds.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
    }
    return [fds, name]() mutable {
        ::close(fds.back());
        fds.pop_back();
        while (!fds.empty()) {
            ::unlinkat(fds.back(), name.c_str(), AT_REMOVEDIR);
            ::close(fds.back());
            fds.pop_back();
        }
    };
}

TEST(WalkRegularFilesPosix, AFolderThatCannotBeListedIsSkippedAndReported) {
    TempDir dir;
    std::set<std::wstring> seen, unlisted, expected;
    std::vector<std::function<void()>> cleanups;
    for (const char* sibling : {"a", "b", "c", "d"}) {
        WriteBytes(dir.path() / sibling / "s.jsonl", "x");
        expected.insert(WideFromPath(dir.path() / sibling / "s.jsonl"));
        cleanups.push_back(MakeTooDeepChain(dir.path() / sibling));
    }
    WalkRegularFiles(
        dir.File(""), [&](const std::wstring& path, const WalkedFile&) { seen.insert(path); },
        [&](const std::wstring& folder) { unlisted.insert(folder); });
    for (auto& cleanup : cleanups) cleanup();
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(unlisted.size(), 4u);  // one too-long folder in each sibling
}

}  // namespace

namespace {

// A FIFO where a config file or cache is expected is refused at once instead of blocking until
// some writer appears.
TEST(ReadFilePosix, AFifoIsRefusedWithoutWaiting) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir.path() / "live.ini").c_str(), 0600), 0);
    EXPECT_FALSE(ReadFileIfReadable(dir.File("live.ini")));
    EXPECT_EQ(IniReadString(dir.File("live.ini"), L"l", L"n", L"none", 64), L"none");
}

}  // namespace
