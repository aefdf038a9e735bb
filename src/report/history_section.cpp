#include "report/history_section.h"

#include "history/ledger_days.h"
#include "report/history_chart.h"
#include "report/history_tables.h"

namespace {

std::string Legend() {
    std::string html = "<p>";
    for (int f = 0; f < kModelFamilyCount; ++f) {
        const ModelFamily family = static_cast<ModelFamily>(f);
        html += std::string(f == 0 ? "" : " &nbsp; ") +
                "<span style='display:inline-block;width:10px;height:10px;border:1px solid "
                "#63635e;background:" +
                FamilyColour(family) + ";forced-color-adjust:none'></span> " + FamilyName(family);
    }
    return html + "</p>";
}

}  // namespace

std::string BuildHistorySection(const std::vector<LedgerRow>& rows, std::string_view today,
                                bool stillReading) {
    if (rows.empty() && !stillReading) {
        return {};
    }
    std::string html = "<h2>History</h2>";
    if (stillReading) {
        html += "<p>History is still being read: older days may be missing.</p>";
    }
    int64_t todayNumber = 0;
    if (rows.empty() || !DayNumber(today, todayNumber)) {
        return html;
    }
    html += "<h2>Last 90 days</h2>" + Legend() + BuildHistoryChart(rows, todayNumber);
    const bool byAccount = HistoryShowsAccounts(rows);
    html += BuildMonthTable(rows, byAccount);
    html += BuildModelTable(rows, todayNumber, byAccount);
    html += BuildProjectTable(rows, todayNumber, byAccount);
    html +=
        "<p class=note>From the usage ledger of every computer it holds. Tokens "
        "count input, output and cache writes. Codex turns cost $0.00 here: the price list "
        "has no OpenAI prices.</p>";
    return html;
}
