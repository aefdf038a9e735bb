// Every computer's history from one folder: this computer's ledger read-only, the others' as
// snapshots, each row tagged with its computer.
#include "history/history_rows.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "history/history_csv.h"
#include "history/ledger_store.h"
#include "platform/system.h"
#include "platform/unicode.h"
#include "platform/whole_file.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kNow = 1796911200;

LedgerRow Row(const std::string& day, LedgerTool tool, const std::string& model, int64_t messages,
              double dollars) {
    LedgerRow row;
    row.key = {day, tool, "This computer", "/home/dev/app", model};
    row.totals.messages = messages;
    row.totals.input = messages * 100;
    row.totals.dollars = dollars;
    return row;
}

// A ledger with `rows`, written through the store the program writes with; kept open (as the
// desktop program keeps its own) when `writer` is given.
void MakeLedger(const std::wstring& path, const std::vector<LedgerRow>& rows,
                std::unique_ptr<LedgerStore>* writer = nullptr) {
    LedgerOpenResult opened = LedgerStore::Open(path, true, kNow);
    ASSERT_TRUE(opened.store);
    ASSERT_TRUE(opened.store->Apply(LedgerWrite{rows, {}, {}}));
    if (writer)
        *writer = std::move(opened.store);
}

std::vector<LedgerRow> Tagged(std::vector<LedgerRow> rows, const std::string& machine) {
    for (LedgerRow& row : rows)
        row.machine = machine;
    return rows;
}

const LedgerRow kDesk1 = Row("2026-12-01", LedgerTool::kClaude, "claude-opus-4-1", 4, 1.5);
const LedgerRow kDesk2 = Row("2026-12-02", LedgerTool::kCodex, "gpt-5-codex", 2, 0);
const LedgerRow kLaptop = Row("2026-12-01", LedgerTool::kClaude, "claude-sonnet-4-5", 7, 0.25);

TEST(HistoryRows, TwoComputersInOneFolderAreOneHistoryWithTheMachineColumn) {
    TempDir dir;
    const std::wstring shared = dir.File("synced folder");
    const LedgerLocation location = LedgerLocationFor(dir.File("data"), shared, L"DESK");
    ASSERT_EQ(location.ownPath, WideFromPath(PathFromWide(shared) / "usage-DESK.db"));
    // This computer's ledger is open in the desktop program, its last write still in the -wal.
    std::unique_ptr<LedgerStore> running;
    MakeLedger(location.ownPath, {kDesk1, kDesk2}, &running);
    MakeLedger(WideFromPath(PathFromWide(shared) / "usage-LAPTOP.db"), {kLaptop});

    const HistoryRows history = ReadHistoryRows(location, kNow);
    std::vector<LedgerRow> expected = Tagged({kDesk1, kDesk2}, "DESK");
    expected.push_back(Tagged({kLaptop}, "LAPTOP")[0]);
    EXPECT_EQ(history.rows, expected);
    EXPECT_TRUE(history.ownUnreadable.empty());
    EXPECT_TRUE(history.othersUnreadable.empty());

    const std::string csv = BuildHistoryCsv(history.rows);
    EXPECT_NE(csv.find("\r\n2026-12-01,DESK,claude,This computer,/home/dev/app,claude-opus-4-1,4,"
                       "400,0,0,0,0,1.50,0,\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\r\n2026-12-01,LAPTOP,claude,This computer,/home/dev/app,"
                       "claude-sonnet-4-5,7,700,0,0,0,0,0.25,0,\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find("\r\n2026-12-02,DESK,codex,"), std::string::npos) << csv;
}

TEST(HistoryRows, ThisComputersUnnamedRowsTakeItsDefaultLoginsNamesAndOthersStayUnnamed) {
    TempDir dir;
    const std::wstring data = dir.File("data");
    const LedgerLocation location = LedgerLocationFor(data, L"", L"DESK");
    LedgerRow work = kDesk1;
    work.key.account = "work";
    MakeLedger(location.ownPath, {kDesk1, kDesk2, work});
    MakeLedger(WideFromPath(PathFromWide(data) / "usage-LAPTOP.db"), {kLaptop});
    struct Case {
        DefaultAccounts defaults;
        std::vector<std::string> accounts;  // of kDesk1, work, kDesk2, kLaptop
    };
    const Case cases[] = {
        {{}, {"", "work", "", ""}},
        {{"me@example.com", "personal"}, {"me@example.com", "work", "personal", ""}},
        {{"me@example.com", ""}, {"me@example.com", "work", "", ""}},
    };
    for (const Case& c : cases) {
        const HistoryRows history = ReadHistoryRows(location, kNow, c.defaults);
        std::vector<std::string> accounts;
        for (const LedgerRow& row : history.rows)
            accounts.push_back(row.key.account);
        EXPECT_EQ(accounts, c.accounts) << c.defaults.claude;
    }
}

TEST(HistoryRows, InTheDataFolderThisComputersLedgerIsUsageDb) {
    TempDir dir;
    const std::wstring data = dir.File("data");
    const LedgerLocation location = LedgerLocationFor(data, L"", L"DESK");
    MakeLedger(location.ownPath, {kDesk1});
    MakeLedger(WideFromPath(PathFromWide(data) / "usage-LAPTOP.db"), {kLaptop});
    std::vector<LedgerRow> expected = Tagged({kDesk1}, "DESK");
    expected.push_back(Tagged({kLaptop}, "LAPTOP")[0]);
    EXPECT_EQ(ReadHistoryRows(location, kNow).rows, expected);
}

TEST(HistoryRows, AMissingOwnLedgerIsNoFaultAndADamagedOneIsNamedAndLeftAlone) {
    TempDir dir;
    const std::wstring shared = dir.File("shared");
    const LedgerLocation location = LedgerLocationFor(dir.File("data"), shared, L"DESK");
    MakeLedger(WideFromPath(PathFromWide(shared) / "usage-LAPTOP.db"), {kLaptop});
    const std::wstring broken = WideFromPath(PathFromWide(shared) / "usage-OLD.db");
    WriteBytes(PathFromWide(broken), std::string(4096, '\x02'));

    // Not there yet (a first start, a folder just chosen): the others' rows, and nothing made.
    HistoryRows history = ReadHistoryRows(location, kNow);
    EXPECT_EQ(history.rows, Tagged({kLaptop}, "LAPTOP"));
    EXPECT_TRUE(history.ownUnreadable.empty());
    EXPECT_EQ(history.othersUnreadable, std::vector<std::wstring>{broken});
    EXPECT_FALSE(fs::exists(PathFromWide(location.ownPath)));

    // There but damaged: named, and neither moved aside nor rewritten (the worker does that).
    const std::string garbage(8192, '\x03');
    WriteBytes(PathFromWide(location.ownPath), garbage);
    history = ReadHistoryRows(location, kNow);
    EXPECT_EQ(history.ownUnreadable, location.ownPath);
    EXPECT_EQ(history.rows, Tagged({kLaptop}, "LAPTOP"));
    EXPECT_EQ(ReadWholeFile(location.ownPath), garbage);
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(PathFromWide(shared))) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 3u);  // LAPTOP, OLD and the damaged one: nothing beside them
}

TEST(HistoryRows, ReadsWhereTheWorkerSaysOnceItHasSaidSo) {
    const LedgerLocation configured{L"/data", L"/data/usage.db", "DESK"};
    HistoryState told;
    told.folder = L"/sync";
    told.ledgerPath = L"/sync/usage-DESK.db";
    told.machine = "DESK";
    HistoryState noLedger = told;  // the worker could not open its ledger
    noLedger.ledgerPath.clear();
    HistoryState unnamed = told;
    unnamed.machine.clear();
    const struct {
        HistoryState published;
        LedgerLocation expected;
    } cases[] = {
        {HistoryState{}, configured},
        {told, {L"/sync", L"/sync/usage-DESK.db", "DESK"}},
        {noLedger, configured},
        {unnamed, {L"/sync", L"/sync/usage-DESK.db", "DESK"}},
    };
    for (const auto& c : cases) {
        const LedgerLocation location = ReadableLedgerLocation(c.published, configured);
        EXPECT_EQ(location.folder, c.expected.folder);
        EXPECT_EQ(location.ownPath, c.expected.ownPath);
        EXPECT_EQ(location.machine, c.expected.machine);
    }
}

}  // namespace
