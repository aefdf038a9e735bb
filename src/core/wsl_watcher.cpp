#include "core/wsl_watcher.h"

#include <algorithm>
#include <cwctype>

#include "core/log_files.h"

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
    std::vector<std::wstring> homes = {JoinPath(folder, {L"root"})};
    const std::wstring homeFolder = JoinPath(folder, {L"home"});
    for (const std::wstring& user : listFolders(homeFolder)) homes.push_back(JoinPath(homeFolder, {user}));
    WslLogFolders folders;
    folders.homes = homes;
    for (const std::wstring& home : homes) {
        folders.claudeRoots.push_back(JoinPath(home, {L".claude", L"projects"}));
        folders.claudeRoots.push_back(JoinPath(home, {L".config", L"claude", L"projects"}));
        folders.codexFolders.push_back(JoinPath(home, {L".codex", L"sessions"}));
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
        // A failed ask (no wsl.exe answer) is tried again, but not sooner than a changed one.
        const bool due = !asked_ || age >= kWslAnswerLife || age < 0 ||
                         ((signature != signature_ || !answered_) && age >= kWslAskSpacing);
        if (due) {
            ++asks_;
            asked_ = true;
            askedAt_ = now;
            signature_ = signature;
            const auto answer = system_.askRunning();
            answered_ = answer.has_value();
            running_ = answer.value_or(std::vector<std::wstring>{});
        }
        // WSL's processes changed since that answer: a distribution may have stopped, and
        // reading its folders would start it again. None counts as running until asked again.
        if (signature == signature_)
            running = running_;
    } else {
        asked_ = false;  // nothing runs: ask afresh once WSL starts
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
