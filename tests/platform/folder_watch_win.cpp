// The folder watches the refresh worker relies on to skip its walks, on a real folder tree.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/file_walk.h"
#include "platform/folder_watch.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace {

// The system reports changes a moment after they happen.
FolderChange TakeWithin(FolderWatch& watch, int milliseconds) {
    FolderChange change = watch.Take();
    for (int waited = 0; change == FolderChange::kNone && waited < milliseconds; waited += 20) {
        Sleep(20);
        change = watch.Take();
    }
    return change;
}

TEST(FolderWatch, SeesChangesAnywhereBelowAndNothingElse) {
    TempDir dir;
    const std::filesystem::path root = dir.path() / "projects";
    WriteBytes(root / "deep" / "s.jsonl", "{}\n");
    EXPECT_EQ(WatchFolder(WideFromPath(dir.path() / "missing")), nullptr);

    const auto watch = WatchFolder(WideFromPath(root));
    ASSERT_NE(watch, nullptr);
    // The program walks right after it starts watching; Wine watches a subfolder once listed.
    WalkRegularFiles(WideFromPath(root), [](const std::wstring&, const WalkedFile&) {});
    EXPECT_EQ(TakeWithin(*watch, 200), FolderChange::kNone) << "nothing happened";
    {
        std::ifstream read(root / "deep" / "s.jsonl");  // reading is no change
        std::string line;
        std::getline(read, line);
    }
    EXPECT_EQ(TakeWithin(*watch, 200), FolderChange::kNone) << "a read";

    { std::ofstream(root / "deep" / "s.jsonl", std::ios::app) << "{}\n"; }
    EXPECT_EQ(TakeWithin(*watch, 3000), FolderChange::kChanged) << "an append two levels down";
    Sleep(100);
    while (watch->Take() == FolderChange::kChanged)  // the append's echoes
        Sleep(50);
    EXPECT_EQ(watch->Take(), FolderChange::kNone) << "a change is reported once";

    WriteBytes(root / "new" / "t.jsonl", "{}\n");
    EXPECT_EQ(TakeWithin(*watch, 3000), FolderChange::kChanged) << "a new folder and file";
}

}  // namespace
