#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Whose status line Claude Code runs, from the "statusLine" member of its settings.json.
enum StatusLineState : int {
    kNoStatusLine = 0,     // no entry, or no file
    kOwnStatusLine = 1,    // the entry mentions Tidewell, in any case
    kOtherStatusLine = 2,  // another program's entry
};

// The status-line entry: from the opening quote of "statusLine" to just after its object.
struct StatusLineEntry {
    bool found = false;
    size_t start = 0;
    size_t end = 0;
};

// The settings.json that Claude Code reads: in the first folder CLAUDE_CONFIG_DIR names
// (SplitConfigDirs, as for the logs), else in USERPROFILE\.claude; empty when neither is
// known (nothing is written then).
std::wstring ClaudeSettingsPathFor(const std::wstring& claudeConfigDir,
                                   const std::wstring& userProfile);
// The same from this process's environment.
std::wstring ClaudeSettingsPath();

// The first "statusLine" key whose value is an object (after optional blanks, a colon and
// optional blanks), up to the brace that closes that object, skipping strings and escapes.
// Not found when the object never closes.
StatusLineEntry FindStatusLineEntry(std::string_view text);

// The state of a settings text.
StatusLineState StatusLineStateOf(std::string_view text);

// The state of the settings file as it is now (read on every call).
StatusLineState GetStatusLineState();

// The program's entry for an executable path: "statusLine": {"type": "command", "command":
// "\"PATH\" --statusline", "padding": 0}, with the path's backslashes and quotes escaped.
std::string ProgramStatusLineEntry(const std::wstring& executablePath);

// The settings text without any status-line entry and, when `install`, with `entry` added as
// the last member of the outermost object. Removing the entry that an install added gives
// back the text as it was.
std::string EditStatusLine(std::string text, bool install, std::string_view entry);

// Rewrites the settings file at `settingsPath` with the program's entry (install) or without
// any (uninstall), after saving the file as it was to "settings.json.tidewell-backup" (unless
// that backup holds another program's entry and the file no longer does). The
// file is replaced in one step, never left half-written. Returns false, writing nothing, when
// the file exists but cannot be read, or when any step of the write fails.
bool UpdateStatusLineEntryAt(const std::wstring& settingsPath, bool install,
                             const std::wstring& executablePath);

// The same for Claude Code's settings file and this executable.
bool UpdateStatusLineEntry(bool install);
