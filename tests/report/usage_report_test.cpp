#include "report/usage_report.h"

#include <gtest/gtest.h>

#include <map>

#include "core/iso_time.h"
#include "report/history_section.h"
#include "support/contrast.h"

namespace {

// Local time pinned to UTC, whatever the machine's zone.
LocalDateTime Utc(int64_t t) {
    const int64_t days = (t >= 0 ? t : t - 86399) / 86400, secs = t - days * 86400;
    const int64_t z = days + 719468, era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097, yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2));
    return {year, month, day, static_cast<int>(secs / 3600), static_cast<int>(secs % 3600 / 60),
            static_cast<int>(secs % 60), static_cast<int>((days % 7 + 11) % 7)};
}

const std::string kDailyHead =
    "<h2>Claude Code, last 8 days</h2><table><tr><th>Day</th><th class=n>Tokens</th><th style='width:50%'></th></tr>";
const std::string kBlocksHead =
    "</table><h2>5-hour windows</h2><table><tr><th>Started</th><th class=n>Messages</th><th class=n>Tokens</th>"
    "<th class=n>API-equivalent</th></tr>";
const std::string kNote =
    "<p class=note>Built from local Claude Code and Codex logs on this computer.</p>";

// The page split where the tests look: the heading, the daily table's rows, and the rest with
// the daily rows taken out.
struct Page {
    std::string heading, days, body;
};

Page Split(const UsageSnapshot& snapshot, int64_t now) {
    const std::string page = BuildUsageReport(snapshot, now, Utc);
    EXPECT_EQ(page.find('\n'), std::string::npos);
    Page split;
    // The heading follows the last style block (the theme's rules).
    const size_t daily = page.find(kDailyHead), blocks = page.find(kBlocksHead);
    const size_t styleEnd =
        daily == std::string::npos ? std::string::npos : page.rfind("</style>", daily);
    if (styleEnd == std::string::npos || blocks == std::string::npos) {
        ADD_FAILURE() << page;
        return split;
    }
    const size_t heading = styleEnd + 8;
    split.heading = page.substr(heading, daily - heading);
    split.days = page.substr(daily + kDailyHead.size(), blocks - daily - kDailyHead.size());
    split.body = kDailyHead + page.substr(blocks);
    return split;
}

std::string Body(const UsageSnapshot& snapshot, int64_t now) { return Split(snapshot, now).body; }
std::string Days(const UsageSnapshot& snapshot, int64_t now) { return Split(snapshot, now).days; }

std::string EmptyDay(const char* day) {
    return std::string("<tr><td>") + day + "</td><td class=n></td><td></td></tr>";
}

// The colour a rule in the page gives, e.g. ColourIn(page, ".note{color:#"), as a COLORREF.
uint32_t ColourIn(const std::string& text, const std::string& rule) {
    const size_t at = text.find(rule);
    EXPECT_NE(at, std::string::npos) << rule;
    if (at == std::string::npos)
        return 0;
    const auto rgb =
        static_cast<uint32_t>(std::stoul(text.substr(at + rule.size(), 6), nullptr, 16));
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16);
}

// The notes (the footer among them) read as text in the light and the dark scheme, and the day
// bars keep a colour under forced colours.
TEST(UsageReport, NotesMeetAaAndBarsSurviveForcedColours) {
    const std::string page = BuildUsageReport({}, 0, Utc);
    const size_t dark = page.find("@media (prefers-color-scheme:dark)");
    ASSERT_NE(dark, std::string::npos);
    const std::string light = page.substr(0, dark), darkRules = page.substr(dark);
    const struct {
        const char* scheme;
        uint32_t note, background;
    } cases[] = {
        {"light", ColourIn(light, ".note{color:#"), ColourIn(light, "background:#")},
        {"dark", ColourIn(darkRules, ".note{color:#"), ColourIn(darkRules, "background:#")},
    };
    for (const auto& c : cases)
        EXPECT_GE(ContrastRatio(c.note, c.background), 4.5) << c.scheme;
    const size_t forced = page.find("@media (forced-colors:active){.bar{");
    ASSERT_NE(forced, std::string::npos);
    EXPECT_NE(page.find("forced-color-adjust:none;background:CanvasText", forced),
              std::string::npos);
}

TEST(UsageReport, EmptyDataHasBothTableHeadsAndTheNote) {
    EXPECT_EQ(Body({}, 0), kDailyHead + kBlocksHead + "</table>" + kNote);
}

// The number columns' heads stand over their numbers.
TEST(UsageReport, NumberHeadsAlignRight) {
    const std::string page = BuildUsageReport({}, 0, Utc);
    EXPECT_NE(page.find("th.n{text-align:right}"), std::string::npos);
    EXPECT_NE(page.find("td.n{text-align:right"), std::string::npos);
}

TEST(UsageReport, TheHeadingSaysWhenItWasMade) {
    struct Case {
        const char* at;
        const char* made;
    };
    const Case cases[] = {
        {"2025-03-03T00:05:00Z", "Mon, Mar 3, 2025 at 12:05 AM"},
        {"2025-03-03T11:59:00Z", "Mon, Mar 3, 2025 at 11:59 AM"},
        {"2025-03-03T12:00:00Z", "Mon, Mar 3, 2025 at 12:00 PM"},
        {"2025-03-03T13:07:00Z", "Mon, Mar 3, 2025 at 1:07 PM"},
        {"2026-12-31T23:59:59Z", "Thu, Dec 31, 2026 at 11:59 PM"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Split({}, ParseIsoTime(c.at)).heading,
                  std::string("<h1>Tidewell report</h1><p>Made ") + c.made + "</p>")
            << c.at;
    }
}

TEST(UsageReport, DaysOldestFirstWithTruncatedBars) {
    const int64_t now = ParseIsoTime("2025-03-04T12:00:00Z");
    UsageSnapshot s;
    s.claude.dailyTokens = {{"2025-03-01", 1000}, {"2025-03-02", 4000}, {"2025-03-03", 3000}, {"2025-03-04", 1333}};
    const std::string rows =
        EmptyDay("2025-02-25") + EmptyDay("2025-02-26") + EmptyDay("2025-02-27") +
        EmptyDay("2025-02-28") +
        "<tr><td>2025-03-01</td><td class=n>1k</td><td><div class=bar style='width:25%'></div></td></tr>"
        "<tr><td>2025-03-02</td><td class=n>4k</td><td><div class=bar style='width:100%'></div></td></tr>"
        "<tr><td>2025-03-03</td><td class=n>3k</td><td><div class=bar style='width:75%'></div></td></tr>"
        "<tr><td>2025-03-04</td><td class=n>1k</td><td><div class=bar style='width:33%'></div></td></tr>";
    EXPECT_EQ(Days(s, now), rows);
    s.claude.dailyTokens = {{"2025-03-01", 0.5}};  // below 1: measured against 1
    EXPECT_NE(Days(s, now).find("width:50%"), std::string::npos);
    s.claude.dailyTokens = {{"2025-03-01", 2999}, {"2025-03-02", 4000}};  // 74.975: cut, not rounded
    EXPECT_NE(Days(s, now).find("width:74%"), std::string::npos);
}

// Every day of the eight that end on the local date of now has its row, a day without use an
// empty one; a day the logs hold beyond them keeps its row.
TEST(UsageReport, EveryDayOfTheRangeHasARow) {
    struct Case {
        const char* now;
        std::map<std::string, double> used;
        std::string days;
    };
    const std::string used = "<td class=n>1k</td><td><div class=bar style='width:100%'></div></td></tr>";
    const Case cases[] = {
        {"2025-03-01T23:59:59Z", {},
         EmptyDay("2025-02-22") + EmptyDay("2025-02-23") + EmptyDay("2025-02-24") +
             EmptyDay("2025-02-25") + EmptyDay("2025-02-26") + EmptyDay("2025-02-27") +
             EmptyDay("2025-02-28") + EmptyDay("2025-03-01")},
        {"2025-03-02T00:00:00Z", {{"2025-02-23", 1000}},  // the first day of the eight
         "<tr><td>2025-02-23</td>" + used + EmptyDay("2025-02-24") + EmptyDay("2025-02-25") +
             EmptyDay("2025-02-26") + EmptyDay("2025-02-27") + EmptyDay("2025-02-28") +
             EmptyDay("2025-03-01") + EmptyDay("2025-03-02")},
        {"2025-03-02T00:00:00Z", {{"2025-02-22", 1000}},  // the day before them
         "<tr><td>2025-02-22</td>" + used + EmptyDay("2025-02-23") + EmptyDay("2025-02-24") +
             EmptyDay("2025-02-25") + EmptyDay("2025-02-26") + EmptyDay("2025-02-27") +
             EmptyDay("2025-02-28") + EmptyDay("2025-03-01") + EmptyDay("2025-03-02")},
        {"2024-03-01T10:00:00Z", {{"2024-03-02", 1000}},  // a leap year, a day after today
         EmptyDay("2024-02-23") + EmptyDay("2024-02-24") + EmptyDay("2024-02-25") +
             EmptyDay("2024-02-26") + EmptyDay("2024-02-27") + EmptyDay("2024-02-28") +
             EmptyDay("2024-02-29") + EmptyDay("2024-03-01") + "<tr><td>2024-03-02</td>" + used},
    };
    for (const Case& c : cases) {
        UsageSnapshot s;
        s.claude.dailyTokens = c.used;
        EXPECT_EQ(Days(s, ParseIsoTime(c.now)), c.days) << c.now;
    }
}

TEST(UsageReport, WindowsNewestFirstWithTheOpenOneMarked) {
    UsageSnapshot s;
    const int64_t start = ParseIsoTime("2025-03-03T14:00:00Z");  // a Monday
    s.claude.blocks = {{start - 86400, start - 86400 + 18000, 0, 1234567, 1.5, 12},
                       {start, start + 18000, 0, 45600, 12.345, 3}};
    const std::string rows =
        "<tr><td>Mon 03 Mar 14:00 (now)</td><td class=n>3</td><td class=n>46k</td><td class=n>$12.35</td></tr>"
        "<tr><td>Sun 02 Mar 14:00</td><td class=n>12</td><td class=n>1.2M</td><td class=n>$1.50</td></tr>";
    EXPECT_EQ(Body(s, start + 60), kDailyHead + kBlocksHead + rows + "</table>" + kNote);
    // A window with a model the price list does not know says its cost is an estimate.
    s.claude.blocks[0].costEstimated = true;
    const std::string estimated = Body(s, start + 60);
    EXPECT_NE(estimated.find("<td class=n>~$1.50</td>"), std::string::npos);
    EXPECT_NE(estimated.find("</table><p>Costs marked ~ are estimates"), std::string::npos);
    EXPECT_EQ(estimated.find("~$12.35"), std::string::npos);
    s.claude.blocks[0].costEstimated = false;
    // The window is open until its last second; at its end it is over.
    EXPECT_NE(Body(s, start + 17999).find("(now)"), std::string::npos);
    EXPECT_EQ(Body(s, start + 18000).find("(now)"), std::string::npos);
}

TEST(UsageReport, CodexLines) {
    UsageSnapshot s;
    const int64_t now = 1000;
    s.codex.primary = {true, 42.9, 300, now + 3 * 3600 + 600};
    EXPECT_EQ(Body(s, now), kDailyHead + kBlocksHead +
                                "</table><h2>Codex</h2><p>5-hour window: 43%, "
                                "resets in 3h 10m.</p>" +
                                kNote);
    s.codex.secondary = {true, 17, 10080, now - 5};
    EXPECT_NE(Body(s, now).find("resets in 3h 10m.<br>Weekly: 17%, resets in 0m.</p>"), std::string::npos);
    // A window with no known reset says nothing of it.
    s.codex.secondary.resetsAt = 0;
    EXPECT_NE(Body(s, now).find("resets in 3h 10m.<br>Weekly: 17%.</p>"), std::string::npos);
    // A model's bucket follows, its name from a log made safe for the page.
    s.codex.buckets = {{"m", L"<b>&'x\"", now, {true, 7.9, 300, now + 60}, {}}};
    EXPECT_NE(Body(s, now).find("<br>&lt;b&gt;&amp;&#39;x&quot;: 8%, resets in 1m.</p>"),
              std::string::npos);
    s.codex.primary.present = false;  // no primary, no section
    EXPECT_EQ(Body(s, now).find("Codex</h2>"), std::string::npos);
}

TEST(UsageReport, SourcesInTheFooterEscaped) {
    UsageSnapshot s;
    s.claude.sources = {{L"/home/me/<b>&", 2, false}, {L"Windows ~/.codex", 0, false}};
    s.codex.sources = {{L"Windows ~/.codex", 1, false}, {L"Ubuntu (WSL)", 0, true}};
    EXPECT_EQ(Body(s, 0), kDailyHead + kBlocksHead + "</table>" + kNote +
                              "<p class=note>Sources:<br>/home/me/&lt;b&gt;&amp; \u00b7 2 "
                              "files<br>Windows ~/.codex \u00b7 1 file<br>Ubuntu (WSL) \u00b7 "
                              "stopped, not read</p>");
}

// The history comes after everything the page had, which stays byte for byte; its days count
// back from the local date of now, not the UTC one.
TEST(UsageReport, TheHistoryFollowsThePageAsItWas) {
    UsageSnapshot snapshot;
    snapshot.claude.dailyTokens["2026-12-10"] = 5000;
    const int64_t now = 1796947200 - 60;  // 2026-12-10 23:59 UTC
    const auto local = [](int64_t t) { return Utc(t + 3600); };  // an hour east: the 11th
    const std::string before = BuildUsageReport(snapshot, now, local);

    EXPECT_EQ(BuildUsageReport(snapshot, ReportHistory{}, now, local), before);

    LedgerRow row;
    row.key = {"2026-12-11", LedgerTool::kClaude, "This computer", "/w/app", "claude-opus-4-1"};
    row.totals = {3, 100, 20, 0, 0, 0, 1.25, false};
    row.machine = "DESK";
    for (const bool reading : {false, true}) {
        ReportHistory history;
        history.rows = {row};
        history.stillReading = reading;
        const std::string page = BuildUsageReport(snapshot, history, now, local);
        ASSERT_EQ(page.substr(0, before.size()), before);
        EXPECT_EQ(page.substr(before.size()), BuildHistorySection({row}, "2026-12-11", reading));
        EXPECT_NE(page.substr(before.size()), BuildHistorySection({row}, "2026-12-10", reading));
    }

    ReportHistory unread;
    unread.stillReading = true;
    unread.unreadable = {L"/s/usage-<B&B>.db"};
    EXPECT_EQ(BuildUsageReport(snapshot, unread, now, local),
              before + BuildHistorySection({}, "2026-12-11", true) +
                  "<p class=note>Left out of the history, as they cannot be read:"
                  "<br>/s/usage-&lt;B&amp;B&gt;.db</p>");
}

TEST(UsageReport, TheHistoryOfWhatWasReadNamesEveryUnreadableLedger) {
    HistoryRows read;
    read.rows.resize(2);
    read.ownUnreadable = L"/s/usage-DESK.db";
    read.othersUnreadable = {L"/s/usage-A.db"};
    ReportHistory history = ReportHistoryFrom(read, true);
    EXPECT_EQ(history.rows.size(), 2u);
    EXPECT_TRUE(history.stillReading);
    EXPECT_EQ(history.unreadable, (std::vector<std::wstring>{L"/s/usage-DESK.db", L"/s/usage-A.db"}));
    read.ownUnreadable.clear();
    history = ReportHistoryFrom(read, false);
    EXPECT_FALSE(history.stillReading);
    EXPECT_EQ(history.unreadable, std::vector<std::wstring>{L"/s/usage-A.db"});
}

}  // namespace
