#include "core/walk_gate.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Folders as the fake watcher sees them: whether each exists, and what its watch says next.
struct FakeFolders {
    struct Folder {
        bool exists = true;
        FolderChange next = FolderChange::kNone;
    };
    std::map<std::wstring, Folder> folders;
    int watchesMade = 0;

    WalkGate::Watcher Watcher() {
        return [this](const std::wstring& path) -> std::unique_ptr<FolderWatch> {
            if (!folders[path].exists)
                return nullptr;
            ++watchesMade;
            return std::make_unique<Watch>(folders[path]);
        };
    }
    struct Watch : FolderWatch {
        explicit Watch(Folder& folder) : folder(folder) {}
        FolderChange Take() override { return std::exchange(folder.next, FolderChange::kNone); }
        Folder& folder;
    };
};

TEST(WalkGate, WalksOnlyOnAChangeAnArrivalOrTheTenMinuteMark) {
    FakeFolders fake;
    WalkGate gate(fake.Watcher());
    const std::vector<std::wstring> roots{L"a", L"b"};
    fake.folders[L"b"].exists = false;
    struct Step {
        const char* what;
        int64_t now;
        std::function<void()> before;
        bool due;
    };
    const auto change = [&](const wchar_t* root, FolderChange c) {
        return [&fake, root, c] { fake.folders[root].next = c; };
    };
    const auto exist = [&](const wchar_t* root, bool exists) {
        return [&fake, root, exists] { fake.folders[root].exists = exists; };
    };
    const Step steps[] = {
        {"the first cycle", 1000, nullptr, true},
        {"nothing changed", 1045, nullptr, false},
        {"a change below a", 1090, change(L"a", FolderChange::kChanged), true},
        {"that change is taken", 1135, nullptr, false},
        {"a second before the mark", 1599, nullptr, false},
        {"ten minutes after the last full walk", 1600, nullptr, true},
        {"b appears", 1700, exist(L"b", true), true},
        {"b is watched now", 1745, nullptr, false},
        {"a change below b", 1790, change(L"b", FolderChange::kChanged), true},
        {"a's watch is lost (a went)", 1800,
         [&] {
             change(L"a", FolderChange::kLost)();
             exist(L"a", false)();
         },
         true},
        {"a is still gone", 1845, nullptr, false},
        {"the clock went back", 1500, nullptr, true},
        {"a comes back", 1510, exist(L"a", true), true},
        {"quiet again", 1555, nullptr, false},
    };
    for (const Step& step : steps) {
        if (step.before)
            step.before();
        EXPECT_EQ(gate.WalkDue(roots, step.now), step.due) << step.what;
    }
    EXPECT_EQ(fake.watchesMade, 3);  // a, b, and a again once it came back

    // Root by root: only the one whose watch saw a change, until the ten-minute mark takes all.
    fake.folders[L"b"].next = FolderChange::kChanged;
    EXPECT_EQ(gate.RootsDue(roots, 1560), (std::vector<bool>{false, true}));
    EXPECT_EQ(gate.RootsDue(roots, 1605), (std::vector<bool>{false, false}));
    EXPECT_EQ(gate.RootsDue(roots, 1500 + 600), (std::vector<bool>{true, true}));
    gate.WalkAgain(L"a");  // walked, not read to its end
    EXPECT_EQ(gate.RootsDue(roots, 2145), (std::vector<bool>{true, false}));
    EXPECT_EQ(gate.RootsDue(roots, 2190), (std::vector<bool>{false, false}));

    EXPECT_TRUE(gate.WalkDue({L"a"}, 1600)) << "other roots";
    EXPECT_FALSE(gate.WalkDue({L"a"}, 1645));
    gate.WalkFailed();
    EXPECT_TRUE(gate.WalkDue({L"a"}, 1690)) << "after a walk that failed";
}

}  // namespace
