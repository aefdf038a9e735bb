// Times the report's history section for a year of generated ledger rows (goal: under 50 ms).
//
// Usage: history_report_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "history/ledger_days.h"
#include "report/history_section.h"

namespace {

// 365 days of two machines, a dozen projects and the models of both tools.
std::vector<LedgerRow> YearOfRows(int64_t today) {
    static const char* const kModels[] = {"claude-opus-4-1", "claude-sonnet-4-5",
                                          "claude-haiku-4-5", "gpt-5-codex"};
    std::vector<LedgerRow> rows;
    for (int64_t day = today - 364; day <= today; ++day) {
        for (int machine = 0; machine < 2; ++machine) {
            for (int project = 0; project < 12; ++project) {
                for (int model = 0; model < 4; ++model) {
                    if ((day + project + model) % 3 != 0) {
                        continue;
                    }
                    LedgerRow row;
                    row.key = {DayFromNumber(day),
                               model == 3 ? LedgerTool::kCodex : LedgerTool::kClaude,
                               "This computer", "/home/dev/project-" + std::to_string(project),
                               kModels[model]};
                    row.machine = machine == 0 ? "" : "LAPTOP";
                    row.totals = {10 + project,
                                  50000,
                                  8000,
                                  1000,
                                  0,
                                  400000,
                                  model == 3 ? 0 : 0.75 * (model + 1),
                                  model == 3};
                    rows.push_back(std::move(row));
                }
            }
        }
    }
    return rows;
}

}  // namespace

int main() {
    int64_t today = 0;
    DayNumber("2026-12-10", today);
    const std::vector<LedgerRow> rows = YearOfRows(today);
    const std::string todayText = DayFromNumber(today);
    double best = 1e9;
    size_t bytes = 0;
    for (int i = 0; i < 10; ++i) {
        const auto started = std::chrono::steady_clock::now();
        bytes = BuildHistorySection(rows, todayText, false).size();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count();
        best = std::min(best, ms);
    }
    std::printf("history section: %zu rows, %zu bytes, best of 10: %.2f ms (goal: under 50 ms)\n",
                rows.size(), bytes, best);
    return 0;
}
