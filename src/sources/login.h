#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Which tool a login belongs to.
enum class LoginTool { kClaude, kCodex };

// One login on this computer: a Claude Code configuration folder (or several that hold the same
// account), or a Codex home. Each has its own limits, estimate, caches and live file.
struct Login {
    LoginTool tool = LoginTool::kClaude;
    // What settings are kept under: "id:" and the account id where the login's files name it,
    // else "dir:" and its first folder. Stable while folders are renamed or logins added.
    std::wstring key;
    // What the user sees: the e-mail address where known, else the folder's name ("work" for
    // ".claude-work", "default" for ".claude"), or kDesktopLoginName.
    std::wstring name;
    // Where it was found, for the settings page: its first folder, or "<distribution> (WSL)".
    std::wstring where;
    // The configuration folders (Claude) or the home (Codex), first found first.
    std::vector<std::wstring> folders;
    // Claude: the ".credentials.json" of its first folder that has one.
    std::optional<std::wstring> credentialsPath;
    std::vector<std::wstring> claudeRoots;   // its "projects" folders
    std::vector<std::wstring> codexFolders;  // its "sessions" folders
    bool fromWsl = false;
    bool isDefault = false;  // ~/.claude or ~/.codex of this computer
    // The Claude login whose limits the program showed before logins were told apart (the
    // credentials it found first): it keeps "api.ini" and the largest block learned then.
    bool primary = false;

    friend bool operator==(const Login&, const Login&) = default;
};

// The name of the entry the desktop app's agent sessions make when more than one Claude login
// is found (which login the desktop app uses is not known).
inline constexpr wchar_t kDesktopLoginName[] = L"Claude desktop";

// A short stable name for `key` that files and INI keys can hold: 16 lowercase hex digits
// (64-bit FNV-1a of the key's UTF-16 units).
std::wstring LoginFileTag(const std::wstring& key);
