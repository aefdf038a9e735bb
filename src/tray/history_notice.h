#pragma once

#include <cstdint>
#include <optional>

#include "history/history_state.h"
#include "tray/limit_warnings.h"

// Tells the user once each time the worker moves a damaged ledger aside and starts a new one.
// The worker counts the moves; this remembers the count it has told of. It starts at zero, so
// that a move made before the first published state (at start, opening a damaged file) is told
// too.
class MovedAsideNotice {
public:
    // The balloon for a published state whose count went up since the last call; nothing
    // otherwise. A count that went down (a new worker) is taken as it is, silently.
    std::optional<Balloon> Check(const HistoryState& history);

private:
    uint32_t told_ = 0;
};
