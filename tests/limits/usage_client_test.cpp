#include "limits/usage_client.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/whole_file.h"
#include "limits/limit_cache.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace {

constexpr int64_t kNow = 1757500000;
const char kCredentials[] =
    R"({"claudeAiOauth":{"accessToken":"sk-ant-oat01-SECRET","refreshToken":"sk-ant-ort01-x",)"
    R"("expiresAt":1757600000000,"scopes":["user:inference"],"subscriptionType":"max"}})";
const char kBody[] = R"({"five_hour":{"utilization":42,"resets_at":"2025-09-10T13:00:00Z"},)"
                     R"("seven_day":{"utilization":17,"resets_at":null}})";

class Fetch : public ::testing::Test {
protected:
    TempDir dir;
    UsageServiceCall call;
    HttpsRequest sent;
    int requests = 0;
    HttpsResponse answer{true, 200, kBody};

    void SetUp() override {
        WriteBytes(dir.path() / ".credentials.json", kCredentials);
        call.credentialsPath = dir.File(".credentials.json");
        call.apiCachePath = dir.File("api.ini");
        call.host = L"localhost";
        call.port = 4443;
        call.transport = [this](const HttpsRequest& request) {
            sent = request;
            ++requests;
            return answer;
        };
        call.clock = [] { return kNow + 1; };
    }
    PlanLimits Run() { return FetchPlanLimitsWith(kNow, call); }
    void CacheRows(int64_t at) {
        WriteLimitCacheAt(call.apiCachePath, {{L"5-hour limit", 9, 0}}, L"Pro", at);
    }
};

// A reply that arrives once the program is quitting is not stored: the process may be ended in
// the middle of the write.
TEST_F(Fetch, AReplyAfterQuittingIsNotStored) {
    std::atomic<bool> stop{false};
    call.stop = &stop;
    for (const bool quitting : {true, false}) {
        stop = quitting;
        EXPECT_TRUE(Run().hasLimits);
        std::vector<LimitRow> cached;
        EXPECT_EQ(ReadLimitCache(call.apiCachePath, cached) != 0, !quitting) << quitting;
    }
}

TEST_F(Fetch, SuccessGivesRowsPlanAndWritesTheCache) {
    const PlanLimits limits = Run();
    EXPECT_TRUE(limits.hasLimits);
    EXPECT_FALSE(limits.fromStatusLine);
    EXPECT_EQ(limits.message, L"");
    EXPECT_EQ(limits.status, FetchStatus::kOk);
    EXPECT_EQ(limits.plan, L"Max");
    EXPECT_EQ(limits.asOf, kNow + 1);
    ASSERT_EQ(limits.limits.size(), 2u);
    EXPECT_EQ(limits.limits[0].percent, 42);

    EXPECT_EQ(sent.host, L"localhost");
    EXPECT_EQ(sent.port, 4443);
    EXPECT_EQ(sent.path, L"/api/oauth/usage");
    EXPECT_EQ(sent.userAgent, L"Tidewell/1.2");
    EXPECT_EQ(sent.headers, L"Authorization: Bearer sk-ant-oat01-SECRET\r\nanthropic-beta: "
                            L"oauth-2025-04-20\r\nAccept: application/json\r\n");
    EXPECT_EQ(sent.resolveTimeoutMs, 5000);
    EXPECT_EQ(sent.connectTimeoutMs, 5000);
    EXPECT_EQ(sent.sendTimeoutMs, 8000);
    EXPECT_EQ(sent.receiveTimeoutMs, 8000);

    std::vector<LimitRow> cached;
    std::wstring plan;
    const int64_t at = ReadLimitCache(call.apiCachePath, cached, &plan);
    EXPECT_GE(at, kNow);  // the time of writing
    EXPECT_EQ(cached, limits.limits);
    EXPECT_EQ(plan, L"Max");
    EXPECT_EQ(ReadWholeFile(call.apiCachePath).find("SECRET"), std::string::npos);
}

TEST_F(Fetch, EveryFailureHasItsMessage) {
    struct Case {
        HttpsResponse response;
        const wchar_t* message;
        FetchStatus status;
    };
    const Case cases[] = {
        {{false, 0, ""}, L"Offline: can't reach Anthropic", FetchStatus::kOffline},
        {{true, 401, ""},
         L"Claude sign-in expired: open Claude Code once",
         FetchStatus::kUnauthorized},
        {{true, 403, ""},
         L"Claude sign-in expired: open Claude Code once",
         FetchStatus::kUnauthorized},
        {{true, 429, ""}, L"429", FetchStatus::kRateLimited},
        {{true, 428, ""}, L"Anthropic returned 428", FetchStatus::kServiceError},
        {{true, 500, "oops"}, L"Anthropic returned 500", FetchStatus::kServiceError},
        {{true, 0, ""}, L"Anthropic returned 0", FetchStatus::kServiceError},
        {{true, 200, "{}"}, L"No plan limits on this account", FetchStatus::kNoLimits},
        {{true, 200, R"({"five_hour":{"utilization":null}})"},
         L"No plan limits on this account",
         FetchStatus::kNoLimits},
    };
    for (const auto& [response, message, status] : cases) {
        answer = response;
        const PlanLimits limits = Run();
        EXPECT_EQ(limits.message, message);
        EXPECT_EQ(limits.status, status) << response.status;
        EXPECT_FALSE(limits.hasLimits);
        EXPECT_TRUE(limits.limits.empty());
        EXPECT_EQ(limits.asOf, kNow + 1);
        EXPECT_EQ(limits.plan, L"Max");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "api.ini"));
}

TEST_F(Fetch, NoUsableCredentialsSendNothing) {
    for (const char* text : {"", "{}", R"({"accessToken":null})"}) {
        WriteBytes(dir.path() / ".credentials.json", text);
        const PlanLimits limits = Run();
        EXPECT_EQ(limits.message, L"Sign in to Claude Code to see your plan limits");
        EXPECT_EQ(limits.status, FetchStatus::kSignedOut);
        EXPECT_EQ(limits.plan, L"");
    }
    call.credentialsPath.reset();
    EXPECT_EQ(Run().message, L"Sign in to Claude Code to see your plan limits");
    EXPECT_EQ(requests, 0);
}

TEST_F(Fetch, AnEmptyPlanStillSendsTheRequest) {
    WriteBytes(dir.path() / ".credentials.json", R"({"accessToken":"t","subscriptionType":""})");
    EXPECT_EQ(Run().plan, L"");
    EXPECT_EQ(requests, 1);
}

TEST_F(Fetch, AFreshCacheStandsInAfterAFailure) {
    CacheRows(kNow - 43199);
    answer = {true, 500, ""};
    PlanLimits limits = Run();
    EXPECT_TRUE(limits.hasLimits);
    EXPECT_EQ(limits.message, L"Anthropic returned 500");
    EXPECT_EQ(limits.status, FetchStatus::kServiceError);  // cached rows: the failure still shows
    EXPECT_EQ(limits.asOf, kNow - 43199);
    EXPECT_EQ(limits.plan, L"Pro");
    ASSERT_EQ(limits.limits.size(), 1u);
    EXPECT_EQ(limits.limits[0].percent, 9);

    CacheRows(kNow - 43200);  // stale
    limits = Run();
    EXPECT_FALSE(limits.hasLimits);
    EXPECT_EQ(limits.plan, L"Max");
    EXPECT_EQ(limits.asOf, kNow + 1);
}

TEST(PlanFromCredentials, UpperCasesTheFirstByteOnly) {
    EXPECT_EQ(PlanFromCredentials(R"({"subscriptionType":"max"})"), L"Max");
    EXPECT_EQ(PlanFromCredentials(R"({"subscriptionType":"team_pro"})"), L"Team_pro");
    EXPECT_EQ(PlanFromCredentials(R"({"subscriptionType":"\u00e9lite"})"), L"\\u00e9lite");
    EXPECT_EQ(PlanFromCredentials(R"({"subscriptionType":""})"), L"");
    EXPECT_EQ(PlanFromCredentials("{}"), L"");
}

TEST(FindClaudeCredentials, PrefersTheConfigDirThenTheProfile) {
    TempDir dir;
    const std::string config = (dir.path() / "config").string();
    const std::string profile = (dir.path() / "profile").string();
    WriteBytes(dir.path() / "profile" / ".claude" / ".credentials.json", "{}");
    std::optional<ScopedEnvironment> profileVariable;
    profileVariable.emplace(kProfileVariable, profile.c_str());
    SetEnvironment("CLAUDE_CONFIG_DIR", config.c_str());
    const auto found = [] {
        const auto path = FindClaudeCredentials();
        return path ? PathFromWide(*path) : std::filesystem::path();
    };
    EXPECT_EQ(found(), dir.path() / "profile" / ".claude" / ".credentials.json");
    WriteBytes(dir.path() / "config" / ".credentials.json", "{}");
    EXPECT_EQ(found(), dir.path() / "config" / ".credentials.json");
    // A list of folders: the first that has the file, past one that has not.
    const std::string list = (dir.path() / "none").string() + ", " + config;
    SetEnvironment("CLAUDE_CONFIG_DIR", list.c_str());
    EXPECT_EQ(found(), dir.path() / "config" / ".credentials.json");
    SetEnvironment("CLAUDE_CONFIG_DIR", nullptr);
    profileVariable.reset();
    profileVariable.emplace(kProfileVariable, (dir.path() / "nobody").string().c_str());
    EXPECT_FALSE(FindClaudeCredentials());
}

}  // namespace

namespace {

// A credentials file that is empty, damaged or larger than any real one is no sign-in: nothing
// is sent, and a huge file is never read whole.
TEST_F(Fetch, OnlyAReadableCredentialsFileOfSaneSizeIsASignIn) {
    const std::string token = R"({"claudeAiOauth":{"accessToken":"sk-ant-oat01-SECRET"}})";
    struct Case {
        std::string text;
        bool sent;
    } cases[] = {
        {"", false},
        {R"({"claudeAiOauth":{"accessTok)", false},
        {token + std::string(kMaxCredentialsBytes - token.size(), ' '), true},
        {token + std::string(kMaxCredentialsBytes - token.size() + 1, ' '), false},
    };
    for (const Case& c : cases) {
        WriteBytes(dir.path() / ".credentials.json", c.text);
        requests = 0;
        const PlanLimits limits = Run();
        EXPECT_EQ(requests, c.sent ? 1 : 0) << c.text.size();
        EXPECT_EQ(limits.status == FetchStatus::kSignedOut, !c.sent) << c.text.size();
        EXPECT_EQ(AccessTokenIn(ReadCredentials(*call.credentialsPath)).empty(), !c.sent);
    }
}

}  // namespace
