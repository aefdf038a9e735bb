#include "claude_logs/scan.h"

#include <gtest/gtest.h>

#include "core/iso_time.h"
#include "platform/system.h"
#include "support/claude_lines.h"
#include "support/temp_dir.h"

namespace {

TEST(ScanClaudeLogs, UsesTheEnvironmentsRootsAndRaisesTheSettingsLargestBlock) {
    TempDir dir;
    const std::string config = (dir.path() / "cfg").string();
    SetEnvironment("CLAUDE_CONFIG_DIR", (config + ",").c_str());
    const ScopedEnvironment profile(kProfileVariable, (dir.path() / "home").string().c_str());
    AssistantReply reply;
    reply.in = 1000;
    reply.out = reply.cacheWrite = reply.cacheRead = 0;
    reply.timestamp = "2025-03-01T01:00:00Z";
    WriteBytes(dir.path() / "cfg" / "projects" / "app" / "s.jsonl", AssistantLine(reply) + "\n");

    ClaudeLogScanner scanner;
    AtomicDouble maxblock = 0;
    const ClaudeLogSummary summary =
        ScanClaudeLogs(scanner, ParseIsoTime("2025-03-01T12:00:00Z"), maxblock);
    EXPECT_TRUE(summary.found);
    EXPECT_FALSE(summary.active);
    ASSERT_EQ(summary.blocks.size(), 1u);
    EXPECT_EQ(maxblock.Load(), 1000);

    SetEnvironment("CLAUDE_CONFIG_DIR", nullptr);
}

// A folder watch that reports what the test says, once.
struct ScriptedWatch : FolderWatch {
    explicit ScriptedWatch(FolderChange& next) : next(next) {}
    FolderChange Take() override { return std::exchange(next, FolderChange::kNone); }
    FolderChange& next;
};

// A cycle in which no log changed walks nothing and reads nothing, yet what depends on the clock
// moves on: the block that ran at 14:58 has ended at 15:01. A change signal brings one walk.
TEST(ScanClaudeRoots, AQuietCycleWalksNothingButTheClockStillMovesTheFigures) {
    TempDir dir;
    AssistantReply reply;
    reply.timestamp = "2025-03-01T10:15:30Z";
    std::string log = AssistantLine(reply) + "\n";
    WriteBytes(dir.path() / "p" / "s.jsonl", log);
    int walks = 0;
    ClaudeLogScanner scanner(
        [&](const std::wstring& root, const VisitFile& visit, const VisitUnlisted& unlisted) {
            ++walks;
            WalkRegularFiles(root, visit, unlisted);
        });
    FolderChange next = FolderChange::kNone;
    WalkGate gate([&](const std::wstring&) { return std::make_unique<ScriptedWatch>(next); });
    AtomicDouble maxblock = 0;
    const std::vector<std::wstring> roots{WideFromPath(dir.path())};
    const auto cycle = [&](const char* iso) {
        const int64_t now = ParseIsoTime(iso);
        return ScanClaudeRoots(scanner, roots, now, now, maxblock, &gate);
    };

    EXPECT_TRUE(cycle("2025-03-01T14:58:00Z").active);
    EXPECT_EQ(walks, 1);
    const ClaudeLogSummary later = cycle("2025-03-01T15:01:00Z");
    EXPECT_EQ(walks, 1) << "no change, no walk";
    EXPECT_FALSE(later.active) << "the block ended on the clock alone";
    EXPECT_EQ(later.blocks.size(), 1u);
    EXPECT_EQ(maxblock.Load(), 60);  // the ended block raised the largest block

    reply.messageId = "msg_2";
    reply.timestamp = "2025-03-01T15:02:00Z";
    log += AssistantLine(reply) + "\n";  // Claude Code appends
    WriteBytes(dir.path() / "p" / "s.jsonl", log);
    next = FolderChange::kChanged;
    EXPECT_TRUE(cycle("2025-03-01T15:02:30Z").active);
    EXPECT_EQ(walks, 2);
    EXPECT_EQ(scanner.lastScanStats().filesOpened, 1u);
}

}  // namespace
