#include "claude_logs/log_roots.h"

#include <gtest/gtest.h>

#include "platform/system.h"

namespace {

std::wstring P(std::initializer_list<const char*> parts) {
    std::filesystem::path path;
    for (const char* part : parts) path /= part;
    return WideFromPath(path);
}

TEST(ClaudeLogRoots, ConfigDirItemsFirstThenHome) {
    const auto roots = ClaudeLogRoots(L"", L"h", L"a,b");
    ASSERT_EQ(roots.size(), 4u);
    EXPECT_EQ(roots[0], P({"a", "projects"}));
    EXPECT_EQ(roots[1], P({"b", "projects"}));
    EXPECT_EQ(roots[2], P({"h", ".claude", "projects"}));
    EXPECT_EQ(roots[3], P({"h", ".config", "claude", "projects"}));
}

TEST(ClaudeLogRoots, UserProfileWinsOverHome) {
    const auto roots = ClaudeLogRoots(L"u", L"h", L"");
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(roots[0], P({"u", ".claude", "projects"}));
}

TEST(ClaudeLogRoots, CommasSplitBlanksTrimmedEmptyItemsDropped) {
    const auto roots = ClaudeLogRoots(L"", L"h", L" a,,b,");
    ASSERT_EQ(roots.size(), 4u);
    EXPECT_EQ(roots[0], P({"a", "projects"}));
    EXPECT_EQ(roots[1], P({"b", "projects"}));  // not "projects" in the current folder
}

TEST(ClaudeLogRoots, NoHomeGivesRelativeRoots) {
    const auto roots = ClaudeLogRoots(L"", L"", L"");
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(roots[0], P({".claude", "projects"}));
    EXPECT_EQ(roots[1], P({".config", "claude", "projects"}));
}

}  // namespace
