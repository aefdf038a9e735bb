#include "sources/log_places.h"

#include "claude_logs/log_roots.h"
#include "codex/codex_scanner.h"
#include "core/config_dirs.h"
#include "core/log_files.h"
#include "platform/system.h"

namespace {


}  // namespace

PlaceEnvironment PlaceEnvironmentOfThisProcess() {
    return {ReadUserProfile(),
            ReadEnvironment(L"HOME"),
            ReadEnvironment(L"CLAUDE_CONFIG_DIR"),
            ReadEnvironment(L"CODEX_HOME"),
            ReadEnvironment(L"APPDATA"),
            ReadEnvironment(L"LOCALAPPDATA")};
}

std::vector<LogPlace> LocalPlaces(const PlaceEnvironment& env) {
    const std::vector<std::wstring> roots =
        ClaudeLogRoots(env.userProfile, env.home, env.claudeConfigDir);
    std::vector<LogPlace> places;
    // The configured folders come first, one place each; the two in the home folder last.
    const std::vector<std::wstring> configured = SplitConfigDirs(env.claudeConfigDir);
    for (size_t i = 0; i < configured.size(); ++i) {
        places.push_back({configured[i], {roots[i]}, {}});
    }
    const std::wstring system(kThisSystemName);
    places.push_back({system + L" ~/.claude", {roots[roots.size() - 2]}, {}});
    places.push_back({system + L" ~/.config/claude", {roots.back()}, {}});
    const std::wstring codex = CodexSessionsFolder(env.codexHome, env.userProfile, env.home);
    const std::wstring codexName = env.codexHome.empty() ? system + L" ~/.codex" : env.codexHome;
    // A configured folder may be the Codex folder's place too: one line for both.
    for (LogPlace& place : places) {
        if (place.name == codexName) {
            place.codexFolders.push_back(codex);
            return places;
        }
    }
    places.push_back({codexName, {}, {codex}});
    return places;
}

std::vector<LogPlace> WslLogPlaces(const std::vector<WslPlace>& distributions) {
    std::vector<LogPlace> places;
    for (const WslPlace& distribution : distributions) {
        LogPlace place{distribution.name + L" (WSL)", {}, {}, !distribution.running};
        place.claudeRoots = distribution.folders.claudeRoots;
        place.codexFolders = distribution.folders.codexFolders;
        places.push_back(std::move(place));
    }
    return places;
}

std::vector<std::wstring> AgentSessionBases(const PlaceEnvironment& env,
                                            const ListFolders& listFolders) {
    std::vector<std::wstring> bases;
    if (!env.appData.empty()) {
        bases.push_back(JoinPath(env.appData, {L"Claude", L"local-agent-mode-sessions"}));
    }
    if (!env.localAppData.empty()) {
        const std::wstring packages = JoinPath(env.localAppData, {L"Packages"});
        for (const std::wstring& package : listFolders(packages)) {
            if (package.starts_with(L"Claude_")) {
                bases.push_back(JoinPath(packages, {package, L"LocalCache", L"Roaming", L"Claude",
                                                    L"local-agent-mode-sessions"}));
            }
        }
    }
    return bases;
}

std::vector<std::wstring> FindAgentProjectRoots(const std::vector<std::wstring>& bases,
                                                const ListFolders& listFolders,
                                                const std::function<bool(const std::wstring&)>& exists) {
    std::vector<std::wstring> roots;
    for (const std::wstring& base : bases) {
        for (const std::wstring& app : listFolders(base)) {
            for (const std::wstring& machine : listFolders(JoinPath(base, {app}))) {
                const std::wstring machineFolder = JoinPath(base, {app, machine});
                for (const std::wstring& session : listFolders(machineFolder)) {
                    if (!session.starts_with(L"local_")) continue;
                    std::wstring projects = JoinPath(machineFolder, {session, L".claude", L"projects"});
                    if (!exists(projects)) continue;
                    roots.push_back(std::move(projects));
                    if (roots.size() == kMaxAgentSessions) return roots;
                }
            }
        }
    }
    return roots;
}

std::vector<SourceLine> PlaceLines(
    const std::vector<LogPlace>& places,
    const std::function<const std::vector<std::wstring>&(const LogPlace&)>& pick,
    const std::vector<size_t>& perRoot, const std::vector<std::wstring>& unread) {
    std::vector<SourceLine> lines;
    size_t root = 0;
    for (const LogPlace& place : places) {
        SourceLine line{place.name, 0, place.notRead};
        for (size_t i = 0; i < pick(place).size() && root < perRoot.size(); ++i) {
            line.files += perRoot[root++];
        }
        for (const std::wstring& folder : unread) {
            for (const std::wstring& placeRoot : pick(place)) {
                line.unreadable =
                    line.unreadable || folder == placeRoot || IsBelow(folder, placeRoot);
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}
