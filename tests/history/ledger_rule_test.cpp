#include "history/ledger_rule.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/iso_time.h"
#include "history/ledger_days.h"

namespace {

// A zone east of UTC by `hours` before `switchAt` and by `hoursAfter` from it on: a clock change
// or a move to another zone, as the system's rules would report it at each moment.
DayOfTime Zone(int64_t hours, int64_t switchAt = 0, int64_t hoursAfter = 0) {
    return [=](int64_t t) {
        const int64_t offset = (switchAt != 0 && t >= switchAt ? hoursAfter : hours) * 3600;
        const int64_t local = t + offset;
        return DayFromNumber((local >= 0 ? local : local - 86399) / 86400);
    };
}

LedgerRecord Record(const char* time, const char* place, const char* project, const char* id,
                    int64_t input = 100, int64_t output = 10) {
    LedgerRecord r;
    r.time = ParseIsoTime(time);
    r.place = place;
    r.project = project;
    r.model = "claude-sonnet-4-5";
    r.totals.messages = 1;
    r.totals.input = input;
    r.totals.output = output;
    r.totals.dollars = 0.01;
    if (*id != '\0') {
        r.identity = MakeDedupKey(id, "req");
    }
    return r;
}

LedgerRow Row(const char* day, const char* project, int64_t messages, int64_t input,
              double dollars = 1.0) {
    LedgerRow row;
    row.key = {day, LedgerTool::kClaude, "This computer", project, "claude-opus-4-1"};
    row.totals.messages = messages;
    row.totals.input = input;
    row.totals.dollars = dollars;
    return row;
}

TEST(LedgerAggregate, SumsPerKeyAndCountsEachIdentityOnce) {
    const std::vector<LedgerRecord> records = {
        Record("2025-05-01T10:00:00Z", "This computer", "/a", "m1"),
        Record("2025-05-01T10:00:00Z", "WSL: Ubuntu", "/a", "m1"),    // same reply, other place
        Record("2025-05-01T10:00:00Z", "This computer", "/a", "m1"),  // again in another file
        Record("2025-05-01T11:00:00Z", "This computer", "/a", "m2"),
        Record("2025-05-01T12:00:00Z", "This computer", "/a", ""),  // no id: always counted
        Record("2025-05-01T12:00:00Z", "This computer", "/a", ""),
        Record("2025-05-01T13:00:00Z", "This computer", "/b", "m3"),
    };
    const std::vector<LedgerRow> rows = AggregateLedgerRecords(records, Zone(0));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].key.project, "/a");
    EXPECT_EQ(rows[0].key.place, "This computer");
    EXPECT_EQ(rows[0].totals.messages, 4);
    EXPECT_EQ(rows[0].totals.input, 400);
    EXPECT_NEAR(rows[0].totals.dollars, 0.04, 1e-12);
    EXPECT_EQ(rows[1].key.project, "/b");
    EXPECT_EQ(rows[1].totals.messages, 1);

    std::vector<LedgerRecord> reversed(records.rbegin(), records.rend());
    EXPECT_EQ(AggregateLedgerRecords(reversed, Zone(0)), rows);  // read order does not matter
}

TEST(LedgerAggregate, TheFullestCopyOfARecordCounts) {
    // A reply logged first with partial figures and later with its final ones.
    const std::vector<LedgerRecord> records = {
        Record("2025-05-01T10:00:00Z", "WSL: Ubuntu", "/a", "m1", 100, 1),
        Record("2025-05-01T10:00:00Z", "This computer", "/a", "m1", 100, 50),
    };
    const std::vector<LedgerRow> rows = AggregateLedgerRecords(records, Zone(0));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].key.place, "This computer");
    EXPECT_EQ(rows[0].totals.output, 50);
}

TEST(LedgerAggregate, EstimatedWhenAnyRecordIs) {
    std::vector<LedgerRecord> records = {Record("2025-05-01T10:00:00Z", "p", "/a", "m1"),
                                         Record("2025-05-01T11:00:00Z", "p", "/a", "m2")};
    records[1].totals.estimated = true;
    EXPECT_TRUE(AggregateLedgerRecords(records, Zone(0))[0].totals.estimated);
}

TEST(LedgerAggregate, TheDayIsTheLocalDateAtTheRecordsMoment) {
    struct Case {
        const char* name;
        DayOfTime zone;
        const char* time;
        const char* day;
    };
    const int64_t springForward = ParseIsoTime("2025-03-30T01:00:00Z");  // +1 to +2
    const int64_t moved = ParseIsoTime("2025-06-10T12:00:00Z");          // from UTC+2 to UTC-7
    const Case cases[] = {
        {"utc, before midnight", Zone(0), "2025-03-29T23:30:00Z", "2025-03-29"},
        {"winter time, 00:30 local", Zone(1, springForward, 2), "2025-03-29T23:30:00Z",
         "2025-03-30"},
        {"winter time, 23:59 local", Zone(1, springForward, 2), "2025-03-29T22:59:00Z",
         "2025-03-29"},
        {"summer time, 23:30 local", Zone(1, springForward, 2), "2025-03-30T21:30:00Z",
         "2025-03-30"},
        {"summer time, 00:30 local", Zone(1, springForward, 2), "2025-03-30T22:30:00Z",
         "2025-03-31"},
        {"before the move, 01:00 local", Zone(2, moved, -7), "2025-06-09T23:00:00Z", "2025-06-10"},
        {"after the move, 17:00 local", Zone(2, moved, -7), "2025-06-11T00:00:00Z", "2025-06-10"},
        {"after the move, 00:30 local", Zone(2, moved, -7), "2025-06-11T07:30:00Z", "2025-06-11"},
    };
    for (const Case& c : cases) {
        const auto rows = AggregateLedgerRecords({Record(c.time, "p", "/a", "m")}, c.zone);
        ASSERT_EQ(rows.size(), 1u) << c.name;
        EXPECT_EQ(rows[0].key.day, c.day) << c.name;
    }
}

// --- the rule that keeps data ---

const std::set<std::string> kDay = {"2025-05-01"};
const std::set<std::string> kNone = {};

TEST(LedgerChangeRule, UnchangedLogsWriteNothing) {
    const std::vector<LedgerRow> rows = {Row("2025-05-01", "/a", 3, 300),
                                         Row("2025-05-01", "/b", 1, 100)};
    std::vector<LedgerRow> noisy = rows;
    noisy[0].totals.dollars += 1e-9;  // the same sum taken in another order
    for (const auto* covered : {&kDay, &kNone}) {
        EXPECT_TRUE(PlanLedgerChange(rows, rows, kDay, *covered).empty());
        EXPECT_TRUE(PlanLedgerChange(noisy, rows, kDay, *covered).empty());
    }
}

TEST(LedgerChangeRule, ADayNeverShrinksWhenItsFilesGo) {
    const std::vector<LedgerRow> stored = {Row("2025-05-01", "/a", 5, 500),
                                           Row("2025-05-01", "/b", 2, 200)};
    // One file of two deleted: /a's rows now come from the remaining file only.
    EXPECT_TRUE(PlanLedgerChange({Row("2025-05-01", "/a", 3, 300), Row("2025-05-01", "/b", 2, 200)},
                                 stored, kDay, kNone)
                    .empty());
    // Every file deleted: the logs give nothing for the day.
    EXPECT_TRUE(PlanLedgerChange({}, stored, kDay, kNone).empty());
}

TEST(LedgerChangeRule, ADayWithoutFullLogsTakesOnlyWhatGrew) {
    const std::vector<LedgerRow> stored = {Row("2025-05-01", "/a", 5, 500),
                                           Row("2025-05-01", "/b", 2, 200)};
    struct Case {
        const char* name;
        LedgerRow logs;
        bool written;
    };
    const Case cases[] = {
        {"more messages", Row("2025-05-01", "/a", 6, 100), true},
        {"as many messages, more tokens", Row("2025-05-01", "/a", 5, 501), true},
        {"as many messages and tokens, other dollars", Row("2025-05-01", "/a", 5, 500, 9.0), false},
        {"as many messages, fewer tokens", Row("2025-05-01", "/a", 5, 499), false},
        {"fewer messages, more tokens", Row("2025-05-01", "/a", 4, 9000), false},
        {"a new project", Row("2025-05-01", "/c", 1, 1), true},
    };
    for (const Case& c : cases) {
        const LedgerChange change = PlanLedgerChange({c.logs}, stored, kDay, kNone);
        EXPECT_TRUE(change.remove.empty()) << c.name;
        ASSERT_EQ(change.upsert.size(), c.written ? 1u : 0u) << c.name;
        if (c.written) {
            EXPECT_EQ(change.upsert[0], c.logs) << c.name;
        }
    }
}

TEST(LedgerChangeRule, ADayTheLogsFullyHoldIsRewrittenToMatchThem) {
    const std::vector<LedgerRow> stored = {Row("2025-05-01", "/a", 5, 500),
                                           Row("2025-05-01", "/b", 2, 200)};
    // A record of /a changed (its figures shrank) and /b's only record moved to /c.
    const std::vector<LedgerRow> logs = {Row("2025-05-01", "/a", 5, 450),
                                         Row("2025-05-01", "/c", 2, 200)};
    const LedgerChange change = PlanLedgerChange(logs, stored, kDay, kDay);
    EXPECT_EQ(change.upsert, logs);
    ASSERT_EQ(change.remove.size(), 1u);
    EXPECT_EQ(change.remove[0], stored[1].key);
}

TEST(LedgerChangeRule, TheBackfillKeepsAnOldDayTheLedgerHolds) {
    // Days past the logs' reach: the ledger has them from earlier, the backfill finds less.
    const std::set<std::string> days = {"2025-03-01", "2025-03-02"};
    const std::vector<LedgerRow> stored = {Row("2025-03-01", "/a", 40, 4000)};
    const std::vector<LedgerRow> logs = {Row("2025-03-01", "/a", 12, 1200),
                                         Row("2025-03-02", "/a", 7, 700)};
    const LedgerChange change = PlanLedgerChange(logs, stored, days, kNone);
    ASSERT_EQ(change.upsert.size(), 1u);
    EXPECT_EQ(change.upsert[0], logs[1]);  // only the day the ledger did not hold
    EXPECT_TRUE(change.remove.empty());
    // Run again after that write: nothing more.
    std::vector<LedgerRow> after = stored;
    after.push_back(logs[1]);
    EXPECT_TRUE(PlanLedgerChange(logs, after, days, kNone).empty());
}

TEST(LedgerChangeRule, OtherMachinesAndOtherDaysAreLeftAlone) {
    LedgerRow foreign = Row("2025-05-01", "/a", 9, 900);
    foreign.machine = "LAPTOP";
    const std::vector<LedgerRow> stored = {foreign, Row("2025-04-01", "/a", 1, 100)};
    const LedgerChange change = PlanLedgerChange(
        {Row("2025-05-01", "/a", 1, 100), Row("2025-04-01", "/a", 5, 500)}, stored, kDay, kDay);
    ASSERT_EQ(change.upsert.size(), 1u);
    EXPECT_EQ(change.upsert[0].key.day, "2025-05-01");
    EXPECT_TRUE(change.upsert[0].machine.empty());
    EXPECT_TRUE(change.remove.empty());
}

}  // namespace
