#include "history/ledger_store.h"

#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <limits>
#include <map>

#include "history/ledger_days.h"
#include "platform/local_time.h"
#include "platform/system.h"

namespace fs = std::filesystem;

namespace {

// The schema this program writes. A file with a higher user_version was written by a newer
// program: it is read, never written.
constexpr int kSchemaVersion = 2;
// Long enough to wait out the writer's one short transaction, short enough not to hold up the
// thread that asks.
constexpr int kBusyTimeoutMs = 400;

// Each step takes the file from user_version `from` to `from + 1`, inside one transaction.
// Names (places, projects, models) are stored once and referred to by number, and a day as its
// day number: together they keep a heavy year of rows to a few megabytes.
const char* const kMigrations[] = {
    // 0 -> 1
    "CREATE TABLE names(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);"
    "CREATE TABLE usage(day INTEGER NOT NULL, tool INTEGER NOT NULL, place INTEGER NOT NULL,"
    " project INTEGER NOT NULL, model INTEGER NOT NULL, messages INTEGER NOT NULL,"
    " input INTEGER NOT NULL, output INTEGER NOT NULL, cache_write_5m INTEGER NOT NULL,"
    " cache_write_1h INTEGER NOT NULL, cache_read INTEGER NOT NULL, dollars REAL NOT NULL,"
    " estimated INTEGER NOT NULL,"
    " PRIMARY KEY(day, tool, place, project, model)) WITHOUT ROWID;"
    "CREATE TABLE meta(key TEXT PRIMARY KEY NOT NULL, value TEXT NOT NULL) WITHOUT ROWID;",
    // 1 -> 2: the login joins the key. A key column cannot be added in place, so the rows move
    // to a new table under the old name; every row kept, its login empty (the place's default).
    // The login comes last, so that an older program that reads by column name (and opens
    // this version read-only) still reads every row.
    "INSERT OR IGNORE INTO names(name) VALUES('');"
    "CREATE TABLE usage_accounts(day INTEGER NOT NULL, tool INTEGER NOT NULL,"
    " place INTEGER NOT NULL, project INTEGER NOT NULL, model INTEGER NOT NULL,"
    " messages INTEGER NOT NULL, input INTEGER NOT NULL, output INTEGER NOT NULL,"
    " cache_write_5m INTEGER NOT NULL, cache_write_1h INTEGER NOT NULL,"
    " cache_read INTEGER NOT NULL, dollars REAL NOT NULL, estimated INTEGER NOT NULL,"
    " account INTEGER NOT NULL,"
    " PRIMARY KEY(day, tool, place, project, model, account)) WITHOUT ROWID;"
    "INSERT INTO usage_accounts SELECT day, tool, place, project, model, messages, input,"
    " output, cache_write_5m, cache_write_1h, cache_read, dollars, estimated,"
    " (SELECT id FROM names WHERE name = '') FROM usage;"
    "DROP TABLE usage;"
    "ALTER TABLE usage_accounts RENAME TO usage;",
};
static_assert(std::size(kMigrations) == kSchemaVersion);

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Db = std::unique_ptr<sqlite3, CloseDb>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// Resets a reused statement and its bindings when it goes out of scope, on every path.
class Use {
public:
    explicit Use(sqlite3_stmt* statement) : statement_(statement) {}
    ~Use() {
        if (statement_) {
            sqlite3_reset(statement_);
            sqlite3_clear_bindings(statement_);
        }
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    explicit operator bool() const { return statement_ != nullptr; }
    sqlite3_stmt* get() const { return statement_; }

private:
    sqlite3_stmt* statement_;
};

bool BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    return sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                             SQLITE_TRANSIENT) == SQLITE_OK;
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement, column)))
                : std::string();
}

// What SQLite's file name wants: UTF-8 on Windows, the path's own bytes elsewhere.
std::string SqlitePath(const std::wstring& path) {
    const std::u8string bytes = PathFromWide(path).u8string();
    return std::string(bytes.begin(), bytes.end());
}

// A "file:" URI for the path with `query`; '/' separators, and the characters a URI gives a
// meaning to escaped.
std::string SqliteUri(const std::wstring& path, const std::string& query) {
    const std::u8string generic = PathFromWide(path).generic_u8string();
    std::string uri = "file://";
    if (generic.empty() || generic.front() != u8'/')
        uri += '/';  // "C:/..." -> "file:///C:/..."
    for (const char8_t c : generic) {
        if (c == u8'%' || c == u8'?' || c == u8'#' || c < 0x20) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned>(c));
            uri += escaped;
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri + "?" + query;
}

enum class Outcome { kOk, kDamaged, kFailed };

// A damaged file says so through these codes; anything else (busy, denied, full, an I/O error)
// is a passing trouble that must not cost the user their ledger.
Outcome FromCode(int code) {
    const int primary = code & 0xff;
    if (primary == SQLITE_OK || primary == SQLITE_ROW || primary == SQLITE_DONE) {
        return Outcome::kOk;
    }
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB ? Outcome::kDamaged
                                                                 : Outcome::kFailed;
}

// Runs a statement that returns at most one row; `read` takes its values when there is one.
template <typename Read>
int QueryOne(sqlite3* db, const char* sql, Read read) {
    sqlite3_stmt* raw = nullptr;
    int code = sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
    const Statement statement(raw);
    if (code != SQLITE_OK)
        return code;
    code = sqlite3_step(raw);
    if (code == SQLITE_ROW)
        read(raw);
    return code == SQLITE_ROW || code == SQLITE_DONE ? SQLITE_OK : code;
}

int QueryInt(sqlite3* db, const char* sql, int64_t& value) {
    return QueryOne(db, sql, [&](sqlite3_stmt* s) { value = sqlite3_column_int64(s, 0); });
}

int QueryText(sqlite3* db, const char* sql, std::string& value) {
    return QueryOne(db, sql, [&](sqlite3_stmt* s) { value = ColumnText(s, 0); });
}

Db OpenDb(const std::string& name, int flags, int& code) {
    sqlite3* raw = nullptr;
    code = sqlite3_open_v2(name.c_str(), &raw, flags | SQLITE_OPEN_EXRESCODE, nullptr);
    Db db(raw);  // closed on every path, a failed open included
    if (code == SQLITE_OK)
        code = sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    // The writer's transactions touch a few pages, and a reader reads each page once: a small
    // page cache keeps a connection that lives all day from holding megabytes. (Its failure,
    // on a file that is no database, is left to the checks that tell damage apart.)
    if (code == SQLITE_OK)
        sqlite3_exec(raw, "PRAGMA cache_size = -256", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        db.reset();
    return db;
}

struct Opened {
    Db db;
    Outcome outcome = Outcome::kFailed;
    bool created = false;
    bool newer = false;
    int64_t version = kSchemaVersion;  // what the file holds once opened
};

// Brings a writable connection to the current schema, one step a transaction.
int Migrate(sqlite3* db, int64_t from) {
    for (int64_t version = from; version < kSchemaVersion; ++version) {
        int code = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (code != SQLITE_OK)
            return code;
        code = sqlite3_exec(db, kMigrations[version], nullptr, nullptr, nullptr);
        if (code == SQLITE_OK) {
            const std::string set = "PRAGMA user_version = " + std::to_string(version + 1);
            code = sqlite3_exec(db, set.c_str(), nullptr, nullptr, nullptr);
        }
        if (code == SQLITE_OK)
            code = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        if (code != SQLITE_OK) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            return code;
        }
    }
    return SQLITE_OK;
}

Opened OpenWritable(const std::wstring& path) {
    Opened result;
    int code = SQLITE_OK;
    result.db = OpenDb(SqlitePath(path), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, code);
    if (!result.db)
        return result;
    sqlite3* db = result.db.get();
    int64_t version = 0;
    if ((code = QueryInt(db, "PRAGMA user_version", version)) != SQLITE_OK) {
        result.outcome = FromCode(code);
        return result;
    }
    if (version > kSchemaVersion) {  // read as it is, by a connection that cannot write
        result.db = OpenDb(SqlitePath(path), SQLITE_OPEN_READONLY, code);
        result.outcome = result.db ? Outcome::kOk : FromCode(code);
        result.newer = true;
        result.version = version;
        return result;
    }
    std::string check;
    if ((code = QueryText(db, "PRAGMA quick_check(1)", check)) != SQLITE_OK) {
        result.outcome = FromCode(code);
        return result;
    }
    if (check != "ok") {
        result.outcome = Outcome::kDamaged;
        return result;
    }
    if (version == 0) {
        // A new (or empty) file. One with tables but no version is some other database, which
        // is moved aside rather than written into.
        int64_t tables = 0;
        if ((code = QueryInt(db, "SELECT count(*) FROM sqlite_schema", tables)) != SQLITE_OK) {
            result.outcome = FromCode(code);
            return result;
        }
        if (tables != 0) {
            result.outcome = Outcome::kDamaged;
            return result;
        }
        result.created = true;
    }
    std::string mode;
    if ((code = QueryText(db, "PRAGMA journal_mode = WAL", mode)) != SQLITE_OK ||
        (code = Migrate(db, version)) != SQLITE_OK) {
        result.outcome = FromCode(code);
        return result;
    }
    result.outcome = Outcome::kOk;
    return result;
}

// "<name>.damaged-YYYYMMDD-HHMMSS" in local time, numbered when that name is taken.
std::wstring DamagedName(const std::wstring& path, int64_t now) {
    const LocalDateTime t = ToLocalDateTime(now);
    wchar_t stamp[40];
    std::swprintf(stamp, std::size(stamp), L".damaged-%04d%02d%02d-%02d%02d%02d", t.year, t.month,
                  t.day, t.hour, t.minute, t.second);
    std::wstring name = path + stamp;
    std::error_code error;
    for (int n = 2; n < 100 && fs::exists(PathFromWide(name), error); ++n) {
        name = path + stamp + L"-" + std::to_wstring(n);
    }
    return name;
}

// Moves the damaged file away with its -wal and -shm (these first: a -wal left behind would be
// replayed into the new, empty ledger). Returns the new name; empty when the file stays.
std::wstring MoveAside(const std::wstring& path, int64_t now) {
    const std::wstring target = DamagedName(path, now);
    for (const wchar_t* suffix : {L"-wal", L"-shm"}) {
        const fs::path from = PathFromWide(path + suffix);
        std::error_code error;
        if (!fs::exists(from, error))
            continue;
        fs::rename(from, PathFromWide(target + suffix), error);
        if (error) {  // then it must go, or the file must stay
            fs::remove(from, error);
            if (fs::exists(from, error))
                return L"";
        }
    }
    std::error_code error;
    fs::rename(PathFromWide(path), PathFromWide(target), error);
    return error ? L"" : target;
}

}  // namespace

struct LedgerStore::Impl {
    Db db;  // declared first: closed after every statement below is finalized
    bool writable = false;
    int64_t version = kSchemaVersion;  // a file of version 1 has no logins
    Statement begin, commit, rollback, upsert, remove, addName, findName, setMeta, getMeta, rows;

    // The statement in `slot`, prepared on first use and kept for the connection's life.
    sqlite3_stmt* Prepared(Statement& slot, const char* sql) {
        if (!slot) {
            sqlite3_stmt* raw = nullptr;
            if (sqlite3_prepare_v3(db.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr) !=
                SQLITE_OK) {
                sqlite3_finalize(raw);
                return nullptr;
            }
            slot.reset(raw);
        }
        return slot.get();
    }

    bool Run(Statement& slot, const char* sql) {
        const Use use(Prepared(slot, sql));
        return use && sqlite3_step(use.get()) == SQLITE_DONE;
    }

    // The number of a name; with `add`, a new name gets one. None when it is not there (or on a
    // failure, which `failed` tells).
    std::optional<int64_t> NameId(const std::string& name, bool add, bool& failed) {
        if (add) {
            const Use use(Prepared(addName, "INSERT OR IGNORE INTO names(name) VALUES(?1)"));
            if (!use || !BindText(use.get(), 1, name) || sqlite3_step(use.get()) != SQLITE_DONE) {
                failed = true;
                return std::nullopt;
            }
        }
        const Use use(Prepared(findName, "SELECT id FROM names WHERE name = ?1"));
        if (!use || !BindText(use.get(), 1, name)) {
            failed = true;
            return std::nullopt;
        }
        const int code = sqlite3_step(use.get());
        if (code == SQLITE_ROW)
            return sqlite3_column_int64(use.get(), 0);
        if (code != SQLITE_DONE || add)
            failed = true;
        return std::nullopt;
    }

    // The key's numbers: day, tool, place, project, model, account. None when a name is not
    // there yet.
    std::optional<std::array<int64_t, 6>> KeyIds(const LedgerKey& key, bool add,
                                                 std::map<std::string, int64_t>& known,
                                                 bool& failed) {
        const std::optional<int64_t> day = DayNumber(key.day);
        if (!day) {
            failed = failed || add;  // a row must have a real date; deleting one that cannot
            return std::nullopt;     // be there is no fault
        }
        std::array<int64_t, 6> ids = {*day, static_cast<int64_t>(key.tool), 0, 0, 0, 0};
        const std::string* names[4] = {&key.place, &key.project, &key.model, &key.account};
        for (int i = 0; i < 4; ++i) {
            const auto found = known.find(*names[i]);
            if (found != known.end()) {
                ids[static_cast<size_t>(i) + 2] = found->second;
                continue;
            }
            const std::optional<int64_t> id = NameId(*names[i], add, failed);
            if (!id)
                return std::nullopt;
            known.emplace(*names[i], *id);
            ids[static_cast<size_t>(i) + 2] = *id;
        }
        return ids;
    }

    bool Write(const LedgerWrite& write) {
        std::map<std::string, int64_t> known;  // this transaction's name numbers
        bool failed = false;
        for (const LedgerRow& row : write.upserts) {
            const auto ids = KeyIds(row.key, true, known, failed);
            if (!ids)
                return false;
            const Use use(Prepared(upsert,
                                   "INSERT OR REPLACE INTO usage(day, tool, place, project, model,"
                                   " account, messages, input, output, cache_write_5m,"
                                   " cache_write_1h, cache_read, dollars, estimated)"
                                   " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12,"
                                   " ?13, ?14)"));
            if (!use)
                return false;
            sqlite3_stmt* s = use.get();
            const LedgerTotals& t = row.totals;
            const int64_t values[] = {(*ids)[0], (*ids)[1],      (*ids)[2],      (*ids)[3],
                                      (*ids)[4], (*ids)[5],      t.messages,     t.input,
                                      t.output,  t.cacheWrite5m, t.cacheWrite1h, t.cacheRead};
            int code = SQLITE_OK;
            for (int i = 0; i < 12 && code == SQLITE_OK; ++i) {
                code = sqlite3_bind_int64(s, i + 1, values[i]);
            }
            if (code == SQLITE_OK)
                code = sqlite3_bind_double(s, 13, t.dollars);
            if (code == SQLITE_OK)
                code = sqlite3_bind_int(s, 14, t.estimated ? 1 : 0);
            if (code != SQLITE_OK || sqlite3_step(s) != SQLITE_DONE)
                return false;
        }
        for (const LedgerKey& key : write.deletes) {
            const auto ids = KeyIds(key, false, known, failed);
            if (failed)
                return false;
            if (!ids)
                continue;  // a name never stored: no such row
            const Use use(Prepared(remove,
                                   "DELETE FROM usage WHERE day = ?1 AND tool = ?2 AND place = ?3"
                                   " AND project = ?4 AND model = ?5 AND account = ?6"));
            if (!use)
                return false;
            int code = SQLITE_OK;
            for (int i = 0; i < 6 && code == SQLITE_OK; ++i) {
                code = sqlite3_bind_int64(use.get(), i + 1, (*ids)[static_cast<size_t>(i)]);
            }
            if (code != SQLITE_OK || sqlite3_step(use.get()) != SQLITE_DONE)
                return false;
        }
        for (const auto& [key, value] : write.meta) {
            const Use use(Prepared(setMeta, "INSERT OR REPLACE INTO meta VALUES(?1, ?2)"));
            if (!use || !BindText(use.get(), 1, key) || !BindText(use.get(), 2, value) ||
                sqlite3_step(use.get()) != SQLITE_DONE) {
                return false;
            }
        }
        return true;
    }
};

LedgerStore::LedgerStore(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
LedgerStore::~LedgerStore() = default;

bool LedgerStore::writable() const {
    return impl_->writable;
}

LedgerOpenResult LedgerStore::Open(const std::wstring& path, bool writable, int64_t now) {
    LedgerOpenResult result;
    auto impl = std::make_unique<Impl>();
    if (!writable) {
        std::error_code error;
        if (!fs::is_regular_file(PathFromWide(path), error))
            return result;  // never created
        int code = SQLITE_OK;
        impl->db = OpenDb(SqlitePath(path), SQLITE_OPEN_READONLY, code);
        int64_t version = 0;
        if (!impl->db || QueryInt(impl->db.get(), "PRAGMA user_version", version) != SQLITE_OK ||
            version < 1) {
            return result;
        }
        result.status =
            version > kSchemaVersion ? LedgerOpenStatus::kNewerSchema : LedgerOpenStatus::kOpened;
        impl->version = version;
        result.store.reset(new LedgerStore(std::move(impl)));
        return result;
    }

    std::error_code error;
    fs::create_directories(PathFromWide(path).parent_path(), error);
    Opened opened = OpenWritable(path);
    if (opened.outcome == Outcome::kDamaged) {
        opened.db.reset();  // closed before its files move
        result.movedTo = MoveAside(path, now);
        if (result.movedTo.empty())
            return result;
        opened = OpenWritable(path);
        if (opened.outcome != Outcome::kOk) {
            result.movedTo.clear();
            return result;
        }
        result.status = LedgerOpenStatus::kMovedAside;
    } else if (opened.outcome == Outcome::kFailed) {
        return result;
    } else if (opened.newer) {
        result.status = LedgerOpenStatus::kNewerSchema;
    } else {
        result.status = opened.created ? LedgerOpenStatus::kCreated : LedgerOpenStatus::kOpened;
    }
    impl->db = std::move(opened.db);
    impl->writable = !opened.newer;
    impl->version = opened.version;
    result.store.reset(new LedgerStore(std::move(impl)));
    return result;
}

std::unique_ptr<LedgerStore> LedgerStore::OpenSnapshot(const std::wstring& path) {
    std::error_code error;
    if (!fs::is_regular_file(PathFromWide(path), error))
        return nullptr;
    auto impl = std::make_unique<Impl>();
    int code = SQLITE_OK;
    impl->db = OpenDb(SqliteUri(path, "immutable=1"), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, code);
    int64_t version = 0;
    if (!impl->db || QueryInt(impl->db.get(), "PRAGMA user_version", version) != SQLITE_OK ||
        version < 1) {
        return nullptr;
    }
    impl->version = version;
    return std::unique_ptr<LedgerStore>(new LedgerStore(std::move(impl)));
}

bool LedgerStore::Apply(const LedgerWrite& write) {
    if (write.empty())
        return true;
    if (!impl_->writable || !impl_->Run(impl_->begin, "BEGIN IMMEDIATE"))
        return false;
    if (!impl_->Write(write) || !impl_->Run(impl_->commit, "COMMIT")) {
        impl_->Run(impl_->rollback, "ROLLBACK");
        return false;
    }
    // Keeps the database file itself current, for the copies that other computers read (they
    // never see this computer's -wal). Passive: it never waits on a reader.
    sqlite3_wal_checkpoint_v2(impl_->db.get(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr,
                              nullptr);
    return true;
}

std::optional<std::vector<LedgerRow>> LedgerStore::Rows(const std::string& from,
                                                        const std::string& to) {
    int64_t first = std::numeric_limits<int64_t>::min();
    int64_t last = std::numeric_limits<int64_t>::max();
    for (const auto& [text, bound] : {std::pair{&from, &first}, std::pair{&to, &last}}) {
        if (text->empty())
            continue;
        const std::optional<int64_t> day = DayNumber(*text);
        if (!day)
            return std::nullopt;
        *bound = *day;
    }
    // A file another computer (or this one before its update) wrote at version 1 is read as it
    // is: its rows have no login.
    const Use use(impl_->Prepared(
        impl_->rows,
        impl_->version < 2
            ? "SELECT u.day, u.tool, p.name, j.name, m.name, u.messages, u.input, u.output,"
              " u.cache_write_5m, u.cache_write_1h, u.cache_read, u.dollars, u.estimated, ''"
              " FROM usage u JOIN names p ON p.id = u.place JOIN names j ON j.id = u.project"
              " JOIN names m ON m.id = u.model WHERE u.day BETWEEN ?1 AND ?2"
              " ORDER BY u.day, u.tool, p.name, j.name, m.name"
            : "SELECT u.day, u.tool, p.name, j.name, m.name, u.messages, u.input, u.output,"
              " u.cache_write_5m, u.cache_write_1h, u.cache_read, u.dollars, u.estimated,"
              " a.name FROM usage u JOIN names p ON p.id = u.place"
              " JOIN names j ON j.id = u.project JOIN names m ON m.id = u.model"
              " JOIN names a ON a.id = u.account WHERE u.day BETWEEN ?1 AND ?2"
              " ORDER BY u.day, u.tool, p.name, j.name, m.name, a.name"));
    if (!use || sqlite3_bind_int64(use.get(), 1, first) != SQLITE_OK ||
        sqlite3_bind_int64(use.get(), 2, last) != SQLITE_OK) {
        return std::nullopt;
    }
    sqlite3_stmt* s = use.get();
    std::vector<LedgerRow> rows;
    int code;
    while ((code = sqlite3_step(s)) == SQLITE_ROW) {
        const int64_t tool = sqlite3_column_int64(s, 1);
        if (tool != static_cast<int64_t>(LedgerTool::kClaude) &&
            tool != static_cast<int64_t>(LedgerTool::kCodex)) {
            continue;  // a tool of a newer program
        }
        LedgerRow row;
        row.key.day = DayFromNumber(sqlite3_column_int64(s, 0));
        row.key.tool = static_cast<LedgerTool>(tool);
        row.key.place = ColumnText(s, 2);
        row.key.project = ColumnText(s, 3);
        row.key.model = ColumnText(s, 4);
        row.key.account = ColumnText(s, 13);
        LedgerTotals& t = row.totals;
        int64_t* counts[] = {&t.messages,     &t.input,        &t.output,
                             &t.cacheWrite5m, &t.cacheWrite1h, &t.cacheRead};
        for (int i = 0; i < 6; ++i)
            *counts[i] = sqlite3_column_int64(s, 5 + i);
        t.dollars = sqlite3_column_double(s, 11);
        t.estimated = sqlite3_column_int64(s, 12) != 0;
        rows.push_back(std::move(row));
    }
    if (code != SQLITE_DONE)
        return std::nullopt;
    return rows;
}

std::optional<std::string> LedgerStore::Meta(const std::string& key) {
    const Use use(impl_->Prepared(impl_->getMeta, "SELECT value FROM meta WHERE key = ?1"));
    if (!use || !BindText(use.get(), 1, key) || sqlite3_step(use.get()) != SQLITE_ROW) {
        return std::nullopt;
    }
    return ColumnText(use.get(), 0);
}

std::optional<bool> LedgerStore::HasRows() {
    int64_t any = 0;
    if (QueryInt(impl_->db.get(), "SELECT EXISTS(SELECT 1 FROM usage)", any) != SQLITE_OK)
        return std::nullopt;
    return any != 0;
}

bool LedgerStore::CopyTo(const std::wstring& path) {
    std::error_code error;
    if (fs::exists(PathFromWide(path), error) || error)
        return false;
    // VACUUM INTO writes a temporary name first, so that a failure never leaves a half copy
    // under the ledger's own name.
    const std::wstring temp = path + L".copying";
    fs::remove(PathFromWide(temp), error);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(impl_->db.get(), "VACUUM INTO ?1", -1, &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return false;
    }
    const Statement statement(raw);
    const bool copied = BindText(raw, 1, SqlitePath(temp)) && sqlite3_step(raw) == SQLITE_DONE;
    if (copied) fs::rename(PathFromWide(temp), PathFromWide(path), error);
    if (!copied || error) {
        fs::remove(PathFromWide(temp), error);
        return false;
    }
    return true;
}
