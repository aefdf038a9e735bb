#include "statusline/claude_settings.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "core/byte_search.h"
#include "core/config_dirs.h"
#include "core/json_fields.h"
#include "platform/whole_file.h"
#include "platform/atomic_file.h"
#include "platform/file_walk.h"
#include "platform/system.h"
#include "platform/unicode.h"

namespace {

constexpr std::string_view kKey = "\"statusLine\"";

bool IsJsonBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::wstring ClaudeSettingsPathFor(const std::wstring& claudeConfigDir,
                                   const std::wstring& userProfile) {
    const std::vector<std::wstring> folders = SplitConfigDirs(claudeConfigDir);
    if (!folders.empty()) {
        return WideFromPath(PathFromWide(folders.front()) / "settings.json");
    }
    if (userProfile.empty()) {
        return {};
    }
    return WideFromPath(PathFromWide(userProfile) / ".claude" / "settings.json");
}

std::wstring ClaudeSettingsPath() {
    return ClaudeSettingsPathFor(ReadEnvironment(L"CLAUDE_CONFIG_DIR"), ReadUserProfile());
}

StatusLineEntry FindStatusLineEntry(std::string_view text) {
    // Only a key followed by an object counts. Taking the next "{" after any "statusLine" (a
    // string value, or a key whose value is null) would cut out some other member.
    for (size_t at = FindBytes(text, kKey); at != std::string_view::npos;
         at = FindBytes(text, kKey, at + 1)) {
        size_t pos = at + kKey.size();
        while (pos < text.size() && IsJsonBlank(text[pos])) ++pos;
        if (pos >= text.size() || text[pos] != ':') continue;
        ++pos;
        while (pos < text.size() && IsJsonBlank(text[pos])) ++pos;
        if (pos >= text.size() || text[pos] != '{') continue;
        const size_t end = JsonContainerEnd(text, pos);
        if (end == std::string_view::npos) return {};
        return {true, at, end};
    }
    return {};
}

StatusLineState StatusLineStateOf(std::string_view text) {
    const StatusLineEntry entry = FindStatusLineEntry(text);
    if (!entry.found) {
        return kNoStatusLine;
    }
    // Any case: the program built from source is "tidewell.exe", and the entry it wrote names it.
    std::string bytes(text.substr(entry.start, entry.end - entry.start));
    for (char& c : bytes) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return bytes.find("tidewell") != std::string::npos ? kOwnStatusLine : kOtherStatusLine;
}

StatusLineState GetStatusLineState() {
    const std::wstring path = ClaudeSettingsPath();
    return path.empty() ? kNoStatusLine : StatusLineStateOf(ReadWholeFile(path));
}

std::string ProgramStatusLineEntry(const std::wstring& executablePath) {
    std::string entry = R"("statusLine": {"type": "command", "command": "\")";
    for (const char c : WideToUtf8(executablePath)) {
        if (c == '\\' || c == '"') entry += '\\';
        entry += c;
    }
    entry += R"(\" --statusline", "padding": 0})";
    return entry;
}

std::string EditStatusLine(std::string text, bool install, std::string_view entry) {
    constexpr std::string_view kIndent = "\n  ";  // what an install puts before the entry
    if (const StatusLineEntry old = FindStatusLineEntry(text); old.found) {
        size_t begin = old.start;
        while (begin > 0 && IsJsonBlank(text[begin - 1])) --begin;
        size_t after = old.end;
        while (after < text.size() && IsJsonBlank(text[after])) ++after;
        if (begin > 0 && text[begin - 1] == ',') {
            text.erase(begin - 1, old.end - (begin - 1));  // with the comma before it
        } else if (after < text.size() && text[after] == ',') {
            text.erase(begin, after + 1 - begin);  // the first member, with the comma after it
        } else {
            // The only member: the line break an install put before it goes with it.
            const bool indented = old.start >= kIndent.size() &&
                                  std::string_view(text).substr(old.start - kIndent.size(),
                                                                kIndent.size()) == kIndent;
            const size_t from = indented ? old.start - kIndent.size() : begin;
            text.erase(from, old.end - from);
        }
    }
    if (!install) {
        return text;
    }
    const size_t close = text.rfind('}');
    if (close == std::string::npos) {
        return std::string("{").append(entry).append("}");
    }
    // The entry goes right after the last member, so that removing it gives back the bytes as
    // they were; what followed the last member (the line break before the brace) stays after it.
    const size_t last = close == 0 ? std::string::npos : text.find_last_not_of(" \r\n\t", close - 1);
    const size_t at = last == std::string::npos ? close : last + 1;
    const bool afterMember = last != std::string::npos && text[last] != '{';
    text.insert(at, std::string(afterMember ? "," : "").append(kIndent).append(entry));
    return text;
}

bool UpdateStatusLineEntryAt(const std::wstring& settingsPath, bool install,
                             const std::wstring& executablePath) {
    if (settingsPath.empty() || executablePath.empty()) {
        return false;  // a relative path would land wherever the program happens to run
    }
    const std::filesystem::path path = PathFromWide(settingsPath);
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);

    std::string text = "{\n}";
    if (PathExists(settingsPath)) {
        // A file that exists but cannot be read (locked, denied) is not empty: leave it alone.
        const auto existing = ReadFileIfReadable(settingsPath);
        if (!existing) {
            return false;
        }
        text = *existing;
        // The backup keeps the file as it was before the latest change, except that a backup of
        // another program's status line is never replaced by one without it: that entry is what
        // the user was promised to find there.
        const std::wstring backupPath = settingsPath + L".tidewell-backup";
        if (StatusLineStateOf(text) == kOtherStatusLine ||
            StatusLineStateOf(ReadWholeFile(backupPath)) != kOtherStatusLine) {
            WriteFileAtomically(backupPath, text);  // failures are ignored
        }
    }
    return WriteFileAtomically(settingsPath,
                               EditStatusLine(std::move(text), install,
                                              ProgramStatusLineEntry(executablePath)));
}

bool UpdateStatusLineEntry(bool install) {
    return UpdateStatusLineEntryAt(ClaudeSettingsPath(), install, ExecutablePath());
}
