#include "statusline/claude_settings.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "core/config_dirs.h"
#include "platform/atomic_file.h"
#include "platform/file_walk.h"
#include "platform/system.h"
#include "platform/unicode.h"
#include "platform/whole_file.h"
#include "statusline/json_object_text.h"

namespace {

bool IsJsonBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The last top-level "statusLine" member, whatever its value (the one a JSON reader keeps).
const JsonMember* StatusLineMember(std::string_view text, const JsonObjectText& json) {
    for (auto it = json.members.rbegin(); it != json.members.rend(); ++it) {
        if (JsonKeyIs(text.substr(it->keyStart, it->keyEnd - it->keyStart), "statusLine")) {
            return &*it;
        }
    }
    return nullptr;
}

StatusLineEntry EntryIn(std::string_view text, const JsonObjectText& json) {
    const JsonMember* member = StatusLineMember(text, json);
    if (member == nullptr || text[member->valueStart] != '{') {
        return {};  // null or a string is no status line, and no entry to cut out
    }
    return {true, member->keyStart, member->valueEnd};
}

std::string_view EntryBytes(std::string_view text, const StatusLineEntry& entry) {
    return text.substr(entry.start, entry.end - entry.start);
}

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

std::wstring LoginSettingsPath(const Login& login) {
    if (login.tool != LoginTool::kClaude || login.fromWsl || login.folders.empty() ||
        login.name == kDesktopLoginName) {
        return {};
    }
    return WideFromPath(PathFromWide(login.folders.front()) / "settings.json");
}

StatusLineEntry FindStatusLineEntry(std::string_view text) {
    return EntryIn(text, ReadJsonObjectText(text));
}

StatusLineState StatusLineStateOf(std::string_view text) {
    const StatusLineEntry entry = FindStatusLineEntry(text);
    if (!entry.found) {
        return kNoStatusLine;
    }
    // Any case: the program built from source is "tidewell.exe", and the entry it wrote names it.
    std::string bytes(EntryBytes(text, entry));
    for (char& c : bytes) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return bytes.find("tidewell") != std::string::npos ? kOwnStatusLine : kOtherStatusLine;
}

StatusLineState GetStatusLineState() {
    return StatusLineStateAt(ClaudeSettingsPath());
}

StatusLineState StatusLineStateAt(const std::wstring& settingsPath) {
    return settingsPath.empty() ? kNoStatusLine : StatusLineStateOf(ReadWholeFile(settingsPath));
}

std::string ProgramStatusLineEntry(const std::wstring& executablePath) {
    std::string entry = R"("statusLine": {"type": "command", "command": "\")";
    for (const char c : WideToUtf8(executablePath)) {
        if (c == '\\' || c == '"')
            entry += '\\';
        entry += c;
    }
    entry += R"(\" --statusline", "padding": 0})";
    return entry;
}

std::string EditStatusLine(std::string text, bool install, std::string_view entry) {
    constexpr std::string_view kIndent = "\n  ";  // what an install puts before the entry
    const JsonObjectText json = ReadJsonObjectText(text);
    if (json.kind == JsonTextKind::kBlank) {
        return install ? std::string("{").append(entry).append("}") : text;
    }
    if (json.kind != JsonTextKind::kObject) {
        return text;
    }
    const JsonMember* member = StatusLineMember(text, json);
    if (install && member != nullptr) {
        // In its place: a later disconnect can put another program's entry back exactly there.
        text.replace(member->keyStart, member->valueEnd - member->keyStart, entry);
        return text;
    }
    if (install) {
        // The entry goes right after the last member, so that removing it gives back the bytes
        // as they were; what followed the last member (the line break before the brace) stays.
        const size_t last = text.find_last_not_of(" \r\n\t", json.close - 1);
        const size_t at = last + 1;
        const bool afterMember = last != json.open;
        text.insert(at, std::string(afterMember ? "," : "").append(kIndent).append(entry));
        return text;
    }
    const StatusLineEntry old = EntryIn(text, json);
    if (!old.found) {
        return text;
    }
    size_t begin = old.start;
    while (begin > 0 && IsJsonBlank(text[begin - 1]))
        --begin;
    size_t after = old.end;
    while (after < text.size() && IsJsonBlank(text[after]))
        ++after;
    if (text[begin - 1] == ',') {
        text.erase(begin - 1, old.end - (begin - 1));  // with the comma before it
    } else if (text[after] == ',') {
        text.erase(begin, after + 1 - begin);  // the first member, with the comma after it
    } else {
        // The only member: the line break an install put before it goes with it.
        const bool indented =
            old.start >= kIndent.size() &&
            std::string_view(text).substr(old.start - kIndent.size(), kIndent.size()) == kIndent;
        const size_t from = indented ? old.start - kIndent.size() : begin;
        text.erase(from, old.end - from);
    }
    return text;
}

std::string DisconnectStatusLine(std::string text, std::string_view backup) {
    const StatusLineEntry ours = FindStatusLineEntry(text);
    const StatusLineEntry theirs = FindStatusLineEntry(backup);
    if (ours.found && theirs.found && StatusLineStateOf(text) == kOwnStatusLine &&
        StatusLineStateOf(backup) == kOtherStatusLine) {
        text.replace(ours.start, ours.end - ours.start, EntryBytes(backup, theirs));
        return text;
    }
    return EditStatusLine(std::move(text), false, {});
}

StatusLineUpdate UpdateStatusLineEntryAt(const std::wstring& settingsPath, bool install,
                                         const std::wstring& executablePath) {
    if (settingsPath.empty() || executablePath.empty()) {
        return {};  // a relative path would land wherever the program happens to run
    }
    const std::filesystem::path path = PathFromWide(settingsPath);
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);

    const std::wstring backupPath = settingsPath + L".tidewell-backup";
    const bool exists = PathExists(settingsPath);
    std::string text = "{\n}";
    if (exists) {
        // A file that exists but cannot be read (locked, denied) is not empty: leave it alone.
        const auto existing = ReadFileIfReadable(settingsPath);
        if (!existing) {
            return {};
        }
        text = *existing;
    }
    // Claude Code cannot read a file that is not a JSON object either; editing bytes in it
    // could only make it worse, and replacing it would lose what the user wrote.
    if (const JsonObjectText json = ReadJsonObjectText(text);
        json.kind == JsonTextKind::kInvalid || json.kind == JsonTextKind::kNotObject) {
        return {StatusLineUpdate::kNotJsonObject, json.problem};
    }
    const std::string backup = ReadWholeFile(backupPath);
    std::string edited = install
                             ? EditStatusLine(text, true, ProgramStatusLineEntry(executablePath))
                             : DisconnectStatusLine(text, backup);
    if (exists) {
        // The backup keeps the file as it was before the latest change, except that a backup of
        // another program's status line is kept until that entry is back in the file: it is
        // what the user was promised to find there, and what a disconnect puts back.
        const StatusLineEntry theirs = FindStatusLineEntry(backup);
        const StatusLineEntry after = FindStatusLineEntry(edited);
        const bool keep = StatusLineStateOf(backup) == kOtherStatusLine &&
                          StatusLineStateOf(text) != kOtherStatusLine &&
                          !(after.found && EntryBytes(edited, after) == EntryBytes(backup, theirs));
        if (!keep) {
            WriteFileAtomically(backupPath, text);  // failures are ignored
        }
    }
    if (!WriteFileAtomically(settingsPath, edited)) {
        return {};
    }
    return {StatusLineUpdate::kWritten, {}};
}

StatusLineUpdate UpdateStatusLineEntry(bool install) {
    return UpdateStatusLineEntryAt(ClaudeSettingsPath(), install, ExecutablePath());
}

std::wstring StatusLineUpdateFailure(const StatusLineUpdate& update,
                                     const std::wstring& settingsPath) {
    if (update.outcome != StatusLineUpdate::kNotJsonObject) {
        return L"Could not write " +
               (settingsPath.empty() ? std::wstring(L".claude\\settings.json") : settingsPath) +
               L".";
    }
    const std::wstring what = update.problem.empty()
                                  ? std::wstring(L"a JSON object")
                                  : L"valid JSON (" + Utf8ToWide(update.problem) + L")";
    const std::wstring file =
        settingsPath.empty() ? std::wstring(L"Claude Code's settings.json") : settingsPath;
    return file + L" is not " + what + L", so Tidewell left it unchanged.";
}
