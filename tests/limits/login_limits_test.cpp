#include <gtest/gtest.h>

#include <map>

#include "limits/cached_limits.h"
#include "limits/fetch_schedule.h"
#include "limits/login_files.h"
#include "limits/refresh_worker.h"

namespace {

constexpr int64_t kNow = 1757500000;

Login ClaudeLogin(const std::wstring& folder, bool isDefault = false) {
    Login login;
    login.key = L"dir:" + folder;
    login.name = folder;
    login.folders = {folder};
    login.credentialsPath = folder + L"/.credentials.json";
    login.isDefault = isDefault;
    return login;
}

Login CodexLogin(const std::wstring& folder) {
    Login login;
    login.tool = LoginTool::kCodex;
    login.key = L"dir:" + folder;
    login.folders = {folder};
    return login;
}

TEST(MostOverdue, PicksTheLongestDueAndOnlyOne) {
    struct Case {
        std::vector<int64_t> next;
        bool requested;
        std::optional<size_t> chosen;
    } cases[] = {
        {{}, false, std::nullopt},           {{kNow + 1, kNow + 600}, false, std::nullopt},
        {{kNow, kNow + 1}, false, 0},        {{kNow - 5, kNow - 50}, false, 1},
        {{kNow - 5, kNow - 5}, false, 0},     // equals: the first
        {{kNow + 540, kNow + 541}, true, 0},  // a requested refresh comes early, not earlier
        {{kNow + 541}, true, std::nullopt},  {{0, kNow - 1}, false, 0},  // a login never asked
    };
    for (const Case& c : cases) {
        std::vector<FetchSchedule> schedules;
        for (const int64_t next : c.next)
            schedules.push_back({next, 600});
        EXPECT_EQ(MostOverdue(schedules, kNow, c.requested), c.chosen) << c.next.size();
    }
}

TEST(TokensHeldEarlier, OnlyACopyOfAnEarlierLoginsTokenIsHeld) {
    struct Case {
        std::vector<std::string> tokens;
        std::vector<bool> held;
    } cases[] = {
        {{"a", "b"}, {false, false}}, {{"a", "a"}, {false, true}},
        {{"", ""}, {false, false}},   {{"a", "b", "a", "b"}, {false, false, true, true}},
        {{"b", "a"}, {false, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TokensHeldEarlier(c.tokens), c.held);
}

TEST(LoginCacheFiles, TheDefaultFolderKeepsTheOldNamesOthersTheirOwn) {
    const std::wstring home = L"C:\\Users\\Ann";
    const std::wstring work = LiveCacheFileName(L"C:\\Users\\Ann\\.claude-work", home);
    struct Case {
        std::wstring folder;
        std::wstring name;
    } cases[] = {
        {L"", L"live.ini"},
        {L"C:\\Users\\Ann\\.claude", L"live.ini"},
        {L"c:/users/ann/.CLAUDE/", L"live.ini"},  // one folder however it is spelt
        {L"C:\\Users\\Ann\\.claude-work", work},
        {L"C:/Users/Ann/.claude-work\\", work},
        {L"C:\\Users\\Bob\\.claude",
         L"live-" + LoginFileTag(L"dir:c:\\users\\bob\\.claude") + L".ini"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LiveCacheFileName(c.folder, home), c.name) << c.folder;
    EXPECT_NE(work, L"live.ini");
    EXPECT_EQ(LiveCacheFileName(L"C:\\Users\\Ann\\.claude", L""),
              LiveCacheFileName(L"c:/users/ann/.claude", L""));

    Login login = ClaudeLogin(L"C:\\Users\\Ann\\.claude-work");
    EXPECT_EQ(ApiCacheFileName(login), L"api-" + LoginFileTag(login.key) + L".ini");
    login.isDefault = true;  // ~/.claude alone does not keep the old file: the primary login does
    EXPECT_EQ(ApiCacheFileName(login), L"api-" + LoginFileTag(login.key) + L".ini");
    login.primary = true;
    EXPECT_EQ(ApiCacheFileName(login), L"api.ini");
    login.folders = {L"C:\\Users\\Ann\\.claude-work", L"c:/users/ann/.claude-work/",
                     L"C:\\Users\\Ann\\.claude"};
    EXPECT_EQ(LiveCacheFileNames(login, home), (std::vector<std::wstring>{work, L"live.ini"}));
}

TEST(PrimaryClaudeLogin, TheHolderOfTheOldCredentialsElseTheFirstClaudeLogin) {
    const std::vector<Login> logins = {CodexLogin(L"c"), ClaudeLogin(L"a"), ClaudeLogin(L"b")};
    struct Case {
        std::optional<std::wstring> credentials;
        std::optional<size_t> primary;
    } cases[] = {
        {std::nullopt, 1},           {L"b/.credentials.json", 2}, {L"B\\.credentials.json", 2},
        {L"x/.credentials.json", 1}, {L"c/.credentials.json", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrimaryClaudeLogin(logins, c.credentials), c.primary);
    EXPECT_EQ(PrimaryClaudeLogin({CodexLogin(L"c")}, std::nullopt), std::nullopt);
    const std::vector<Login> marked = WithPrimaryLogin(logins, L"b/.credentials.json");
    EXPECT_EQ((std::vector<bool>{marked[0].primary, marked[1].primary, marked[2].primary}),
              (std::vector<bool>{false, false, true}));
}

TEST(CachedLoginLimits, FreshCachesOnlyAndTheLiveRowsWin) {
    const std::vector<LimitRow> api = {{L"5-hour limit", 10, 0}, {L"Weekly \u00b7 Opus", 30, 0}};
    const std::vector<LimitRow> live = {{L"5-hour limit", 55, 0}};
    struct Case {
        int64_t apiAt, liveAt;
        std::vector<double> percents;
    } cases[] = {
        {kNow - kApiCacheMaxAge, 0, {10, 30}},
        {kNow - kApiCacheMaxAge - 1, 0, {}},
        {kNow - kApiCacheMaxAge - 1, kNow - kLiveCacheMaxAge, {55}},
        {kNow, kNow - kLiveCacheMaxAge - 1, {10, 30}},
        {kNow, kNow, {55, 30}},
    };
    for (const Case& c : cases) {
        const PlanLimits limits = CachedLoginLimits(api, c.apiAt, L"Max", live, c.liveAt, kNow);
        std::vector<double> percents;
        for (const LimitRow& row : limits.limits)
            percents.push_back(row.percent);
        EXPECT_EQ(percents, c.percents) << c.apiAt << " " << c.liveAt;
        EXPECT_EQ(limits.hasLimits, !c.percents.empty());
    }
}

PlanLimits Reply(double percent, FetchStatus status = FetchStatus::kOk) {
    PlanLimits limits;
    limits.status = status;
    if (status == FetchStatus::kOk)
        limits.limits = {{L"5-hour limit", percent, 0}};
    limits.hasLimits = !limits.limits.empty();
    return limits;
}

// Two Claude logins and a Codex one, every source scripted.
class LoginWorker : public ::testing::Test {
protected:
    PublishedState shared;
    UsageState& state = shared.state;
    std::vector<Login> logins = {ClaudeLogin(L"a", true), ClaudeLogin(L"b"), CodexLogin(L"c")};
    std::map<std::wstring, PlanLimits> replies = {{L"dir:a", Reply(10)}, {L"dir:b", Reply(20)}};
    std::map<std::wstring, std::string> tokens = {{L"dir:a", "ta"}, {L"dir:b", "tb"}};
    std::map<std::wstring, std::pair<std::vector<LimitRow>, int64_t>> live;
    std::vector<Login> fetched;  // what each fetch was given
    std::optional<std::wstring> oldCredentials;
    int oldFetches = 0;
    RefreshWorker worker{Sources(), shared};

    RefreshSources Sources() {
        RefreshSources sources;
        sources.fetchPlanLimits = [this](int64_t) {
            ++oldFetches;
            return Reply(99);
        };
        sources.readLiveCache = [](std::vector<LimitRow>&) { return int64_t{0}; };
        sources.planFromCredentials = [] { return std::wstring(); };
        sources.scanClaudeLogs = [](int64_t) { return ClaudeLogSummary(); };
        sources.scanCodexLimits = [](int64_t) { return CodexLimits(); };
        sources.logins = [this](int64_t) { return logins; };
        sources.fetchLoginLimits = [this](const Login& login, int64_t) {
            fetched.push_back(login);
            return login.credentialsPath ? replies[login.key] : Reply(0, FetchStatus::kSignedOut);
        };
        sources.loginToken = [this](const Login& login) { return tokens[login.key]; };
        sources.readLoginLive = [this](const Login& login, std::vector<LimitRow>& rows) {
            const auto& [liveRows, at] = live[login.key];
            rows = liveRows;
            return at;
        };
        sources.loginPlan = [](const Login&) { return std::wstring(L"Pro"); };
        sources.primaryCredentials = [this] { return oldCredentials; };
        sources.claudeEstimate = [](const Login& login, int64_t) {
            ClaudeLogSummary summary;
            summary.percent = login.key == L"dir:a" ? 1 : 2;
            return summary;
        };
        sources.claudeMaxblock = [](const Login& login) {
            return login.key == L"dir:a" ? 100.0 : 200.0;
        };
        sources.codexEstimate = [](const Login&, int64_t) {
            CodexLimits codex;
            codex.found = true;
            return codex;
        };
        return sources;
    }
    double Percent(size_t account) const {
        const auto& rows = state.accounts.at(account).planLimits.limits;
        return rows.empty() ? -1 : rows.front().percent;
    }
};

TEST_F(LoginWorker, OneLoginIsAskedACycleEachWithItsOwnFiguresAndTheOldPathIsUnused) {
    worker.RunCycle(kNow, true);
    ASSERT_EQ(fetched.size(), 1u);
    EXPECT_EQ(fetched[0].key, L"dir:a");
    ASSERT_EQ(state.accounts.size(), 3u);
    EXPECT_EQ(Percent(0), 10);
    EXPECT_EQ(Percent(1), -1);  // its turn has not come
    worker.RunCycle(kNow + 45, false);
    ASSERT_EQ(fetched.size(), 2u);
    EXPECT_EQ(fetched[1].key, L"dir:b");
    EXPECT_EQ(Percent(0), 10);
    EXPECT_EQ(Percent(1), 20);
    worker.RunCycle(kNow + 50, true);  // too early for either, requested or not
    EXPECT_EQ(fetched.size(), 2u);
    EXPECT_EQ(oldFetches, 0);
    EXPECT_EQ(state.accounts[0].claude.percent, 1);
    EXPECT_EQ(state.accounts[1].maxblock, 200);
    EXPECT_TRUE(state.accounts[2].codex.found);
    EXPECT_EQ(state.planLimits.limits.front().percent, 10);  // the first Claude login's
}

TEST_F(LoginWorker, WithoutAClaudeLoginTheLimitsAreAskedForAsBefore) {
    logins = {CodexLogin(L"c")};
    worker.RunCycle(kNow, false);
    EXPECT_EQ(oldFetches, 1);  // the one fetch of old: "Sign in" when there are no credentials
    EXPECT_TRUE(fetched.empty());
    ASSERT_FALSE(state.planLimits.limits.empty());
    EXPECT_EQ(state.planLimits.limits.front().percent, 99);
    ASSERT_EQ(state.accounts.size(), 1u);
    logins = {ClaudeLogin(L"a", true), CodexLogin(L"c")};
    worker.RunCycle(kNow + 45, false);
    EXPECT_EQ(oldFetches, 1);
    EXPECT_EQ(state.planLimits.limits.front().percent, 10);
}

TEST_F(LoginWorker, ARateLimitBacksOffThatLoginAloneAndLeavesTheOthersFresh) {
    replies[L"dir:b"] = Reply(0, FetchStatus::kRateLimited);
    worker.RunCycle(kNow, false);
    worker.RunCycle(kNow + 45, false);
    EXPECT_EQ(worker.loginSchedule(L"dir:b")->nextFetchTime, kNow + 45 + 600);
    EXPECT_EQ(worker.loginSchedule(L"dir:b")->backoff, 1200);
    EXPECT_EQ(worker.loginSchedule(L"dir:a")->backoff, 600);
    worker.RunCycle(kNow + 600, false);  // a's turn again, b still waiting
    EXPECT_EQ(fetched.back().key, L"dir:a");
    replies[L"dir:a"] = Reply(11);
    worker.RunCycle(kNow + 700, false);
    EXPECT_EQ(fetched.back().key, L"dir:b");  // 429 again: its pause doubles
    worker.RunCycle(kNow + 1200, false);
    EXPECT_EQ(fetched.back().key, L"dir:a");
    EXPECT_EQ(fetched.size(), 5u);
    EXPECT_EQ(Percent(0), 11);
    EXPECT_EQ(state.accounts[1].planLimits.status, FetchStatus::kRateLimited);
    EXPECT_EQ(worker.loginSchedule(L"dir:b")->backoff, 2400);
}

TEST_F(LoginWorker, AnEarlierLoginsTokenIsNeverSentForAnother) {
    tokens[L"dir:b"] = "ta";
    worker.RunCycle(kNow, false);
    worker.RunCycle(kNow + 45, false);
    ASSERT_EQ(fetched.size(), 2u);
    EXPECT_TRUE(fetched[0].credentialsPath.has_value());
    EXPECT_FALSE(fetched[1].credentialsPath.has_value());  // no credentials: nothing is sent
    EXPECT_EQ(state.accounts[1].planLimits.status, FetchStatus::kSignedOut);
    EXPECT_EQ(Percent(0), 10);
}

TEST_F(LoginWorker, EachLoginMergesItsOwnLiveRows) {
    live[L"dir:b"] = {{{L"5-hour limit", 70, 0}}, kNow - 10};
    live[L"dir:a"] = {{{L"5-hour limit", 80, 0}}, kNow - kLiveCacheMaxAge - 1};  // stale
    worker.RunCycle(kNow, false);
    EXPECT_EQ(Percent(0), 10);
    EXPECT_EQ(Percent(1), 70);
    EXPECT_TRUE(state.accounts[1].planLimits.fromStatusLine);
    EXPECT_EQ(state.accounts[1].planLimits.plan, L"Pro");
}

TEST_F(LoginWorker, TheOldPictureFollowsTheOldCredentials) {
    oldCredentials = L"b/.credentials.json";
    worker.RunCycle(kNow, false);
    EXPECT_FALSE(state.planLimits.hasLimits);  // b is asked next cycle
    worker.RunCycle(kNow + 45, false);
    EXPECT_EQ(state.planLimits.limits.front().percent, 20);
}

TEST_F(LoginWorker, ALoginThatGoesIsGreyForOneCycleThenDropped) {
    worker.RunCycle(kNow, false);
    logins.erase(logins.begin());
    worker.RunCycle(kNow + 45, false);
    ASSERT_EQ(state.accounts.size(), 3u);
    EXPECT_EQ(state.accounts[0].login.key, L"dir:b");
    EXPECT_EQ(state.accounts[1].login.key, L"dir:a");  // after the Claude logins, before Codex
    EXPECT_TRUE(state.accounts[1].gone);
    EXPECT_EQ(Percent(1), 10);  // its last figures
    EXPECT_FALSE(state.accounts[0].gone);
    worker.RunCycle(kNow + 90, false);
    ASSERT_EQ(state.accounts.size(), 2u);
    EXPECT_EQ(worker.loginSchedule(L"dir:a"), nullptr);
    logins.clear();  // every login gone: the old path again, and the rest grey once
    worker.RunCycle(kNow + 135, false);
    EXPECT_EQ(oldFetches, 1);
    ASSERT_EQ(state.accounts.size(), 2u);
    EXPECT_TRUE(state.accounts[0].gone && state.accounts[1].gone);
    worker.RunCycle(kNow + 180, false);
    EXPECT_TRUE(state.accounts.empty());
}

}  // namespace
