#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "limits/limit_rows.h"
#include "platform/https.h"

// How the last fetch went. Decisions (the back-off, the panel's text) go by this; `message` is
// only what is shown.
enum class FetchStatus {
    kNotFetched,    // no fetch yet, or a record merged with the status line's rows
    kOk,            // the service gave rows
    kSignedOut,     // no credentials file, or no access token in it: nothing was sent
    kOffline,       // no answer
    kUnauthorized,  // 401 or 403: the sign-in has expired
    kRateLimited,   // 429
    kNoLimits,      // 200 without any limit
    kServiceError,  // any other status
};

// The plan-limit part of the published state.
struct PlanLimits {
    bool hasLimits = false;       // at least one row to show
    bool fromStatusLine = false;  // the rows were merged from Claude Code's status line
    std::wstring message;         // empty after a successful fetch, else why not ("429": rate limited)
    std::wstring plan;            // e.g. "Max"; may be empty
    std::vector<LimitRow> limits;  // in row order
    int64_t asOf = 0;             // when the figures were obtained
    ExtraUsage extra;             // paid usage beyond the limits, from the service
    FetchStatus status = FetchStatus::kNotFetched;  // kept when rows come from api.ini
};

// The status texts of a fetch.
inline constexpr wchar_t kSignInMessage[] = L"Sign in to Claude Code to see your plan limits";
inline constexpr wchar_t kOfflineMessage[] = L"Offline: can't reach Anthropic";
inline constexpr wchar_t kExpiredMessage[] = L"Claude sign-in expired: open Claude Code once";
inline constexpr wchar_t kRateLimitedMessage[] = L"429";
inline constexpr wchar_t kNoLimitsMessage[] = L"No plan limits on this account";

// Claude Code's credentials file: .credentials.json in the first folder CLAUDE_CONFIG_DIR names
// (SplitConfigDirs) that has one, else USERPROFILE/.claude/.credentials.json when that exists,
// else nothing.
std::optional<std::wstring> FindClaudeCredentials();

// The plan name in the credentials text: "subscriptionType" with its first byte upper-cased.
std::wstring PlanFromCredentials(std::string_view credentials);

// Everything one fetch depends on, so that tests can supply their own.
struct UsageServiceCall {
    std::optional<std::wstring> credentialsPath;
    std::wstring apiCachePath;
    std::wstring host;
    uint16_t port = 443;
    std::function<HttpsResponse(const HttpsRequest&)> transport;
    std::function<int64_t()> clock;  // the current time, Unix seconds
    const std::atomic<bool>* stop = nullptr;  // once set (quitting), a reply is not stored
};

// Asks the usage service for the plan limits. A success is stored in "api.ini"; after a failure
// a fresh "api.ini" (at most 43199 seconds old at `now`) supplies the rows and `message` says
// why. The access token goes into the request and nowhere else.
PlanLimits FetchPlanLimitsWith(int64_t now, const UsageServiceCall& call);

// The same against the real service with this process's credentials and folder.
PlanLimits FetchPlanLimits(int64_t now, const std::atomic<bool>* stop = nullptr);

// The same for one login: its own credentials file (none: signed out, nothing sent) and its own
// api cache.
PlanLimits FetchPlanLimitsFor(int64_t now, const std::optional<std::wstring>& credentialsPath,
                              const std::wstring& apiCachePath,
                              const std::atomic<bool>* stop = nullptr);

// The text of a credentials file; empty when it is missing, unreadable or larger than any real
// one (kMaxCredentialsBytes), which is then no sign-in.
inline constexpr uintmax_t kMaxCredentialsBytes = 1 << 20;
std::string ReadCredentials(const std::wstring& path);

// The access token in credentials text; empty when there is none.
std::string AccessTokenIn(std::string_view credentials);

// The request's extra headers for an access token.
std::wstring UsageRequestHeaders(const std::wstring& token);
