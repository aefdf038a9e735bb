// One Codex session line of arbitrary bytes: never crashes; an accepted event has a time and a
// primary window.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "codex/codex_event.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const size_t at = line.find(kRateLimitsKey);
    if (at == std::string_view::npos) {
        return 0;
    }
    CodexEvent event;
    if (ParseCodexEventLine(line, at, event) && (event.time == 0 || !event.primary.present)) {
        std::abort();
    }
    return 0;
}
