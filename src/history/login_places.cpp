#include "history/login_places.h"

#include <algorithm>
#include <string>

#include "platform/unicode.h"

namespace {

bool Holds(const std::vector<std::wstring>& folders, const std::wstring& folder) {
    return std::find(folders.begin(), folders.end(), folder) != folders.end();
}

}  // namespace

std::vector<HistoryPlace> HistoryPlacesByLogin(const std::vector<HistoryPlace>& places,
                                               const std::vector<Login>& logins) {
    std::vector<HistoryPlace> result;
    for (const HistoryPlace& place : places) {
        HistoryPlace rest = place;
        rest.claudeRoots.clear();
        rest.codexFolders.clear();
        std::vector<HistoryPlace> split(logins.size());
        std::vector<std::wstring> unheld[2];  // Claude's, Codex's
        const auto take = [&](const std::wstring& folder, bool claude) {
            for (size_t i = 0; i < logins.size(); ++i) {
                const Login& login = logins[i];
                if (!Holds(claude ? login.claudeRoots : login.codexFolders, folder))
                    continue;
                (claude ? split[i].claudeRoots : split[i].codexFolders).push_back(folder);
                return;
            }
            unheld[claude ? 0 : 1].push_back(folder);
        };
        for (const std::wstring& root : place.claudeRoots)
            take(root, true);
        for (const std::wstring& folder : place.codexFolders)
            take(folder, false);
        // A folder no login holds goes to the place's default login of its tool (else its
        // first): rows without a login at a place where that tool has logins are the default
        // login's, and would otherwise be claimed twice.
        for (const bool claude : {true, false}) {
            HistoryPlace* to = nullptr;
            for (size_t i = 0; i < logins.size(); ++i) {
                const auto& folders = claude ? split[i].claudeRoots : split[i].codexFolders;
                if (folders.empty())
                    continue;
                if (logins[i].isDefault) {
                    to = &split[i];
                    break;
                }
                if (!to)
                    to = &split[i];
            }
            auto& target = !to ? (claude ? rest.claudeRoots : rest.codexFolders)
                               : (claude ? to->claudeRoots : to->codexFolders);
            for (std::wstring& folder : unheld[claude ? 0 : 1])
                target.push_back(std::move(folder));
        }
        for (size_t i = 0; i < logins.size(); ++i) {
            HistoryPlace& one = split[i];
            if (one.claudeRoots.empty() && one.codexFolders.empty())
                continue;
            one.name = place.name;
            one.read = place.read;
            one.account = WideToUtf8(logins[i].name);
            one.defaultAccount = logins[i].isDefault;
            result.push_back(std::move(one));
        }
        if (!rest.claudeRoots.empty() || !rest.codexFolders.empty() ||
            (place.claudeRoots.empty() && place.codexFolders.empty()))
            result.push_back(std::move(rest));
    }
    return result;
}

DefaultAccounts DefaultAccountsOf(const std::vector<Login>& logins) {
    DefaultAccounts defaults;
    for (const Login& login : logins) {
        if (!login.isDefault || login.fromWsl)
            continue;
        std::string& name = login.tool == LoginTool::kCodex ? defaults.codex : defaults.claude;
        if (name.empty())
            name = WideToUtf8(login.name);
    }
    return defaults;
}
