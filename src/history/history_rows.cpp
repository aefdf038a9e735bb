#include "history/history_rows.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <utility>

#include "history/ledger_folder.h"
#include "history/ledger_store.h"
#include "platform/system.h"

HistoryRows ReadHistoryRows(const LedgerLocation& location, int64_t now,
                            const DefaultAccounts& defaults) {
    HistoryRows result;
    std::error_code error;
    if (!location.ownPath.empty() &&
        std::filesystem::exists(PathFromWide(location.ownPath), error)) {
        const LedgerOpenResult opened = LedgerStore::Open(location.ownPath, false, now);
        std::optional<std::vector<LedgerRow>> rows;
        if (opened.store)
            rows = opened.store->Rows();
        if (rows) {
            for (LedgerRow& row : *rows) {
                row.machine = location.machine;
                if (row.key.account.empty())
                    row.key.account =
                        row.key.tool == LedgerTool::kCodex ? defaults.codex : defaults.claude;
            }
            result.rows = std::move(*rows);
        } else {
            result.ownUnreadable = location.ownPath;
        }
    }
    if (!location.folder.empty()) {
        LedgerFolder others = ReadLedgerFolder(location.folder, location.machine);
        result.rows.insert(result.rows.end(), std::make_move_iterator(others.rows.begin()),
                           std::make_move_iterator(others.rows.end()));
        result.othersUnreadable = std::move(others.skipped);
    }
    return result;
}

LedgerLocation ReadableLedgerLocation(const HistoryState& published,
                                      const LedgerLocation& configured) {
    if (published.ledgerPath.empty() || published.folder.empty())
        return configured;
    LedgerLocation location{published.folder, published.ledgerPath, published.machine};
    if (location.machine.empty())
        location.machine = configured.machine;
    return location;
}
