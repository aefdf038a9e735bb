// Two logins' limits through the refresh worker over real WinHTTP against the local TLS mock
// (tests/mock/usage_service.py), which answers each token apart. Run by
// tests/e2e/login_limits.sh, which starts the mock and sets TIDEWELL_MOCK_PORT and
// TIDEWELL_MOCK_DIR; without them these tests skip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include "limits/limit_cache.h"
#include "limits/login_files.h"
#include "limits/refresh_worker.h"
#include "platform/system.h"
#include "platform/whole_file.h"
#include "support/temp_dir.h"

namespace {

class LoginLimitsLive : public ::testing::Test {
protected:
    TempDir dir;
    std::string mockDir;
    uint16_t port = 0;
    PublishedState shared;
    std::vector<Login> logins;
    int64_t now = static_cast<int64_t>(std::time(nullptr));

    void SetUp() override {
        const char* portText = std::getenv("TIDEWELL_MOCK_PORT");
        const char* folder = std::getenv("TIDEWELL_MOCK_DIR");
        if (!portText || !folder) {
            GTEST_SKIP() << "run by tests/e2e/login_limits.sh";
        }
        mockDir = folder;
        port = static_cast<uint16_t>(std::atoi(portText));
        logins = {Claude("work", "tok-work", true), Claude("home", "tok-home", false),
                  Claude("copy", "tok-work", false)};  // a copied credentials file
    }
    Login Claude(const std::string& name, const std::string& token, bool isDefault) {
        WriteBytes(
            dir.path() / name / ".credentials.json",
            R"({"claudeAiOauth":{"accessToken":")" + token + R"(","subscriptionType":"max"}})");
        Login login;
        login.key = L"dir:" + dir.File(name);
        login.folders = {dir.File(name)};
        login.credentialsPath = dir.File(name + "/.credentials.json");
        login.isDefault = isDefault;
        login.primary = isDefault;
        return login;
    }
    std::wstring ApiPath(const Login& login) const {
        return WideFromPath(dir.path() / PathFromWide(ApiCacheFileName(login)));
    }
    void Answer(const std::string& token, const char* scenario) {
        std::ofstream(HostPath(mockDir + "/scenario-" + token).c_str()) << scenario;
    }
    RefreshSources Sources() {
        RefreshSources sources;
        sources.fetchPlanLimits = [](int64_t) { return PlanLimits(); };
        sources.readLiveCache = [](std::vector<LimitRow>&) { return int64_t{0}; };
        sources.planFromCredentials = [] { return std::wstring(); };
        sources.scanClaudeLogs = [](int64_t) { return ClaudeLogSummary(); };
        sources.scanCodexLimits = [](int64_t) { return CodexLimits(); };
        sources.logins = [this](int64_t) { return logins; };
        sources.fetchLoginLimits = [this](const Login& login, int64_t at) {
            UsageServiceCall call;
            call.credentialsPath = login.credentialsPath;
            call.apiCachePath = ApiPath(login);
            call.host = L"localhost";
            call.port = port;
            call.transport = HttpsGet;
            call.clock = [] { return static_cast<int64_t>(std::time(nullptr)); };
            return FetchPlanLimitsWith(at, call);
        };
        sources.loginToken = [](const Login& login) {
            return AccessTokenIn(ReadCredentials(*login.credentialsPath));
        };
        return sources;
    }
    std::string Tokens() const { return ReadWholeFile(HostPath(mockDir + "/tokens")); }
};

TEST_F(LoginLimitsLive, EachLoginGetsItsOwnReplyAndA429LeavesTheOtherFresh) {
    Answer("tok-work", "today");
    Answer("tok-home", "full");
    RefreshWorker worker(Sources(), shared);
    for (int cycle = 0; cycle < 3; ++cycle)
        worker.RunCycle(now + 45 * cycle, false);
    // One request a cycle, each with its own token; the copy's token was never sent again.
    EXPECT_EQ(Tokens(), "tok-work\ntok-home\n");
    {
        std::lock_guard<std::mutex> guard(shared.lock);
        const auto& accounts = shared.state.accounts;
        ASSERT_EQ(accounts.size(), 3u);
        ASSERT_EQ(accounts[0].planLimits.limits.size(), 3u);
        EXPECT_EQ(accounts[0].planLimits.limits[2].label, L"Weekly \u00b7 Fable");
        ASSERT_EQ(accounts[1].planLimits.limits.size(), 3u);
        EXPECT_EQ(accounts[1].planLimits.limits[2].label, L"Weekly \u00b7 Opus");
        EXPECT_EQ(accounts[2].planLimits.status, FetchStatus::kSignedOut);
        EXPECT_EQ(accounts[2].planLimits.message, kSignInMessage);
        EXPECT_FALSE(accounts[2].planLimits.hasLimits);
    }
    std::vector<LimitRow> rows;
    EXPECT_GE(ReadLimitCache(ApiPath(logins[0]), rows), now - 5);
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_EQ(ApiCacheFileName(logins[0]), L"api.ini");
    rows.clear();
    EXPECT_GE(ReadLimitCache(ApiPath(logins[1]), rows), now - 5);
    EXPECT_EQ(rows.size(), 3u);

    // The work login is rate limited: it keeps its cached rows and backs off; home is asked on
    // its own turn and stays fresh.
    Answer("tok-work", "429");
    Answer("tok-home", "today");
    worker.RunCycle(now + 600, false);
    worker.RunCycle(now + 645, false);
    EXPECT_EQ(Tokens(), "tok-work\ntok-home\ntok-work\ntok-home\n");
    std::lock_guard<std::mutex> guard(shared.lock);
    const auto& accounts = shared.state.accounts;
    EXPECT_EQ(accounts[0].planLimits.status, FetchStatus::kRateLimited);
    EXPECT_EQ(accounts[0].planLimits.limits.size(), 3u);  // from its own api cache
    EXPECT_EQ(worker.loginSchedule(logins[0].key)->backoff, 1200);
    EXPECT_EQ(accounts[1].planLimits.status, FetchStatus::kOk);
    EXPECT_EQ(accounts[1].planLimits.limits[2].label, L"Weekly \u00b7 Fable");
    EXPECT_EQ(shared.state.planLimits.status, FetchStatus::kRateLimited);  // the first login's
}

}  // namespace
