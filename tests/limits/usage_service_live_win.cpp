// FetchPlanLimits over real WinHTTP against the local TLS mock (tests/mock/usage_service.py).
// Run by tests/e2e/usage_service.sh, which starts the mock and sets TIDEWELL_MOCK_PORT and
// TIDEWELL_MOCK_DIR; without them these tests skip.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "platform/whole_file.h"
#include "core/iso_time.h"
#include "limits/limit_cache.h"
#include "limits/usage_client.h"
#include "platform/system.h"
#include "support/temp_dir.h"

namespace {

class UsageServiceLive : public ::testing::Test {
protected:
    TempDir dir;
    std::string mockDir;
    UsageServiceCall call;
    int64_t now = static_cast<int64_t>(std::time(nullptr));

    void SetUp() override {
        const char* port = std::getenv("TIDEWELL_MOCK_PORT");
        const char* folder = std::getenv("TIDEWELL_MOCK_DIR");
        if (!port || !folder) {
            GTEST_SKIP() << "run by tests/e2e/usage_service.sh";
        }
        mockDir = folder;
        WriteBytes(dir.path() / ".credentials.json",
                   R"({"claudeAiOauth":{"accessToken":"sk-ant-oat01-LIVE","subscriptionType":"pro"}})");
        call.credentialsPath = dir.File(".credentials.json");
        call.apiCachePath = dir.File("api.ini");
        call.host = L"localhost";
        call.port = static_cast<uint16_t>(std::atoi(port));
        call.transport = HttpsGet;
        call.clock = [] { return static_cast<int64_t>(std::time(nullptr)); };
    }
    PlanLimits Fetch(const char* scenario) {
        std::ofstream(HostPath(mockDir + "/scenario").c_str()) << scenario;
        return FetchPlanLimitsWith(now, call);
    }
};

TEST_F(UsageServiceLive, A200AnswerGivesRowsAndWritesTheCache) {
    const PlanLimits limits = Fetch("full");
    EXPECT_EQ(limits.message, L"");
    EXPECT_TRUE(limits.hasLimits);
    EXPECT_EQ(limits.plan, L"Pro");
    ASSERT_EQ(limits.limits.size(), 3u);
    EXPECT_EQ(limits.limits[0], (LimitRow{L"5-hour limit", 42, ParseIsoTime("2025-09-10T13:00:00Z"),
                                          false, kFiveHourSeconds}));
    EXPECT_EQ(limits.limits[1].label, L"Weekly \u00b7 All models");
    EXPECT_EQ(limits.limits[1].percent, 17.5);
    EXPECT_EQ(limits.limits[2], (LimitRow{L"Weekly \u00b7 Opus", 55, 0, false, kWeekSeconds}));
    std::vector<LimitRow> cached;
    std::wstring plan;
    EXPECT_GE(ReadLimitCache(call.apiCachePath, cached, &plan), now);
    EXPECT_EQ(cached, limits.limits);
    EXPECT_EQ(plan, L"Pro");

    const std::string request = ReadWholeFile(HostPath(mockDir + "/last_request"));
    EXPECT_NE(request.find("GET /api/oauth/usage HTTP/1.1"), std::string::npos);
    EXPECT_NE(request.find("Authorization: Bearer sk-ant-oat01-LIVE"), std::string::npos);
    EXPECT_NE(request.find("anthropic-beta: oauth-2025-04-20"), std::string::npos);
    EXPECT_NE(request.find("Accept: application/json"), std::string::npos);
    EXPECT_NE(request.find("User-Agent: Tidewell/1.2"), std::string::npos);
}

TEST_F(UsageServiceLive, StatusAnswersGiveTheirMessagesAndFallBackToAFreshCache) {
    EXPECT_EQ(Fetch("empty").message, L"No plan limits on this account");
    EXPECT_EQ(Fetch("401").message, L"Claude sign-in expired: open Claude Code once");
    EXPECT_EQ(Fetch("403").message, L"Claude sign-in expired: open Claude Code once");
    EXPECT_EQ(Fetch("429").message, L"429");
    EXPECT_EQ(Fetch("429").status, FetchStatus::kRateLimited);
    PlanLimits limits = Fetch("500");
    EXPECT_EQ(limits.message, L"Anthropic returned 500");
    EXPECT_FALSE(limits.hasLimits);

    WriteLimitCacheAt(call.apiCachePath, {{L"5-hour limit", 7, 0}}, L"Team", now - 100);
    limits = Fetch("500");
    EXPECT_EQ(limits.message, L"Anthropic returned 500");
    EXPECT_TRUE(limits.hasLimits);
    EXPECT_EQ(limits.asOf, now - 100);
    EXPECT_EQ(limits.plan, L"Team");
}

TEST_F(UsageServiceLive, ASlowServerIsOfflineWithinTheTimeouts) {
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Fetch("slow").message, L"Offline: can't reach Anthropic");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(25));
}

TEST_F(UsageServiceLive, AServerThatNeverAnswersIsOfflineWithinTheTimeouts) {
    call.port = static_cast<uint16_t>(call.port + 1);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Fetch("full").message, L"Offline: can't reach Anthropic");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(25));
}

TEST_F(UsageServiceLive, AnOverLongReplyIsNoAnswer) {
    EXPECT_EQ(Fetch("huge").message, L"Offline: can't reach Anthropic");
}

TEST_F(UsageServiceLive, AClosedPortIsOffline) {
    call.port = static_cast<uint16_t>(call.port + 2);
    EXPECT_EQ(Fetch("full").message, L"Offline: can't reach Anthropic");
}

}  // namespace
