#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "sources/login.h"

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

// The settings.json of a Claude login that can be connected: the one in its first folder. Empty
// for a Codex login, for one in WSL (its Claude Code could not run this program by its Windows
// path), for the desktop app's sessions and for a login without a folder.
std::wstring LoginSettingsPath(const Login& login);

// The "statusLine" member of the top-level object, when its value is an object: from the
// opening quote of the key to just after that object. When the key is repeated the last one
// counts, as for any JSON reader. Not found when the text is not a JSON object.
StatusLineEntry FindStatusLineEntry(std::string_view text);

// The state of a settings text.
StatusLineState StatusLineStateOf(std::string_view text);

// The state of the settings file as it is now (read on every call).
StatusLineState GetStatusLineState();
// The same for the settings file at `settingsPath` (none when the path is empty).
StatusLineState StatusLineStateAt(const std::wstring& settingsPath);

// The program's entry for an executable path: "statusLine": {"type": "command", "command":
// "\"PATH\" --statusline", "padding": 0}, with the path's backslashes and quotes escaped.
std::string ProgramStatusLineEntry(const std::wstring& executablePath);

// The settings text without the status-line entry and, when `install`, with `entry` in its
// place, or as the last member of the top-level object when there was none. Every other byte
// stays as it was, so removing the entry that an install added gives back the text as it was.
// A blank text becomes an object with only the entry; a text that is not a JSON object is
// returned unchanged.
std::string EditStatusLine(std::string text, bool install, std::string_view entry);

// The settings text disconnected: the program's entry is replaced by another program's entry
// that `backup` (the file as it was before) holds, so that the status line the program took
// over comes back where it stood; without such a backup, or when the text holds no entry of
// the program's, the entry is simply removed.
std::string DisconnectStatusLine(std::string text, std::string_view backup);

// How an update of the settings file ended.
struct StatusLineUpdate {
    enum Outcome { kWritten, kNotJsonObject, kFailed };
    Outcome outcome = kFailed;
    // kNotJsonObject: what is wrong with the file, such as "a trailing comma on line 4"; empty
    // when it is valid JSON but not an object.
    std::string problem;
    explicit operator bool() const { return outcome == kWritten; }
};

// Rewrites the settings file at `settingsPath` with the program's entry (install) or without it
// (uninstall, bringing back another program's entry from the backup), after saving the file as
// it was to "settings.json.tidewell-backup" (unless that backup holds another program's entry
// that neither the file nor the new text holds). The file is replaced in one step, never left
// half-written. Writes nothing when the file exists but cannot be read, or is neither blank nor
// a JSON object; fails when any step of the write fails.
StatusLineUpdate UpdateStatusLineEntryAt(const std::wstring& settingsPath, bool install,
                                         const std::wstring& executablePath);

// The same for Claude Code's settings file and this executable.
StatusLineUpdate UpdateStatusLineEntry(bool install);

// What the user is told when an update did not write the file; a login's file is named by
// `settingsPath` (the usual one when it is empty).
std::wstring StatusLineUpdateFailure(const StatusLineUpdate& update,
                                     const std::wstring& settingsPath = {});
