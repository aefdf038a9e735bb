#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "claude_logs/log_record.h"
#include "history/ledger_row.h"

// How the logs become ledger rows, and which rows a cycle writes.

// One usage record of either tool, as read from a log line.
struct LedgerRecord {
    int64_t time = 0;  // Unix seconds; its local date is the record's day
    LedgerTool tool = LedgerTool::kClaude;
    std::string place;
    std::string project;  // working folder, full path; empty when unknown
    std::string model;
    std::string account;  // the login whose logs hold it; empty: the place's default login
    LedgerTotals totals;  // one record: messages is normally 1
    // The same record seen twice (in two places, two files, or repeated in one file) has the
    // same identity and counts once: Claude's message id with its request id, a Codex turn's
    // time with its running total. Empty: never merged with another.
    DedupKey identity;
};

// The local date of a moment, "YYYY-MM-DD".
using DayOfTime = std::function<std::string(int64_t)>;

// Sums records into rows per day, tool, place, project, model and login (ordered by key; `machine`
// empty). Of the copies of one identity the one with the most tokens counts, on a tie the one
// whose place, project, model and time sort first, so the result does not depend on the order
// in which files were read.
std::vector<LedgerRow> AggregateLedgerRecords(const std::vector<LedgerRecord>& records,
                                              const DayOfTime& dayOf);

// Adds `more` to `sum`: every count, the dollars, and whether any of it was an estimate.
void AddLedgerTotals(LedgerTotals& sum, const LedgerTotals& more);

// All the tokens of a row's totals (cache reads included).
int64_t LedgerTokens(const LedgerTotals& totals);

// What one write to the ledger changes.
struct LedgerChange {
    std::vector<LedgerRow> upsert;  // rows to insert or replace, by key
    std::vector<LedgerKey> remove;  // rows to delete
    bool empty() const { return upsert.empty() && remove.empty(); }
};

// The change that records `fromLogs` (the rows the logs give for `days`) into a ledger holding
// `stored` (its rows of those days). Only this computer's rows (empty `machine`) take part; rows
// of days outside `days` are ignored.
//
// A day in `coveredDays` (the logs hold all of it: no file with records of that day has gone)
// becomes exactly what the logs say: changed rows are replaced, new ones added, rows the logs no
// longer give are deleted. Any other day never shrinks: a stored row is replaced only by a
// logs' row of the same key with more messages, or as many messages and more tokens; rows the
// logs lack are kept; rows only the logs have are added. That is also the backfill's rule for
// old days: a day the ledger holds is left alone unless the logs show more of one of its keys.
// The rule works per key, not per day, so that new records of one project are not lost on a
// day another project's files went away. Returns an empty change when nothing differs, so a
// quiet cycle writes nothing. Dollars within a millionth of a dollar count as unchanged (sums
// of the same records in another order may differ in the last bits).
LedgerChange PlanLedgerChange(const std::vector<LedgerRow>& fromLogs,
                              const std::vector<LedgerRow>& stored,
                              const std::set<std::string>& days,
                              const std::set<std::string>& coveredDays);
