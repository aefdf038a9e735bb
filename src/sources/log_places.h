#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/source_lines.h"
#include "core/wsl_watcher.h"

// One place on this computer that holds logs, under the name the user sees for it.
struct LogPlace {
    std::wstring name;                      // "Windows ~/.claude", "Ubuntu (WSL)", a folder
    std::vector<std::wstring> claudeRoots;  // Claude Code's "projects" folders
    std::vector<std::wstring> codexFolders; // Codex's "sessions" folders
    bool notRead = false;                   // a WSL distribution that is not running
};

// What the places of this computer are called before "~/.claude".
#ifdef _WIN32
inline constexpr wchar_t kThisSystemName[] = L"Windows";
#else
inline constexpr wchar_t kThisSystemName[] = L"This computer";
#endif

// The environment the places of this computer follow.
struct PlaceEnvironment {
    std::wstring userProfile;
    std::wstring home;
    std::wstring claudeConfigDir;
    std::wstring codexHome;
    std::wstring appData;       // the roaming application data
    std::wstring localAppData;
};
PlaceEnvironment PlaceEnvironmentOfThisProcess();

// The places of this system itself, in scan order: each CLAUDE_CONFIG_DIR item (named by its
// folder), ~/.claude, ~/.config/claude, then Codex's folder (~/.codex, or CODEX_HOME by its
// folder). Only paths: nothing is touched.
std::vector<LogPlace> LocalPlaces(const PlaceEnvironment& environment);

// Each registered WSL distribution as a place; a stopped one is named, not read.
std::vector<LogPlace> WslLogPlaces(const std::vector<WslPlace>& distributions);

using ListFolders = std::function<std::vector<std::wstring>(const std::wstring& folder)>;

// The folders in which Claude's desktop app keeps its agent sessions: in the roaming application
// data, and in each packaged install's ("Claude_*" under Packages, listed with `listFolders`).
std::vector<std::wstring> AgentSessionBases(const PlaceEnvironment& environment,
                                            const ListFolders& listFolders);

// Agent sessions kept at most: the walk that finds them is bounded.
inline constexpr size_t kMaxAgentSessions = 512;

// The Claude Code "projects" folders of the agent sessions below `bases`:
// <base>\<app>\<machine>\local_<session>\.claude\projects, those that exist.
std::vector<std::wstring> FindAgentProjectRoots(const std::vector<std::wstring>& bases,
                                                const ListFolders& listFolders,
                                                const std::function<bool(const std::wstring&)>& exists);

inline constexpr wchar_t kAgentSessionsName[] = L"Claude desktop agent sessions";

// The lines of `places` whose roots (`pick` gives each place's) found `perRoot` files, in order;
// a place with one of `unread` (folders that could not be listed) at or below a root of it reads
// as not read.
std::vector<SourceLine> PlaceLines(
    const std::vector<LogPlace>& places,
    const std::function<const std::vector<std::wstring>&(const LogPlace&)>& pick,
    const std::vector<size_t>& perRoot, const std::vector<std::wstring>& unread = {});
