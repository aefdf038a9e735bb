#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "display/usage_snapshot.h"

// One notification balloon.
struct Balloon {
    std::wstring title;
    std::wstring text;
    friend bool operator==(const Balloon&, const Balloon&) = default;
};

// Remembers which limit crossed which level (80 or 95) in which limit window, so that each
// warns once. The memory lasts as long as the object (the process) and only grows.
class WarningTracker {
public:
    // The balloon for one limit, or nothing when the number it shows (ShownPercent) is below 80
    // or it has warned at this level in this window already. With the window's length (0:
    // unknown), a limit on course to run out before its reset says when; with no known reset
    // time (0), the text says nothing of a reset.
    std::optional<Balloon> WarnIfNeeded(int64_t now, const std::wstring& keyPrefix, double percent,
                                        const std::wstring& titleLabel, int64_t resetsAt,
                                        int64_t windowSeconds = 0);

    // Every watched limit of the shown logins (ShownLogins; a gone one is not watched) in order:
    // Codex primary and secondary, each Claude plan row, else the log estimate (only when its
    // largest block, `maxblock` for a tool's one login, is above 0). The balloon of a login of
    // several is keyed by its tag and titled with its name ("Claude · work: 5-hour limit").
    std::vector<Balloon> CheckLimitWarnings(const UsageSnapshot& snapshot, double maxblock,
                                            int64_t now,
                                            const std::vector<std::wstring>& hiddenTags = {});

    const std::set<std::wstring>& shown() const { return shown_; }

private:
    std::set<std::wstring> shown_;
};

// The limit window a reset time belongs to: the time rounded to the nearest 10 minutes. Reset
// times jitter by seconds around whole hours; rounding keeps such a pair in one window where
// cutting at multiples of 600 would split them.
int64_t ResetBucket(int64_t resetsAt);
