#include "report/report_win.h"

#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include "platform/atomic_file.h"
#include "platform/system.h"
#include "report/usage_report.h"

bool OpenUsageReport(const UsageSnapshot& snapshot, int64_t now) {
    const std::wstring folder = TempFolder();
    if (folder.empty())
        return false;
    const std::wstring path = WideFromPath(PathFromWide(folder) / "tidewell-report.html");
    if (!WriteFileAtomically(path, BuildUsageReport(snapshot, now)))
        return false;
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}
