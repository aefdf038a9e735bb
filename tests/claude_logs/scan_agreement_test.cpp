// The scanners against the plainest reading of the same files: each file read whole, split at
// every newline, each line searched with std::string_view::find and parsed on its own. Every
// faster way of reading (block searches, chunked reads, two readers, incremental reads) must
// give exactly what this gives, over the sample home, the fuzz targets' seeds and a generated
// corpus full of awkward lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "claude_logs/log_scanner.h"
#include "claude_logs/usage_summary.h"
#include "codex/codex_event.h"
#include "codex/codex_scanner.h"
#include "core/iso_time.h"
#include "core/log_files.h"
#include "platform/system.h"
#include "support/claude_lines.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const int64_t kNow = ParseIsoTime("2025-03-01T12:00:00Z");

std::string IsoText(int64_t t) {
    const int64_t days = (t >= 0 ? t : t - 86399) / 86400;
    const int64_t secondOfDay = t - days * 86400;
    // Howard Hinnant's civil_from_days.
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char text[160];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld.%03lldZ",
                  static_cast<long long>(year), static_cast<long long>(month),
                  static_cast<long long>(day), static_cast<long long>(secondOfDay / 3600),
                  static_cast<long long>(secondOfDay / 60 % 60),
                  static_cast<long long>(secondOfDay % 60), static_cast<long long>(t % 1000));
    return text;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The sample home's files name their times relative to now as "@T-<seconds>@".
std::string WithTimes(std::string text, int64_t now) {
    for (size_t at = text.find("@T-"); at != std::string::npos; at = text.find("@T-", at)) {
        const size_t end = text.find('@', at + 3);
        if (end == std::string::npos)
            break;
        const int64_t ago = std::stoll(text.substr(at + 3, end - at - 3));
        text.replace(at, end + 1 - at, IsoText(now - ago));
    }
    return text;
}

// The complete lines of a file (bytes after the last newline wait for it), without newlines.
std::vector<std::string_view> CompleteLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t newline = text.find('\n'); newline != std::string_view::npos;
         newline = text.find('\n', start)) {
        if (newline - start <= kMaxLogLineBytes)
            lines.push_back(text.substr(start, newline - start));
        start = newline + 1;
    }
    return lines;
}

// The files a scanner reads below `root`, in the order of its per-file memory.
std::vector<fs::path> LogFiles(const fs::path& root) {
    std::map<std::wstring, fs::path> byPath;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::wstring path = WideFromPath(entry.path());
        if (entry.is_regular_file() && HasJsonlExtension(path) && !IsAuditLog(path)) {
            byPath[path] = entry.path();
        }
    }
    std::vector<fs::path> files;
    for (const auto& [key, path] : byPath)
        files.push_back(path);
    return files;
}

// What a Claude scan selects, by the plainest means: every record of the 8 days before `now`,
// the first of each id in path order.
std::vector<ClaudeLogRecord> PlainClaudeSelection(const fs::path& root, int64_t now) {
    std::vector<ClaudeLogRecord> kept;
    std::set<std::pair<uint64_t, uint64_t>> seen;
    for (const fs::path& file : LogFiles(root)) {
        const std::string text = ReadAll(file);
        for (const std::string_view line : CompleteLines(text)) {
            const size_t usage = line.find(kUsageKey);
            ClaudeLogRecord record;
            if (usage == std::string_view::npos || !ParseClaudeUsageLine(line, usage, record)) {
                continue;
            }
            if (record.time < now - kLogLookbackSeconds)
                continue;
            if (!record.dedupKey.empty() &&
                !seen.insert({record.dedupKey.high, record.dedupKey.low}).second) {
                continue;
            }
            kept.push_back(record);
        }
    }
    return kept;
}

// One order for records that compare equal in time, so that sums run in the same order.
void Canonical(std::vector<ClaudeLogRecord>& records) {
    std::sort(records.begin(), records.end(),
              [](const ClaudeLogRecord& a, const ClaudeLogRecord& b) {
                  if (a.time != b.time)
                      return a.time < b.time;
                  if (a.tokens != b.tokens)
                      return a.tokens < b.tokens;
                  if (a.cost != b.cost)
                      return a.cost < b.cost;
                  if (a.dedupKey.high != b.dedupKey.high)
                      return a.dedupKey.high < b.dedupKey.high;
                  return a.dedupKey.low < b.dedupKey.low;
              });
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void ExpectSameRecords(std::vector<ClaudeLogRecord> scanned, std::vector<ClaudeLogRecord> plain,
                       const std::string& what) {
    Canonical(scanned);
    Canonical(plain);
    ASSERT_EQ(scanned.size(), plain.size()) << what;
    for (size_t i = 0; i < plain.size(); ++i) {
        const ClaudeLogRecord& a = scanned[i];
        const ClaudeLogRecord& b = plain[i];
        ASSERT_TRUE(a.time == b.time && SameBits(a.tokens, b.tokens) && SameBits(a.cost, b.cost) &&
                    a.dedupKey == b.dedupKey && a.costEstimated == b.costEstimated)
            << what << ": record " << i << " of " << plain.size();
    }
    AtomicDouble maxA, maxB;
    const ClaudeLogSummary x =
        SummarizeClaudeUsage(true, scanned, plain.empty() ? kNow : plain.back().time, maxA);
    const ClaudeLogSummary y =
        SummarizeClaudeUsage(true, plain, plain.empty() ? kNow : plain.back().time, maxB);
    ASSERT_EQ(x.blocks.size(), y.blocks.size()) << what;
    for (size_t i = 0; i < x.blocks.size(); ++i) {
        EXPECT_TRUE(x.blocks[i].start == y.blocks[i].start &&
                    x.blocks[i].lastMessageAt == y.blocks[i].lastMessageAt &&
                    SameBits(x.blocks[i].tokens, y.blocks[i].tokens) &&
                    SameBits(x.blocks[i].cost, y.blocks[i].cost) &&
                    x.blocks[i].messages == y.blocks[i].messages &&
                    x.blocks[i].costEstimated == y.blocks[i].costEstimated)
            << what << ": block " << i;
    }
    EXPECT_EQ(x.dailyTokens, y.dailyTokens) << what;
    EXPECT_TRUE(SameBits(x.percent, y.percent)) << what;
    EXPECT_TRUE(SameBits(maxA.Load(), maxB.Load())) << what;
}

// The newest time of any line that parses, as the `now` that keeps every record.
int64_t NewestRecord(const fs::path& root) {
    int64_t newest = 0;
    for (const fs::path& file : LogFiles(root)) {
        const std::string text = ReadAll(file);
        for (const std::string_view line : CompleteLines(text)) {
            ClaudeLogRecord record;
            if (ParseClaudeLogLine(line, record))
                newest = std::max(newest, record.time);
        }
    }
    return newest;
}

// What a Codex scan remembers of each file, by the plainest means.
struct PlainCodexFile {
    int64_t eventTime = 0;
    CodexWindow primary, secondary;
    std::map<std::string, int64_t> bucketTimes;
};

bool SameWindow(const CodexWindow& a, const CodexWindow& b) {
    return a.present == b.present && SameBits(a.usedPercent, b.usedPercent) &&
           a.windowMinutes == b.windowMinutes && a.resetsAt == b.resetsAt;
}

void ExpectCodexAgrees(const fs::path& sessions, const CodexScanner& scanner) {
    std::map<std::wstring, PlainCodexFile> plain;
    for (const fs::path& file : LogFiles(sessions)) {
        PlainCodexFile& state = plain[WideFromPath(file)];
        const std::string text = ReadAll(file);
        for (const std::string_view line : CompleteLines(text)) {
            const size_t at = line.find(kRateLimitsKey);
            CodexEvent event;
            if (at == std::string_view::npos || !ParseCodexEventLine(line, at, event))
                continue;
            if (!IsAccountBucket(event.limitId)) {
                const std::string id(event.limitId.substr(0, kMaxBucketIdBytes));
                const auto known = state.bucketTimes.find(id);
                if (known != state.bucketTimes.end()) {
                    known->second = std::max(known->second, event.time);
                } else if (state.bucketTimes.size() < kMaxBucketsPerFile) {
                    state.bucketTimes[id] = event.time;
                }
            } else if (event.time >= state.eventTime) {
                state.eventTime = event.time;
                state.primary = event.primary;
                state.secondary = event.secondary;
            }
        }
    }
    ASSERT_EQ(scanner.files().size(), plain.size());
    for (const auto& [path, expected] : plain) {
        const CodexFileState& state = scanner.files().at(path);
        EXPECT_EQ(state.eventTime, expected.eventTime) << PathFromWide(path).string();
        EXPECT_TRUE(SameWindow(state.primary, expected.primary)) << PathFromWide(path).string();
        EXPECT_TRUE(SameWindow(state.secondary, expected.secondary)) << PathFromWide(path).string();
        std::map<std::string, int64_t> buckets;
        for (const CodexBucket& bucket : state.buckets)
            buckets[bucket.id] = bucket.time;
        EXPECT_EQ(buckets, expected.bucketTimes) << PathFromWide(path).string();
    }
}

// A generated corpus of awkward lines: replies with and without ids, repeated ids, spaced keys,
// "usage" keys in tool output before the reply's own, CRLF endings, blank and broken lines,
// lines longer than a read chunk, unknown models, old records, and files that end mid-line.
class Corpus {
public:
    explicit Corpus(uint32_t seed) : random_(seed) {}

    std::string Line() {
        switch (Below(14)) {
            case 0:
                return UserLine(IsoText(Time()));
            case 1:
                return "";
            case 2:
                return "{\"type\":\"summary\",\"summary\":\"usage\\\"\"}";
            case 3: {  // a tool result quoting another program's usage object first
                std::string reply = Reply();
                const size_t message = reply.find("\"message\"");
                return reply.insert(message, "\"toolUseResult\":{\"usage\":{\"input_tokens\":7}},");
            }
            case 4: {  // the spaced form of every key
                std::string reply = Reply();
                for (size_t at = reply.find("\":"); at != std::string::npos;
                     at = reply.find("\":", at + 3)) {
                    reply.insert(at + 2, " ");
                }
                return reply;
            }
            case 5: {  // cut anywhere
                const std::string reply = Reply();
                return reply.substr(0, Below(static_cast<int>(reply.size())));
            }
            case 6: {  // a reply with a long text, often longer than a read chunk
                std::string reply = Reply();
                const size_t text = reply.find("Done.");
                reply.insert(text, std::string(static_cast<size_t>(Below(400000)), 'x'));
                return reply;
            }
            case 7:
                return Reply() + "\r";
            case 8: {  // ledger-style split of cache writes
                std::string reply = Reply();
                const size_t at = reply.find("\"output_tokens\"");
                return reply.insert(
                    at, "\"cache_creation\":{\"ephemeral_5m_input_tokens\":" +
                            std::to_string(Below(5000)) +
                            ",\"ephemeral_1h_input_tokens\":" + std::to_string(Below(5000)) + "},");
            }
            case 9: {  // a byte changed anywhere
                std::string reply = Reply();
                reply[static_cast<size_t>(Below(static_cast<int>(reply.size())))] =
                    "\"{}:, \\0x\n"[Below(10)];
                return reply;
            }
            default:
                return Reply();
        }
    }

    // One file's text, which may end without a newline.
    std::string File() {
        std::string text;
        const int lines = Below(60);
        for (int i = 0; i < lines; ++i)
            text += Line() + "\n";
        if (Below(4) == 0)
            text += Line();
        return text;
    }

private:
    int Below(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }
    int64_t Time() { return kNow - Below(10 * 86400); }

    std::string Reply() {
        AssistantReply reply;
        reply.timestamp = IsoText(Time());
        const int id = Below(400);  // many repeats, across files too
        reply.messageId = Below(20) == 0 ? "" : "msg_" + std::to_string(id);
        reply.requestId = Below(10) == 0 ? "" : "req_" + std::to_string(id % 300);
        static const char* const kModels[] = {
            "claude-sonnet-4-20250514", "claude-opus-4-1-20250805",
            "claude-haiku-3-5",         "<synthetic>",
            "some-new-model",           ""};
        reply.model = kModels[Below(6)];
        reply.in = Below(20000);
        reply.out = Below(5000);
        reply.cacheWrite = Below(3) == 0 ? 0 : Below(90000);
        reply.cacheRead = Below(200000);
        return AssistantLine(reply);
    }

    std::mt19937 random_;
};

class ScanAgreement : public ::testing::Test {
protected:
    TempDir dir;
    fs::path root = dir.path() / "projects";

    static int64_t WallClock() { return static_cast<int64_t>(std::time(nullptr)); }

    void ExpectClaudeAgrees(ClaudeLogScanner& scanner, int64_t now, const std::string& what) {
        const ClaudeLogSelection& selection = scanner.Scan({WideFromPath(root)}, now, WallClock());
        ExpectSameRecords(selection.records, PlainClaudeSelection(root, now), what);
    }
};

TEST_F(ScanAgreement, TheSampleHome) {
    const fs::path home =
        PathFromWide(HostPath(TIDEWELL_SOURCE_DIR)) / "tests" / "fixtures" / "home";
    ASSERT_TRUE(fs::exists(home / ".claude" / "projects"));
    for (const auto& entry : fs::recursive_directory_iterator(home)) {
        if (!entry.is_regular_file())
            continue;
        WriteBytes(dir.path() / fs::relative(entry.path(), home),
                   WithTimes(ReadAll(entry.path()), kNow));
    }
    root = dir.path() / ".claude" / "projects";
    ClaudeLogScanner scanner;
    ExpectClaudeAgrees(scanner, kNow, "sample home");
    CodexScanner codex;
    const fs::path sessions = dir.path() / ".codex" / "sessions";
    codex.Scan(WideFromPath(sessions), kNow, WallClock());
    ExpectCodexAgrees(sessions, codex);
}

TEST_F(ScanAgreement, TheFuzzSeeds) {
    const fs::path corpus = PathFromWide(HostPath(TIDEWELL_SOURCE_DIR)) / "fuzz" / "corpus";
    ASSERT_TRUE(fs::exists(corpus / "fuzz_claude_log_line"));
    // Each seed as a file of its own, and all of them in one file, each as a line.
    std::string claudeLines, codexLines;
    int n = 0;
    for (const char* target :
         {"fuzz_claude_log_line", "fuzz_claude_ledger_line", "fuzz_json_fields"}) {
        for (const auto& entry : fs::directory_iterator(corpus / target)) {
            const std::string seed = ReadAll(entry.path());
            WriteBytes(root / "p" / (std::to_string(n++) + ".jsonl"), seed + "\n");
            claudeLines += seed + "\n";
        }
    }
    WriteBytes(root / "all" / "seeds.jsonl", claudeLines);
    const fs::path sessions = dir.path() / "sessions";
    for (const char* target : {"fuzz_codex_event", "fuzz_codex_turns"}) {
        for (const auto& entry : fs::directory_iterator(corpus / target)) {
            const std::string seed = ReadAll(entry.path());
            WriteBytes(sessions / (std::to_string(n++) + ".jsonl"), seed + "\n");
            codexLines += seed + "\n";
        }
    }
    WriteBytes(sessions / "all.jsonl", codexLines);
    ClaudeLogScanner scanner;
    ExpectClaudeAgrees(scanner, NewestRecord(root) + 3600, "fuzz seeds");
    CodexScanner codex;
    codex.Scan(WideFromPath(sessions), kNow, WallClock());
    ExpectCodexAgrees(sessions, codex);
}

// Enough bytes that a first scan reads on two threads, written in two rounds, the second
// appending to half the files (often completing a line the first round left unfinished).
TEST_F(ScanAgreement, AGeneratedCorpusReadAtOnceAndIncrementally) {
    Corpus corpus(2025);
    std::vector<fs::path> files;
    uint64_t bytes = 0;
    for (int i = 0; bytes < (17u << 20); ++i) {
        const fs::path file =
            root / ("p" + std::to_string(i % 13)) / (std::to_string(i) + ".jsonl");
        const std::string text = corpus.File();
        WriteBytes(file, text);
        bytes += text.size();
        files.push_back(file);
    }
    ClaudeLogScanner scanner;
    ExpectClaudeAgrees(scanner, kNow, "first scan");
    EXPECT_GT(scanner.lastScanStats().bytesRead, uint64_t{16} << 20);
    for (size_t i = 0; i < files.size(); i += 2) {
        std::ofstream(files[i], std::ios::binary | std::ios::app) << corpus.File();
    }
    ExpectClaudeAgrees(scanner, kNow, "after appending");
    ExpectClaudeAgrees(scanner, kNow + 86400, "a day later");
    ClaudeLogScanner fresh;
    ExpectClaudeAgrees(fresh, kNow, "all at once");
}

// Codex lines of every shape the parser knows, mixed with the Claude corpus's lines.
TEST_F(ScanAgreement, AGeneratedCodexCorpus) {
    Corpus corpus(27);
    std::mt19937 random(5);
    const fs::path sessions = dir.path() / "sessions";
    const auto event = [&](int64_t time) {
        const std::string limits[] = {
            R"("rate_limits":{"primary":{"used_percent":)" + std::to_string(random() % 100) +
                R"(,"window_minutes":299,"resets_in_seconds":)" + std::to_string(random() % 18000) +
                R"(},"secondary":{"used_percent":30.0,"window_minutes":10079,"resets_at":1760000000}})",
            R"("rate_limits":{"primary":null,"secondary":{"used_percent":12.0}})",
            R"("rate_limits":{"limit_id":"codex_)" + std::to_string(random() % 12) +
                R"(","limit_name":"Spark","primary":{"used_percent":5.5,"window_minutes":300}})",
            R"("rate_limits": {"limit_id": "codex", "primary": {"used_percent": 41}})",
            R"("rate_limits":{"primary":{"used_percent":)",
        };
        return R"({"timestamp":")" + IsoText(time) +
               R"(","type":"event_msg","payload":{"type":"token_count","info":null,)" +
               limits[random() % 5] + "}}";
    };
    for (int f = 0; f < 40; ++f) {
        std::string text;
        for (int i = 0; i < 80; ++i) {
            text += (random() % 3 == 0 ? corpus.Line()
                                       : event(kNow - static_cast<int64_t>(random() % 86400))) +
                    "\n";
        }
        WriteBytes(sessions / ("s" + std::to_string(f % 5)) / (std::to_string(f) + ".jsonl"), text);
    }
    CodexScanner codex;
    codex.Scan(WideFromPath(sessions), kNow, WallClock());
    ExpectCodexAgrees(sessions, codex);
}

}  // namespace
