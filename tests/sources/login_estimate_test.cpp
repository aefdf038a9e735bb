// Each login's own estimate from the shared scan: with one login it is the combined estimate,
// with several each counts its own files, and a quiet cycle or time moving on keeps it right.
#include "sources/login_estimate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <tuple>

#include "core/iso_time.h"
#include "core/log_files.h"
#include "platform/system.h"
#include "support/claude_lines.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string Reply(const std::string& id, const std::string& time, double in = 100) {
    AssistantReply reply;
    reply.messageId = id;
    reply.requestId = id.empty() ? "" : "req_" + id;
    reply.timestamp = time;
    reply.in = in;
    return AssistantLine(reply) + "\n";
}

void Append(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

using RecordKey = std::tuple<int64_t, double, uint64_t, uint64_t>;

std::vector<RecordKey> Keys(const std::vector<ClaudeLogRecord>& records) {
    std::vector<RecordKey> keys;
    for (const ClaudeLogRecord& r : records) {
        keys.emplace_back(r.time, r.tokens, r.dedupKey.high, r.dedupKey.low);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

void ExpectSameSummary(const ClaudeLogSummary& a, const ClaudeLogSummary& b) {
    EXPECT_EQ(a.found, b.found);
    EXPECT_EQ(a.active, b.active);
    EXPECT_EQ(a.percent, b.percent);
    EXPECT_EQ(a.dailyTokens, b.dailyTokens);
    ASSERT_EQ(a.blocks.size(), b.blocks.size());
    for (size_t i = 0; i < a.blocks.size(); ++i) {
        EXPECT_EQ(a.blocks[i].start, b.blocks[i].start);
        EXPECT_EQ(a.blocks[i].tokens, b.blocks[i].tokens);
        EXPECT_EQ(a.blocks[i].messages, b.blocks[i].messages);
    }
}

struct TwoLogins : ::testing::Test {
    TempDir dir;
    std::wstring a = WideFromPath(dir.path() / "a" / "projects");
    std::wstring b = WideFromPath(dir.path() / "b" / "projects");
    ClaudeLogScanner scanner;
    int64_t clock = static_cast<int64_t>(std::time(nullptr));

    void SetUp() override {
        // One reply is in both folders: its later copy sorts after its first by path.
        Append(dir.path() / "a/projects/p/1.jsonl",
               Reply("r1", "2025-03-01T01:00:00Z") + Reply("r2", "2025-03-01T01:01:00Z") +
                   Reply("twin", "2025-03-01T01:02:00Z") + Reply("r1", "2025-03-01T01:03:00Z"));
        Append(dir.path() / "b/projects/q/2.jsonl",
               Reply("twin", "2025-03-01T01:30:00Z") + Reply("r3", "2025-03-01T08:00:00Z", 900) +
                   Reply("", "2025-03-01T08:01:00Z") + Reply("", "2025-03-01T08:01:00Z"));
        // Beside the folder, not in it: a root's name is no prefix of its files.
        Append(dir.path() / "a/projects2/x.jsonl", Reply("other", "2025-03-01T01:00:00Z"));
    }
    Login ClaudeLogin(std::vector<std::wstring> roots) {
        Login login;
        login.claudeRoots = std::move(roots);
        return login;
    }
    std::vector<std::wstring> All() const {
        return {a, b, WideFromPath(dir.path() / "a" / "projects2")};
    }
};

TEST_F(TwoLogins, OneLoginOverEveryRootIsTheCombinedEstimate) {
    for (const int64_t now :
         {ParseIsoTime("2025-03-01T09:00:00Z"), ParseIsoTime("2025-03-01T14:00:00Z")}) {
        SCOPED_TRACE(now);
        const ClaudeLogSelection& all = scanner.Scan(All(), now, clock);
        AtomicDouble combinedMax, loginMax;
        const ClaudeLogSummary combined =
            SummarizeClaudeUsage(all.found, all.records, now, combinedMax);
        LoginRecords records;
        EXPECT_EQ(Keys(records.Select(scanner, All(), now).records), Keys(all.records));
        ExpectSameSummary(EstimateLogin(records, scanner, ClaudeLogin(All()), now, loginMax),
                          combined);
        EXPECT_EQ(loginMax.Load(), combinedMax.Load());
    }
}

TEST_F(TwoLogins, EachLoginCountsItsOwnFilesWithItsOwnLargestBlock) {
    const int64_t now = ParseIsoTime("2025-03-01T12:00:00Z");
    scanner.Scan(All(), now, clock);
    struct Case {
        const char* what;
        std::vector<std::wstring> roots;
        size_t records;
        double maxblock;
    };
    const std::vector<Case> cases = {
        {"the first folder: a reply twice in one file counts once", {a}, 3, 3 * 150},
        {"the second folder: its copy of the shared reply is its own", {b}, 4, 150},
        {"both", {a, b}, 6, 3 * 150},
        {"no folder of the scan", {WideFromPath(dir.path() / "c")}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoginRecords records;
        AtomicDouble maxblock;
        const ClaudeLogSummary summary =
            EstimateLogin(records, scanner, ClaudeLogin(c.roots), now, maxblock);
        EXPECT_EQ(records.Select(scanner, c.roots, now).records.size(), c.records);
        EXPECT_EQ(maxblock.Load(), c.maxblock);
        EXPECT_EQ(summary.found, c.records > 0);
    }
}

TEST_F(TwoLogins, NewRecordsAndTimeMovingOnKeepTheSelectionRight) {
    int64_t now = ParseIsoTime("2025-03-01T12:00:00Z");
    scanner.Scan(All(), now, clock);
    LoginRecords records;
    ASSERT_EQ(records.Select(scanner, {a, b}, now).records.size(), 6u);
    // A quiet cycle: the same selection.
    scanner.Scan(All(), now, clock);
    EXPECT_EQ(records.Select(scanner, {a, b}, now).records.size(), 6u);
    // A new reply.
    Append(dir.path() / "b/projects/q/2.jsonl", Reply("r4", "2025-03-01T09:00:00Z"));
    scanner.Scan(All(), now, clock);
    EXPECT_EQ(records.Select(scanner, {a, b}, now).records.size(), 7u);
    // Other roots: chosen afresh.
    EXPECT_EQ(records.Select(scanner, {a}, now).records.size(), 3u);
    // Eight days on, the first folder's replies cross the line; the shared reply's later copy
    // takes its place, as in the combined selection.
    const std::vector<std::wstring> all = All();
    records.Select(scanner, all, now);
    for (const char* at :
         {"2025-03-09T01:02:30Z", "2025-03-09T01:30:30Z", "2025-03-09T08:00:30Z"}) {
        SCOPED_TRACE(at);
        now = ParseIsoTime(at);
        EXPECT_EQ(Keys(records.Select(scanner, all, now).records),
                  Keys(scanner.Reselect(now).records));
    }
}

TEST(LoginCodex, EachLoginHasTheNewestFiguresOfItsOwnFolders) {
    TempDir dir;
    const auto event = [](const std::string& time, double percent) {
        return R"({"timestamp":")" + time +
               R"(","type":"event_msg","payload":{"type":"token_count",)"
               R"("rate_limits":{"primary":{"used_percent":)" +
               std::to_string(percent) +
               R"(,"window_minutes":300,"resets_at":0}}}})"
               "\n";
    };
    Append(dir.path() / "one/sessions/s1.jsonl", event("2025-03-01T10:00:00Z", 10));
    Append(dir.path() / "two/sessions/s2.jsonl", event("2025-03-01T11:00:00Z", 20));
    const std::wstring one = WideFromPath(dir.path() / "one" / "sessions");
    const std::wstring two = WideFromPath(dir.path() / "two" / "sessions");
    const int64_t now = ParseIsoTime("2025-03-01T12:00:00Z");
    CodexScanner scanner;
    const CodexLimits all = scanner.Scan({one, two}, now, static_cast<int64_t>(std::time(nullptr)));
    struct Case {
        std::vector<std::wstring> folders;
        bool found;
        double percent;
    };
    const std::vector<Case> cases = {
        {{one}, true, 10},
        {{two}, true, 20},
        {{one, two}, true, 20},
        {{WideFromPath(dir.path() / "none")}, false, 0},
    };
    for (const Case& c : cases) {
        Login login;
        login.tool = LoginTool::kCodex;
        login.codexFolders = c.folders;
        const CodexLimits limits = CodexLimitsOfLogin(scanner, login, now);
        EXPECT_EQ(limits.found, c.found);
        EXPECT_EQ(limits.primary.usedPercent, c.percent);
    }
    Login both;
    both.codexFolders = {one, two};
    const CodexLimits mine = CodexLimitsOfLogin(scanner, both, now);
    EXPECT_EQ(mine.updatedAt, all.updatedAt);
    EXPECT_EQ(mine.primary.usedPercent, all.primary.usedPercent);
    EXPECT_EQ(mine.primary.windowMinutes, all.primary.windowMinutes);
}

}  // namespace
