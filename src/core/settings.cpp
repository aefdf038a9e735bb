#include "core/settings.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/numbers.h"
#include "platform/ini.h"
#include "platform/system.h"
#include "platform/unicode.h"

namespace {

const std::wstring kSection = L"q";
constexpr size_t kTextBufferChars = 512;

bool ReadBool(const IniFile& file, const wchar_t* key, bool defaultValue) {
    return file.Int(kSection, key, defaultValue ? 1 : 0) == 1;
}

const wchar_t* Bool(bool value) { return value ? L"1" : L"0"; }

// The leading number of the text, 0 when there is none, as _wtof reads it. A hand-edited "nan"
// or "inf", a negative value or one no block can reach would stop the largest block from ever
// being learned (or make every estimate 0%), so each reads as "not learned yet".
double ReadMaxBlock(const IniFile& file) {
    const std::wstring text = file.String(kSection, L"maxblock", L"0", kTextBufferChars);
    double value = 0;
    ParseLeadingDouble(WideToUtf8(text), value);
    return value >= 0 && value <= kMaxPlausibleBlockTokens ? value : 0;
}

// True only when nothing at all is at `path`: a file that exists but cannot be read, or whose
// folder cannot be looked into, is not missing.
bool SurelyMissing(const std::wstring& path) {
    std::error_code error;
    return std::filesystem::status(PathFromWide(path), error).type() ==
           std::filesystem::file_type::not_found;
}

std::wstring Created(const std::wstring& folder) {
    if (!folder.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(PathFromWide(folder), ignored);
    }
    return folder;
}

}  // namespace

std::wstring DataDirectory() { return Created(ProgramDataFolder()); }

std::wstring LocalDataDirectory() { return Created(ProgramLocalDataFolder()); }

Settings ReadSettings(const std::wstring& configPath) {
    // One reading of the file, so that the values all come from the same version of it.
    const IniFile file = IniFile::Read(configPath);
    Settings s;
    s.configPath = configPath;
    s.maxblock = ReadMaxBlock(file);
    s.alerts = ReadBool(file, L"alerts", true);
    s.pinned = ReadBool(file, L"pinned", false);
    s.secclaude = ReadBool(file, L"secclaude", true);
    s.seccodex = ReadBool(file, L"seccodex", true);
    s.size = file.Int(kSection, L"size", 1);
    if (s.size < 0 || s.size > 2) s.size = 1;  // Compact, Normal or Large
    s.px = file.Int(kSection, L"px", kPanelNeverMoved);
    s.py = file.Int(kSection, L"py", kPanelNeverMoved);
    s.show = file.String(kSection, L"show", L"auto", kTextBufferChars);
    s.historyFolder = file.String(kSection, L"history", L"", kTextBufferChars);
    s.loadedDefaultsForUnreadableFile = file.unreadable();
    return s;
}

namespace {

// Every key as it is stored; px and py only once the panel has been moved.
IniEntries StoredEntries(const Settings& s) {
    IniEntries entries = {{L"welcomed", L"1"},
                          {L"maxblock", std::to_wstring(TruncateToInt64(s.maxblock.Load()))},
                          {L"alerts", Bool(s.alerts)},
                          {L"show", s.show},
                          {L"pinned", Bool(s.pinned)},
                          {L"size", std::to_wstring(s.size)},
                          {L"secclaude", Bool(s.secclaude)},
                          {L"seccodex", Bool(s.seccodex)}};
    if (s.px != kPanelNeverMoved) {
        entries.emplace_back(L"px", std::to_wstring(s.px));
        entries.emplace_back(L"py", std::to_wstring(s.py));
    }
    if (!s.historyFolder.empty()) entries.emplace_back(L"history", s.historyFolder);
    return entries;
}

// The keys that storing `s` removes: those it has no value for.
std::vector<std::wstring> RemovedKeys(const Settings& s) {
    std::vector<std::wstring> removed;
    if (s.px == kPanelNeverMoved) removed.insert(removed.end(), {L"px", L"py"});
    if (s.historyFolder.empty()) removed.push_back(L"history");
    return removed;
}

}  // namespace

bool WriteSettings(const Settings& s) {
    if (s.configPath.empty()) {
        return false;
    }
    // Every key in one replacement of the file. "welcomed" goes with them: settings are saved
    // only by a desktop start that has greeted the user already. Never moved, or put back
    // beside the tray: no place is remembered.
    return IniWriteKeys(s.configPath, kSection, StoredEntries(s), RemovedKeys(s));
}

bool WriteChangedSettings(const Settings& s, const Settings& before) {
    if (s.configPath.empty()) {
        return false;
    }
    const IniEntries old = StoredEntries(before);
    IniEntries changed;
    for (const auto& entry : StoredEntries(s)) {
        if (std::find(old.begin(), old.end(), entry) == old.end()) changed.push_back(entry);
    }
    // Keys that had a value before and have none now.
    std::vector<std::wstring> removed;
    const std::vector<std::wstring> removedBefore = RemovedKeys(before);
    for (const std::wstring& key : RemovedKeys(s)) {
        if (std::find(removedBefore.begin(), removedBefore.end(), key) == removedBefore.end())
            removed.push_back(key);
    }
    if (changed.empty() && removed.empty()) return true;
    return IniWriteKeys(s.configPath, kSection, changed, removed);
}

namespace {

// True when writing `a` would store what storing `b` stored.
bool SameWhenStored(const Settings& a, const Settings& b) {
    return a.configPath == b.configPath &&
           TruncateToInt64(a.maxblock.Load()) == TruncateToInt64(b.maxblock.Load()) &&
           a.alerts == b.alerts && a.show == b.show && a.pinned == b.pinned && a.size == b.size &&
           a.secclaude == b.secclaude && a.seccodex == b.seccodex && a.px == b.px && a.py == b.py &&
           a.historyFolder == b.historyFolder;
}

}  // namespace

Settings LoadSettings() {
    const std::wstring folder = DataDirectory();
    return ReadSettings(folder.empty() ? std::wstring()
                                       : WideFromPath(PathFromWide(folder) / "config.ini"));
}

void SettingsStore::Save() {
    // The worker may raise maxblock while the file is written: what counts as saved is the copy
    // that went to the file, so that a later raise is still seen as a change.
    // A file that could not be read at start holds the user's values still: only what changed
    // since is written over it. A failed write leaves the values unsaved, to be tried again.
    const Settings written = current_;
    const bool ok = written.loadedDefaultsForUnreadableFile ? WriteChangedSettings(written, saved_)
                                                            : WriteSettings(written);
    if (ok) saved_ = written;
}

void SettingsStore::SaveIfChanged() {
    if (!SameWhenStored(current_, saved_)) Save();
}

bool RecordFirstRun(const std::wstring& configPath) {
    // Only a settings file that is not there at all makes a first run: one cut short or damaged
    // is a later start whose "welcomed" was lost, and must not switch autostart on again.
    return !configPath.empty() && SurelyMissing(configPath) &&
           IniWriteKeys(configPath, kSection, {{L"welcomed", L"1"}}) &&
           IniFile::Read(configPath).Int(kSection, L"welcomed", 0) == 1;
}
