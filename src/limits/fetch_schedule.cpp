#include "limits/fetch_schedule.h"

#include <algorithm>

bool FetchIsDue(const FetchSchedule& schedule, int64_t now, bool requested) {
    return now >= schedule.nextFetchTime ||
           (requested && now >= schedule.nextFetchTime - kEarlyRefresh);
}

void ScheduleAfterFetch(FetchSchedule& schedule, int64_t now, const PlanLimits& limits) {
    // Cached rows keep the failure's status: only the service's own rows end a back-off.
    if (limits.status == FetchStatus::kOk) {
        schedule.backoff = kFetchInterval;
        schedule.nextFetchTime = now + kFetchInterval;
    } else if (limits.status == FetchStatus::kRateLimited) {
        schedule.nextFetchTime = now + schedule.backoff;
        schedule.backoff = std::min(schedule.backoff * 2, kMaxBackoff);
    } else {
        schedule.nextFetchTime = now + kFetchInterval;
    }
}

std::optional<size_t> MostOverdue(const std::vector<FetchSchedule>& schedules, int64_t now,
                                  bool requested) {
    std::optional<size_t> chosen;
    for (size_t i = 0; i < schedules.size(); ++i) {
        if (!FetchIsDue(schedules[i], now, requested))
            continue;
        if (!chosen || schedules[i].nextFetchTime < schedules[*chosen].nextFetchTime)
            chosen = i;
    }
    return chosen;
}

std::vector<bool> TokensHeldEarlier(const std::vector<std::string>& tokens) {
    std::vector<bool> held(tokens.size(), false);
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].empty())
            continue;
        held[i] = std::find(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(i),
                            tokens[i]) != tokens.begin() + static_cast<std::ptrdiff_t>(i);
    }
    return held;
}
