#include "report/report_win.h"

#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include "history/history_rows.h"
#include "history/login_places.h"
#include "platform/atomic_file.h"
#include "platform/system.h"
#include "report/usage_report.h"

std::wstring WriteUsageReport(const UsageSnapshot& snapshot, const LedgerLocation& ledgers,
                              bool stillReading, int64_t now) {
    const std::wstring folder = TempFolder();
    if (folder.empty())
        return {};
    std::vector<Login> logins;
    for (const AccountUsage& account : snapshot.accounts)
        logins.push_back(account.login);
    const ReportHistory history =
        ReportHistoryFrom(ReadHistoryRows(ledgers, now, DefaultAccountsOf(logins)), stillReading);
    const std::wstring path = WideFromPath(PathFromWide(folder) / "tidewell-report.html");
    if (!WriteFileAtomically(path, BuildUsageReport(snapshot, history, now)))
        return {};
    return path;
}

void ShowUsageReport(const std::wstring& path) {
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
