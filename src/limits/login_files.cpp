#include "limits/login_files.h"

#include <algorithm>

namespace {

// A folder as Windows compares it: backslashes, ASCII letters lower-cased, no trailing slash.
std::wstring ComparableFolder(const std::wstring& folder) {
    std::wstring text = folder;
    for (wchar_t& c : text) {
        if (c == L'/')
            c = L'\\';
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    while (text.size() > 1 && text.back() == L'\\')
        text.pop_back();
    return text;
}

}  // namespace

std::wstring ApiCacheFileName(const Login& login) {
    return login.primary ? L"api.ini" : L"api-" + LoginFileTag(login.key) + L".ini";
}

std::wstring LiveCacheFileName(const std::wstring& folder, const std::wstring& home) {
    const std::wstring comparable = ComparableFolder(folder);
    if (comparable.empty() ||
        (!home.empty() && comparable == ComparableFolder(home + L"\\.claude"))) {
        return L"live.ini";
    }
    return L"live-" + LoginFileTag(L"dir:" + comparable) + L".ini";
}

std::vector<std::wstring> LiveCacheFileNames(const Login& login, const std::wstring& home) {
    std::vector<std::wstring> names;
    for (const std::wstring& folder : login.folders) {
        std::wstring name = LiveCacheFileName(folder, home);
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
    }
    return names;
}

std::vector<Login> WithPrimaryLogin(std::vector<Login> logins,
                                    const std::optional<std::wstring>& credentialsPath) {
    if (const auto primary = PrimaryClaudeLogin(logins, credentialsPath))
        logins[*primary].primary = true;
    return logins;
}

std::optional<size_t> PrimaryClaudeLogin(const std::vector<Login>& logins,
                                         const std::optional<std::wstring>& credentialsPath) {
    std::optional<size_t> first;
    for (size_t i = 0; i < logins.size(); ++i) {
        if (logins[i].tool != LoginTool::kClaude)
            continue;
        if (credentialsPath && logins[i].credentialsPath &&
            ComparableFolder(*logins[i].credentialsPath) == ComparableFolder(*credentialsPath)) {
            return i;
        }
        if (!first)
            first = i;
    }
    return first;
}

std::vector<AccountUsage> WithGoneLogins(std::vector<AccountUsage> current,
                                         const std::vector<AccountUsage>& previous) {
    for (const AccountUsage& old : previous) {
        if (old.gone)
            continue;  // its one greyed cycle is over
        const bool found = std::any_of(current.begin(), current.end(), [&](const AccountUsage& a) {
            return a.login.tool == old.login.tool && a.login.key == old.login.key;
        });
        if (found)
            continue;
        auto after = current.begin();
        for (auto it = current.begin(); it != current.end(); ++it) {
            if (it->login.tool == old.login.tool)
                after = it + 1;
        }
        if (after == current.begin() && old.login.tool == LoginTool::kCodex)
            after = current.end();
        AccountUsage kept = old;
        kept.gone = true;
        current.insert(after, std::move(kept));
    }
    return current;
}
