#include "report/usage_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <utility>

#include "core/numbers.h"
#include "display/display_format.h"
#include "display/limit_level.h"
#include "history/ledger_days.h"
#include "platform/unicode.h"
#include "report/history_section.h"
#include "report/html_text.h"

namespace {

constexpr char kHead[] =
    "<!doctype html><meta charset=utf-8><title>Tidewell report</title><style>body{font:15px/1.5 "
    "Segoe UI,system-ui;background:#fdfdfc;color:#63635e;max-width:860px;margin:40px auto;"
    "padding:0 20px}h1,h2{color:#21201c}table{width:100%;border-collapse:collapse}td,th{padding:"
    "8px 10px;border-bottom:1px solid #e9e8e6;text-align:left}td.n{text-align:right;font-family:"
    "Consolas,monospace;color:#21201c}.bar{height:10px;border-radius:5px;background:#ffc53d}"
    "th.n{text-align:right}"
    "</style>";
static_assert(sizeof kHead - 1 == 475);

// Notes in a grey that reads as text; the dark scheme's colours where the browser asks for it;
// under forced colours (Windows' high contrast) the day bars would lose their background, so
// they are drawn in the text colour.
constexpr char kThemeStyle[] =
    "<style>.note{color:#6f6f69}@media (prefers-color-scheme:dark){body{background:#262624;"
    "color:#abaaa3}h1,h2,td.n{color:#f5f4f0}td,th{border-color:#3a3935}svg text{fill:#abaaa3}"
    "svg line{stroke:#3a3935}.note{color:#8e8d87}}@media (forced-colors:active){.bar{"
    "forced-color-adjust:none;background:CanvasText}svg text{fill:CanvasText}svg line{stroke:"
    "GrayText}}</style>";

// The local date of `local`, "YYYY-MM-DD".
std::string DayText(const LocalDateTime& local) {
    char day[16];
    std::snprintf(day, sizeof day, "%04d-%02d-%02d", std::clamp(local.year, 0, 9999),
                  std::clamp(local.month, 1, 12), std::clamp(local.day, 1, 31));
    return day;
}

// Every day of the eight that end today, with what the logs hold (none for a day without use),
// and any day the logs hold outside them, oldest first.
std::map<std::string, std::optional<double>> EveryDay(const std::map<std::string, double>& used,
                                                      const std::string& today) {
    std::map<std::string, std::optional<double>> days(used.begin(), used.end());
    if (const std::optional<int64_t> last = DayNumber(today)) {
        for (int64_t day = *last - 7; day <= *last; ++day)
            days.try_emplace(DayFromNumber(day));
    }
    return days;
}

// "5-hour window: 42%, resets in 3h 10m.", with the number every view shows; a window whose
// reset time is not known (0) says nothing of its reset.
std::string CodexLine(const std::string& label, const CodexWindow& window, int64_t now) {
    std::string line = label + ": " + std::to_string(ShownPercent(window.usedPercent)) + "%";
    if (window.resetsAt != 0)
        line += ", resets in " + WideToUtf8(FormatDuration(SaturatingAdd(window.resetsAt, -now)));
    return line + ".";
}

std::string CodexLine(const CodexWindow& window, int64_t now) {
    return CodexLine(WideToUtf8(FormatWindowLabel(window.windowMinutes)), window, now);
}

}  // namespace

std::string FormatReportStartTime(const LocalDateTime& local) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[32];
    std::snprintf(text, sizeof text, "%s %02d %s %02d:%02d", kDays[std::clamp(local.weekday, 0, 6)],
                  local.day, kMonths[std::clamp(local.month, 1, 12) - 1], local.hour, local.minute);
    return text;
}

std::string FormatReportMadeTime(const LocalDateTime& local) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int hour = std::clamp(local.hour, 0, 23);
    char text[64];
    std::snprintf(text, sizeof text, "%s, %s %d, %d at %d:%02d %s",
                  kDays[std::clamp(local.weekday, 0, 6)],
                  kMonths[std::clamp(local.month, 1, 12) - 1], local.day, local.year,
                  hour % 12 == 0 ? 12 : hour % 12, local.minute, hour < 12 ? "AM" : "PM");
    return text;
}

std::string BuildUsageReport(const UsageSnapshot& snapshot, int64_t now,
                             const std::function<LocalDateTime(int64_t)>& toLocal) {
    const ClaudeLogSummary& claude = snapshot.claude;
    const LocalDateTime local = toLocal(now);
    std::string page = kHead;
    page += kThemeStyle;
    page += "<h1>Tidewell report</h1><p>Made " + FormatReportMadeTime(local) + "</p>";
    page += "<h2>Claude Code, last 8 days</h2><table><tr><th>Day</th><th class=n>Tokens</th>"
            "<th style='width:50%'></th></tr>";
    double busiest = 1.0;
    for (const auto& [date, tokens] : claude.dailyTokens) busiest = std::max(busiest, tokens);
    for (const auto& [date, tokens] : EveryDay(claude.dailyTokens, DayText(local))) {
        if (!tokens) {
            page += "<tr><td>" + date + "</td><td class=n></td><td></td></tr>";
            continue;
        }
        page += "<tr><td>" + date + "</td><td class=n>" + WideToUtf8(FormatTokenCount(*tokens)) +
                "</td><td><div class=bar style='width:" +
                std::to_string(TruncateToInt64(*tokens * 100 / busiest)) + "%'></div></td></tr>";
    }
    page += "</table><h2>5-hour windows</h2><table><tr><th>Started</th><th class=n>Messages</th>"
            "<th class=n>Tokens</th><th class=n>API-equivalent</th></tr>";
    bool estimated = false;
    for (auto block = claude.blocks.rbegin(); block != claude.blocks.rend(); ++block) {
        char cost[32];
        std::snprintf(cost, sizeof cost, "%s$%.2f", block->costEstimated ? "~" : "", block->cost);
        estimated = estimated || block->costEstimated;
        page += "<tr><td>" + FormatReportStartTime(toLocal(block->start)) +
                (block->end > now ? " (now)" : "") + "</td><td class=n>" +
                std::to_string(block->messages) + "</td><td class=n>" +
                WideToUtf8(FormatTokenCount(block->tokens)) + "</td><td class=n>" + cost +
                "</td></tr>";
    }
    page += "</table>";
    if (estimated) {
        page += "<p>Costs marked ~ are estimates: the price list does not know some of their "
                "models, which are priced at their family's newest rates.</p>";
    }
    if (snapshot.codex.primary.present) {
        page += "<h2>Codex</h2><p>" + CodexLine(snapshot.codex.primary, now);
        if (snapshot.codex.secondary.present) {
            page += "<br>" + CodexLine(snapshot.codex.secondary, now);
        }
        for (const CodexBucket& bucket : snapshot.codex.buckets) {  // models' own limits
            page += "<br>" + CodexLine(EscapeHtml(WideToUtf8(bucket.label)), bucket.primary, now);
        }
        page += "</p>";
    }
    page += "<p class=note>Built from local Claude Code and Codex logs on this computer.</p>";
    const std::vector<SourceLine> sources =
        ShownSourceLines(snapshot.claude.sources, snapshot.codex.sources);
    if (!sources.empty()) {
        page += "<p class=note>Sources:";
        for (const SourceLine& line : sources) {
            page += "<br>" + EscapeHtml(WideToUtf8(FormatSourceLine(line)));
        }
        page += "</p>";
    }
    return page;
}

ReportHistory ReportHistoryFrom(HistoryRows read, bool stillReading) {
    ReportHistory history;
    history.rows = std::move(read.rows);
    history.stillReading = stillReading;
    if (!read.ownUnreadable.empty())
        history.unreadable.push_back(std::move(read.ownUnreadable));
    for (std::wstring& path : read.othersUnreadable)
        history.unreadable.push_back(std::move(path));
    return history;
}

std::string BuildUsageReport(const UsageSnapshot& snapshot, const ReportHistory& history,
                             int64_t now, const std::function<LocalDateTime(int64_t)>& toLocal) {
    std::string page = BuildUsageReport(snapshot, now, toLocal);
    page += BuildHistorySection(history.rows, DayText(toLocal(now)), history.stillReading);
    if (!history.unreadable.empty()) {
        page += "<p class=note>Left out of the history, as they cannot be read:";
        for (const std::wstring& path : history.unreadable)
            page += "<br>" + EscapeHtml(WideToUtf8(path));
        page += "</p>";
    }
    return page;
}
