#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "claude_logs/log_record.h"
#include "history/ledger_rule.h"

// Reads Claude Code's usage lines into ledger records: the reply's tokens by kind, its price,
// its model and the working folder ("cwd") of the session, one file after another.
class ClaudeLedgerReader {
public:
    explicit ClaudeLedgerReader(std::string place) : place_(std::move(place)) {}

    // One line holding the usage key at `usage`: true, with `record` set, for a reply's usage.
    bool ReadLine(std::string_view line, size_t usage, LedgerRecord& record);

private:
    std::string place_;
    ModelPriceCache prices_;
    std::optional<std::string> rawCwd_;  // the last working folder as the log writes it,
    std::string cwd_;                    // and decoded
};
