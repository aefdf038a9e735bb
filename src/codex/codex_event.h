#pragma once

#include <cstdint>
#include <string_view>

// One of Codex's rate-limit windows; all zero means absent.
struct CodexWindow {
    bool present = false;
    double usedPercent = 0;     // 0-100; cleared once the window has reset
    int32_t windowMinutes = 0;  // 0 when not given
    int64_t resetsAt = 0;       // Unix seconds; 0 = unknown
};

// The windows of one rate-limit event line.
struct CodexEvent {
    int64_t time = 0;  // the line's "timestamp", Unix seconds
    CodexWindow primary;
    CodexWindow secondary;
    // The bucket the figures belong to: "limit_id" and "limit_name" of the "rate_limits"
    // object, undecoded and pointing into the line; empty when not given (older Codex).
    std::string_view limitId;
    std::string_view limitName;
};

// True for the account's own limits: Codex names them "codex", older versions nothing. Other
// ids are a model's separate bucket (such as "codex_bengalfox").
bool IsAccountBucket(std::string_view limitId);

// Parses one session line (without its newline) whose first "rate_limits" key is at
// `rateLimitsAt`. Returns false when the line has no usable timestamp or no usable primary
// window (a "primary" whose value is null counts as none).
bool ParseCodexEventLine(std::string_view line, size_t rateLimitsAt, CodexEvent& event);

// The window named `name` ("primary" or "secondary") of an event at `eventTime`, read from
// `limits`, the line from its "rate_limits" key on.
CodexWindow ParseCodexWindow(std::string_view limits, std::string_view name, int64_t eventTime);

// The key that marks an event line.
inline constexpr std::string_view kRateLimitsKey = "\"rate_limits\"";
