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

// A login's largest block is stored under this prefix and its tag.
constexpr std::wstring_view kLoginBlockPrefix = L"mb.";

bool PlausibleBlock(double tokens) { return tokens >= 0 && tokens <= kMaxPlausibleBlockTokens; }

// The text of a stored largest block read as "maxblock" is.
double BlockFromText(const std::wstring& text) {
    double value = 0;
    ParseLeadingDouble(WideToUtf8(text), value);
    return PlausibleBlock(value) ? value : 0;
}

wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; }

// The "mb.<tag>" keys of the section: a key whose tag is not one, or whose value is not a
// plausible block, is left in the file and not read.
std::map<std::wstring, double> ReadLoginBlocks(const IniFile& file) {
    std::map<std::wstring, double> blocks;
    for (const std::wstring& key : file.Keys(kSection)) {
        if (key.size() <= kLoginBlockPrefix.size()) continue;
        std::wstring prefix = key.substr(0, kLoginBlockPrefix.size());
        std::transform(prefix.begin(), prefix.end(), prefix.begin(), LowerAscii);
        if (prefix != kLoginBlockPrefix) continue;
        const std::wstring tag = key.substr(kLoginBlockPrefix.size());
        if (!IsLoginTag(tag)) continue;
        const double tokens = BlockFromText(file.String(kSection, key, L"0", kTextBufferChars));
        if (tokens > 0) blocks.emplace(tag, tokens);  // the first of repeated keys, as read
    }
    return blocks;
}

std::wstring JoinTags(std::vector<std::wstring> tags) {
    std::sort(tags.begin(), tags.end());
    tags.erase(std::unique(tags.begin(), tags.end()), tags.end());
    std::wstring text;
    for (const std::wstring& tag : tags) {
        if (!text.empty()) text += L',';
        text += tag;
    }
    return text;
}

// The leading number of the text, 0 when there is none, as _wtof reads it. A hand-edited "nan"
// or "inf", a negative value or one no block can reach would stop the largest block from ever
// being learned (or make every estimate 0%), so each reads as "not learned yet".
double ReadMaxBlock(const IniFile& file) {
    return BlockFromText(file.String(kSection, L"maxblock", L"0", kTextBufferChars));
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

bool IsLoginTag(std::wstring_view text) {
    return text.size() == 16 && std::all_of(text.begin(), text.end(), [](wchar_t c) {
               return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
           });
}

std::vector<std::wstring> ParseLoginTags(std::wstring_view text) {
    std::vector<std::wstring> tags;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(L',', start), text.size());
        std::wstring item(text.substr(start, comma - start));
        std::erase_if(item, [](wchar_t c) { return c == L' ' || c == L'\t'; });
        std::transform(item.begin(), item.end(), item.begin(), LowerAscii);
        if (IsLoginTag(item)) tags.push_back(std::move(item));
        start = comma + 1;
    }
    std::sort(tags.begin(), tags.end());
    tags.erase(std::unique(tags.begin(), tags.end()), tags.end());
    return tags;
}

bool IsLoginHidden(const Settings& settings, std::wstring_view tag) {
    return std::find(settings.hiddenLogins.begin(), settings.hiddenLogins.end(), tag) !=
           settings.hiddenLogins.end();
}

void ToggleLoginHidden(Settings& settings, const std::wstring& tag) {
    std::vector<std::wstring>& hidden = settings.hiddenLogins;
    const size_t before = hidden.size();
    std::erase(hidden, tag);
    if (hidden.size() == before) hidden.push_back(tag);
}

bool RaiseLoginMaxblock(Settings& settings, const std::wstring& tag, double tokens) {
    if (!IsLoginTag(tag) || !PlausibleBlock(tokens) || tokens <= 0) return false;
    double& stored = settings.loginMaxblocks[tag];
    if (tokens <= stored) return false;
    stored = tokens;
    return true;
}

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
    // Read whole: a list cut at the buffer's end could keep half a tag as junk.
    s.hiddenLogins = ParseLoginTags(file.String(kSection, L"hidden", L"", std::wstring::npos));
    s.loginMaxblocks = ReadLoginBlocks(file);
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
    if (!s.hiddenLogins.empty()) entries.emplace_back(L"hidden", JoinTags(s.hiddenLogins));
    for (const auto& [tag, tokens] : s.loginMaxblocks) {
        if (IsLoginTag(tag) && PlausibleBlock(tokens) && tokens > 0)
            entries.emplace_back(std::wstring(kLoginBlockPrefix) + tag,
                                 std::to_wstring(TruncateToInt64(tokens)));
    }
    return entries;
}

// The keys that storing `s` removes: those it has no value for.
std::vector<std::wstring> RemovedKeys(const Settings& s) {
    std::vector<std::wstring> removed;
    if (s.px == kPanelNeverMoved) removed.insert(removed.end(), {L"px", L"py"});
    if (s.historyFolder.empty()) removed.push_back(L"history");
    if (s.hiddenLogins.empty()) removed.push_back(L"hidden");
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
    // A login's block that was stored before and is not now.
    const IniEntries now = StoredEntries(s);
    for (const auto& entry : old) {
        const std::wstring& key = entry.first;
        if (key.starts_with(kLoginBlockPrefix) &&
            std::none_of(now.begin(), now.end(), [&](const auto& e) { return e.first == key; }))
            removed.push_back(key);
    }
    if (changed.empty() && removed.empty()) return true;
    return IniWriteKeys(s.configPath, kSection, changed, removed);
}

namespace {

// True when writing `a` would store what storing `b` stored.
bool SameWhenStored(const Settings& a, const Settings& b) {
    return a.configPath == b.configPath && StoredEntries(a) == StoredEntries(b);
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
