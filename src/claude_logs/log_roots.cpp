#include "claude_logs/log_roots.h"

#include "platform/system.h"

namespace {

std::wstring Join(const std::wstring& base, std::initializer_list<const char*> parts) {
    auto path = PathFromWide(base);
    for (const char* part : parts) {
        path /= part;
    }
    return WideFromPath(path);
}

}  // namespace

std::vector<std::wstring> ClaudeLogRoots(const std::wstring& userProfile, const std::wstring& home,
                                         const std::wstring& claudeConfigDir) {
    std::vector<std::wstring> roots;
    if (!claudeConfigDir.empty()) {
        size_t begin = 0;
        while (begin < claudeConfigDir.size()) {
            size_t comma = claudeConfigDir.find(L',', begin);
            if (comma == std::wstring::npos) comma = claudeConfigDir.size();
            roots.push_back(Join(claudeConfigDir.substr(begin, comma - begin), {"projects"}));
            begin = comma + 1;
        }
    }
    const std::wstring& homeDir = userProfile.empty() ? home : userProfile;
    roots.push_back(Join(homeDir, {".claude", "projects"}));
    roots.push_back(Join(homeDir, {".config", "claude", "projects"}));
    return roots;
}

std::vector<std::wstring> ClaudeLogRootsFromEnvironment() {
    return ClaudeLogRoots(ReadUserProfile(), ReadEnvironment(L"HOME"),
                          ReadEnvironment(L"CLAUDE_CONFIG_DIR"));
}
