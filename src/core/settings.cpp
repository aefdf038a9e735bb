#include "core/settings.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/numbers.h"
#include "platform/file_walk.h"
#include "platform/ini.h"
#include "platform/system.h"
#include "platform/unicode.h"

namespace {

const std::wstring kSection = L"q";
constexpr size_t kTextBufferChars = 512;

bool ReadBool(const std::wstring& path, const wchar_t* key, bool defaultValue) {
    return IniReadInt(path, kSection, key, defaultValue ? 1 : 0) == 1;
}

void WriteBool(const std::wstring& path, const wchar_t* key, bool value) {
    IniWriteString(path, kSection, key, value ? L"1" : L"0");
}

void WriteInt(const std::wstring& path, const wchar_t* key, int64_t value) {
    IniWriteString(path, kSection, key, std::to_wstring(value));
}

// The leading number of the text, 0 when there is none, as _wtof reads it. A hand-edited "nan"
// or "inf", a negative value or one no block can reach would stop the largest block from ever
// being learned (or make every estimate 0%), so each reads as "not learned yet".
double ReadMaxBlock(const std::wstring& path) {
    const std::wstring text = IniReadString(path, kSection, L"maxblock", L"0", kTextBufferChars);
    double value = 0;
    ParseLeadingDouble(WideToUtf8(text), value);
    return value >= 0 && value <= kMaxPlausibleBlockTokens ? value : 0;
}

}  // namespace

std::wstring DataDirectory() {
    const std::wstring folder = ProgramDataFolder();
    if (!folder.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(PathFromWide(folder), ignored);
    }
    return folder;
}

Settings ReadSettings(const std::wstring& configPath) {
    Settings s;
    s.configPath = configPath;
    s.maxblock = ReadMaxBlock(configPath);
    s.alerts = ReadBool(configPath, L"alerts", true);
    s.pinned = ReadBool(configPath, L"pinned", false);
    s.secclaude = ReadBool(configPath, L"secclaude", true);
    s.seccodex = ReadBool(configPath, L"seccodex", true);
    s.size = IniReadInt(configPath, kSection, L"size", 1);
    if (s.size < 0 || s.size > 2) s.size = 1;  // Compact, Normal or Large
    s.px = IniReadInt(configPath, kSection, L"px", kPanelNeverMoved);
    s.py = IniReadInt(configPath, kSection, L"py", kPanelNeverMoved);
    s.show = IniReadString(configPath, kSection, L"show", L"auto", kTextBufferChars);
    return s;
}

void WriteSettings(const Settings& s) {
    const std::wstring& path = s.configPath;
    if (path.empty()) {
        return;
    }
    WriteInt(path, L"maxblock", TruncateToInt64(s.maxblock.Load()));
    WriteBool(path, L"alerts", s.alerts);
    IniWriteString(path, kSection, L"show", s.show);
    WriteBool(path, L"pinned", s.pinned);
    WriteInt(path, L"size", s.size);
    WriteBool(path, L"secclaude", s.secclaude);
    WriteBool(path, L"seccodex", s.seccodex);
    if (s.px != kPanelNeverMoved) {
        WriteInt(path, L"px", s.px);
        WriteInt(path, L"py", s.py);
    }
}

namespace {

// True when writing `a` would store what storing `b` stored.
bool SameWhenStored(const Settings& a, const Settings& b) {
    return a.configPath == b.configPath &&
           TruncateToInt64(a.maxblock.Load()) == TruncateToInt64(b.maxblock.Load()) &&
           a.alerts == b.alerts && a.show == b.show && a.pinned == b.pinned && a.size == b.size &&
           a.secclaude == b.secclaude && a.seccodex == b.seccodex && a.px == b.px && a.py == b.py;
}

}  // namespace

Settings LoadSettings() {
    const std::wstring folder = DataDirectory();
    return ReadSettings(folder.empty() ? std::wstring()
                                       : WideFromPath(PathFromWide(folder) / "config.ini"));
}

void SettingsStore::Save() {
    WriteSettings(current_);
    saved_ = current_;
}

void SettingsStore::SaveIfChanged() {
    if (!SameWhenStored(current_, saved_)) Save();
}

bool RecordFirstRun(const std::wstring& configPath) {
    return !configPath.empty() && IniReadInt(configPath, kSection, L"welcomed", 0) == 0 &&
           IniWriteString(configPath, kSection, L"welcomed", L"1") && PathExists(configPath) &&
           IniReadInt(configPath, kSection, L"welcomed", 0) == 1;
}
