#include "limits/cached_limits.h"

#include <map>

#include "limits/limit_cache.h"
#include "limits/login_files.h"
#include "limits/refresh_worker.h"

PlanLimits CachedLoginLimits(const std::vector<LimitRow>& api, int64_t apiAt,
                             const std::wstring& apiPlan, const std::vector<LimitRow>& live,
                             int64_t liveAt, int64_t now) {
    PlanLimits base;
    if (IsCacheFresh(api.size(), apiAt, now, kApiCacheMaxAge)) {
        base.limits = api;
        base.hasLimits = true;
        base.plan = apiPlan;
        base.asOf = apiAt;
    }
    if (!IsCacheFresh(live.size(), liveAt, now, kLiveCacheMaxAge))
        return base;
    return MergeLiveRows(live, liveAt, base, now, [] { return std::wstring(); });
}

PlanLimits ReadCachedLoginLimits(const Login& login, const std::wstring& home, int64_t now) {
    std::vector<LimitRow> api;
    std::wstring plan;
    const std::wstring apiPath = LimitCachePath(ApiCacheFileName(login));
    const int64_t apiAt = apiPath.empty() ? 0 : ReadLimitCache(apiPath, api, &plan);
    std::map<std::wstring, LiveCacheReader> readers;
    std::vector<LimitRow> live;
    const int64_t liveAt = ReadNewestLive(readers, LiveCacheFileNames(login, home), live, now);
    return CachedLoginLimits(api, apiAt, plan, live, liveAt, now);
}
