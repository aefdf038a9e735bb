#include "history/ledger_rule.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace {

// Whether `a` should stand for the identity rather than `b`.
bool BetterCopy(const LedgerRecord& a, const LedgerRecord& b) {
    const int64_t tokensA = LedgerTokens(a.totals), tokensB = LedgerTokens(b.totals);
    if (tokensA != tokensB) {
        return tokensA > tokensB;
    }
    return std::tie(a.place, a.project, a.model, a.account, a.time) <
           std::tie(b.place, b.project, b.model, b.account, b.time);
}

struct IdentityLess {
    bool operator()(const LedgerRecord* a, const LedgerRecord* b) const {
        return std::tuple(a->tool, a->identity.high, a->identity.low) <
               std::tuple(b->tool, b->identity.high, b->identity.low);
    }
};

bool SameTotals(const LedgerTotals& a, const LedgerTotals& b) {
    return a.messages == b.messages && a.input == b.input && a.output == b.output &&
           a.cacheWrite5m == b.cacheWrite5m && a.cacheWrite1h == b.cacheWrite1h &&
           a.cacheRead == b.cacheRead && a.estimated == b.estimated &&
           std::fabs(a.dollars - b.dollars) <= 1e-6;
}

bool Larger(const LedgerTotals& a, const LedgerTotals& b) {
    if (a.messages != b.messages) {
        return a.messages > b.messages;
    }
    return LedgerTokens(a) > LedgerTokens(b);
}

// This computer's rows of `days`, by key (a key given twice is summed).
std::map<LedgerKey, LedgerTotals> OwnRows(const std::vector<LedgerRow>& rows,
                                          const std::set<std::string>& days) {
    std::map<LedgerKey, LedgerTotals> own;
    for (const LedgerRow& row : rows) {
        if (row.machine.empty() && days.count(row.key.day) != 0) {
            AddLedgerTotals(own[row.key], row.totals);
        }
    }
    return own;
}

}  // namespace

void AddLedgerTotals(LedgerTotals& sum, const LedgerTotals& more) {
    sum.messages += more.messages;
    sum.input += more.input;
    sum.output += more.output;
    sum.cacheWrite5m += more.cacheWrite5m;
    sum.cacheWrite1h += more.cacheWrite1h;
    sum.cacheRead += more.cacheRead;
    sum.dollars += more.dollars;
    sum.estimated = sum.estimated || more.estimated;
}

int64_t LedgerTokens(const LedgerTotals& totals) {
    return totals.input + totals.output + totals.cacheWrite5m + totals.cacheWrite1h +
           totals.cacheRead;
}

std::vector<LedgerRow> AggregateLedgerRecords(const std::vector<LedgerRecord>& records,
                                              const DayOfTime& dayOf) {
    // The copy that counts for each identity.
    std::set<const LedgerRecord*, IdentityLess> chosen;
    for (const LedgerRecord& record : records) {
        if (record.identity.empty()) {
            continue;
        }
        const auto [at, inserted] = chosen.insert(&record);
        if (!inserted && BetterCopy(record, **at)) {
            chosen.erase(at);
            chosen.insert(&record);
        }
    }
    std::map<LedgerKey, LedgerTotals> sums;
    for (const LedgerRecord& record : records) {
        if (!record.identity.empty() && *chosen.find(&record) != &record) {
            continue;
        }
        LedgerKey key{dayOf(record.time), record.tool,  record.place,
                      record.project,     record.model, record.account};
        AddLedgerTotals(sums[std::move(key)], record.totals);
    }
    std::vector<LedgerRow> rows;
    rows.reserve(sums.size());
    for (auto& [key, totals] : sums) {
        rows.push_back({key, totals, {}});
    }
    return rows;
}

LedgerChange PlanLedgerChange(const std::vector<LedgerRow>& fromLogs,
                              const std::vector<LedgerRow>& stored,
                              const std::set<std::string>& days,
                              const std::set<std::string>& coveredDays) {
    const std::map<LedgerKey, LedgerTotals> logs = OwnRows(fromLogs, days);
    const std::map<LedgerKey, LedgerTotals> held = OwnRows(stored, days);
    LedgerChange change;
    for (const auto& [key, totals] : logs) {
        const auto old = held.find(key);
        const bool covered = coveredDays.count(key.day) != 0;
        const bool write = old == held.end() || (covered ? !SameTotals(totals, old->second)
                                                         : Larger(totals, old->second));
        if (write) {
            change.upsert.push_back({key, totals, {}});
        }
    }
    for (const auto& [key, totals] : held) {
        if (coveredDays.count(key.day) != 0 && logs.count(key) == 0) {
            change.remove.push_back(key);
        }
    }
    return change;
}
