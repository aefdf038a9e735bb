// Which logins the views show, and each one's number.
#include "display/shown_logins.h"

#include <gtest/gtest.h>

namespace {

AccountUsage Claude(const std::wstring& name, std::vector<double> rows, bool gone = false) {
    AccountUsage account;
    account.login.tool = LoginTool::kClaude;
    account.login.key = L"dir:" + name;
    account.login.name = name;
    account.login.credentialsPath = L"c";
    for (const double percent : rows)
        account.planLimits.limits.push_back({L"row", percent, 0});
    account.planLimits.hasLimits = !rows.empty();
    account.gone = gone;
    return account;
}

AccountUsage Codex(const std::wstring& name, bool found, double percent = -1) {
    AccountUsage account;
    account.login.tool = LoginTool::kCodex;
    account.login.key = L"dir:" + name;
    account.login.name = name;
    account.codex.found = found;
    if (percent >= 0)
        account.codex.primary = {true, percent, 300, 0};
    return account;
}

std::wstring Tag(const std::wstring& name) {
    return LoginFileTag(L"dir:" + name);
}

std::wstring Names(const std::vector<LoginView>& views) {
    std::wstring names;
    for (const LoginView& view : views)
        names += (names.empty() ? L"" : L",") + LoginTitle(view);
    return names;
}

TEST(ShownLogins, OneLoginPerToolIsTheOldPictureSeveralAreNamed) {
    struct Case {
        std::vector<AccountUsage> accounts;
        std::vector<std::wstring> hidden;
        const wchar_t* expected;
        bool several;
    };
    const Case cases[] = {
        {{}, {}, L"Claude,Codex", false},  // nothing discovered yet: as it always was
        {{Claude(L"default", {10}), Codex(L"default", true)}, {}, L"Claude,Codex", false},
        {{Claude(L"default", {10}), Codex(L"default", true)}, {Tag(L"default")}, L"", false},
        {{Claude(L"a", {10}), Claude(L"b", {20}), Codex(L"c", true)},
         {},
         L"Claude \u00b7 a,Claude \u00b7 b,Codex",
         true},
        // one of two hidden: the other keeps its name and its own figures
        {{Claude(L"a", {10}), Claude(L"b", {20})}, {Tag(L"a")}, L"Claude \u00b7 b,Codex", false},
        // a Codex home without sessions has nothing to show; a found one does
        {{Codex(L"x", false), Codex(L"y", true)}, {}, L"Claude,Codex \u00b7 y", false},
        {{Codex(L"x", true), Codex(L"y", true)}, {}, L"Claude,Codex \u00b7 x,Codex \u00b7 y", true},
    };
    for (const Case& c : cases) {
        UsageSnapshot snapshot;
        snapshot.accounts = c.accounts;
        const std::vector<LoginView> views = ShownLogins(snapshot, c.hidden);
        EXPECT_EQ(Names(views), c.expected) << c.expected;
        EXPECT_EQ(ShowsSeveralLogins(views), c.several) << c.expected;
    }
}

TEST(ShownLogins, NamedViewsCarryTheirOwnFigures) {
    UsageSnapshot snapshot;
    snapshot.planLimits.hasLimits = true;
    snapshot.planLimits.limits = {{L"old", 99, 0}};
    snapshot.accounts = {Claude(L"a", {10}), Claude(L"b", {20}, true)};
    const std::vector<LoginView> views = ShownLogins(snapshot, {Tag(L"a")});
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(views[0].plan->limits.front().percent, 20);
    EXPECT_TRUE(views[0].gone);
    EXPECT_EQ(views[0].tag, Tag(L"b"));
}

TEST(HighestLogin, EdgesOfTheChoice) {
    struct Case {
        std::vector<AccountUsage> accounts;
        std::vector<std::wstring> hidden;
        std::optional<size_t> expected;
    };
    const Case cases[] = {
        {{Claude(L"a", {40}), Claude(L"b", {41})}, {}, 1},
        {{Claude(L"a", {41}), Claude(L"b", {41})}, {}, 0},      // equal: the first
        {{Claude(L"a", {40.6}), Claude(L"b", {41.4})}, {}, 0},  // equal as shown (41): the first
        {{Claude(L"a", {40.4}), Claude(L"b", {40.6})}, {}, 1},  // 40 against 41
        {{Claude(L"a", {10, 90}), Claude(L"b", {80})}, {}, 0},  // any limit of a login counts
        {{Claude(L"a", {}), Claude(L"b", {0})}, {}, 1},         // no data does not count, 0 does
        {{Claude(L"a", {}), Claude(L"b", {})}, {}, 2},          // only the old Codex picture: 0%
        {{Claude(L"a", {95}), Claude(L"b", {20})}, {Tag(L"a")}, 0},  // hidden: not counted
        {{Claude(L"a", {95}, true), Claude(L"b", {20})}, {}, 1},     // gone: not counted
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        UsageSnapshot snapshot;
        snapshot.accounts = cases[i].accounts;
        snapshot.codex.primary = {i == 6, 0, 300, 0};
        EXPECT_EQ(HighestLogin(ShownLogins(snapshot, cases[i].hidden)), cases[i].expected) << i;
    }
}

TEST(LoginNumber, FirstLimitOrHighest) {
    UsageSnapshot snapshot;
    snapshot.accounts = {Claude(L"a", {30, 70, 70}), Codex(L"x", true, 12), Codex(L"y", true)};
    snapshot.accounts[1].codex.secondary = {true, 50, 10080, 0};
    snapshot.planLimits = snapshot.accounts[0].planLimits;  // Claude's one login: the old picture
    const std::vector<LoginView> views = ShownLogins(snapshot, {});
    ASSERT_EQ(views.size(), 3u);
    EXPECT_EQ(NumberOfLogin(views[0], false)->percent, 30);
    EXPECT_EQ(NumberOfLogin(views[0], true)->percent, 70);
    EXPECT_EQ(NumberOfLogin(views[1], false)->percent, 12);
    EXPECT_EQ(NumberOfLogin(views[1], true)->percent, 50);
    EXPECT_FALSE(NumberOfLogin(views[2], true));
}

TEST(LoginNumberChoices, OnlyWhileSomeToolShowsSeveral) {
    UsageSnapshot snapshot;
    snapshot.accounts = {Claude(L"a", {1}), Codex(L"x", true)};
    EXPECT_TRUE(LoginNumberChoices(ShownLogins(snapshot, {})).empty());
    snapshot.accounts.push_back(Claude(L"b", {}));
    const std::vector<NumberChoice> expected = {
        {L"Claude \u00b7 a", L"login:" + Tag(L"a")},
        {L"Claude \u00b7 b", L"login:" + Tag(L"b")},
        {L"Codex", L"login:" + Tag(L"x")},  // the tool's one login, by its tag all the same
    };
    EXPECT_EQ(LoginNumberChoices(ShownLogins(snapshot, {})), expected);
}

}  // namespace
