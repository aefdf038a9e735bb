#include "report/report_win.h"

#include <windows.h>
#include <shellapi.h>

#include <ctime>

#include "platform/atomic_file.h"
#include "platform/system.h"
#include "report/usage_report.h"
#include "tray/tray_window_win.h"

void OpenUsageReport() {
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    const std::wstring folder = TempFolder();
    const std::wstring path = WideFromPath(PathFromWide(folder) / "tidewell-report.html");
    if (folder.empty() || !WriteFileAtomically(path, BuildUsageReport(gUsageSnapshot, now))) {
        // An earlier page must not pass for this one.
        ShowBalloon(L"Usage report", L"The usage report could not be written.");
        return;
    }
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
