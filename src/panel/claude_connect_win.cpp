#include "panel/claude_connect_win.h"

#include <string>

#include "platform/system.h"
#include "statusline/claude_settings.h"

namespace {

// `settingsPath` is the file edited; `loginName` is empty for the one login of today's flow,
// whose messages stay as they were.
bool ToggleAt(HWND owner, const std::wstring& settingsPath, const std::wstring& loginName) {
    const std::wstring who =
        loginName.empty() ? std::wstring(L"Claude Code") : L"Claude Code (" + loginName + L")";
    const std::wstring named = loginName.empty() ? std::wstring() : settingsPath;
    const StatusLineState state = StatusLineStateAt(settingsPath);
    if (state == kOwnStatusLine) {
        // A failed write is not reported; a file that turned out not to be JSON is, since
        // nothing else would tell why the switch stays on.
        const StatusLineUpdate update =
            UpdateStatusLineEntryAt(settingsPath, false, ExecutablePath());
        if (update.outcome == StatusLineUpdate::kNotJsonObject) {
            MessageBoxW(owner, StatusLineUpdateFailure(update, named).c_str(), L"Tidewell",
                        MB_ICONWARNING);
        }
        return true;
    }
    const std::wstring question = who +
                                  L" already has a custom status line.\n\nReplace it with "
                                  L"Tidewell's? A backup of settings.json is saved next to it.";
    if (state == kOtherStatusLine &&
        MessageBoxW(owner, question.c_str(), L"Tidewell", MB_ICONQUESTION | MB_YESNO) != IDYES) {
        return false;
    }
    if (const StatusLineUpdate update =
            UpdateStatusLineEntryAt(settingsPath, true, ExecutablePath())) {
        const std::wstring done = L"Connected. " + who +
                                  L" now hands Tidewell your exact limits after each "
                                  L"reply.\n\nRestart open Claude Code sessions for it to take "
                                  L"effect.";
        MessageBoxW(owner, done.c_str(), L"Tidewell", MB_ICONINFORMATION);
    } else {
        MessageBoxW(owner, StatusLineUpdateFailure(update, named).c_str(), L"Tidewell",
                    MB_ICONWARNING);
    }
    return true;
}

}  // namespace

bool ToggleClaudeConnection(HWND owner) {
    return ToggleAt(owner, ClaudeSettingsPath(), L"");
}

bool ToggleLoginConnection(HWND owner, const std::wstring& settingsPath,
                           const std::wstring& loginName) {
    if (settingsPath.empty())
        return false;  // a login that cannot be connected: nothing to edit
    return ToggleAt(owner, settingsPath, loginName);
}
