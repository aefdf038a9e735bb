#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "limits/usage_client.h"
#include "sources/login.h"

// A login's limits from its caches alone, without asking the service: the api cache while
// fresh, with the newest fresh live file merged in as the refresh worker merges it.
PlanLimits CachedLoginLimits(const std::vector<LimitRow>& api, int64_t apiAt,
                             const std::wstring& apiPlan, const std::vector<LimitRow>& live,
                             int64_t liveAt, int64_t now);

// The same read from the files of `login` in the cache folder; `now` is the wall clock.
PlanLimits ReadCachedLoginLimits(const Login& login, const std::wstring& home, int64_t now);
