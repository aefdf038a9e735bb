// Measures the ledger's history reading on the Claude corpus (1,900 files, 290 MB, every file
// read): its speed against the log scan's first scan of the same files, the memory it keeps once
// done, and that a cycle in which no log changed writes nothing.
//
// Usage: history_backfill_bench [corpus folder]   (generated there on the first run)
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

#include "claude_logs/log_scanner.h"
#include "history/history_recorder.h"
#include "history/ledger_days.h"
#include "log_corpus.h"
#include "platform/system.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Private memory now (resident, not backed by a file: what Windows counts as private bytes
// rather than the program's code), in MB.
double ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    double kilobytes = 0;
    while (status >> key) {
        if (key == "RssAnon:") {
            status >> kilobytes;
            break;
        }
    }
    return kilobytes / 1024;
}

int64_t DataVersion(sqlite3* db) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &s, nullptr);
    const int64_t version = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
    sqlite3_finalize(s);
    return version;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path root = argc > 1 ? fs::path(argv[1]) : fs::path("build/bench-corpus/claude");
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    ClaudeCorpusShape shape;
    shape.now = now;
    if (!fs::exists(root / "corpus-v2")) {
        std::printf("generating the corpus in %s ...\n", root.string().c_str());
        std::ofstream(root / "corpus-v2") << WriteClaudeCorpus(root, shape);
    }
    // Every file recent, so that the scan reads all of them too.
    const auto clockNow = fs::file_time_type::clock::now();
    uint64_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".jsonl") continue;
        fs::last_write_time(entry.path(), clockNow);
        bytes += entry.file_size();
    }
    const double megabytes = static_cast<double>(bytes) / (1 << 20);
    const std::vector<std::wstring> roots = {WideFromPath(root)};
    {
        ClaudeLogScanner warm;
        warm.Scan(roots, now, now);  // the page cache, for both
    }
    ClaudeLogScanner scanner;
    auto started = Clock::now();
    scanner.Scan(roots, now, now);
    const double scanSeconds = Seconds(Clock::now() - started);
    std::printf("first scan: %.0f MB in %.3f s, %.0f MB/s\n", megabytes, scanSeconds,
                megabytes / scanSeconds);

    const fs::path data = root.parent_path() / "history-bench";
    fs::remove_all(data);
    fs::create_directories(data);
    const LedgerLocation location = LedgerLocationFor(WideFromPath(data), L"", L"bench");
    const std::vector<HistoryPlace> places = {{"Windows ~/.claude", roots, {}, true}};
    const double before = ResidentMegabytes();
    HistoryRecorder recorder(LocalDayOf);
    // The history reading counts every file: the recorder is told of none, as on a start
    // whose scan has not listed them yet.
    recorder.Record(location, places, {}, now);
    const double opened = ResidentMegabytes();
    std::printf("private memory of the open ledger: %+.1f MB\n", opened - before);
    started = Clock::now();
    int slices = 0;
    while (recorder.ReadHistorySlice(now)) ++slices;
    const double backfillSeconds = Seconds(Clock::now() - started);
    std::printf("history reading: %.3f s in %d slices of 32 MB, %.0f MB/s, %.0f%% of the first "
                "scan's speed\n",
                backfillSeconds, slices + 1, megabytes / backfillSeconds,
                100 * scanSeconds / backfillSeconds);
    std::printf("private memory kept after it: %+.1f MB (%+.1f MB more than before it)\n",
                ResidentMegabytes() - before, ResidentMegabytes() - opened);

    // A cycle with the scanner's files and nothing changed since the last: no transaction.
    std::vector<HistoryFile> files;
    for (const auto& [path, state] : scanner.files())
        files.push_back({path, state.sizeSeen, LedgerTool::kClaude});
    recorder.Record(location, places, files, now);
    sqlite3* db = nullptr;
    const std::string name = (data / "usage.db").string();
    sqlite3_open_v2(name.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const int64_t version = DataVersion(db);
    started = Clock::now();
    recorder.Record(location, places, files, now);
    std::printf("quiet cycle: %.2f ms, %s\n", Seconds(Clock::now() - started) * 1000,
                DataVersion(db) == version ? "no transaction" : "WROTE");
    sqlite3_close(db);
    std::printf("ledger: %.2f MB\n",
                static_cast<double>(fs::file_size(data / "usage.db")) / (1 << 20));
    return 0;
}
