#include "log_corpus.h"

#include <atomic>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/read_only_file.h"
#include "platform/system.h"

namespace fs = std::filesystem;

namespace {

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        state_ += 0x9E3779B97F4A7C15ULL;
        uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

private:
    uint64_t state_;
};

std::string IsoTime(int64_t t) {
    const time_t seconds = static_cast<time_t>(t);
    struct tm utc {};
    gmtime_r(&seconds, &utc);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(t % 1000));
    return text;
}

const char* const kModels[] = {"claude-opus-4-20250514", "claude-sonnet-4-20250514",
                               "claude-3-5-haiku-20241022"};

std::string Prose(Random& random, size_t bytes) {
    static const char* const kWords[] = {
        "the",    "function", "returns", "a",     "value", "when",   "tests", "fail", "we",
        "should", "update",   "config",  "build", "error", "stream", "file",  "path", "line",
        "\\n",    "const",    "auto",    "int",   "std::string", "{", "}", "=", "->", "//"};
    std::string text;
    while (text.size() < bytes) {
        text += kWords[random.Below(static_cast<int>(std::size(kWords)))];
        text += ' ';
    }
    return text;
}

std::string Assistant(Random& random, uint64_t serial, int64_t time, const std::string& cwd,
                      const std::string& session) {
    const std::string id = "msg_01" + std::to_string(serial * 7919 % 100000007) + "XyZ";
    return R"({"parentUuid":"a1b2c3d4-0000-4000-8000-)" + std::to_string(serial) +
           R"(","isSidechain":false,"userType":"external","cwd":")" + cwd +
           R"(","sessionId":")" + session + R"(","version":"1.0.51","gitBranch":"main",)"
           R"("message":{"id":")" + id + R"(","type":"message","role":"assistant","model":")" +
           kModels[serial % 3] + R"(","content":[{"type":"text","text":")" +
           Prose(random, 1200 + random.Below(2400)) +
           R"("}],"stop_reason":"end_turn","stop_sequence":null,"usage":{"input_tokens":)" +
           std::to_string(random.Below(50)) +
           R"(,"cache_creation_input_tokens":)" + std::to_string(random.Below(5000)) +
           R"(,"cache_read_input_tokens":)" + std::to_string(random.Below(90000)) +
           R"(,"output_tokens":)" + std::to_string(random.Below(2000)) +
           R"(,"service_tier":"standard"}},"requestId":"req_011C)" + std::to_string(serial) +
           R"(","type":"assistant","uuid":"e5f6-)" + std::to_string(serial) +
           R"(","timestamp":")" + IsoTime(time) + R"("})";
}

std::string User(Random& random, int64_t time, const std::string& cwd, bool toolResult) {
    // Built with append: gcc 12 warns falsely about "\"" + std::string (PR105329).
    std::string content;
    if (toolResult) {
        content.append(R"([{"tool_use_id":"toolu_01abc","type":"tool_result","content":")")
            .append(Prose(random, 1000 + random.Below(4000)))
            .append(R"("}])");
    } else {
        content.append("\"").append(Prose(random, 600 + random.Below(2400))).append("\"");
    }
    return R"({"parentUuid":"f00d","isSidechain":false,"userType":"external","cwd":")" + cwd +
           R"(","type":"user","message":{"role":"user","content":)" + content +
           R"(},"uuid":"beef","timestamp":")" + IsoTime(time) + R"("})";
}

}  // namespace

std::string ClaudeAssistantLine(uint64_t serial, int64_t time) {
    Random random(serial);
    return Assistant(random, serial + 900000000, time, "/home/dev/live", "live-session") + "\n";
}

bool IsOldCorpusFile(const ClaudeCorpusShape& shape, int index) {
    return index % 100 < shape.oldFiles;
}

uint64_t WriteClaudeCorpus(const fs::path& root, const ClaudeCorpusShape& shape) {
    std::error_code ignored;
    fs::remove_all(root, ignored);
    Random random(42);
    const int files = shape.projects * shape.sessionsPerProject;
    const uint64_t perFile = shape.totalBytes / static_cast<uint64_t>(files);
    uint64_t written = 0;
    uint64_t serial = 0;
    std::string previousReply;  // repeated into the next file: a resumed session
    for (int p = 0; p < shape.projects; ++p) {
        const std::string cwd = "/home/dev/project-" + std::to_string(p);
        const fs::path folder = root / ("-home-dev-project-" + std::to_string(p));
        fs::create_directories(folder);
        for (int s = 0; s < shape.sessionsPerProject; ++s) {
            const std::string session = "5e55" + std::to_string(p * 1000 + s);
            std::string text;
            text.reserve(perFile + 16384);
            int64_t time = shape.now - 7 * 86400 + random.Below(6 * 86400);
            text += R"({"type":"summary","summary":"Refactor the build","leafUuid":"abc"})" "\n";
            if (!previousReply.empty()) text += previousReply;
            while (text.size() < perFile) {
                time += 5 + random.Below(90);
                text += User(random, time, cwd, false) + "\n";
                const int steps = 1 + random.Below(4);
                for (int k = 0; k < steps; ++k) {
                    time += 2 + random.Below(30);
                    const std::string reply =
                        Assistant(random, ++serial, time, cwd, session) + "\n";
                    text += reply;
                    if (random.Below(3) == 0) text += reply;  // streamed twice: same id
                    if (random.Below(50) == 0) previousReply = reply;
                    if (random.Below(5) < 2) text += User(random, time + 1, cwd, true) + "\n";
                }
            }
            if (random.Below(10) == 0) {  // still being written: no final newline
                text += Assistant(random, ++serial, time + 5, cwd, session);
            }
            std::ofstream(folder / (session + ".jsonl"), std::ios::binary) << text;
            written += text.size();
        }
    }
    return written;
}

uint64_t WriteCodexCorpus(const fs::path& root, const CodexCorpusShape& shape) {
    std::error_code ignored;
    fs::remove_all(root, ignored);
    Random random(7);
    const int files = shape.days * shape.sessionsPerDay;
    const uint64_t perFile = shape.totalBytes / static_cast<uint64_t>(files);
    uint64_t written = 0;
    for (int d = 0; d < shape.days; ++d) {
        const int64_t dayStart = shape.now - (shape.days - d) * 86400;
        const std::string day = IsoTime(dayStart).substr(0, 10);
        const fs::path folder = root / day.substr(0, 4) / day.substr(5, 2) / day.substr(8, 2);
        fs::create_directories(folder);
        for (int s = 0; s < shape.sessionsPerDay; ++s) {
            int64_t time = dayStart + random.Below(80000);
            std::string text;
            text.reserve(perFile + 16384);
            text += R"({"timestamp":")" + IsoTime(time) +
                    R"(","type":"session_meta","payload":{"id":"5b1e","cwd":"/home/dev/app",)"
                    R"("originator":"codex_cli_rs","cli_version":"0.36.0"}})" "\n";
            double used = random.Below(20);
            while (text.size() < perFile) {
                time += 3 + random.Below(40);
                text += R"({"timestamp":")" + IsoTime(time) +
                        R"(","type":"response_item","payload":{"type":"message","role":"user",)"
                        R"("content":[{"type":"input_text","text":")" +
                        Prose(random, 100 + random.Below(400)) + R"("}]}})" "\n";
                text += R"({"timestamp":")" + IsoTime(time + 2) +
                        R"(","type":"response_item","payload":{"type":"function_call_output",)"
                        R"("call_id":"call_1","output":")" + Prose(random, 1500 + random.Below(5000)) +
                        R"("}})" "\n";
                used += random.Below(3);
                if (random.Below(4) == 0) {
                    text += R"({"timestamp":")" + IsoTime(time + 3) +
                            R"(","type":"event_msg","payload":{"type":"token_count","info":null,)"
                            R"("rate_limits":{"primary":null,"secondary":{"used_percent":12.0}}}})" "\n";
                }
                text += R"({"timestamp":")" + IsoTime(time + 4) +
                        R"(","type":"event_msg","payload":{"type":"token_count","info":{)"
                        R"("total_token_usage":{"input_tokens":)" + std::to_string(random.Below(90000)) +
                        R"(,"output_tokens":)" + std::to_string(random.Below(9000)) +
                        R"(}},"rate_limits":{"primary":{"used_percent":)" +
                        std::to_string(used > 100 ? 100 : used) +
                        R"(,"window_minutes":299,"resets_in_seconds":)" +
                        std::to_string(random.Below(18000)) +
                        R"(},"secondary":{"used_percent":30.0,"window_minutes":10079,)"
                        R"("resets_in_seconds":400000}}}})" "\n";
            }
            std::ofstream(folder / ("rollout-" + day + "-" + std::to_string(s) + ".jsonl"),
                          std::ios::binary)
                << text;
            written += text.size();
        }
    }
    return written;
}

uint64_t PlainRead(const std::vector<fs::path>& files) {
    std::vector<char> buffer(1 << 20);
    uint64_t total = 0;
    for (const fs::path& path : files) {
        ReadOnlyFile file;
        if (!file.Open(WideFromPath(path))) continue;
        while (size_t got = file.Read(buffer.data(), buffer.size())) total += got;
    }
    return total;
}

uint64_t TwoThreadRead(const std::vector<fs::path>& files) {
    std::atomic<size_t> next{0};
    uint64_t totals[2] = {0, 0};
    const auto read = [&](uint64_t& total) {
        std::vector<char> buffer(1 << 20);
        for (size_t i = next++; i < files.size(); i = next++) {
            ReadOnlyFile file;
            if (!file.Open(WideFromPath(files[i]))) continue;
            while (size_t got = file.Read(buffer.data(), buffer.size())) total += got;
        }
    };
    std::thread second(read, std::ref(totals[1]));
    read(totals[0]);
    second.join();
    return totals[0] + totals[1];
}
