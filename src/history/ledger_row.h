#pragma once

#include <compare>
#include <cstdint>
#include <string>

// The usage ledger keeps, for every local day, what each place, project and model of each tool
// used (per login), so that the history outlives the logs (Claude Code deletes its transcripts after a
// month). Text is UTF-8.

enum class LedgerTool : int { kClaude = 0, kCodex = 1 };

// What one row counts.
struct LedgerKey {
    std::string day;  // local date, "YYYY-MM-DD"
    LedgerTool tool = LedgerTool::kClaude;
    std::string place;    // where the logs were read, as the Sources list names it
    std::string project;  // the working folder of the records, full path; empty when unknown
    std::string model;
    // The login whose logs these are, as it is named where it is shown. Empty for rows written
    // before logins were told apart, which belong to the place's default login.
    std::string account = {};
    friend auto operator<=>(const LedgerKey&, const LedgerKey&) = default;
    friend bool operator==(const LedgerKey&, const LedgerKey&) = default;
};

struct LedgerTotals {
    int64_t messages = 0;      // Claude: replies; Codex: turns
    int64_t input = 0;         // input tokens not read from a cache
    int64_t output = 0;        // Codex: reasoning output included
    int64_t cacheWrite5m = 0;  // Claude's five-minute cache writes
    int64_t cacheWrite1h = 0;  // Claude's one-hour cache writes
    int64_t cacheRead = 0;     // Claude's cache reads; Codex's cached input
    double dollars = 0;        // API-equivalent cost
    bool estimated = false;    // some of it priced at a guess, or not priced at all
    friend bool operator==(const LedgerTotals&, const LedgerTotals&) = default;
};

struct LedgerRow {
    LedgerKey key;
    LedgerTotals totals;
    std::string machine;  // the computer whose ledger file held it; empty for this one's own
    friend bool operator==(const LedgerRow&, const LedgerRow&) = default;
};
