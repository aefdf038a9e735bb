#include "panel/claude_connect_win.h"

#include <string>

#include "statusline/claude_settings.h"

bool ToggleClaudeConnection(HWND owner) {
    const StatusLineState state = GetStatusLineState();
    if (state == kOwnStatusLine) {
        // A failed write is not reported; a file that turned out not to be JSON is, since
        // nothing else would tell why the switch stays on.
        const StatusLineUpdate update = UpdateStatusLineEntry(false);
        if (update.outcome == StatusLineUpdate::kNotJsonObject) {
            MessageBoxW(owner, StatusLineUpdateFailure(update).c_str(), L"Tidewell",
                        MB_ICONWARNING);
        }
        return true;
    }
    if (state == kOtherStatusLine &&
        MessageBoxW(owner,
                    L"Claude Code already has a custom status line.\n\nReplace it with Tidewell's? "
                    L"A backup of settings.json is saved next to it.",
                    L"Tidewell", MB_ICONQUESTION | MB_YESNO) != IDYES) {
        return false;
    }
    if (const StatusLineUpdate update = UpdateStatusLineEntry(true)) {
        MessageBoxW(owner,
                    L"Connected. Claude Code now hands Tidewell your exact limits after each "
                    L"reply.\n\nRestart open Claude Code sessions for it to take effect.",
                    L"Tidewell", MB_ICONINFORMATION);
    } else {
        MessageBoxW(owner, StatusLineUpdateFailure(update).c_str(), L"Tidewell", MB_ICONWARNING);
    }
    return true;
}
