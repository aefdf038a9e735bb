#include "core/wsl_watcher.h"

#include <algorithm>
#include <cwctype>

bool IsSkippedWslDistribution(std::wstring_view name) {
    constexpr std::wstring_view kDocker = L"docker-desktop";
    if (name.size() < kDocker.size()) return false;
    for (size_t i = 0; i < kDocker.size(); ++i) {
        if (static_cast<wchar_t>(std::towlower(static_cast<wint_t>(name[i]))) != kDocker[i]) return false;
    }
    return true;
}

WslLogFolders WslLogFoldersOf(const std::wstring& folder,
                              const std::function<std::vector<std::wstring>(const std::wstring&)>&
                                  listFolders) {
    const std::wstring root = folder + (folder.ends_with(L'\\') ? L"" : L"\\");
    std::vector<std::wstring> homes = {root + L"root"};
    for (const std::wstring& user : listFolders(root + L"home")) homes.push_back(root + L"home\\" + user);
    WslLogFolders folders;
    for (const std::wstring& home : homes) {
        folders.claudeRoots.push_back(home + L"\\.claude\\projects");
        folders.claudeRoots.push_back(home + L"\\.config\\claude\\projects");
        folders.codexFolders.push_back(home + L"\\.codex\\sessions");
    }
    return folders;
}

const std::vector<WslPlace>& WslWatcher::Places(int64_t now) {
    std::vector<WslDistribution> registered = system_.registered();
    std::erase_if(registered, [](const WslDistribution& d) { return IsSkippedWslDistribution(d.name); });
    const bool anyVersion1 = std::any_of(registered.begin(), registered.end(),
                                         [](const WslDistribution& d) { return d.version == 1; });
    const uint64_t signature = registered.empty() ? 0 : system_.processSignature();
    std::vector<std::wstring> running;
    if (!registered.empty() && (signature != 0 || anyVersion1)) {
        const int64_t age = now - askedAt_;
        const bool due = !answered_ || age >= kWslAnswerLife || age < 0 ||
                         (signature != signature_ && age >= kWslAskSpacing);
        if (due) {
            ++asks_;
            askedAt_ = now;
            signature_ = signature;
            const auto answer = system_.askRunning();
            answered_ = answer.has_value();
            running_ = answer.value_or(std::vector<std::wstring>{});
        }
        running = running_;
    } else {
        answered_ = false;  // nothing runs: ask afresh once WSL starts
        running_.clear();
    }
    std::vector<WslPlace> places;
    for (const WslDistribution& distribution : registered) {
        WslPlace place{distribution.name, false, {}};
        place.running = std::find(running.begin(), running.end(), distribution.name) != running.end();
        if (place.running) {
            // Kept from the last cycle while it runs: its homes are listed once, not every cycle.
            const auto known = std::find_if(places_.begin(), places_.end(), [&](const WslPlace& p) {
                return p.name == place.name && p.running;
            });
            place.folders = known != places_.end()
                                ? known->folders
                                : WslLogFoldersOf(system_.folderOf(place.name), system_.listFolders);
        }
        places.push_back(std::move(place));
    }
    places_ = std::move(places);
    return places_;
}
