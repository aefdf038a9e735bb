#pragma once

#include <cstdint>
#include <mutex>
#include <string>

// What the refresh worker publishes about the usage ledger, for the panel, the settings page,
// the balloons and the report.
struct HistoryState {
    std::wstring ledgerPath;  // this computer's ledger file; empty while there is none
    std::wstring folder;      // the folder of every computer's ledgers
    std::string machine;      // this computer's name in that folder (UTF-8)

    // This computer's Claude Code usage at API rates: today (local) and the seven days that end
    // today. Only meaningful with `hasRows`.
    bool hasRows = false;
    double claudeTodayDollars = 0;
    double claudeSevenDayDollars = 0;

    // Every log is read once into the ledger, at low priority; while that runs, how far it got.
    bool readingHistory = false;
    uint64_t historyBytesRead = 0;
    uint64_t historyBytesTotal = 0;

    // The history folder the user chose and that cannot be reached (tried again every ten
    // minutes); empty when all is well.
    std::wstring unreachableFolder;

    // A damaged ledger moved aside: the count goes up once per move, so that the balloon that
    // tells the user is shown once.
    uint32_t movedAsideCount = 0;
    std::wstring movedAsideTo;
};

// The history folder setting, handed from the window thread (which changes it) to the refresh
// worker (which moves the ledger there at its next cycle).
struct HistoryFolderChoice {
    std::mutex lock;
    std::wstring folder;  // empty: the data folder

    std::wstring Get() {
        std::lock_guard<std::mutex> guard(lock);
        return folder;
    }
    void Set(std::wstring value) {
        std::lock_guard<std::mutex> guard(lock);
        folder = std::move(value);
    }
};
