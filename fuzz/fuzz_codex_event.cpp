// One Codex session line of arbitrary bytes: never crashes; an accepted event has a time and a
// primary window, and its bucket's id and name lie within the line; a bucket label made of them
// stays short and printable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "codex/codex_event.h"
#include "codex/codex_scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const size_t at = line.find(kRateLimitsKey);
    if (at == std::string_view::npos) {
        return 0;
    }
    CodexEvent event;
    if (!ParseCodexEventLine(line, at, event)) return 0;
    if (event.time == 0 || !event.primary.present) std::abort();
    const auto inside = [&](std::string_view part) {
        return part.empty() || (part.data() >= line.data() &&
                                part.data() + part.size() <= line.data() + line.size());
    };
    if (!inside(event.limitId) || !inside(event.limitName)) std::abort();
    const std::wstring label = CodexBucketLabel(event.limitName, event.limitId);
    if (label.size() > kMaxBucketLabelChars) std::abort();
    for (const wchar_t c : label) {
        if (c < 0x20 || c == 0x7F) std::abort();
    }
    return 0;
}
