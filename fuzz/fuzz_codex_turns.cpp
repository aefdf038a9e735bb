// A Codex session file of arbitrary bytes read for the ledger: never crashes; every turn is one
// Codex message at a known time, with counts that are never negative, and a price that is never
// negative (nothing, marked as an estimate, for a model the price list does not know).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "history/codex_turns.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const LedgerRecord& turn : ReadCodexTurns(text, "p")) {
        const LedgerTotals& t = turn.totals;
        if (turn.time == 0 || turn.tool != LedgerTool::kCodex || t.messages != 1 || t.input < 0 ||
            t.output < 0 || t.cacheRead < 0 || t.cacheWrite5m != 0 || t.cacheWrite1h != 0 ||
            !(t.dollars >= 0) || (t.estimated && t.dollars != 0) || turn.identity.empty() || turn.project.size() > size ||
            turn.model.size() > size) {
            std::abort();
        }
    }
    return 0;
}
