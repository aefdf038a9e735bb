#include "claude_logs/scan.h"

#include <gtest/gtest.h>

#include "core/iso_time.h"
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

}  // namespace
