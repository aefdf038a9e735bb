#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/atomic_double.h"

// `px` holds this value until the user first moves the panel; the panel then sits by the tray.
inline constexpr int32_t kPanelNeverMoved = INT32_MIN;

// The user's preferences and the learned largest block, kept in "config.ini", section "q".
struct Settings {
    std::wstring configPath;  // empty when there is no settings folder: nothing is saved
    AtomicDouble maxblock;    // tokens in the largest completed 5-hour block; raised by the scan
    bool alerts = true;
    // "auto", "claude", "codex", "highest" (the highest shown limit of any login) or "login:"
    // and a login's LoginFileTag (that login's number); other text acts as "auto", which is
    // "highest" while more than one login of a tool is shown.
    std::wstring show = L"auto";
    // The LoginFileTag of each login the user hid (not shown, not counted), in no order.
    std::vector<std::wstring> hiddenLogins;
    // Each login's largest completed block in tokens, by its LoginFileTag; a login that is gone
    // keeps its value, so that it is not learned again when the login comes back.
    std::map<std::wstring, double> loginMaxblocks;
    bool pinned = false;
    bool secclaude = true;
    bool seccodex = true;
    int32_t size = 1;  // 0 Compact, 1 Normal, 2 Large
    int32_t px = kPanelNeverMoved;
    int32_t py = kPanelNeverMoved;
    // The folder of the usage ledgers; empty for the data folder. Stored only when chosen.
    std::wstring historyFolder;
    // The file was there but could not be read when these were loaded: the values are defaults
    // standing in for the user's, so only what the user changes since is ever written.
    bool loadedDefaultsForUnreadableFile = false;
};

// The program's folder in the roaming application data, created with its parents when missing
// (a failure to create it is ignored). Empty when the application-data folder is unknown.
std::wstring DataDirectory();

// The program's folder in the local application data (the same folder as DataDirectory off
// Windows), created in the same way: for files rewritten all the time that need not roam.
std::wstring LocalDataDirectory();

// The settings stored in the file at `configPath` (defaults for whatever is missing).
Settings ReadSettings(const std::wstring& configPath);

// Writes every key to `settings.configPath` in one replacement of the file, keeping its other
// keys; px and py only once the panel has been moved. False when nothing was written.
bool WriteSettings(const Settings& settings);
// Writes only the keys whose stored text differs from what storing `before` stored.
bool WriteChangedSettings(const Settings& settings, const Settings& before);

// No five-hour block comes near a trillion tokens (some 55 million a second); a stored largest
// block above it is a damaged or hand-edited file, and is learned again.
inline constexpr double kMaxPlausibleBlockTokens = 1e12;

// True for a login's tag as LoginFileTag makes it: 16 lowercase hexadecimal digits.
bool IsLoginTag(std::wstring_view text);

// The tags of a stored list ("a,b,c"): each item trimmed of blanks and lowered; items that are
// not tags dropped; each tag once, sorted.
std::vector<std::wstring> ParseLoginTags(std::wstring_view text);

// True when the login with `tag` is hidden.
bool IsLoginHidden(const Settings& settings, std::wstring_view tag);
// Hides a shown login or shows a hidden one.
void ToggleLoginHidden(Settings& settings, const std::wstring& tag);

// Raises the login's largest block to `tokens`, when that is higher and plausible; true when it
// changed.
bool RaiseLoginMaxblock(Settings& settings, const std::wstring& tag, double tokens);

// The settings from "config.ini" in DataDirectory().
Settings LoadSettings();

// The settings of the running program and the file they live in.
class SettingsStore {
public:
    explicit SettingsStore(Settings settings) : current_(settings), saved_(std::move(settings)) {}

    Settings& values() { return current_; }
    const Settings& values() const { return current_; }

    // Writes every value to the file.
    void Save();
    // Writes only when something differs from what was last read or written, so that an idle
    // program does not rewrite config.ini at every refresh.
    void SaveIfChanged();

private:
    Settings current_;
    Settings saved_;
};

// True on the program's first run: there is no settings file at all, and recording "welcomed"
// in a new one succeeded. Where nothing can be stored, no start counts as the first, so
// that the first run's changes (such as switching autostart on) do not come back at every start.
bool RecordFirstRun(const std::wstring& configPath);
