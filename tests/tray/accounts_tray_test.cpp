// The tray with several logins: the number, the tooltip's lines and the warnings per login.
#include <gtest/gtest.h>

#include <algorithm>

#include "tray/limit_warnings.h"
#include "tray/tray_text.h"

namespace {

constexpr int64_t kNow = 1000;

AccountUsage Claude(const std::wstring& name, std::vector<double> rows) {
    AccountUsage account;
    account.login.tool = LoginTool::kClaude;
    account.login.key = L"dir:" + name;
    account.login.name = name;
    account.login.credentialsPath = L"c";
    for (const double percent : rows)
        account.planLimits.limits.push_back({L"5-hour limit", percent, kNow + 3600});
    account.planLimits.hasLimits = !rows.empty();
    return account;
}

std::wstring Tag(const std::wstring& name) {
    return LoginFileTag(L"dir:" + name);
}

// Two Claude logins and the one Codex login of old.
UsageSnapshot Several(std::vector<AccountUsage> accounts) {
    UsageSnapshot snapshot;
    snapshot.hasUpdate = true;
    snapshot.accounts = std::move(accounts);
    // The one-login picture holds the first login's figures, as the worker publishes it.
    if (!snapshot.accounts.empty())
        snapshot.planLimits = snapshot.accounts.front().planLimits;
    snapshot.codex.found = true;
    snapshot.codex.primary = {true, 20, 0, kNow + 3600};
    return snapshot;
}

TEST(TrayNumberOfLogins, FollowsTheShowSetting) {
    const UsageSnapshot snapshot = Several({Claude(L"a", {30, 60}), Claude(L"b", {50})});
    struct Case {
        std::wstring show;
        std::vector<std::wstring> hidden;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {L"highest", {}, 60},
        {L"auto", {}, 60},  // several Claude logins: auto is Highest
        {L"xyz", {}, 60},
        {L"auto", {Tag(L"a")}, 50},  // one per tool again: whichever was used last (Claude)
        {L"claude", {}, 30},         // the first Claude login with figures, its first limit
        {L"codex", {}, 20},
        {L"login:" + Tag(L"b"), {}, 50},
        {L"login:" + Tag(L"a"), {}, 30},           // a login's first limit
        {L"login:" + Tag(L"a"), {Tag(L"a")}, 50},  // hidden: acts as auto
        {L"login:0000000000000000", {}, 60},       // no longer there: acts as auto
        {L"login:", {}, 60},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseTrayPercent(snapshot, c.show, c.hidden), c.expected) << c.show;
    // A chosen login without figures shows none rather than another login's number.
    EXPECT_EQ(
        ChooseTrayPercent(Several({Claude(L"a", {}), Claude(L"b", {5})}), L"login:" + Tag(L"a")),
        std::nullopt);
}

std::wstring Repeat(size_t count, wchar_t c) {
    return std::wstring(count, c);
}

// The tooltip of two Claude logins (the first named `name`) and Codex, under "Highest".
std::wstring TooltipOf(const std::wstring& name, double first = 50) {
    return BuildTrayTooltip(Several({Claude(name, {first}), Claude(L"me", {10})}), kNow,
                            L"highest");
}

TEST(TrayTooltipOfLogins, LinesAndWhatGivesWayAtTheEdge) {
    const std::wstring resets = L", resets in 1h 00m";
    const auto full = [&](const std::wstring& name) {
        return L"Tidewell\nClaude \u00b7 " + name + L" 5-hour: 50%" + resets +
               L"\nClaude \u00b7 me 5-hour: 10%" + resets + L"\nCodex: 20%" + resets;
    };
    const size_t base = full(L"").size();
    ASSERT_LT(base, kTooltipMaxChars);
    struct Case {
        size_t length;          // the full text's
        std::wstring expected;  // with the first login's name of the length that gives it
    };
    const auto name = [&](size_t length) { return Repeat(length - base, L'w'); };
    const Case cases[] = {
        {126, full(name(126))},
        {127, full(name(127))},
        // one character over: the last line's reset goes
        {128, L"Tidewell\nClaude \u00b7 " + name(128) + L" 5-hour: 50%" + resets +
                  L"\nClaude \u00b7 me 5-hour: 10%" + resets + L"\nCodex: 20%"},
    };
    for (const Case& c : cases) {
        const std::wstring n = Repeat(c.length - base, L'w');
        EXPECT_EQ(full(n).size(), c.length);
        EXPECT_EQ(TooltipOf(n), c.expected) << c.length;
        EXPECT_LE(TooltipOf(n).size(), kTooltipMaxChars);
    }
}

TEST(TrayTooltipOfLogins, NamesShortenThenLinesGo) {
    // The icon's login comes first, whatever its place.
    EXPECT_EQ(BuildTrayTooltip(Several({Claude(L"a", {10}), Claude(L"b", {70})}), kNow, L"auto"),
              L"Tidewell\nClaude \u00b7 b 5-hour: 70%, resets in 1h 00m\nClaude \u00b7 a 5-hour: "
              L"10%, resets in 1h 00m\nCodex: 20%, resets in 1h 00m");
    // No resets left and still too long: names beyond 12 characters are cut to 11 and "…".
    const std::wstring twelve = Repeat(12, L'x'), long1 = Repeat(60, L'y');
    EXPECT_EQ(BuildTrayTooltip(Several({Claude(long1, {50}), Claude(twelve, {10}),
                                        Claude(Repeat(13, L'z'), {5})}),
                               kNow, L"highest"),
              L"Tidewell\nClaude \u00b7 " + Repeat(11, L'y') +
                  L"\u2026 5-hour: 50%\nClaude \u00b7 " + twelve + L" 5-hour: 10%\nClaude \u00b7 " +
                  Repeat(11, L'z') + L"\u2026 5-hour: 5%\nCodex: 20%");
    // Too many logins even so: lines go from the end, counted.
    std::vector<AccountUsage> many;
    for (int i = 0; i < 6; ++i)
        many.push_back(Claude(Repeat(20, wchar_t(L'a' + i)), {double(50 + i)}));
    const std::wstring tip = BuildTrayTooltip(Several(many), kNow, L"highest");
    EXPECT_LE(tip.size(), kTooltipMaxChars);
    EXPECT_EQ(tip.substr(0, 25), L"Tidewell\nClaude \u00b7 fffffff") << tip;  // the highest first
    EXPECT_EQ(tip.substr(tip.size() - 8), L"\n+4 more") << tip;
    // A cut name never splits a surrogate pair.
    const std::wstring pairs = Repeat(10, L'p') + L"\xD83D\xDE00" + Repeat(40, L'q');
    const std::wstring cut = BuildTrayTooltip(
        Several({Claude(pairs, {50}), Claude(long1, {1}), Claude(long1, {2})}), kNow, L"highest");
    EXPECT_NE(cut.find(Repeat(10, L'p') + L"\u2026"), std::wstring::npos) << cut;
}

TEST(LimitWarningsOfLogins, KeysAndTitlesPerLogin) {
    struct Case {
        std::vector<AccountUsage> accounts;
        std::vector<std::wstring> hidden;
        std::vector<std::wstring> keys;  // the tracker's, after one check
        std::vector<std::wstring> titles;
    };
    const std::wstring bucket = std::to_wstring(ResetBucket(kNow + 3600));
    const Case cases[] = {
        // one login per tool: the keys and titles of old
        {{Claude(L"a", {80})},
         {},
         {L"cl5-hour limit:80:" + bucket},
         {L"Claude 5-hour limit at 80%"}},
        {{Claude(L"a", {80}), Claude(L"b", {95})},
         {},
         {Tag(L"a") + L":cl5-hour limit:80:" + bucket, Tag(L"b") + L":cl5-hour limit:95:" + bucket},
         {L"Claude \u00b7 a: 5-hour limit at 80%", L"Claude \u00b7 b: 5-hour limit at 95%"}},
        {{Claude(L"a", {80}), Claude(L"b", {79.4})},
         {},
         {Tag(L"a") + L":cl5-hour limit:80:" + bucket},
         {L"Claude \u00b7 a: 5-hour limit at 80%"}},
        {{Claude(L"a", {80}), Claude(L"b", {95})},
         {Tag(L"b")},
         {Tag(L"a") + L":cl5-hour limit:80:" + bucket},
         {L"Claude \u00b7 a: 5-hour limit at 80%"}},
    };
    for (const Case& c : cases) {
        WarningTracker tracker;
        UsageSnapshot snapshot = Several(c.accounts);
        const std::vector<Balloon> balloons =
            tracker.CheckLimitWarnings(snapshot, 0, kNow, c.hidden);
        std::vector<std::wstring> titles;
        for (const Balloon& b : balloons)
            titles.push_back(b.title);
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(std::vector<std::wstring>(tracker.shown().begin(), tracker.shown().end()), [&] {
            auto k = c.keys;
            std::sort(k.begin(), k.end());
            return k;
        }());
        // once per window
        EXPECT_TRUE(tracker.CheckLimitWarnings(snapshot, 0, kNow, c.hidden).empty());
    }
}

}  // namespace
