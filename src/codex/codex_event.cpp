#include "codex/codex_event.h"

#include "core/byte_search.h"
#include "core/iso_time.h"
#include "core/json_fields.h"
#include "core/numbers.h"

namespace {

// True when the key at `at` (its opening quote) is followed by a colon, optional blanks and null.
bool ValueIsNull(std::string_view text, size_t at, size_t keyLength) {
    size_t pos = at + keyLength;
    if (pos >= text.size() || text[pos] != ':') {
        return false;
    }
    ++pos;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    return text.substr(pos, 4) == "null";
}

}  // namespace

CodexWindow ParseCodexWindow(std::string_view limits, std::string_view name, int64_t eventTime) {
    CodexWindow window;
    char quoted[32];
    if (name.size() + 2 > sizeof quoted) {
        return window;
    }
    quoted[0] = '"';
    name.copy(quoted + 1, name.size());
    quoted[name.size() + 1] = '"';
    const std::string_view key(quoted, name.size() + 2);

    const size_t at = FindBytes(limits, key);
    // "primary":null must not borrow the fields of the next window, whose "}" would be the
    // first one after the key.
    if (at == std::string_view::npos || ValueIsNull(limits, at, key.size())) {
        return window;
    }
    const size_t bound = limits.find('}', at);  // npos: no bound
    double value = 0;
    if (!FindNumberAfterKey(limits, "used_percent", at, bound, value)) {
        return window;
    }
    window.present = true;
    window.usedPercent = value;
    double minutes = 0;
    if (FindNumberAfterKey(limits, "window_minutes", at, bound, minutes)) {
        window.windowMinutes = TruncateToInt32(minutes);
    }
    double seconds = 0;
    if (FindNumberAfterKey(limits, "resets_in_seconds", at, bound, seconds)) {
        window.resetsAt = SaturatingAdd(eventTime, TruncateToInt64(seconds));
    } else if (double resetsAt = 0; FindNumberAfterKey(limits, "resets_at", at, bound, resetsAt)) {
        window.resetsAt = TruncateToInt64(resetsAt);
    }
    return window;
}

bool IsAccountBucket(std::string_view limitId) { return limitId.empty() || limitId == "codex"; }

bool ParseCodexEventLine(std::string_view line, size_t rateLimitsAt, CodexEvent& event) {
    const auto timestamp = FindStringAfterKey(line, "timestamp", 0);
    const int64_t time = timestamp ? ParseIsoTime(*timestamp) : 0;
    if (time == 0) {
        return false;
    }
    const std::string_view limits = line.substr(rateLimitsAt);
    const CodexWindow primary = ParseCodexWindow(limits, "primary", time);
    if (!primary.present) {
        return false;
    }
    event.time = time;
    event.primary = primary;
    event.secondary = ParseCodexWindow(limits, "secondary", time);
    // The bucket's names, searched for within the "rate_limits" object only.
    const size_t open = limits.find('{');
    const size_t end = open == std::string_view::npos ? open : JsonContainerEnd(limits, open);
    const std::string_view object =
        end == std::string_view::npos ? std::string_view() : limits.substr(open, end - open);
    event.limitId = FindStringAfterKey(object, "limit_id").value_or(std::string_view());
    event.limitName = FindStringAfterKey(object, "limit_name").value_or(std::string_view());
    return true;
}
