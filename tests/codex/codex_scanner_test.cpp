#include "codex/codex_scanner.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>

#include "core/iso_time.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class CodexScan : public ::testing::Test {
protected:
    TempDir dir;
    fs::path sessions = dir.path() / "sessions";
    CodexScanner scanner;
    int64_t now = ParseIsoTime("2025-09-10T12:00:00Z");

    CodexLimits Scan() {
        return scanner.Scan(WideFromPath(sessions), now, static_cast<int64_t>(std::time(nullptr)));
    }
    static void Append(const fs::path& path, const std::string& bytes) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
    }
    static std::string Event(const std::string& time, double percent, int64_t resetsAt = 0) {
        return R"({"timestamp":")" + time + R"(","type":"event_msg","payload":{"type":"token_count",)"
               R"("rate_limits":{"primary":{"used_percent":)" + std::to_string(percent) +
               R"(,"window_minutes":300,"resets_at":)" + std::to_string(resetsAt) +
               R"(},"secondary":{"used_percent":50,"window_minutes":10080}}}})";
    }
};

TEST_F(CodexScan, NoSessionsFolderIsNotFound) {
    const CodexLimits limits = Scan();
    EXPECT_FALSE(limits.found);
    EXPECT_FALSE(limits.primary.present);
    EXPECT_EQ(limits.updatedAt, 0);
}

TEST_F(CodexScan, AFolderWithoutEventsIsFoundAndEmpty) {
    Append(sessions / "2025" / "09" / "10" / "rollout.jsonl", R"({"type":"session_meta"})" "\n");
    const CodexLimits limits = Scan();
    EXPECT_TRUE(limits.found);
    EXPECT_FALSE(limits.primary.present);
    EXPECT_EQ(limits.updatedAt, 0);
}

TEST_F(CodexScan, TheNewestEventWinsAndTiesGoToTheFirstPath) {
    Append(sessions / "b.jsonl", Event("2025-09-10T10:00:00Z", 20) + "\n");
    Append(sessions / "a.jsonl", Event("2025-09-10T09:00:00Z", 10) + "\n");
    EXPECT_EQ(Scan().primary.usedPercent, 20);
    Append(sessions / "a.jsonl", Event("2025-09-10T10:00:00Z", 30) + "\n");
    EXPECT_EQ(Scan().primary.usedPercent, 30);  // same time as b's: a's path sorts first
    Append(sessions / "b.jsonl", Event("2025-09-10T10:00:00Z", 40) + "\n");
    EXPECT_EQ(Scan().primary.usedPercent, 30);  // still a tie, which a's path wins
    // Within b, the later line of the same time replaced the earlier one.
    EXPECT_EQ(scanner.files().at(WideFromPath(sessions / "b.jsonl")).primary.usedPercent, 40);
    const CodexLimits limits = Scan();
    EXPECT_EQ(limits.updatedAt, ParseIsoTime("2025-09-10T10:00:00Z"));
    EXPECT_EQ(limits.secondary.usedPercent, 50);
    EXPECT_EQ(limits.primary.windowMinutes, 300);
}

TEST_F(CodexScan, ResetWindowsReadZeroButKeepTheirFigures) {
    Append(sessions / "s.jsonl", Event("2025-09-10T11:00:00Z", 60, now) + "\n");
    CodexLimits limits = Scan();
    EXPECT_TRUE(limits.primary.present);
    EXPECT_EQ(limits.primary.usedPercent, 0);  // resets_at <= now
    EXPECT_EQ(limits.primary.resetsAt, now);
    EXPECT_EQ(scanner.files().begin()->second.primary.usedPercent, 60);
    now -= 1;
    EXPECT_EQ(Scan().primary.usedPercent, 60);
}

TEST_F(CodexScan, AnHourOldCountdownOfAnHourHasReset) {
    Append(sessions / "s.jsonl",
           R"({"timestamp":"2025-09-10T11:00:00Z","rate_limits":{"primary":{"used_percent":70,)"
           R"("resets_in_seconds":3600}}})" "\n");
    const CodexLimits limits = Scan();
    EXPECT_EQ(limits.primary.resetsAt, now);
    EXPECT_EQ(limits.primary.usedPercent, 0);
}

TEST_F(CodexScan, SecondaryOnlyAndNullEventsDoNotReplaceAnOlderEvent) {
    Append(sessions / "s.jsonl", Event("2025-09-10T09:00:00Z", 15) + "\n");
    Append(sessions / "s.jsonl",
           R"({"timestamp":"2025-09-10T10:00:00Z","rate_limits":{"primary":null,"secondary":)"
           R"({"used_percent":99}}})" "\n"
           R"({"timestamp":"2025-09-10T10:30:00Z","rate_limits":null})" "\n");
    const CodexLimits limits = Scan();
    EXPECT_EQ(limits.primary.usedPercent, 15);
    EXPECT_EQ(limits.updatedAt, ParseIsoTime("2025-09-10T09:00:00Z"));
}

TEST_F(CodexScan, IncompleteLinesWaitAndEarlierLinesAreNotReadAgain) {
    const fs::path log = sessions / "s.jsonl";
    Append(log, Event("2025-09-10T09:00:00Z", 5) + "\n" + Event("2025-09-10T10:00:00Z", 6));
    EXPECT_EQ(Scan().primary.usedPercent, 5);
    Append(log, "\n");
    EXPECT_EQ(Scan().primary.usedPercent, 6);
    EXPECT_EQ(scanner.files().begin()->second.consumed, fs::file_size(log));
}

TEST_F(CodexScan, ATruncatedFileIsReadAgainButKeepsItsEventTime) {
    const fs::path log = sessions / "s.jsonl";
    Append(log, Event("2025-09-10T10:00:00Z", 5) + "\n" + Event("2025-09-10T10:05:00Z", 6) + "\n");
    EXPECT_EQ(Scan().primary.usedPercent, 6);
    { std::ofstream(log, std::ios::binary | std::ios::trunc) << Event("2025-09-10T10:01:00Z", 7) + "\n"; }
    EXPECT_EQ(Scan().primary.usedPercent, 6);  // older than what the file already said
    Append(log, Event("2025-09-10T10:06:00Z", 8) + "\n");
    EXPECT_EQ(Scan().primary.usedPercent, 8);
}

TEST_F(CodexScan, QuietAndDeletedFilesStillCompete) {
    const fs::path log = sessions / "old.jsonl";
    Append(log, Event("2025-09-10T10:00:00Z", 33) + "\n");
    EXPECT_EQ(Scan().primary.usedPercent, 33);
    fs::last_write_time(log, fs::file_time_type::clock::now() - std::chrono::seconds(691200 + 60));
    EXPECT_EQ(Scan().primary.usedPercent, 33);
    fs::remove(log);
    EXPECT_EQ(Scan().primary.usedPercent, 33);
    EXPECT_EQ(scanner.files().size(), 1u);
}

TEST_F(CodexScan, OldFilesAreNotOpened) {
    const fs::path log = sessions / "old.jsonl";
    Append(log, Event("2025-09-10T10:00:00Z", 33) + "\n");
    fs::last_write_time(log, fs::file_time_type::clock::now() - std::chrono::seconds(691200 + 60));
    EXPECT_FALSE(Scan().primary.present);
}

TEST(CodexSessionsFolder, CodexHomeWinsThenProfileThenHome) {
    const auto join = [](std::initializer_list<const char*> parts) {
        fs::path path;
        for (const char* part : parts) path /= part;
        return WideFromPath(path);
    };
    EXPECT_EQ(CodexSessionsFolder(L"ch", L"up", L"h"), join({"ch", "sessions"}));
    EXPECT_EQ(CodexSessionsFolder(L"", L"up", L"h"), join({"up", ".codex", "sessions"}));
    EXPECT_EQ(CodexSessionsFolder(L"", L"", L"h"), join({"h", ".codex", "sessions"}));
    EXPECT_EQ(CodexSessionsFolder(L"", L"", L""), join({".codex", "sessions"}));
}

// Several buckets in one stream: only the account's feeds the windows, however new a model's
// event; each model bucket is its own row with its newest figures.
TEST_F(CodexScan, AModelsBucketNeverReplacesTheAccountsFigures) {
    const auto event = [](const std::string& time, double percent, const std::string& bucket) {
        return R"({"timestamp":")" + time + R"(","type":"event_msg","payload":{"type":"token_count",)"
               R"("rate_limits":{)" + bucket + R"("primary":{"used_percent":)" + std::to_string(percent) +
               R"(,"window_minutes":300},"secondary":null}}})" "\n";
    };
    const std::string spark = R"("limit_id":"codex_bengalfox","limit_name":"GPT-5.3-Codex-Spark",)";
    Append(sessions / "a.jsonl", event("2025-09-10T10:00:00Z", 40, R"("limit_id":"codex",)"));
    Append(sessions / "a.jsonl", event("2025-09-10T10:05:00Z", 3, spark));
    Append(sessions / "b.jsonl", event("2025-09-10T10:01:00Z", 7, spark));
    Append(sessions / "b.jsonl", event("2025-09-10T10:06:00Z", 9, R"("limit_id":"codex_other",)"));
    CodexLimits limits = Scan();
    EXPECT_DOUBLE_EQ(limits.primary.usedPercent, 40);
    EXPECT_FALSE(limits.secondary.present);
    EXPECT_EQ(limits.updatedAt, ParseIsoTime("2025-09-10T10:00:00Z"));
    ASSERT_EQ(limits.buckets.size(), 2u);
    EXPECT_EQ(limits.buckets[0].label, L"GPT-5.3-Codex-Spark");  // by label
    EXPECT_DOUBLE_EQ(limits.buckets[0].primary.usedPercent, 3);  // the bucket's newest
    EXPECT_EQ(limits.buckets[1].label, L"codex_other");          // no name: its id

    // Older Codex names no bucket: its events are the account's.
    Append(sessions / "a.jsonl", event("2025-09-10T11:00:00Z", 55, ""));
    limits = Scan();
    EXPECT_DOUBLE_EQ(limits.primary.usedPercent, 55);
    EXPECT_EQ(limits.buckets.size(), 2u);
}

TEST_F(CodexScan, ABucketsLaterLineWithTheSameTimeWinsAsTheAccountsDoes) {
    const auto event = [](const std::string& time, double percent) {
        return R"({"timestamp":")" + time +
               R"(","rate_limits":{"limit_id":"codex_bengalfox",)"
               R"("primary":{"used_percent":)" +
               std::to_string(percent) +
               R"(}}})"
               "\n";
    };
    const fs::path log = sessions / "s.jsonl";
    Append(log, event("2025-09-10T10:00:00Z", 11) + event("2025-09-10T10:00:00Z", 12));
    CodexLimits limits = Scan();
    ASSERT_EQ(limits.buckets.size(), 1u);
    EXPECT_DOUBLE_EQ(limits.buckets[0].primary.usedPercent, 12);  // the same scan
    Append(log, event("2025-09-10T10:00:00Z", 13));
    limits = Scan();
    ASSERT_EQ(limits.buckets.size(), 1u);
    EXPECT_DOUBLE_EQ(limits.buckets[0].primary.usedPercent, 13);  // a later scan
    Append(log, event("2025-09-10T09:59:59Z", 14));               // one second older: kept out
    limits = Scan();
    ASSERT_EQ(limits.buckets.size(), 1u);
    EXPECT_DOUBLE_EQ(limits.buckets[0].primary.usedPercent, 13);
}

TEST_F(CodexScan, ForeignBucketNamesAreKeptShortAndPrintable) {
    EXPECT_EQ(CodexBucketLabel("", "codex_x"), L"codex_x");
    EXPECT_EQ(CodexBucketLabel("a\x01" "b\x7f", "id"), L"ab");
    EXPECT_EQ(CodexBucketLabel(std::string(500, 'm'), "id").size(), kMaxBucketLabelChars);
    std::string many;
    for (int i = 0; i < 20; ++i) {
        many += R"({"timestamp":"2025-09-10T10:00:00Z","rate_limits":{"limit_id":"m)" +
                std::to_string(i) + R"(","primary":{"used_percent":1}}})" "\n";
    }
    Append(sessions / "a.jsonl", many);
    EXPECT_EQ(Scan().buckets.size(), kMaxBucketsPerFile);
}

}  // namespace
