// Links: files behind links are read, folders behind links are not entered.
#include <gtest/gtest.h>

#include <set>

#include "platform/file_walk.h"
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
