#include "report/history_tables.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "display/display_format.h"
#include "history/ledger_days.h"
#include "platform/unicode.h"
#include "report/history_chart.h"
#include "report/html_text.h"

namespace {

constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};

struct Sum {
    int64_t messages = 0;
    int64_t tokens = 0;  // input, output and cache writes, as the tables above count them
    double dollars = 0;
    bool estimated = false;
    void Add(const LedgerTotals& t) {
        messages += t.messages;
        tokens += t.input + t.output + t.cacheWrite5m + t.cacheWrite1h;
        dollars += t.dollars;
        estimated = estimated || t.estimated;
    }
};

std::string Cells(const Sum& sum) {
    return "</td><td class=n>" + std::to_string(sum.messages) + "</td><td class=n>" +
           WideToUtf8(FormatTokenCount(static_cast<double>(sum.tokens))) + "</td><td class=n>" +
           (sum.estimated ? "~" : "") + ReportDollars(sum.dollars) + "</td></tr>";
}

std::string Head(const char* heading, const char* first, bool byAccount) {
    return std::string("<h2>") + heading + "</h2><table><tr><th>" + first + "</th>" +
           (byAccount ? "<th>Account</th>" : "") +
           "<th class=n>Messages</th><th class=n>Tokens</th>"
           "<th class=n>API-equivalent</th></tr>";
}

// The account's cell, after the first; nothing when the table names no account.
std::string AccountCell(const std::string& account, bool byAccount) {
    return byAccount ? "</td><td>" + EscapeHtml(account) : std::string();
}

// What a table sums by: a name, and with `byAccount` the login.
using Group = std::pair<std::string, std::string>;

// The recent rows summed by `name` (a model, or a project's path).
template <typename NameOf>
std::string TopTable(const std::vector<LedgerRow>& rows, int64_t today, const char* heading,
                     const char* column, NameOf nameOf, bool isPath, bool byAccount) {
    std::map<Group, Sum> sums;
    for (const LedgerRow& row : rows) {
        int64_t day = 0;
        if (DayNumber(row.key.day, day) && day > today - kRecentDays && day <= today) {
            sums[{nameOf(row), byAccount ? ShownAccount(row) : std::string()}].Add(row.totals);
        }
    }
    std::vector<std::pair<Group, Sum>> ranked(sums.begin(), sums.end());
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return std::tie(b.second.dollars, b.second.tokens) <
               std::tie(a.second.dollars, a.second.tokens);
    });
    std::string html = Head(heading, column, byAccount);
    Sum others;
    size_t otherCount = 0;
    for (size_t i = 0; i < ranked.size(); ++i) {
        const auto& [group, sum] = ranked[i];
        const std::string& name = group.first;
        if (i >= static_cast<size_t>(kTopCount)) {
            others.messages += sum.messages;
            others.tokens += sum.tokens;
            others.dollars += sum.dollars;
            others.estimated = others.estimated || sum.estimated;
            ++otherCount;
            continue;
        }
        if (name.empty()) {
            html += "<tr><td>(unknown)";
        } else if (isPath) {
            html +=
                "<tr><td title='" + EscapeHtml(name) + "'>" + EscapeHtml(ShortProjectName(name));
        } else {
            html += "<tr><td>" + EscapeHtml(name);
        }
        html += AccountCell(group.second, byAccount) + Cells(sum);
    }
    if (otherCount > 0) {
        html += "<tr><td>Others (" + std::to_string(otherCount) + ")" + AccountCell("", byAccount) +
                Cells(others);
    }
    return html + "</table>";
}

}  // namespace

std::string ShortProjectName(std::string_view path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) {
        path.remove_suffix(1);
    }
    size_t cut = path.find_last_of("/\\");
    if (cut == std::string_view::npos || cut == 0) {
        return std::string(path);
    }
    cut = path.find_last_of("/\\", cut - 1);
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string ShownAccount(const LedgerRow& row) {
    return row.key.account.empty() ? "default" : row.key.account;
}

bool HistoryShowsAccounts(const std::vector<LedgerRow>& rows) {
    std::set<std::string> seen[2];
    for (const LedgerRow& row : rows) {
        std::set<std::string>& accounts = seen[row.key.tool == LedgerTool::kCodex ? 1 : 0];
        accounts.insert(ShownAccount(row));
        if (accounts.size() > 1)
            return true;
    }
    return false;
}

std::string BuildMonthTable(const std::vector<LedgerRow>& rows, bool byAccount) {
    // Newest month first; within a month, the logins by name.
    std::map<std::string, std::map<std::string, Sum>, std::greater<>> months;
    for (const LedgerRow& row : rows) {
        int64_t day = 0;
        if (DayNumber(row.key.day, day)) {
            months[row.key.day.substr(0, 7)][byAccount ? ShownAccount(row) : std::string()].Add(
                row.totals);
        }
    }
    std::string html = Head("By month", "Month", byAccount);
    for (const auto& [month, accounts] : months) {
        const int number = std::stoi(month.substr(5, 2));
        for (const auto& [account, sum] : accounts) {
            html += "<tr><td>" + std::string(kMonthNames[number - 1]) + " " + month.substr(0, 4) +
                    AccountCell(account, byAccount) + Cells(sum);
        }
    }
    return html + "</table>";
}

std::string BuildModelTable(const std::vector<LedgerRow>& rows, int64_t today, bool byAccount) {
    return TopTable(
        rows, today, "Last 30 days by model", "Model",
        [](const LedgerRow& row) { return row.key.model; }, false, byAccount);
}

std::string BuildProjectTable(const std::vector<LedgerRow>& rows, int64_t today, bool byAccount) {
    return TopTable(
        rows, today, "Last 30 days by project", "Project",
        [](const LedgerRow& row) { return row.key.project; }, true, byAccount);
}
