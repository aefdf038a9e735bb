#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sources/log_places.h"
#include "sources/login.h"

// Identity files are read whole up to this many bytes; a larger one is taken as unknown (the
// login is then known by its folder). Claude Code's .claude.json keeps per-project history and
// can grow to megabytes, so the cap is generous, but bounded.
inline constexpr size_t kMaxIdentityFileBytes = 16 << 20;

// What discovery needs of the file system; tests pass fakes.
struct DiscoveryFiles {
    // The names of the folders directly in a folder.
    std::function<std::vector<std::wstring>(const std::wstring& folder)> listFolders;
    std::function<bool(const std::wstring& path)> exists;
    // The file's bytes when it is readable and holds at most `cap` bytes; nothing otherwise.
    std::function<std::optional<std::string>(const std::wstring& path, size_t cap)> readSmall;
};
DiscoveryFiles DiscoveryFilesOfThisSystem();

// The homes of one running WSL distribution, as Windows reaches them.
struct WslHomes {
    std::wstring distribution;
    std::vector<std::wstring> homes;

    friend bool operator==(const WslHomes&, const WslHomes&) = default;
};

// An account named in a login's files.
struct LoginIdentity {
    std::string id;     // the account's id, printable ASCII
    std::wstring name;  // its e-mail address
};

// Claude Code's .claude.json: "oauthAccount" with "accountUuid" and "emailAddress". Nothing when
// either is missing, empty, implausible (control characters, escapes, too long) or the object is
// not closed.
std::optional<LoginIdentity> ParseClaudeIdentity(std::string_view text);

// Codex's auth.json: the "sub" and "email" claims of the ChatGPT sign-in's "id_token". Nothing
// when the token is missing or does not decode, or a claim is missing or implausible.
std::optional<LoginIdentity> ParseCodexIdentity(std::string_view text);

// The name a configuration folder gives its login: "default" for ".claude" or ".codex", "work"
// for ".claude-work" or ".codex-work", else the folder's last component.
std::wstring LoginNameOfFolder(std::wstring_view folder);

// True when `a` and `b` name the same folder: separators and trailing separators aside, and
// without regard to letter case on paths of Windows' own drives and shares (WSL's are Linux
// folders, where case counts).
bool SameFolder(std::wstring_view a, std::wstring_view b);

// Every Claude Code and Codex login on this computer and in the running WSL distributions'
// `wslHomes`, Claude's first, in this order for each tool: the configured folders
// (CLAUDE_CONFIG_DIR's items, CODEX_HOME), ~/.claude (or ~/.codex), ~/.claude-<name> by name,
// then WSL's. A Claude login is a folder that holds ".credentials.json" or "projects"; a Codex
// login one that holds "auth.json" or "sessions". Folders that name the same account are one
// login. The desktop app's agent sessions (`agentRoots`) join the only Claude login, or, when
// there are several (or none), make their own.
std::vector<Login> DiscoverLogins(const PlaceEnvironment& environment,
                                  const std::vector<WslHomes>& wslHomes,
                                  const std::vector<std::wstring>& agentRoots,
                                  const DiscoveryFiles& files);

// The agent sessions' part of that, on logins found without them: cheap, for sessions that
// come and go between two looks at the folders.
std::vector<Login> WithAgentSessions(std::vector<Login> logins,
                                     const std::vector<std::wstring>& agentRoots);
