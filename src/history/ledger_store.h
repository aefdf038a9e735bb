#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "history/ledger_row.h"

// The usage ledger's file: an SQLite database with one writer (the refresh worker) and any number
// of read-only readers, each with its own LedgerStore, used by one thread at a time. Nothing here
// throws; every operation reports through its result.

// One write: everything in it is committed together or not at all.
struct LedgerWrite {
    std::vector<LedgerRow> upserts;  // replace the row with the same key (the machine is ignored)
    std::vector<LedgerKey> deletes;  // a key that is not there is no fault
    std::vector<std::pair<std::string, std::string>> meta;  // key, value
    bool empty() const { return upserts.empty() && deletes.empty() && meta.empty(); }
};

enum class LedgerOpenStatus {
    kCreated,      // there was no ledger (or an empty file): a new one was made
    kOpened,       // an existing ledger
    kNewerSchema,  // written by a newer version of the program: opened read-only, never written
    kMovedAside,   // damaged: moved aside (see movedTo) and a new one made in its place
    kFailed,       // locked, denied, missing (read-only), disk full: try again later
};

class LedgerStore;

struct LedgerOpenResult {
    std::unique_ptr<LedgerStore> store;  // none when the status is kFailed
    LedgerOpenStatus status = LedgerOpenStatus::kFailed;
    std::wstring movedTo;  // with kMovedAside: the damaged file's new path, to tell the user once
};

class LedgerStore {
public:
    // Opens the ledger at `path`. Writable: created when missing, brought to the current schema,
    // and moved aside when damaged (a bad header, truncated, failing SQLite's quick check, or an
    // SQLite file with tables that is no ledger) to "<name>.damaged-YYYYMMDD-HHMMSS" (the moment
    // `now`, Unix seconds, in local time), its -wal and -shm with it. Read-only: a missing or
    // damaged file fails and nothing is changed.
    static LedgerOpenResult Open(const std::wstring& path, bool writable, int64_t now);
    // Opens another computer's ledger as the snapshot it is on disk: read-only, without locks
    // and without creating -wal or -shm files beside it (which a folder synchronised between
    // computers would carry back to the computer that writes it). None when it cannot be read.
    static std::unique_ptr<LedgerStore> OpenSnapshot(const std::wstring& path);

    ~LedgerStore();
    LedgerStore(const LedgerStore&) = delete;
    LedgerStore& operator=(const LedgerStore&) = delete;

    bool writable() const;

    // Commits the whole write in one transaction; an empty one touches nothing. False, with
    // nothing of it kept, on any failure (read-only, locked past the busy timeout, disk full).
    bool Apply(const LedgerWrite& write);

    // The rows of the days from `from` to `to` ("YYYY-MM-DD", both included; an empty bound is
    // open), ordered by key, machine left empty. None when the file cannot be read, or a bound is
    // not a date.
    std::optional<std::vector<LedgerRow>> Rows(const std::string& from = "",
                                               const std::string& to = "");
    // A progress value; none when it was never set or cannot be read.
    std::optional<std::string> Meta(const std::string& key);

    // True when the ledger holds at least one row; none when it cannot be read.
    std::optional<bool> HasRows();

    // Writes a copy of the whole ledger to `path` (a file that must not exist yet), as one
    // consistent snapshot: for moving the ledger to another folder. False on any failure, with
    // no partial copy left behind.
    bool CopyTo(const std::wstring& path);

private:
    struct Impl;
    explicit LedgerStore(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};
