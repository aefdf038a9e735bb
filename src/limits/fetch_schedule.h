#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "limits/usage_client.h"

// When the usage service is asked next, and the pause after a 429.
struct FetchSchedule {
    int64_t nextFetchTime = 0;
    int64_t backoff = 600;
};

inline constexpr int64_t kFetchInterval = 600;
inline constexpr int64_t kMaxBackoff = 3600;
inline constexpr int64_t kEarlyRefresh = 540;  // a requested refresh may come this much early

// True when a cycle at `now` asks the service.
bool FetchIsDue(const FetchSchedule& schedule, int64_t now, bool requested);

// Moves the schedule on after a fetch at `now` that gave `limits`.
void ScheduleAfterFetch(FetchSchedule& schedule, int64_t now, const PlanLimits& limits);

// Which login a cycle at `now` asks the service for: the one whose turn came longest ago among
// those due (the first of equals), or none. One login a cycle keeps the calls spread out and
// never two at once.
std::optional<size_t> MostOverdue(const std::vector<FetchSchedule>& schedules, int64_t now,
                                  bool requested);

// For each login's access token, whether an earlier login already holds it (a copied
// credentials file): such a token belongs to that other login and is never sent for this one.
// An empty token (none found) is never another's.
std::vector<bool> TokensHeldEarlier(const std::vector<std::string>& tokens);
