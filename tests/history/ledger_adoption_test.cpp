#include "history/ledger_adoption.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string kDay = "2026-12-10";

LedgerRow Row(const std::string& account, int64_t messages, const std::string& machine = "") {
    LedgerRow row;
    row.key = {kDay, LedgerTool::kClaude, "Home", "/w/app", "claude-opus-4-1", account};
    row.totals.messages = messages;
    row.totals.input = messages * 100;
    row.machine = machine;
    return row;
}

LedgerKey Key(const std::string& account) {
    return Row(account, 0).key;
}

// The default login "me" takes Home's unnamed Claude rows.
std::optional<std::string> Me(const LedgerKey& key) {
    if (key.place == "Home" && key.tool == LedgerTool::kClaude)
        return std::string("me");
    return std::nullopt;
}

struct Case {
    const char* what;
    std::vector<LedgerRow> logs;
    std::vector<LedgerRow> stored;
    bool covered;
    bool owned;  // the place has a login that takes unnamed rows
    std::vector<LedgerKey> upserted;
    std::vector<LedgerKey> removed;
};

TEST(LedgerAdoption, AnUnnamedRowGivesWayToItsLoginsRowAndIsNeverCountedTwice) {
    const Case cases[] = {
        {"the same usage named: replaced by it",
         {Row("me", 3)},
         {Row("", 3)},
         true,
         true,
         {Key("me")},
         {Key("")}},
        {"more usage named on a day whose files went: replaced",
         {Row("me", 4)},
         {Row("", 3)},
         false,
         true,
         {Key("me")},
         {Key("")}},
        {"less usage named on a day whose files went: kept, under the login's name",
         {Row("me", 2)},
         {Row("", 3)},
         false,
         true,
         {Key("me")},
         {Key("")}},
        {"not given by the logs on a day whose files went: stays unnamed",
         {},
         {Row("", 3)},
         false,
         true,
         {},
         {}},
        {"a covered day the logs no longer give: the unnamed row goes",
         {},
         {Row("", 3)},
         true,
         true,
         {},
         {Key("")}},
        {"no login takes it: kept, and the named row comes beside it",
         {Row("me", 3)},
         {Row("", 3)},
         false,
         false,
         {Key("me")},
         {}},
        {"its named twin is there: planned as it is",
         {Row("me", 3)},
         {Row("me", 3), Row("", 3)},
         true,
         true,
         {},
         {Key("")}},
        {"another login's rows are never taken",
         {Row("work", 3)},
         {Row("", 3)},
         false,
         true,
         {Key("work")},
         {}},
        {"another computer's unnamed row is left alone",
         {Row("me", 3)},
         {Row("", 3, "laptop")},
         true,
         true,
         {Key("me")},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::set<std::string> days = {kDay};
        const std::set<std::string> covered = c.covered ? days : std::set<std::string>{};
        const LedgerChange change = PlanAdoptingLedgerChange(
            c.logs, c.stored, days, covered, c.owned ? UnnamedOwner(Me) : UnnamedOwner());
        std::vector<LedgerKey> upserted;
        for (const LedgerRow& row : change.upsert)
            upserted.push_back(row.key);
        std::vector<LedgerKey> removed = change.remove;
        std::sort(removed.begin(), removed.end());
        EXPECT_EQ(upserted, c.upserted);
        EXPECT_EQ(removed, c.removed);
    }
}

}  // namespace
