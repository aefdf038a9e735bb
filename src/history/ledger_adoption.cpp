#include "history/ledger_adoption.h"

#include <map>
#include <utility>

LedgerChange PlanAdoptingLedgerChange(const std::vector<LedgerRow>& fromLogs,
                                      const std::vector<LedgerRow>& stored,
                                      const std::set<std::string>& days,
                                      const std::set<std::string>& coveredDays,
                                      const UnnamedOwner& owner) {
    std::set<LedgerKey> named;
    for (const LedgerRow& row : stored) {
        if (!row.key.account.empty())
            named.insert(row.key);
    }
    std::map<LedgerKey, LedgerKey> adopted;  // the key planned -> the unnamed key stored
    std::vector<LedgerRow> held;
    held.reserve(stored.size());
    for (const LedgerRow& row : stored) {
        LedgerRow& copy = held.emplace_back(row);
        if (!row.key.account.empty() || !row.machine.empty() || !owner)
            continue;
        const std::optional<std::string> name = owner(row.key);
        if (!name || name->empty())
            continue;
        LedgerKey key = row.key;
        key.account = *name;
        if (named.count(key) || adopted.count(key))
            continue;
        adopted.emplace(key, row.key);
        copy.key = std::move(key);
    }
    LedgerChange change = PlanLedgerChange(fromLogs, held, days, coveredDays);
    std::set<LedgerKey> written;
    for (const LedgerRow& row : change.upsert) {
        written.insert(row.key);
        const auto found = adopted.find(row.key);
        if (found != adopted.end())
            change.remove.push_back(found->second);
    }
    // A row the logs give again, and that the plan keeps as stored, takes its login's name.
    std::set<LedgerKey> logs;
    for (const LedgerRow& row : fromLogs) {
        if (row.machine.empty() && days.count(row.key.day))
            logs.insert(row.key);
    }
    for (const LedgerRow& row : held) {
        const auto found = adopted.find(row.key);
        if (found == adopted.end() || written.count(row.key) || !logs.count(row.key))
            continue;
        change.upsert.push_back({row.key, row.totals, {}});
        change.remove.push_back(found->second);
    }
    for (LedgerKey& key : change.remove) {
        const auto found = adopted.find(key);
        if (found != adopted.end())
            key = found->second;
    }
    return change;
}
