// Measures the usage ledger after a year of heavy use: 365 days of 3 places x 20 projects x
// 4 models for Claude and for Codex, written one day a transaction as the refresh worker writes
// them. Prints the file's size (the goal: under 5 MB a year) and the time one day's write takes.
//
// Usage: ledger_bench [folder]   (the ledger is made there afresh; default build/bench-ledger)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <vector>

#include "history/ledger_days.h"
#include "history/ledger_store.h"
#include "platform/system.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kDays = 365;
const char* const kPlaces[] = {"Windows", "WSL: Ubuntu", "WSL: Debian"};
const char* const kClaudeModels[] = {"claude-opus-4-5-20251101", "claude-sonnet-4-5-20250929",
                                     "claude-haiku-4-5-20251001", "claude-opus-4-1-20250805"};
const char* const kCodexModels[] = {"gpt-5-codex", "gpt-5.1-codex", "gpt-5.1-codex-max",
                                    "gpt-5.1-codex-mini"};

// One day's rows, with counts of a heavy day's size.
std::vector<LedgerRow> Day(int64_t dayNumber, std::mt19937_64& random) {
    std::vector<LedgerRow> rows;
    const auto around = [&](int64_t typical) {
        return std::uniform_int_distribution<int64_t>(typical / 2, typical * 3 / 2)(random);
    };
    for (const LedgerTool tool : {LedgerTool::kClaude, LedgerTool::kCodex}) {
        for (const char* place : kPlaces) {
            for (int project = 0; project < 20; ++project) {
                for (int model = 0; model < 4; ++model) {
                    LedgerRow row;
                    row.key = {
                        DayFromNumber(dayNumber), tool, place,
                        std::string("C:\\Users\\developer\\source\\repos\\project-") +
                            std::to_string(project),
                        tool == LedgerTool::kClaude ? kClaudeModels[model] : kCodexModels[model]};
                    LedgerTotals& t = row.totals;
                    t.messages = around(300);
                    t.input = around(200'000);
                    t.output = around(150'000);
                    if (tool == LedgerTool::kClaude) {
                        t.cacheWrite5m = around(2'000'000);
                        t.cacheWrite1h = around(500'000);
                    }
                    t.cacheRead = around(40'000'000);
                    t.dollars = static_cast<double>(around(4'000'000)) / 1e4;
                    t.estimated = model == 3;
                    rows.push_back(std::move(row));
                }
            }
        }
    }
    return rows;
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

uint64_t Size(const fs::path& path) {
    std::error_code error;
    const uint64_t size = fs::file_size(path, error);
    return error ? 0 : size;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::path("build/bench-ledger");
    std::error_code error;
    fs::remove_all(folder, error);
    fs::create_directories(folder, error);
    const fs::path file = folder / "usage-BENCH.db";
    const int64_t now = static_cast<int64_t>(std::time(nullptr));

    std::mt19937_64 random(42);
    std::vector<double> writes;
    size_t rowCount = 0;
    {
        LedgerOpenResult opened = LedgerStore::Open(WideFromPath(file), true, now);
        if (!opened.store) {
            std::printf("the ledger could not be made in %s\n", folder.string().c_str());
            return 1;
        }
        const int64_t first = *DayNumber("2026-01-01");
        for (int day = 0; day < kDays; ++day) {
            LedgerWrite write;
            write.upserts = Day(first + day, random);
            write.meta = {{"backfill", DayFromNumber(first + day)}};
            rowCount += write.upserts.size();
            const auto started = Clock::now();
            if (!opened.store->Apply(write)) {
                std::printf("day %d could not be written\n", day);
                return 1;
            }
            writes.push_back(Milliseconds(Clock::now() - started));
        }
        // The worker's usual cycle: today's rows again, most of them changed.
        const auto started = Clock::now();
        LedgerWrite again;
        again.upserts = Day(first + kDays - 1, random);
        opened.store->Apply(again);
        std::printf("rewriting the last day: %.2f ms\n", Milliseconds(Clock::now() - started));

        const auto readStarted = Clock::now();
        const auto rows = opened.store->Rows();
        std::printf("reading the whole year back: %.1f ms (%zu rows)\n",
                    Milliseconds(Clock::now() - readStarted), rows ? rows->size() : 0);
    }
    std::sort(writes.begin(), writes.end());
    const double megabytes = static_cast<double>(Size(file)) / (1 << 20);
    std::printf("a year: %zu rows, %d days of %zu rows\n", rowCount, kDays, rowCount / kDays);
    std::printf("ledger size: %.2f MB (%.1f bytes a row; goal under 5 MB)\n", megabytes,
                static_cast<double>(Size(file)) / static_cast<double>(rowCount));
    std::printf("one day's write (one transaction): median %.2f ms, slowest %.2f ms\n",
                writes[writes.size() / 2], writes.back());
    return 0;
}
