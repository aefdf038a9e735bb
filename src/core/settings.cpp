#include "core/settings.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/numbers.h"
#include "platform/ini.h"
#include "platform/system.h"
#include "platform/unicode.h"

Settings gSettings;

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
// or "inf" would stop the largest block from ever being learned (nothing compares above it),
// so it reads as "not learned yet".
double ReadMaxBlock(const std::wstring& path) {
    const std::wstring text = IniReadString(path, kSection, L"maxblock", L"0", kTextBufferChars);
    double value = 0;
    ParseLeadingDouble(WideToUtf8(text), value);
    return std::isfinite(value) ? value : 0;
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

// The settings as this process last read or wrote them.
Settings gLastSaved;

// True when writing `a` would store what storing `b` stored.
bool SameWhenStored(const Settings& a, const Settings& b) {
    return a.configPath == b.configPath &&
           TruncateToInt64(a.maxblock.Load()) == TruncateToInt64(b.maxblock.Load()) &&
           a.alerts == b.alerts && a.show == b.show && a.pinned == b.pinned && a.size == b.size &&
           a.secclaude == b.secclaude && a.seccodex == b.seccodex && a.px == b.px && a.py == b.py;
}

}  // namespace

void LoadSettings() {
    const std::wstring folder = DataDirectory();
    gSettings = ReadSettings(
        folder.empty() ? std::wstring() : WideFromPath(PathFromWide(folder) / "config.ini"));
    gLastSaved = gSettings;
}

void SaveSettings() {
    WriteSettings(gSettings);
    gLastSaved = gSettings;
}

void SaveSettingsIfChanged() {
    if (!SameWhenStored(gSettings, gLastSaved)) {
        SaveSettings();
    }
}
