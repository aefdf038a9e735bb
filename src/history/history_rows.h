#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/history_state.h"
#include "history/ledger_location.h"
#include "history/ledger_row.h"

// The history of every computer that keeps its ledger in one folder, as the report and the CSV
// export show it.
struct HistoryRows {
    // This computer's rows first, then the others' (ordered by machine, then key); every row
    // carries its computer's name.
    std::vector<LedgerRow> rows;
    // This computer's own ledger is there but could not be read (damaged, denied): its path.
    // Empty when it was read, or when there is none yet (a first start, a new history folder).
    std::wstring ownUnreadable;
    // Other computers' ledgers that could not be read (full paths).
    std::vector<std::wstring> othersUnreadable;
};

// The names of this computer's default logins (".claude", ".codex") as they are shown, for its
// rows recorded before logins were told apart; empty: such rows stay unnamed.
struct DefaultAccounts {
    std::string claude;
    std::string codex;
};

// Reads this computer's ledger read-only (never creating it, so a reader cannot leave an empty
// ledger where the desktop program is about to make its own) and every other computer's in the
// location's folder. `now` is Unix seconds. Safe while the desktop program writes its ledger.
// This computer's unnamed rows take the names of `defaults`; another computer's logins are
// not known here, and its unnamed rows stay unnamed.
HistoryRows ReadHistoryRows(const LedgerLocation& location, int64_t now,
                            const DefaultAccounts& defaults = {});

// Where to read: where the refresh worker says this computer's ledger is, once it has said so
// (a history folder just chosen is taken up only at its next cycle), else where `configured`
// (the settings) puts it.
LedgerLocation ReadableLedgerLocation(const HistoryState& published,
                                      const LedgerLocation& configured);
