#include "app/json_export.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::string Format(bool found, bool active, double tokens, double percent, double codexPercent,
                   int32_t minutes) {
    ClaudeLogSummary claude;
    claude.found = found;
    claude.active = active;
    claude.current.tokens = tokens;
    claude.percent = percent;
    CodexLimits codex;
    codex.primary.usedPercent = codexPercent;
    codex.primary.windowMinutes = minutes;
    return FormatJsonExport(claude, codex);
}

TEST(FormatJsonExport, WritesTheExactLine) {
    EXPECT_EQ(Format(false, false, 0, 0, 0, 0),
              R"({"claude":{"found":false,"active":false,"current_tokens":0,"pct":0},)"
              R"("codex":{"primary_pct":0,"primary_minutes":0},"sources":[]})");
    EXPECT_EQ(Format(true, true, 934, 61.7, 12.5, 300),
              R"({"claude":{"found":true,"active":true,"current_tokens":934,"pct":61},)"
              R"("codex":{"primary_pct":12.5,"primary_minutes":300},"sources":[]})");
}

TEST(FormatJsonExport, TruncatesAndFormatsNumbersLikePrintf) {
    EXPECT_NE(Format(true, true, 1234.9, 99.99, 33.333333, 299).find(
                  R"("current_tokens":1234,"pct":99},"codex":{"primary_pct":33.3333,)"),
              std::string::npos);
    const std::pair<double, const char*> percents[] = {
        {42.5, "42.5"}, {100, "100"}, {0, "0"}, {12.345678, "12.3457"}, {1e6, "1e+06"},
        {0.0001, "0.0001"}, {1e-5, "1e-05"}, {-3.25, "-3.25"}, {std::nan(""), "0"},
        {HUGE_VAL, "0"}};
    for (const auto& [value, text] : percents) {
        EXPECT_NE(Format(true, false, 0, 0, value, 0).find(std::string("\"primary_pct\":") + text + ","),
                  std::string::npos)
            << text;
    }
    EXPECT_NE(Format(true, true, 98765432109.7, 0, 0, 0).find("\"current_tokens\":98765432109,"),
              std::string::npos);
}

TEST(FormatJsonExport, AccountsComeLastAndLeaveTheOlderMembersAlone) {
    ClaudeLogSummary claude;
    claude.found = true;
    claude.current.tokens = 934;
    claude.percent = 61.7;
    claude.sources.push_back({L"This PC", 3, false});
    CodexLimits codex;
    codex.primary.usedPercent = 12.5;
    const std::string older = FormatJsonExport(claude, codex);

    AccountUsage work;
    work.login.name = L"me@example.com";
    work.login.folders = {L"C:\\Users\\Ann\\.claude-work"};
    work.planLimits.limits = {{L"5-hour limit", 42.5, 1757600000}, {L"Weekly \u00b7 Opus", 7, 0}};
    work.claude.percent = 33.25;
    work.claude.current.tokens = 1200.9;
    AccountUsage empty;
    empty.login.name = L"de\"fault";
    empty.login.where = L"Ubuntu (WSL)";
    AccountUsage personal;
    personal.login.tool = LoginTool::kCodex;
    personal.login.name = L"personal";
    personal.login.folders = {L"/home/ann/.codex"};
    personal.codex.primary = {true, 80, 300, 1757600000};
    personal.codex.secondary = {true, 5, 10080, 0};
    struct Case {
        std::vector<AccountUsage> accounts;
        std::string tail;
    } cases[] = {
        {{}, R"(,"accounts":[]})"},
        {{work, empty, personal},
         R"(,"accounts":[{"name":"me@example.com","tool":"claude","folder":"C:\\Users\\Ann\\.claude-work",)"
         R"("limits":[{"label":"5-hour limit","percent":42.5,"resets_at":1757600000},)"
         R"({"label":"Weekly · Opus","percent":7,"resets_at":0}],)"
         R"("estimate":{"percent":33.25,"tokens":1200}},)"
         R"j({"name":"de\"fault","tool":"claude","folder":"Ubuntu (WSL)","limits":[],)j"
         R"("estimate":{"percent":0,"tokens":0}},)"
         R"({"name":"personal","tool":"codex","folder":"/home/ann/.codex",)"
         R"("limits":[{"label":"5-hour window","percent":80,"resets_at":1757600000},)"
         R"({"label":"Weekly","percent":5,"resets_at":0}],"estimate":null}]})"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatJsonExport(claude, codex, c.accounts),
                  older.substr(0, older.size() - 1) + c.tail);
    }
}

}  // namespace
