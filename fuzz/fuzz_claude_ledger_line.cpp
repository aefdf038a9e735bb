// Claude Code log lines of arbitrary bytes read for the ledger, two at a time through one reader
// (which remembers the last working folder): never crashes, and an accepted reply has a time, one
// message and no negative count.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "history/claude_ledger_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ClaudeLedgerReader reader("Home");
    LedgerRecord record;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        const size_t usage = line.find(kUsageKey);
        if (usage != std::string_view::npos && reader.ReadLine(line, usage, record)) {
            const LedgerTotals& t = record.totals;
            if (record.time == 0 || t.messages != 1 || t.input < 0 || t.output < 0 ||
                t.cacheWrite5m < 0 || t.cacheWrite1h < 0 || t.cacheRead < 0 || !(t.dollars >= 0))
                std::abort();
        }
        start = end + 1;
    }
    return 0;
}
