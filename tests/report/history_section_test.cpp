#include "report/history_section.h"

#include <gtest/gtest.h>

#include "history/ledger_days.h"
#include "report/history_chart.h"
#include "report/history_tables.h"

namespace {

LedgerRow Row(const std::string& day, const std::string& model, const std::string& project,
              double dollars, int64_t messages = 1, LedgerTool tool = LedgerTool::kClaude) {
    LedgerRow row;
    row.key = {day, tool, "This computer", project, model};
    row.totals.messages = messages;
    row.totals.input = 1000 * messages;
    row.totals.cacheRead = 99999;  // not in the tables' token counts
    row.totals.dollars = dollars;
    return row;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

int64_t Day(const char* text) {
    int64_t n = 0;
    EXPECT_TRUE(DayNumber(text, n));
    return n;
}

TEST(HistorySection, NothingWithoutRowsUnlessStillReading) {
    EXPECT_EQ(BuildHistorySection({}, "2025-05-01", false), "");
    EXPECT_EQ(BuildHistorySection({}, "2025-05-01", true),
              "<h2>History</h2><p>History is still being read: older days may be missing.</p>");
    const std::string withRows =
        BuildHistorySection({Row("2025-05-01", "claude-opus-4-1", "/a", 1)}, "2025-05-01", true);
    EXPECT_EQ(withRows.find("<h2>History</h2><p>History is still being read"), 0u);
    EXPECT_EQ(Count(BuildHistorySection({Row("2025-05-01", "m", "/a", 1)}, "2025-05-01", false),
                    "still being read"),
              0u);
}

TEST(HistorySection, OneDayIsOneBarWithItsFigures) {
    const std::vector<LedgerRow> rows = {
        Row("2025-05-01", "claude-opus-4-1", "/a", 10.5),
        Row("2025-05-01", "claude-sonnet-4-5", "/a", 2.25),
        Row("2025-05-01", "gpt-5-codex", "/a", 0, 3, LedgerTool::kCodex)};
    const std::string html = BuildHistorySection(rows, "2025-05-03", false);
    EXPECT_EQ(Count(html, "<g><title>"), 1u);
    EXPECT_NE(
        html.find("<title>2025-05-01: $12.75 (Opus $10.50, Sonnet $2.25, Codex $0.00)</title>"),
        std::string::npos);
    EXPECT_EQ(Count(html, "<rect "), 2u);  // Codex's zero draws nothing
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(html.find("forced-color-adjust:none"), std::string::npos);
    EXPECT_NE(html.find(">1 May</text>"), std::string::npos);
    EXPECT_NE(html.find(">$0</text>"), std::string::npos);
}

TEST(HistoryChart, OnlyTheLast90DaysAreDrawn) {
    std::vector<LedgerRow> rows;
    const int64_t today = Day("2025-06-30");
    for (int64_t d = today - 119; d <= today + 1; ++d) {  // 120 days, and one in the future
        rows.push_back(Row(DayFromNumber(d), "claude-haiku-4-5", "/a", 1));
    }
    const std::string svg = BuildHistoryChart(rows, today);
    EXPECT_EQ(Count(svg, "<g><title>"), 90u);
    EXPECT_NE(svg.find("<title>" + DayFromNumber(today - 89) + ":"), std::string::npos);
    EXPECT_EQ(svg.find("<title>" + DayFromNumber(today - 90) + ":"), std::string::npos);
    EXPECT_EQ(svg.find("<title>" + DayFromNumber(today + 1) + ":"), std::string::npos);
}

TEST(HistoryChart, DollarTicksCoverTheBusiestDay) {
    struct Case {
        double busiest;
        const char* topTick;
    };
    const Case cases[] = {{1, "$1.00"}, {3.5, "$4"}, {9, "$10"},
                          {40, "$40"},  {41, "$60"}, {0.3, "$0.30"}};
    for (const Case& c : cases) {
        const std::string svg = BuildHistoryChart(
            {Row("2025-05-01", "claude-opus-4-1", "/a", c.busiest)}, Day("2025-05-01"));
        EXPECT_NE(svg.find(std::string(">") + c.topTick + "</text>"), std::string::npos)
            << c.busiest << "\n"
            << svg;
    }
}

TEST(HistoryChart, ModelFamilies) {
    struct Case {
        const char* model;
        LedgerTool tool;
        ModelFamily family;
    };
    const Case cases[] = {
        {"claude-opus-4-1-20250805", LedgerTool::kClaude, ModelFamily::kOpus},
        {"Claude-Sonnet-4-5", LedgerTool::kClaude, ModelFamily::kSonnet},
        {"claude-3-5-haiku-20241022", LedgerTool::kClaude, ModelFamily::kHaiku},
        {"claude-fable-5-1", LedgerTool::kClaude, ModelFamily::kOtherClaude},
        {"", LedgerTool::kClaude, ModelFamily::kOtherClaude},
        {"gpt-5-codex", LedgerTool::kCodex, ModelFamily::kCodex},
        {"opus-named-codex", LedgerTool::kCodex, ModelFamily::kCodex},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FamilyOf({"2025-05-01", c.tool, "", "", c.model}), c.family) << c.model;
    }
}

TEST(HistorySection, ForeignNamesAreEscaped) {
    const std::string evil = "<b>&\"'";
    const std::string html =
        BuildHistorySection({Row("2025-05-01", evil, "/x/" + evil, 1)}, "2025-05-01", false);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    EXPECT_NE(html.find("<tr><td>&lt;b&gt;&amp;&quot;&#39;</td>"), std::string::npos);
    EXPECT_NE(
        html.find("<td title='/x/&lt;b&gt;&amp;&quot;&#39;'>x/&lt;b&gt;&amp;&quot;&#39;</td>"),
        std::string::npos);
}

TEST(HistoryTables, TenProjectsThenOthers) {
    for (const int projects : {10, 11, 13}) {
        std::vector<LedgerRow> rows;
        for (int i = 0; i < projects; ++i) {
            rows.push_back(Row("2025-05-01", "m", "/p/" + std::to_string(i), 100.0 - i, 2));
        }
        const std::string html = BuildProjectTable(rows, Day("2025-05-01"));
        EXPECT_EQ(Count(html, "<tr><td"), static_cast<size_t>(projects > 10 ? 11 : 10)) << projects;
        EXPECT_NE(html.find(">p/9</td>"), std::string::npos) << projects;  // tenth by cost
        EXPECT_EQ(html.find(">p/10</td>"), std::string::npos) << projects;
        if (projects == 11) {
            EXPECT_NE(html.find("<tr><td>Others (1)</td><td class=n>2</td><td class=n>2k</td>"
                                "<td class=n>$90.00</td></tr>"),
                      std::string::npos);
        }
        EXPECT_EQ(Count(html, "Others"), projects > 10 ? 1u : 0u) << projects;
    }
}

TEST(HistoryTables, OnlyTheLast30DaysByModel) {
    const std::vector<LedgerRow> rows = {Row("2025-05-30", "in", "/a", 1),
                                         Row("2025-05-01", "edge", "/a", 1),
                                         Row("2025-04-30", "out", "/a", 1)};
    const std::string html = BuildModelTable(rows, Day("2025-05-30"));
    EXPECT_NE(html.find(">in<"), std::string::npos);
    EXPECT_NE(html.find(">edge<"), std::string::npos);
    EXPECT_EQ(html.find(">out<"), std::string::npos);
}

TEST(HistoryTables, MonthTotalsNewestFirst) {
    LedgerRow estimated = Row("2025-04-30", "m", "/b", 0.5, 4);
    estimated.totals.estimated = true;
    estimated.machine = "LAPTOP";
    const std::vector<LedgerRow> rows = {Row("2025-04-01", "m", "/a", 1.25, 2), estimated,
                                         Row("2025-05-02", "m", "/a", 3, 1),
                                         Row("2024-12-31", "m", "/a", 0.004, 1)};
    EXPECT_EQ(
        BuildMonthTable(rows),
        "<h2>By month</h2><table><tr><th>Month</th><th class=n>Messages</th><th class=n>Tokens</th>"
        "<th class=n>API-equivalent</th></tr>"
        "<tr><td>May 2025</td><td class=n>1</td><td class=n>1k</td><td class=n>$3.00</td></tr>"
        "<tr><td>April 2025</td><td class=n>6</td><td class=n>6k</td><td class=n>~$1.75</td></tr>"
        "<tr><td>December 2024</td><td class=n>1</td><td class=n>1k</td><td class=n>$0.00</td></tr>"
        "</table>");
}

LedgerRow Of(LedgerRow row, const std::string& account, LedgerTool tool = LedgerTool::kClaude) {
    row.key.account = account;
    row.key.tool = tool;
    return row;
}

TEST(HistoryTables, TheAccountColumnOnlyWhereOneToolsRowsNameTwoLogins) {
    const LedgerRow r = Row("2025-05-01", "m", "/a", 1);
    struct Case {
        const char* what;
        std::vector<LedgerRow> rows;
        bool shown;
    };
    const Case cases[] = {
        {"no rows", {}, false},
        {"rows from before logins", {r, r}, false},
        {"one login", {Of(r, "me"), Of(r, "me")}, false},
        {"one login of each tool", {Of(r, "me"), Of(r, "personal", LedgerTool::kCodex)}, false},
        {"two Claude logins", {Of(r, "me"), Of(r, "work")}, true},
        {"two Codex logins",
         {Of(r, "a", LedgerTool::kCodex), Of(r, "me"), Of(r, "b", LedgerTool::kCodex)},
         true},
        {"a login beside rows from before it", {r, Of(r, "work")}, true},
        {"rows from before, named as the default login", {r, Of(r, "default")}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(HistoryShowsAccounts(c.rows), c.shown);
        const std::string html = BuildHistorySection(c.rows, "2025-05-01", false);
        EXPECT_EQ(Count(html, "<th>Account</th>"), c.shown ? 3u : 0u);
    }
}

TEST(HistoryTables, TwoLoginsOfOneModelMonthOrProjectAreTwoRows) {
    const LedgerRow r = Row("2025-05-01", "m", "/w/app", 1.5, 2);
    const std::vector<LedgerRow> rows = {Of(r, "work"), Of(r, ""), Of(r, "work")};
    EXPECT_EQ(BuildMonthTable(rows, true),
              "<h2>By month</h2><table><tr><th>Month</th><th>Account</th><th class=n>Messages</th>"
              "<th class=n>Tokens</th><th class=n>API-equivalent</th></tr>"
              "<tr><td>May 2025</td><td>default</td><td class=n>2</td><td class=n>2k</td>"
              "<td class=n>$1.50</td></tr>"
              "<tr><td>May 2025</td><td>work</td><td class=n>4</td><td class=n>4k</td>"
              "<td class=n>$3.00</td></tr></table>");
    const std::string models = BuildModelTable(rows, Day("2025-05-01"), true);
    EXPECT_NE(models.find("<tr><td>m</td><td>work</td><td class=n>4</td>"), std::string::npos);
    EXPECT_NE(models.find("<tr><td>m</td><td>default</td><td class=n>2</td>"), std::string::npos);
    LedgerRow evil = Of(r, "<b>&'");
    const std::string projects = BuildProjectTable({evil}, Day("2025-05-01"), true);
    EXPECT_NE(projects.find(">w/app</td><td>&lt;b&gt;&amp;&#39;</td>"), std::string::npos)
        << projects;
    // Without the column the logins' rows add up as before.
    EXPECT_NE(BuildModelTable(rows, Day("2025-05-01")).find("<tr><td>m</td><td class=n>6</td>"),
              std::string::npos);
}

TEST(HistoryTables, ShortProjectNames) {
    struct Case {
        const char* path;
        const char* shown;
    };
    const Case cases[] = {
        {"/home/dev/app", "dev/app"},
        {"C:\\Users\\dev\\app", "dev\\app"},
        {"/home/dev/app/", "dev/app"},
        {"/app", "/app"},
        {"app", "app"},
        {"/", "/"},
        {"", ""},
        {"/a/b", "a/b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortProjectName(c.path), c.shown) << c.path;
    }
}

}  // namespace
