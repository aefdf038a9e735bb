#include "history/ledger_store.h"
#include "history/ledger_folder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "history/ledger_days.h"
#include "platform/system.h"
#include "platform/unicode.h"
#include "platform/whole_file.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kNow = 1796911200;  // 2026-12-10 14:00 UTC: the 10th or 11th in every time zone

// A connection of the test's own, beside the store's.
class Raw {
public:
    explicit Raw(const std::wstring& path) {
        const std::u8string name = PathFromWide(path).u8string();
        sqlite3_open(std::string(name.begin(), name.end()).c_str(), &db_);
    }
    ~Raw() { sqlite3_close(db_); }
    Raw(const Raw&) = delete;
    Raw& operator=(const Raw&) = delete;
    int Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }
    int64_t Int(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr);
        const int64_t value =
            sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
        sqlite3_finalize(statement);
        return value;
    }

private:
    sqlite3* db_ = nullptr;
};

LedgerRow Row(const std::string& day, LedgerTool tool, const std::string& place,
              const std::string& project, const std::string& model, int64_t messages,
              double dollars = 0) {
    LedgerRow row;
    row.key = {day, tool, place, project, model};
    row.totals.messages = messages;
    row.totals.input = messages * 1000;
    row.totals.dollars = dollars;
    return row;
}

std::vector<LedgerRow> Sorted(std::vector<LedgerRow> rows) {
    std::sort(rows.begin(), rows.end(),
              [](const LedgerRow& a, const LedgerRow& b) { return a.key < b.key; });
    return rows;
}

std::vector<LedgerRow> AllRows(LedgerStore& store) {
    return store.Rows().value_or(std::vector<LedgerRow>{});
}

// A ledger with `rows` written and closed (so its -wal is folded into the file).
void MakeLedger(const std::wstring& path, const std::vector<LedgerRow>& rows) {
    LedgerOpenResult opened = LedgerStore::Open(path, true, kNow);
    ASSERT_TRUE(opened.store);
    LedgerWrite write;
    write.upserts = rows;
    ASSERT_TRUE(opened.store->Apply(write));
}

// The ledger's day numbers: every real date and only those, both ways.
TEST(LedgerDays, ConvertsRealDatesOnly) {
    const std::pair<const char*, int64_t> real[] = {
        {"1970-01-01", 0},     {"1969-12-31", -1},      {"2000-03-01", 11017},
        {"2024-02-29", 19782}, {"0001-01-01", -719162}, {"9999-12-31", 2932896},
    };
    for (const auto& [text, number] : real) {
        EXPECT_EQ(DayNumber(text), number) << text;
        EXPECT_EQ(DayFromNumber(number), text);
    }
    for (const char* bad : {"2023-02-29", "2100-02-29", "2026-13-01", "2026-00-10", "2026-04-31",
                            "0000-01-01", "2026-1-01", "2026/01/01", "2026-01-0x", ""}) {
        EXPECT_EQ(DayNumber(bad), std::nullopt) << bad;
    }
    for (int64_t day = -800; day < 60000; day += 7) {
        EXPECT_EQ(DayNumber(DayFromNumber(day)), day);
    }
}

TEST(LedgerStore, KeepsRowsAndProgressAcrossAReopen) {
    TempDir dir;
    const std::wstring path = dir.File("usage-PC.db");
    std::vector<LedgerRow> rows = {
        Row("2026-01-02", LedgerTool::kClaude, "Windows",
            "C:\\Users\\J\xC3\xBCrgen\\\xE6\x97\xA5\xE6\x9C\xAC", "claude-opus-4-5", 12,
            1234567.89),
        Row("2026-01-02", LedgerTool::kCodex, "WSL: Ubuntu", "", "gpt-5-codex", 3, 0.01),
        Row("2026-01-01", LedgerTool::kClaude, "Windows", "/home/me/\xF0\x9F\x8C\x8A",
            "claude-sonnet-4-5", 1),
        Row("2026-01-03", LedgerTool::kClaude, "Windows", "/home/me/\xF0\x9F\x8C\x8A",
            "claude-sonnet-4-5", 2),
    };
    rows[0].totals = {9'000'000'000, 8'000'000'000'000,     7'000'000'000'000, 6'000'000'000,
                      5'000'000'000, 4'000'000'000'000'000, 1234567.89,        true};
    {
        LedgerOpenResult opened = LedgerStore::Open(path, true, kNow);
        ASSERT_EQ(opened.status, LedgerOpenStatus::kCreated);
        ASSERT_TRUE(opened.store && opened.store->writable());
        LedgerWrite write;
        write.upserts = rows;
        write.meta = {{"backfill", "2025-12-01"}, {"\xC3\xBC", "\xE2\x80\xA6"}};
        ASSERT_TRUE(opened.store->Apply(write));
    }
    LedgerOpenResult opened = LedgerStore::Open(path, true, kNow);
    ASSERT_EQ(opened.status, LedgerOpenStatus::kOpened);
    EXPECT_EQ(AllRows(*opened.store), Sorted(rows));
    EXPECT_EQ(opened.store->Rows("2026-01-02", "2026-01-02"),
              (std::vector<LedgerRow>{rows[0], rows[1]}));
    EXPECT_EQ(opened.store->Rows("2026-01-03", ""), (std::vector<LedgerRow>{rows[3]}));
    EXPECT_EQ(opened.store->Rows("", "2026-01-01"), (std::vector<LedgerRow>{rows[2]}));
    EXPECT_EQ(opened.store->Rows("2026-02-30", ""), std::nullopt);
    EXPECT_EQ(opened.store->Meta("backfill"), "2025-12-01");
    EXPECT_EQ(opened.store->Meta("\xC3\xBC"), "\xE2\x80\xA6");
    EXPECT_EQ(opened.store->Meta("never"), std::nullopt);

    // A reader beside the writer sees the same.
    LedgerOpenResult reader = LedgerStore::Open(path, false, kNow);
    ASSERT_EQ(reader.status, LedgerOpenStatus::kOpened);
    EXPECT_FALSE(reader.store->writable());
    EXPECT_EQ(AllRows(*reader.store), Sorted(rows));
    EXPECT_FALSE(reader.store->Apply(LedgerWrite{{rows[0]}, {}, {}}));
}

TEST(LedgerStore, UpsertsAndDeletesInOneWriteAndAnEmptyWriteTouchesNothing) {
    TempDir dir;
    const std::wstring path = dir.File("usage-PC.db");
    LedgerOpenResult opened = LedgerStore::Open(path, true, kNow);
    ASSERT_TRUE(opened.store);
    LedgerStore& store = *opened.store;
    const LedgerRow a = Row("2026-03-01", LedgerTool::kClaude, "Windows", "p", "m", 1);
    const LedgerRow b = Row("2026-03-01", LedgerTool::kCodex, "Windows", "p", "m", 2);
    ASSERT_TRUE(store.Apply(LedgerWrite{{a, b}, {}, {}}));

    Raw other(path);
    const int64_t version = other.Int("PRAGMA data_version");
    EXPECT_TRUE(store.Apply(LedgerWrite{}));
    EXPECT_EQ(other.Int("PRAGMA data_version"), version);

    LedgerRow changed = a;
    changed.totals.messages = 40;
    changed.totals.dollars = 0.07;
    const LedgerRow c = Row("2026-03-02", LedgerTool::kClaude, "WSL: Debian", "q", "m", 3);
    const LedgerKey neverStored = {"2026-03-01", LedgerTool::kClaude, "nowhere", "p", "m"};
    ASSERT_TRUE(store.Apply(LedgerWrite{{changed, c}, {b.key, neverStored}, {}}));
    EXPECT_NE(other.Int("PRAGMA data_version"), version);
    EXPECT_EQ(AllRows(store), (std::vector<LedgerRow>{changed, c}));

    // A row without a real date fails the whole write.
    const LedgerRow d = Row("2026-03-03", LedgerTool::kClaude, "Windows", "p", "m", 4);
    const LedgerRow bad = Row("2026-02-30", LedgerTool::kClaude, "Windows", "p", "m", 5);
    EXPECT_FALSE(store.Apply(LedgerWrite{{d, bad}, {c.key}, {{"k", "v"}}}));
    EXPECT_EQ(AllRows(store), (std::vector<LedgerRow>{changed, c}));
    EXPECT_EQ(store.Meta("k"), std::nullopt);
}

TEST(LedgerStore, WaitsOutAnotherWriterThenFailsAndTheNextWriteSucceeds) {
    TempDir dir;
    const std::wstring path = dir.File("usage-PC.db");
    LedgerOpenResult opened = LedgerStore::Open(path, true, kNow);
    ASSERT_TRUE(opened.store);
    const LedgerRow a = Row("2026-03-01", LedgerTool::kClaude, "Windows", "p", "m", 1);
    Raw other(path);
    ASSERT_EQ(other.Exec("BEGIN IMMEDIATE"), SQLITE_OK);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(opened.store->Apply(LedgerWrite{{a}, {}, {}}));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));
    ASSERT_EQ(other.Exec("ROLLBACK"), SQLITE_OK);
    EXPECT_TRUE(opened.store->Apply(LedgerWrite{{a}, {}, {}}));
    EXPECT_EQ(AllRows(*opened.store), (std::vector<LedgerRow>{a}));
}

TEST(LedgerStore, ANewerSchemaIsReadButNeverWritten) {
    TempDir dir;
    const std::wstring path = dir.File("usage-PC.db");
    const LedgerRow a = Row("2026-03-01", LedgerTool::kClaude, "Windows", "p", "m", 1);
    MakeLedger(path, {a});
    {
        Raw newer(path);
        ASSERT_EQ(newer.Exec("PRAGMA user_version = 3"), SQLITE_OK);
    }
    const std::string before = ReadWholeFile(path);
    for (const bool writable : {true, false}) {
        LedgerOpenResult opened = LedgerStore::Open(path, writable, kNow);
        ASSERT_EQ(opened.status, LedgerOpenStatus::kNewerSchema);
        EXPECT_FALSE(opened.store->writable());
        EXPECT_EQ(AllRows(*opened.store), (std::vector<LedgerRow>{a}));
        EXPECT_FALSE(opened.store->Apply(LedgerWrite{{}, {a.key}, {}}));
    }
    EXPECT_EQ(ReadWholeFile(path), before);
}

// A ledger as the version before logins wrote it: two rows of one day.
void MakeUnnamedLedger(const std::wstring& path) {
    Raw old(path);
    const std::string day = std::to_string(*DayNumber("2026-03-01"));
    const std::string sql =
        "CREATE TABLE names(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);"
        "CREATE TABLE usage(day INTEGER NOT NULL, tool INTEGER NOT NULL, place INTEGER NOT NULL,"
        " project INTEGER NOT NULL, model INTEGER NOT NULL, messages INTEGER NOT NULL,"
        " input INTEGER NOT NULL, output INTEGER NOT NULL, cache_write_5m INTEGER NOT NULL,"
        " cache_write_1h INTEGER NOT NULL, cache_read INTEGER NOT NULL, dollars REAL NOT NULL,"
        " estimated INTEGER NOT NULL, PRIMARY KEY(day, tool, place, project, model)) WITHOUT ROWID;"
        "CREATE TABLE meta(key TEXT PRIMARY KEY NOT NULL, value TEXT NOT NULL) WITHOUT ROWID;"
        "INSERT INTO names VALUES(1, 'Windows'), (2, 'p'), (3, 'm'), (4, 'q');"
        "INSERT INTO usage VALUES(" +
        day +
        ", 0, 1, 2, 3, 1, 1000, 0, 0, 0, 0, 0.5, 0),"
        " (" +
        day +
        ", 1, 1, 4, 3, 2, 2000, 0, 0, 0, 0, 0, 1);"
        "INSERT INTO meta VALUES('history_read', 'Windows');"
        "PRAGMA user_version = 1;";
    ASSERT_EQ(old.Exec(sql.c_str()), SQLITE_OK);
}

TEST(LedgerStore, AnOlderLedgerKeepsEveryRowUnnamedAndThenHoldsTwoLoginsApart) {
    TempDir dir;
    const std::wstring path = dir.File("usage.db");
    MakeUnnamedLedger(path);
    LedgerRow claude = Row("2026-03-01", LedgerTool::kClaude, "Windows", "p", "m", 1, 0.5);
    LedgerRow codex = Row("2026-03-01", LedgerTool::kCodex, "Windows", "q", "m", 2);
    codex.totals.estimated = true;
    const std::vector<LedgerRow> old = {claude, codex};

    // Read as it is (another computer's file, or this one's before the writer opened it).
    const std::unique_ptr<LedgerStore> snapshot = LedgerStore::OpenSnapshot(path);
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(AllRows(*snapshot), old);
    LedgerOpenResult reader = LedgerStore::Open(path, false, kNow);
    ASSERT_EQ(reader.status, LedgerOpenStatus::kOpened);
    EXPECT_EQ(AllRows(*reader.store), old);
    reader.store.reset();

    LedgerOpenResult opened = LedgerStore::Open(path, true, kNow);
    ASSERT_EQ(opened.status, LedgerOpenStatus::kOpened);
    EXPECT_EQ(AllRows(*opened.store), old) << "every row kept, with no login";
    EXPECT_EQ(opened.store->Meta("history_read"), "Windows");

    // Two logins' rows of one day, place, project and model are two rows; the unnamed one stays.
    LedgerRow me = claude, work = claude;
    me.key.account = "me@example.com";
    work.key.account = "work";
    work.totals.messages = 7;
    ASSERT_TRUE(opened.store->Apply(LedgerWrite{{work, me}, {}, {}}));
    EXPECT_EQ(AllRows(*opened.store), Sorted({claude, me, work, codex}));
    ASSERT_TRUE(opened.store->Apply(LedgerWrite{{}, {me.key}, {}}));
    EXPECT_EQ(AllRows(*opened.store), Sorted({claude, work, codex})) << "only that login's row";
    opened.store.reset();

    // The version before reads this file by column name, read-only: it finds every row.
    Raw older(path);
    EXPECT_EQ(older.Int("PRAGMA user_version"), 2);
    EXPECT_EQ(older.Int("SELECT count(*) FROM usage u JOIN names p ON p.id = u.place"
                        " JOIN names j ON j.id = u.project JOIN names m ON m.id = u.model"),
              3);
}

TEST(LedgerStore, MovesADamagedFileAsideAndStartsAfresh) {
    std::vector<LedgerRow> many;
    for (int i = 0; i < 3000; ++i) {
        many.push_back(Row(DayFromNumber(20000 + i / 10), LedgerTool::kClaude, "Windows",
                           "/project/" + std::to_string(i % 10), "model", i));
    }
    const struct {
        const char* name;
        void (*damage)(const std::wstring& path, const std::vector<LedgerRow>& rows);
    } cases[] = {
        {"garbage header",
         [](const std::wstring& path, const std::vector<LedgerRow>&) {
             WriteBytes(PathFromWide(path), std::string(8192, 'x'));
         }},
        {"truncated to half",
         [](const std::wstring& path, const std::vector<LedgerRow>& rows) {
             MakeLedger(path, rows);
             const std::string whole = ReadWholeFile(path);
             ASSERT_GT(whole.size(), 100000u);
             WriteBytes(PathFromWide(path), whole.substr(0, whole.size() / 2));
         }},
        {"another program's database",
         [](const std::wstring& path, const std::vector<LedgerRow>&) {
             Raw other(path);
             other.Exec("CREATE TABLE notes(text TEXT)");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::wstring path = dir.File("usage-PC.db");
        c.damage(path, many);
        const std::string before = ReadWholeFile(path);

        LedgerOpenResult reader = LedgerStore::Open(path, false, kNow);
        EXPECT_EQ(reader.status, LedgerOpenStatus::kFailed);  // a reader changes nothing
        EXPECT_EQ(LedgerStore::OpenSnapshot(path), nullptr);
        EXPECT_EQ(ReadWholeFile(path), before);

        LedgerOpenResult opened = LedgerStore::Open(path, true, kNow);
        ASSERT_EQ(opened.status, LedgerOpenStatus::kMovedAside);
        const std::wstring moved = opened.movedTo;
        const std::wstring name = WideFromPath(PathFromWide(moved).filename());
        EXPECT_EQ(name.rfind(L"usage-PC.db.damaged-2026121", 0), 0u) << WideToUtf8(name);
        EXPECT_EQ(name.size(), std::wstring(L"usage-PC.db.damaged-20261210-120000").size());
        EXPECT_EQ(ReadWholeFile(moved), before);
        ASSERT_TRUE(opened.store && opened.store->writable());
        EXPECT_EQ(AllRows(*opened.store), std::vector<LedgerRow>{});
        EXPECT_TRUE(opened.store->Apply(LedgerWrite{{many[0]}, {}, {}}));
        opened.store.reset();
        EXPECT_EQ(LedgerStore::Open(path, true, kNow).status, LedgerOpenStatus::kOpened);
    }
}

TEST(LedgerStore, AnEmptyFileIsNewAndAMissingOneIsNotReadOrMade) {
    TempDir dir;
    const std::wstring empty = dir.File("usage-PC.db");
    WriteBytes(PathFromWide(empty), "");
    LedgerOpenResult opened = LedgerStore::Open(empty, true, kNow);
    EXPECT_EQ(opened.status, LedgerOpenStatus::kCreated);
    EXPECT_TRUE(opened.movedTo.empty());
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        files += entry.path().filename().string().find("damaged") == std::string::npos ? 0 : 1;
    }
    EXPECT_EQ(files, 0);

    const std::wstring missing = dir.File("usage-OTHER.db");
    EXPECT_EQ(LedgerStore::Open(missing, false, kNow).status, LedgerOpenStatus::kFailed);
    EXPECT_FALSE(fs::exists(PathFromWide(missing)));
    // A folder where the file should be: neither damaged nor to be moved.
    fs::create_directory(PathFromWide(missing));
    LedgerOpenResult blocked = LedgerStore::Open(missing, true, kNow);
    EXPECT_EQ(blocked.status, LedgerOpenStatus::kFailed);
    EXPECT_FALSE(blocked.store);
    EXPECT_TRUE(fs::is_directory(PathFromWide(missing)));
}

TEST(LedgerFolder, ReadsOtherComputersLedgersAndNamesTheUnreadable) {
    const std::pair<const char*, std::optional<std::string>> names[] = {
        {"usage-PC.db", "PC"},
        {"usage-\xC3\xBC-2.db", "\xC3\xBC-2"},
        {"usage-.db", std::nullopt},
        {"usage-PC.db-wal", std::nullopt},
        {"usage-PC.db.damaged-20261210-120000", std::nullopt},
        {"Usage-PC.db", std::nullopt},
    };
    for (const auto& [name, machine] : names)
        EXPECT_EQ(LedgerMachineFromFileName(name), machine) << name;

    TempDir dir;
    const std::wstring folder = dir.File("sync \xC3\xBC #%41");
    const auto file = [&](const std::string& name) {
        return WideFromPath(PathFromWide(folder) / PathFromWide(Utf8ToWide(name)));
    };
    const LedgerRow a1 = Row("2026-03-01", LedgerTool::kClaude, "Windows", "p", "m", 1);
    const LedgerRow a2 = Row("2026-03-05", LedgerTool::kCodex, "Windows", "p", "m", 2);
    const LedgerRow b1 = Row("2026-03-02", LedgerTool::kClaude, "Windows", "q", "m", 3);
    fs::create_directories(PathFromWide(folder));
    MakeLedger(file("usage-BETA.db"), {b1});
    MakeLedger(file("usage-ALPHA.db"), {a1, a2});
    MakeLedger(file("usage-HOME.db"), {a1});  // this computer's own
    WriteBytes(PathFromWide(file("usage-GAMMA.db")), std::string(5000, '\x01'));
    WriteBytes(PathFromWide(file("notes.txt")), "not a ledger");

    LedgerFolder read = ReadLedgerFolder(folder, "HOME");
    std::vector<LedgerRow> expected = {a1, a2, b1};
    expected[0].machine = expected[1].machine = "ALPHA";
    expected[2].machine = "BETA";
    EXPECT_EQ(read.rows, expected);
    EXPECT_EQ(read.skipped, std::vector<std::wstring>{file("usage-GAMMA.db")});
    EXPECT_EQ(ReadLedgerFolder(folder, "HOME", "2026-03-02", "2026-03-31").rows,
              (std::vector<LedgerRow>{expected[1], expected[2]}));
    // Snapshots leave nothing beside the files they read.
    EXPECT_FALSE(fs::exists(PathFromWide(file("usage-ALPHA.db-wal"))));
    EXPECT_FALSE(fs::exists(PathFromWide(file("usage-ALPHA.db-shm"))));

    // A computer still writing: each write reaches the file itself, not only its -wal (which a
    // snapshot never reads).
    LedgerOpenResult writer = LedgerStore::Open(file("usage-DELTA.db"), true, kNow);
    ASSERT_TRUE(writer.store && writer.store->Apply(LedgerWrite{{b1}, {}, {}}));
    EXPECT_TRUE(fs::exists(PathFromWide(file("usage-DELTA.db-wal"))));
    read = ReadLedgerFolder(folder, "HOME", "2026-03-02", "2026-03-02");
    expected = {b1, b1};
    expected[0].machine = "BETA";
    expected[1].machine = "DELTA";
    EXPECT_EQ(read.rows, expected);
}

}  // namespace
