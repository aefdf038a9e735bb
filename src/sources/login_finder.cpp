#include "sources/login_finder.h"

#include <algorithm>

#include "core/log_files.h"
#include "core/walk_gate.h"

namespace {

bool Holds(const std::vector<LogPlace>& places, const std::wstring& folder) {
    return std::any_of(places.begin(), places.end(), [&](const LogPlace& place) {
        const auto same = [&](const std::wstring& f) { return SameFolder(f, folder); };
        return std::any_of(place.claudeRoots.begin(), place.claudeRoots.end(), same) ||
               std::any_of(place.codexFolders.begin(), place.codexFolders.end(), same);
    });
}

}  // namespace

LoginFinder::LoginFinder(PlaceEnvironment environment, DiscoveryFiles files)
    : environment_(std::move(environment)), files_(std::move(files)) {}

const std::vector<Login>& LoginFinder::Logins(int64_t now, const std::vector<WslHomes>& wslHomes,
                                              const std::vector<std::wstring>& agentRoots) {
    const bool due = !haveFound_ || now - foundAt_ >= kFullWalkInterval || now < foundAt_ ||
                     wslHomes != wslHomes_;
    if (due) {
        found_ = DiscoverLogins(environment_, wslHomes, {}, files_);
        wslHomes_ = wslHomes;
        foundAt_ = now;
        haveFound_ = true;
        ++discoveries_;
    }
    if (due || agentRoots != agentRoots_) {
        logins_ = WithAgentSessions(found_, agentRoots);
        agentRoots_ = agentRoots;
    }
    return logins_;
}

std::vector<WslHomes> WslHomesOf(const std::vector<WslPlace>& distributions) {
    std::vector<WslHomes> homes;
    for (const WslPlace& distribution : distributions) {
        if (distribution.running)
            homes.push_back({distribution.name, distribution.folders.homes});
    }
    return homes;
}

size_t AddLoginPlaces(std::vector<LogPlace>& places, size_t localCount,
                      const std::vector<Login>& logins) {
    for (const Login& login : logins) {
        const bool claude = login.tool == LoginTool::kClaude;
        for (const std::wstring& folder : login.folders) {
            const std::wstring logs = JoinPath(folder, {claude ? L"projects" : L"sessions"});
            if (Holds(places, logs))
                continue;
            LogPlace* place = nullptr;
            if (login.fromWsl) {
                const auto wsl =
                    std::find_if(places.begin() + static_cast<ptrdiff_t>(localCount), places.end(),
                                 [&](const LogPlace& p) { return p.name == login.where; });
                if (wsl == places.end())
                    continue;  // its distribution is not a place (stopped)
                place = &*wsl;
            } else {
                // A folder that is a Claude login and a Codex one reads as one place.
                const auto known = std::find_if(
                    places.begin(), places.begin() + static_cast<ptrdiff_t>(localCount),
                    [&](const LogPlace& p) { return SameFolder(p.name, folder); });
                if (known != places.begin() + static_cast<ptrdiff_t>(localCount)) {
                    place = &*known;
                } else {
                    // ~/.codex beside a CODEX_HOME elsewhere reads as it did before there was one.
                    const std::wstring name = login.isDefault && !claude
                                                  ? std::wstring(kThisSystemName) + L" ~/.codex"
                                                  : folder;
                    place = &*places.insert(places.begin() + static_cast<ptrdiff_t>(localCount),
                                            LogPlace{name, {}, {}});
                    ++localCount;
                }
            }
            (claude ? place->claudeRoots : place->codexFolders).push_back(logs);
        }
    }
    return localCount;
}
