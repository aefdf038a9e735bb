#pragma once

#include <optional>
#include <string>
#include <vector>

#include "history/ledger_row.h"

// Every computer keeps its own ledger file, "usage-<computer>.db", and a folder (one that a
// synchronisation service shares, say) can hold several of them.

// What a folder of ledgers holds, other than this computer's own.
struct LedgerFolder {
    std::vector<LedgerRow> rows;        // ordered by machine, then key
    std::vector<std::wstring> skipped;  // files that could not be read (full paths)
};

// Reads every "usage-<computer>.db" in `folder` as a snapshot, except `ownMachine`'s (read
// through its own store), tagging each row with the computer the file name gives. The days as
// LedgerStore::Rows takes them.
LedgerFolder ReadLedgerFolder(const std::wstring& folder, const std::string& ownMachine,
                              const std::string& from = "", const std::string& to = "");

// "usage-<computer>.db" -> the computer (UTF-8); none for any other name.
std::optional<std::string> LedgerMachineFromFileName(const std::string& fileName);
