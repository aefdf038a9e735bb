#include "limits/usage_client.h"

#include <ctime>
#include <filesystem>

#include "core/config_dirs.h"
#include "core/json_fields.h"
#include "core/log_files.h"
#include "limits/limit_cache.h"
#include "limits/usage_response.h"
#include "platform/file_walk.h"
#include "platform/system.h"
#include "platform/unicode.h"
#include "platform/whole_file.h"

namespace {

FetchStatus StatusOfHttp(uint32_t status) {
    switch (status) {
        case 401:
        case 403:
            return FetchStatus::kUnauthorized;
        case 429:
            return FetchStatus::kRateLimited;
        default:
            return FetchStatus::kServiceError;
    }
}

std::wstring StatusMessage(FetchStatus status, uint32_t httpStatus) {
    switch (status) {
        case FetchStatus::kUnauthorized:
            return kExpiredMessage;
        case FetchStatus::kRateLimited:
            return kRateLimitedMessage;
        default:
            return L"Anthropic returned " + std::to_wstring(httpStatus);
    }
}

}  // namespace

std::optional<std::wstring> FindClaudeCredentials() {
    std::vector<std::wstring> candidates;
    for (const std::wstring& folder : SplitConfigDirs(ReadEnvironment(L"CLAUDE_CONFIG_DIR"))) {
        candidates.push_back(JoinPath(folder, {L".credentials.json"}));
    }
    candidates.push_back(JoinPath(ReadUserProfile(), {L".claude", L".credentials.json"}));
    for (const std::wstring& candidate : candidates) {
        if (PathExists(candidate)) return candidate;
    }
    return std::nullopt;
}

std::wstring PlanFromCredentials(std::string_view credentials) {
    const auto type = FindStringAfterKey(credentials, "subscriptionType", 0);
    if (!type || type->empty()) {
        return {};
    }
    std::string plan(*type);
    if (plan[0] >= 'a' && plan[0] <= 'z') plan[0] = static_cast<char>(plan[0] - 32);
    return Utf8ToWide(plan);
}

std::wstring UsageRequestHeaders(const std::wstring& token) {
    return L"Authorization: Bearer " + token +
           L"\r\nanthropic-beta: oauth-2025-04-20\r\nAccept: application/json\r\n";
}

PlanLimits FetchPlanLimitsWith(int64_t now, const UsageServiceCall& call) {
    PlanLimits result;
    result.asOf = call.clock();
    const std::string credentials =
        call.credentialsPath ? ReadCredentials(*call.credentialsPath) : std::string();
    const auto token = FindStringAfterKey(credentials, "accessToken", 0);
    if (!token) {
        result.status = FetchStatus::kSignedOut;
        result.message = kSignInMessage;
    } else {
        result.plan = PlanFromCredentials(credentials);
        HttpsRequest request;
        request.host = call.host;
        request.port = call.port;
        request.path = L"/api/oauth/usage";
        request.userAgent = L"Tidewell/1.2";
        request.headers = UsageRequestHeaders(Utf8ToWide(*token));
        const HttpsResponse response = call.transport(request);
        if (!response.responded) {
            result.status = FetchStatus::kOffline;
            result.message = kOfflineMessage;
        } else if (response.status == 200) {
            result.limits = ParseUsageResponse(response.body);
            result.extra = ParseExtraUsage(response.body);
            result.hasLimits = !result.limits.empty();
            result.status = result.hasLimits ? FetchStatus::kOk : FetchStatus::kNoLimits;
            if (!result.hasLimits) result.message = kNoLimitsMessage;
        } else {
            result.status = StatusOfHttp(response.status);
            result.message = StatusMessage(result.status, response.status);
        }
    }

    if (result.hasLimits) {
        // A reply that arrives after quitting is not stored: the process may be ended at any
        // moment now.
        if (!call.stop || !call.stop->load()) {
            WriteLimitCache(call.apiCachePath, result.limits, result.plan, result.extra);
        }
        return result;
    }
    std::vector<LimitRow> cached;
    std::wstring cachedPlan;
    ExtraUsage cachedExtra;
    const int64_t at = ReadLimitCache(call.apiCachePath, cached, &cachedPlan, &cachedExtra);
    if (IsCacheFresh(cached.size(), at, now, kApiCacheMaxAge)) {
        result.limits = std::move(cached);
        result.plan = cachedPlan;
        result.extra = cachedExtra;
        result.hasLimits = true;
        result.asOf = at;
    }
    return result;
}

std::string ReadCredentials(const std::wstring& path) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(PathFromWide(path), error);
    if (error || size > kMaxCredentialsBytes)
        return {};
    std::string text = ReadWholeFile(path);
    if (text.size() > kMaxCredentialsBytes)
        return {};  // grew meanwhile
    return text;
}

std::string AccessTokenIn(std::string_view credentials) {
    const auto token = FindStringAfterKey(credentials, "accessToken", 0);
    return token ? std::string(*token) : std::string();
}

PlanLimits FetchPlanLimits(int64_t now, const std::atomic<bool>* stop) {
    return FetchPlanLimitsFor(now, FindClaudeCredentials(), ApiCachePath(), stop);
}

PlanLimits FetchPlanLimitsFor(int64_t now, const std::optional<std::wstring>& credentialsPath,
                              const std::wstring& apiCachePath, const std::atomic<bool>* stop) {
    UsageServiceCall call;
    call.stop = stop;
    call.credentialsPath = credentialsPath;
    call.apiCachePath = apiCachePath;
    call.host = TIDEWELL_API_HOST;  // build settings: the real service, or a test's mock
    call.port = TIDEWELL_API_PORT;
    call.transport = HttpsGet;
    call.clock = [] { return static_cast<int64_t>(std::time(nullptr)); };
    return FetchPlanLimitsWith(now, call);
}
